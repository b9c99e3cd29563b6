// zqtool as deployment scripts use it: finding and choosing keyboards, JSON, conversions that read
// back, the vendor id from the environment, interruption, and zqsim's start-up.
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

class ToolScripting : public ::testing::Test
{
protected:
    ToolRun Tool(const std::vector<std::string>& arguments, const std::string& sockets,
                 std::vector<std::string> environment = {})
    {
        ToolOptions options;
        options.simulator = sockets;
        options.environment = std::move(environment);
        return RunTool(arguments, options);
    }
    std::string Path(const std::string& name) const { return m_folder.File(name); }
    // Programs the project through the socket with standard error on a terminal, and sends the
    // signal once the progress bar shows the text.
    ToolRun ProgramAndSignal(const std::string& project, const std::string& socket, const std::string& shown,
                             int signal)
    {
        ToolOptions options;
        options.simulator = socket;
        options.terminal = true;
        ToolProcess tool;
        if (!tool.Start({"program", project}, options) || !tool.ReadErrorUntil(shown)) {
            return {};
        }
        tool.Signal(signal);
        return tool.Finish();
    }

    TempFolder m_folder;
};

// The advice after a write that stopped part-way.
constexpr const char* PartlyWritten =
    "The keyboard now holds part of the new layout; programming it again puts it right.";

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST_F(ToolScripting, ListShowsEverySimulatorEntryAndDeviceChoosesOne)
{
    SimProcess zq2200;
    SimProcess zq3300;
    ASSERT_TRUE(zq2200.Start({"--socket", Path("a")}));
    ASSERT_TRUE(zq3300.Start({"--family", "zq3300", "--firmware-version", "3.1.4", "--socket", Path("b")}));
    const std::string sockets = Path("a") + ":" + Path("b") + ":" + Path("silent");

    const ToolRun list = Tool({"list"}, sockets);
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, Path("a") + "\tFA2C:1000\tZQ-2200\tZQ-2200\tfeature 137\tusable\n" + Path("b") +
                            "\tFA2C:1002\tZQ-3300\tZQ-3300\tfeature 137\tusable\n" + Path("silent") +
                            "\t0000:0000\t-\t-\tno feature report\tno simulated keyboard answers at " +
                            Path("silent") + "; start zqsim there\n");

    const ToolRun json = Tool({"list", "--json"}, sockets);
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(EvaluateJson(json.out, "[(i['family'], i['productId'], i['usable']) for i in d['interfaces']]"),
              "[('ZQ-2200', 4096, True), ('ZQ-3300', 4098, True), ('', 0, False)]");

    // --device takes one interface whatever the list holds; a type of the other family finds none.
    EXPECT_EQ(Tool({"version", "3", "--device", Path("b")}, Path("a")).out, "ZQ-3300 v 3.1.4\n");
    EXPECT_EQ(Tool({"version", "6", "--device", Path("b")}, sockets).status, 12);
    const ToolRun silent = Tool({"list", "--device", Path("silent")}, sockets);
    EXPECT_EQ(silent.status, 12);
    EXPECT_EQ(silent.out.rfind(Path("silent") + "\t", 0), 0u);
    const ToolRun version = Tool({"version", "3", "--json"}, Path("b"));
    EXPECT_EQ(EvaluateJson(version.out, "(d['status'], d['version'], d['message'])"),
              "(0, 'ZQ-3300 v 3.1.4', '')");
    const ToolRun missing = Tool({"version", "3", "--json"}, Path("silent"));
    EXPECT_EQ(missing.status, 12);
    EXPECT_EQ(EvaluateJson(missing.out, "(d['status'], d['version'])"), "(12, None)");
}

TEST_F(ToolScripting, ListEscapesControlCharactersOfNamesOnTheTerminalOnly)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--name", "Till\t2\x1B[2J\r\xC2\x9B\xFF \xD0\x9A", "--socket", Path("kb")}));
    const ToolRun list = Tool({"list"}, Path("kb"));
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              Path("kb") +
                  "\tFA2C:1000\tZQ-2200\tTill\\t2\\x1B[2J\\r\\u009B\\xFF \xD0\x9A\tfeature 137\tusable\n");
    const ToolRun json = Tool({"list", "--json"}, Path("kb"));
    EXPECT_EQ(EvaluateJson(json.out, "d['interfaces'][0]['name'][:10]"), "Till\t2\x1B[2J");
}

