// zqtool's command line: help, version, type names, usage errors, the language file.
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

ToolOptions FromProgram(const std::string& program)
{
    ToolOptions options;
    options.program = program;
    return options;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(ToolCommandLine, HelpForTheToolAndEveryCommand)
{
    ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.err.empty());
    for (const char* command : {"types", "new", "check", "convert", "image", "list", "program", "download",
                                "firmware", "version", "codes"}) {
        EXPECT_TRUE(Contains(help.out, std::string("  ") + command + " ")) << command;
        ToolRun own = RunTool({command, "--help"});
        EXPECT_EQ(own.status, 0) << command;
        EXPECT_EQ(own.out.rfind(std::string("usage: zqtool ") + command, 0), 0u) << own.out;
        EXPECT_TRUE(Contains(own.out, "Exit status")) << command;
    }
    EXPECT_TRUE(Contains(RunTool({"convert", "--help"}).out, "--force"));
    const ToolRun programHelp = RunTool({"program", "-h"});
    for (const char* option :
         {"--vendor-id", "--no-verify", "--backup OUT", "--device PATH", "ZQ_VENDOR_ID"}) {
        EXPECT_TRUE(Contains(programHelp.out, option)) << option;
    }
    // Every status a device command can answer is explained, down to the last result code.
    for (const char* status :
         {"3 FILE cannot be opened", "12 no device found", "20 the keyboard holds", "130", "64"}) {
        EXPECT_TRUE(Contains(programHelp.out, status)) << status;
    }
    EXPECT_TRUE(Contains(RunTool({"new", "--help"}).out, "3 = left side, 4 = right side"));
    EXPECT_TRUE(Contains(RunTool({"image", "--help"}).out, "0 for v1 keyboards"));

    ToolRun version = RunTool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("zqtool ") + ZQ_VERSION_TEXT + "\n");
}

TEST(ToolCommandLine, TypesListsTheCatalogueAndNamesWork)
{
    ToolRun types = RunTool({"types"});
    EXPECT_EQ(types.status, 0);
    EXPECT_EQ(types.out.rfind("0\tZQ-3300 double (one layer)\n", 0), 0u);
    EXPECT_TRUE(Contains(types.out, "\n6\tZQ-2200 (one layout)\n"));
    EXPECT_TRUE(Contains(types.out, "\n10\tZQ-1100 v2 double (16 scans)\n"));
    EXPECT_EQ(std::count(types.out.begin(), types.out.end(), '\n'), 11);

    TempFolder folder;
    const std::string byName = folder.File("name.zqp"), byId = folder.File("id.zqp");
    EXPECT_EQ(RunTool({"new", "zq-2200 (ONE layout)", "-o", byName}).status, 0);
    EXPECT_EQ(RunTool({"new", "6", "--output=" + byId}).status, 0);
    EXPECT_EQ(ReadFileBytes(byName), ReadFileBytes(byId));
    EXPECT_FALSE(ReadFileBytes(byId).empty());
}