TEST_F(ToolScripting, VendorIdFromTheEnvironment)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--vendor-id", "0x1209", "--socket", Path("kb")}));
    const ToolRun other = Tool({"list"}, Path("kb"));
    EXPECT_EQ(other.status, 12);
    EXPECT_TRUE(Contains(other.out, "vendor id 0x1209 is not the one looked for")) << other.out;
    EXPECT_EQ(Tool({"list"}, Path("kb"), {"ZQ_VENDOR_ID=0x1209"}).status, 0);
    EXPECT_EQ(Tool({"version", "6"}, Path("kb"), {"ZQ_VENDOR_ID=4617"}).status, 0);
    // The option wins over the environment.
    EXPECT_EQ(Tool({"version", "6", "--vendor-id", "0xFA2C"}, Path("kb"), {"ZQ_VENDOR_ID=0x1209"}).status,
              12);

    ASSERT_EQ(RunTool({"new", "7", "-o", Path("v1.txt")}).status, 0);
    const ToolRun legacy = Tool({"program", Path("v1.txt"), "--vendor-id", "0x1209"}, Path("kb"));
    EXPECT_TRUE(
        Contains(legacy.err, "zqtool: --vendor-id does not apply to ZQ-1100 keyboards; it is ignored\n"))
        << legacy.err;
    EXPECT_FALSE(Contains(Tool({"program", Path("v1.txt")}, Path("kb"), {"ZQ_VENDOR_ID=0x1209"}).err,
                          "does not apply"));
}

TEST_F(ToolScripting, CheckJsonParsesBackForEachOutcome)
{
    ASSERT_EQ(RunTool({"new", "4", "-o", Path("three.zqp")}).status, 0);
    const ToolRun opened = RunTool({"check", Path("three.zqp"), "--json"});
    EXPECT_EQ(opened.status, 0);
    EXPECT_EQ(EvaluateJson(opened.out, "(d['status'], d['outcome'], d['type']['id'], d['errorLine'])"),
              "(0, 'opened', 4, 0)");
    EXPECT_EQ(EvaluateJson(opened.out, "[(c['item'], c['losesData']) for c in d['conversions']]"),
              "[(1, False), (2, False), (3, False), (4, True), (5, True)]");

    if (ToolTakesPosixNames()) {
        const std::string bad =
            m_folder.Write("bad \"name\".zqp",
                           "ZQ-2200.v1\r\nRFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC1\r\n\r\n121:M1\r\n");
        const ToolRun decoding = RunTool({"check", bad, "--json"});
        EXPECT_EQ(decoding.status, 3);
        EXPECT_EQ(EvaluateJson(decoding.out, "(d['file'] == '" + bad.substr(0, bad.find('"')) +
                                                 "\"name\".zqp', d['outcome'], d['errorLine'])"),
                  "(True, 'decoding-errors', 4)");
    }
    const ToolRun missing = RunTool({"check", Path("missing.zqp"), "--json"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(EvaluateJson(missing.out, "(d['outcome'], d['type'], d['conversions'])"),
              "('cannot-open', None, [])");
    EXPECT_EQ(EvaluateJson(RunTool({"types", "--json"}).out, "(len(d['types']), d['types'][10]['name'])"),
              "(11, 'ZQ-1100 v2 double (16 scans)')");
}

// v1 to v2 and back, and v2 to v1 and back, for all four ZQ-1100 types: every saved step reads
// back cleanly as the type it should be.
TEST_F(ToolScripting, LegacyConversionChainsReadBackAfterEveryStep)
{
    struct Chain
    {
        const char* start;
        const char* middle;
    };
    const Chain chains[] = {{"7", "9"}, {"8", "10"}, {"9", "7"}, {"10", "8"}};
    for (const Chain& chain : chains) {
        SCOPED_TRACE(chain.start);
        const std::string first = Path(std::string("start") + chain.start + ".txt");
        const std::string second = Path(std::string("middle") + chain.start + ".txt");
        const std::string third = Path(std::string("end") + chain.start + ".txt");
        ASSERT_EQ(RunTool({"new", chain.start, "-o", first}).status, 0);
        ASSERT_EQ(RunTool({"convert", first, "--item", "1", "-o", second, "--force"}).status, 0);
        const ToolRun middle = RunTool({"check", second});
        EXPECT_EQ(middle.status, 0) << middle.err;
        EXPECT_EQ(middle.out.rfind(std::string("type\t") + chain.middle + "\t", 0), 0u) << middle.out;
        ASSERT_EQ(RunTool({"convert", second, "--item", "1", "-o", third, "--force"}).status, 0);
        const ToolRun end = RunTool({"check", third});
        EXPECT_EQ(end.status, 0) << end.err;
        EXPECT_EQ(end.out.rfind(std::string("type\t") + chain.start + "\t", 0), 0u) << end.out;
        EXPECT_EQ(ReadFileBytes(third), ReadFileBytes(first));
    }
}

TEST_F(ToolScripting, ForcedConversionsTellWhatWasDropped)
{
    const std::string v2 = m_folder.Write("v2.txt", "57; 0; 0; 2; 11; 148; 0; 0; 3\r\n1; 4, 5, 6, 7, 8, 9, "
                                                    "10, 11, 12, 13, 0, 0, 0, 0, 0, 0; 10;0;Key_1\r\n");
    // The remaining 55 keys: a whole file is needed before the codes count.
    std::string text = ReadFileBytes(v2).empty() ? "" : std::string();
    ToolRun created = RunTool({"new", "9", "-o", Path("n9.txt")});
    ASSERT_EQ(created.status, 0);
    const Bytes empty = ReadFileBytes(Path("n9.txt"));
    text.assign(empty.begin(), empty.end());
    const size_t key1 = text.find("\r\n1; ");
    const size_t key2 = text.find("\r\n2; ");
    text.replace(key1 + 2, key2 - key1 - 2,
                 "1; 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0, 0, 0, 0, 0, 0; 10;0;Key_1");
    const std::string project = m_folder.Write("p9.txt", text);
    ASSERT_EQ(RunTool({"check", project}).status, 0);
    const ToolRun forced = RunTool({"convert", project, "--item", "1", "-o", Path("p7.txt"), "--force"});
    EXPECT_EQ(forced.status, 0);
    EXPECT_EQ(forced.err,
              "zqtool: conversion 1 cut 1 key to 7 codes\nzqtool: conversion 1 dropped 3 codes in all\n");
    const ToolRun nothing =
        RunTool({"convert", Path("n9.txt"), "--item", "1", "-o", Path("e7.txt"), "--force"});
    EXPECT_EQ(nothing.err, "zqtool: conversion 1 dropped nothing this project held\n");
}

TEST_F(ToolScripting, InterruptingALegacyProgrammingStopsBetweenBytes)
{
    if (!ToolSeesTerminals()) {
        GTEST_SKIP() << "waits for the progress bar, which needs a terminal";
    }
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("zq1100"), "--family", "zq1100", "--legacy-version", "0",
                           "--dump-legacy", Path("legacy.bin")}));
    ASSERT_EQ(RunTool({"new", "8", "-o", Path("v1.txt")}).status, 0);
    const ToolRun run = ProgramAndSignal(Path("v1.txt"), Path("zq1100"), " 20/450", SIGINT);
    EXPECT_EQ(run.status, 130);
    EXPECT_TRUE(Contains(run.err, "\nInterrupted.")) << run.err;
    EXPECT_TRUE(Contains(run.err, PartlyWritten)) << run.err;
    EXPECT_EQ(sim.Stop(), 0);

    // What went is the start of the image, and the driver took no byte after the stop.
    ToolRun whole = RunTool({"image", Path("v1.txt"), "-o", Path("image.bin")});
    ASSERT_EQ(whole.status, 0);
    const Bytes image = ReadFileBytes(Path("image.bin"));
    const Bytes sent = ReadFileBytes(Path("legacy.bin"));
    EXPECT_GT(sent.size(), 0u);
    EXPECT_LT(sent.size(), image.size());
    EXPECT_EQ(DescribeDifference(sent, Bytes(image.begin(), image.begin() + static_cast<long>(sent.size()))),
              "");
}

TEST_F(ToolScripting, ZqsimRemovesAStaleReadyFileAndTellsItsVersion)
{
    const std::string ready = m_folder.Write("kb.ready", "ready\n");
    ToolOptions sim;
    sim.program = kSimPath;
    // It cannot listen in a folder that does not exist: the stale file must be gone all the same.
    const ToolRun failed = RunTool({"--ready-file", ready, "--socket", Path("no/such/kb")}, sim);
    EXPECT_EQ(failed.status, 1);
    EXPECT_FALSE(Exists(ready));
    const ToolRun version = RunTool({"--version"}, sim);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("zqsim ") + ZQ_VERSION_TEXT + "\n");
}

} // namespace