TEST(ToolCommandLine, CodesListsAndSearchesTheKeyTables)
{
    const ToolRun usb = RunTool({"codes"});
    EXPECT_EQ(usb.status, 0);
    EXPECT_EQ(std::count(usb.out.begin(), usb.out.end(), '\n'), 131) << "135 rows, 4 codes listed twice";
    EXPECT_TRUE(Contains(usb.out, "\nfunction\t7:68\tF13\t\n"));
    EXPECT_TRUE(Contains(usb.out, "\nsystem\t7:46\tPrint_screen\tprtsc SysRq\n"));
    EXPECT_EQ(RunTool({"codes", "--family", "3300"}).out, usb.out);

    const ToolRun legacy = RunTool({"codes", "--family=ZQ-1100", "--search", "0x14"});
    EXPECT_EQ(legacy.status, 0);
    EXPECT_EQ(legacy.out, "modifiers\t14\tLeft_Control\tctrl lctrl\nmodifiers\tE0 14\tRight_Control\tctrl "
                          "rctrl\nsystem\tE1 14 77\tPause\t\nprefixes\tE1 14\tPref_Ctrl\t\n");
    const ToolRun none = RunTool({"codes", "--family", "1100", "--search", "f13"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.out.empty());

    const ToolRun json = RunTool({"codes", "--search", "7:68", "--json"});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(EvaluateJson(json.out,
                           "(d['family'], len(d['codes']), d['codes'][0]['name'], d['codes'][0]['values'])"),
              "('ZQ-2200', 1, 'F13', [458856])");
}

struct UsageCase
{
    std::vector<std::string> arguments;
    const char* reason;
};

TEST(ToolCommandLine, BadArgumentsAreUsageErrors)
{
    TempFolder folder;
    const std::string file = folder.File("p.zqp");
    ASSERT_EQ(RunTool({"new", "6", "-o", file}).status, 0);
    const UsageCase cases[] = {
        {{}, "missing command"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"new", "11", "-o", file}, "unknown keyboard type '11'"},
        {{"new", "ZQ-9999", "-o", file}, "unknown keyboard type 'ZQ-9999'"},
        {{"new", "99999999999999999999", "-o", file}, "unknown keyboard type"},
        {{"new", "6"}, "missing -o OUT"},
        {{"new", "6", "-o"}, "needs a value"},
        {{"new", "6", "-o", file, "--format", "2"}, "format 2 is not offered"},
        {{"new", "7", "-o", file, "--format", "3"}, "format 3 is not offered"},
        {{"new", "6", "-o", file, "--format", "0"}, "invalid value '0' for --format"},
        {{"check"}, "missing FILE"},
        {{"new", "6", "extra", "-o", file}, "unexpected argument 'extra'"},
        {{"check", file, "--bogus"}, "unknown option '--bogus'"},
        {{"check", file, "--force"}, "does not apply to 'check'"},
        {{"convert", file, "--item", "x", "-o", file}, "invalid value 'x' for --item"},
        {{"convert", file, "--item", "1"}, "missing -o OUT"},
        {{"convert", file, "-o", file, "-o", file}, "given twice"},
        {{"image", file, "-o", folder.File("i"), "--keyboard-version", "1"}, "ZQ-1100 projects only"},
        {{"program", file, "--vendor-id", "0"}, "invalid value '0' for --vendor-id"},
        {{"program", file, "--vendor-id", "0x10000"}, "invalid value"},
        {{"program", file, "--backup"}, "--backup needs a value"},
        {{"program", file, "--backup="}, "invalid value '' for --backup"},
        {{"program", file, "--no-verify=1"}, "--no-verify takes no value"},
        {{"download", "6", "-o", file, "--no-verify"}, "does not apply to 'download'"},
        {{"download", "6", "--vendor-id", "1"}, "missing -o OUT"},
        {{"firmware", "6"}, "missing FILE.enc"},
        {{"version"}, "missing TYPE"},
        {{"version", "ZQ-1100"}, "unknown keyboard type"},
        {{"convert", file, "-o", file, "--json"}, "--json does not apply to 'convert'"},
        {{"check", file, "--device", "/dev/hidraw0"}, "--device does not apply to 'check'"},
        {{"list", "--device="}, "invalid value '' for --device"},
        {{"list", "extra"}, "unexpected argument 'extra'"},
        {{"codes", "--family", "1200"}, "invalid value '1200' for --family"},
        {{"codes", "--search"}, "--search needs a value"},
    };
    for (const UsageCase& usage : cases) {
        ToolRun run = RunTool(usage.arguments);
        std::string line;
        for (const std::string& word : usage.arguments) {
            line += word + " ";
        }
        EXPECT_EQ(run.status, 64) << line;
        EXPECT_TRUE(Contains(run.err, usage.reason)) << line << "\n" << run.err;
        EXPECT_TRUE(Contains(run.err, "usage: zqtool ")) << line;
        EXPECT_TRUE(run.out.empty()) << line;
    }
    ToolOptions badVendor;
    badVendor.environment = {"ZQ_VENDOR_ID=0x1FFFF"};
    const ToolRun vendor = RunTool({"version", "6"}, badVendor);
    EXPECT_EQ(vendor.status, 64);
    EXPECT_TRUE(Contains(vendor.err, "invalid value '0x1FFFF' for ZQ_VENDOR_ID")) << vendor.err;
    EXPECT_EQ(RunTool({"types"}, badVendor).status, 0) << "file commands look for no keyboard";
}

TEST(ToolCommandLine, StandardOutputThatCannotBeWrittenFails)
{
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"types"}, {"types", "--json"}, {"--help"}, {"--version"}}) {
        ToolOptions full;
        full.output = "/dev/full";
        const ToolRun run = RunTool(arguments, full);
        EXPECT_EQ(run.status, 74) << arguments[0];
        EXPECT_EQ(run.err, ToolSeesPosixDevices()
                               ? "zqtool: cannot write to standard output (No space left on device)\n"
                               : "zqtool: cannot write to standard output\n");
    }
}

TEST(ToolCommandLine, LanguageFileBesideTheProgramApplies)
{
    TempFolder folder;
    const std::string program = folder.File("zqtool");
    std::filesystem::copy_file(kToolPath, program);
    folder.Write("zqtool.lang", "32803=Datei nicht lesbar.\n36102=Eins\n");
    ToolRun check = RunTool({"check", folder.File("missing.zqp")}, FromProgram(program));
    EXPECT_EQ(check.status, 1);
    const std::string translated =
        "zqtool: " + folder.File("missing.zqp") + ": Datei nicht lesbar. (No such file or directory)\n";
    EXPECT_EQ(check.err, translated);
    ToolRun types = RunTool({"types"}, FromProgram(program));
    EXPECT_TRUE(Contains(types.out, "\n6\tEins\n"));
    EXPECT_EQ(RunTool({"new", "Eins", "-o", folder.File("a.zqp")}, FromProgram(program)).status, 0);

    // Through a link the file beside the real program counts, not the one beside the link.
    const std::string link = folder.File("link/zqtool");
    std::filesystem::create_directory(folder.File("link"));
    std::filesystem::create_symlink(program, link);
    folder.Write("link/zqtool.lang", "32803=Falsch.\n");
    EXPECT_EQ(RunTool({"check", folder.File("missing.zqp")}, FromProgram(link)).err, translated);
}

} // namespace