namespace {

struct StatusCase
{
    std::vector<std::string> simulator; // zqsim's options besides its socket
    std::vector<std::string> command;   // PROJECT and FIRMWARE stand for files the test makes
    int status;
    const char* message; // the start of standard error
};

class ToolDeviceStatus : public ToolScripting, public ::testing::WithParamInterface<StatusCase>
{
};

// The device result codes of the README's table that a simulated keyboard can be made to give.
TEST_P(ToolDeviceStatus, EachFaultGivesItsStatus)
{
    const StatusCase& test = GetParam();
    std::vector<std::string> simulator{"--socket", Path("kb")};
    simulator.insert(simulator.end(), test.simulator.begin(), test.simulator.end());
    SimProcess sim;
    ASSERT_TRUE(sim.Start(simulator));
    ASSERT_EQ(RunTool({"new", "6", "-o", Path("p.zqp")}).status, 0);
    ASSERT_EQ(RunTool({"new", "7", "-o", Path("p.txt")}).status, 0);
    const std::string firmware = m_folder.Write("fw.enc", std::string(2 * 136, '0'));
    std::vector<std::string> command = test.command;
    for (std::string& word : command) {
        word = word == "PROJECT"    ? Path("p.zqp")
               : word == "LEGACY"   ? Path("p.txt")
               : word == "FIRMWARE" ? firmware
                                    : word;
    }
    const ToolRun run = Tool(command, Path("kb"));
    EXPECT_EQ(run.status, test.status) << run.err;
    EXPECT_EQ(run.err.rfind(test.message, 0), 0u) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    ReadmeTable, ToolDeviceStatus,
    ::testing::Values(
        StatusCase{{"--start-address", "0x100", "--end-address", "0x11F"},
                   {"program", "PROJECT"},
                   6,
                   "Connected ZQ version is not supported."},
        StatusCase{{"--family", "zq1100", "--legacy-version", "3"},
                   {"program", "LEGACY"},
                   10,
                   "Unsupported keyboard version."},
        StatusCase{{}, {"download", "6", "-o", "out.zqp"}, 11, "Error on data decoding."},
        StatusCase{{"--family", "zq1100", "--disconnect-after", "0", "--disconnect-error", "1167"},
                   {"program", "LEGACY"},
                   13,
                   "ZQ-1100 not found."},
        StatusCase{
            {"--fail", "1:1=2"}, {"firmware", "6", "FIRMWARE"}, 15, "The programmed data are not valid."},
        StatusCase{{"--fail", "3:1=2"}, {"program", "PROJECT"}, 16, "An error occured during communication."},
        StatusCase{{"--fail", "5:1=2"},
                   {"program", "PROJECT", "--no-verify"},
                   17,
                   "Error on starting keyboard application."},
        StatusCase{
            {"--fail", "4:1=2"}, {"program", "PROJECT"}, 18, "Error receiving keyboard configuration."},
        StatusCase{{"--corrupt-byte", "0x0810"},
                   {"program", "PROJECT"},
                   20,
                   "The keyboard holds other data than were written."}));

TEST_F(ToolScripting, SigtermDuringAUsbProgrammingStartsTheApplicationAndExits143)
{
    if (!ToolSeesTerminals()) {
        GTEST_SKIP() << "waits for the progress bar, which needs a terminal";
    }
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb"), "--busy", "3:50", "--dump-memory", Path("memory.bin")}));
    ASSERT_EQ(RunTool({"new", "4", "-o", Path("p.zqp")}).status, 0);
    const ToolRun run = ProgramAndSignal(Path("p.zqp"), Path("kb"), " 128/", SIGTERM);
    EXPECT_EQ(run.status, 143);
    EXPECT_TRUE(Contains(run.err, "Interrupted.")) << run.err;
    EXPECT_TRUE(Contains(run.err, PartlyWritten)) << run.err;
    // The keyboard is free again at once: the stop closed the interface behind it.
    EXPECT_EQ(Tool({"version", "6"}, Path("kb")).status, 0);
}

} // namespace
