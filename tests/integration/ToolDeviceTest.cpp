// zqtool's device commands against zqsim keyboards on sockets in a temporary folder.
#include "ExpectedImages.h"
#include "ToolTestSupport.h"

#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>

namespace {

const char* const kNoDevice =
    "No device was found.\nCheck if the keyboard is connected via USB port to PC.\n";
const char* const kNotSupported = "Operation not supported\n";

std::string Signature(const std::string& path)
{
    const Bytes bytes = ReadFileBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(RecognizeFileType(text.substr(0, text.find('\r'))));
    uint8_t format = 0;
    if (!keyboard || !keyboard->LoadFile(path, &format)) {
        return "not loaded: " + path;
    }
    return keyboard->GetContentSignature();
}

class ToolDevices : public ToolDeviceTest
{
};

TEST_F(ToolDevices, ProgramThenDownloadGivesTheSameProject)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb"), "--dump-memory", Path("memory.bin")}));
    const std::string project = Write("p.zqp", kProgrammedZq2200Project);

    ToolRun program = Tool({"program", project}, Path("kb"));
    EXPECT_EQ(program.status, 0) << program.err;
    EXPECT_TRUE(program.err.empty()) << "no progress bar without a terminal";
    const Bytes memory = ReadFileBytes(Path("memory.bin"));
    const Bytes expected = ProgrammedZq2200Image();
    ASSERT_GE(memory.size(), 16 + expected.size());
    // The image follows the 16-byte memory header.
    EXPECT_EQ(DescribeDifference(Bytes(memory.begin() + 16, memory.begin() + 16 + expected.size()), expected),
              "");

    const std::string out = Path("back.zqp");
    ToolRun download = Tool({"download", "ZQ-2200 (three layouts)", "-o", out}, Path("kb"));
    EXPECT_EQ(download.status, 0) << download.err;
    ToolRun check = RunTool({"check", out});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out.rfind("type\t5\t", 0), 0u) << "the image's layout count wins";
    EXPECT_EQ(Signature(out), Signature(project));
}

TEST_F(ToolDevices, FirmwareUploadAndVersion)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--family", "zq3300", "--firmware-version", "2.10.7", "--socket", Path("kb"),
                           "--dump-firmware", Path("firmware.bin")}));
    ToolRun version = Tool({"version", "3"}, Path("kb"));
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "ZQ-3300 v 2.10.7\n");

    Bytes blocks(2 * 136);
    for (size_t i = 0; i < blocks.size(); ++i) {
        blocks[i] = static_cast<uint8_t>(i * 7);
    }
    std::string text = HexText(blocks);
    text[1] = static_cast<char>(std::tolower(text[1])); // either letter case
    ToolRun upload = Tool({"firmware", "ZQ-3300 single (one layer)", Write("fw.enc", text)}, Path("kb"));
    EXPECT_EQ(upload.status, 0) << upload.err;
    EXPECT_EQ(ReadFileBytes(Path("firmware.bin")), blocks);

    // An editor's final line end is allowed; a fault anywhere refuses the file before any block.
    ToolRun again = Tool({"firmware", "3", Write("fw2.enc", text + "\r\n")}, Path("kb"));
    EXPECT_EQ(again.status, 0) << again.err;
    ToolRun cut = Tool({"firmware", "3", Write("cut.enc", text.substr(0, 271))}, Path("kb"));
    EXPECT_EQ(cut.status, 4);
    EXPECT_EQ(cut.err,
              "zqtool: " + Path("cut.enc") +
                  ": Incorrect or corrupted file. (The firmware file holds 271 hexadecimal digits: not "
                  "whole blocks of 272.)\n");
    EXPECT_EQ(Tool({"firmware", "3", Write("empty.enc", "")}, Path("kb")).status, 4);
    ToolRun missing = Tool({"firmware", "3", Path("missing.enc")}, Path("kb"));
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err,
              "zqtool: " + Path("missing.enc") + ": Cannot open file! (No such file or directory)\n");
    Bytes twice = blocks;
    twice.insert(twice.end(), blocks.begin(), blocks.end());
    EXPECT_EQ(ReadFileBytes(Path("firmware.bin")), twice) << "nothing sent after the two good uploads";
}

TEST_F(ToolDevices, NoKeyboardConnected)
{
    const std::string project = Write("p.zqp", kProgrammedZq2200Project);
    ToolRun program = Tool({"program", project}, Path("nobody"));
    EXPECT_EQ(program.status, 12);
    // No cable to check when the keyboard is a simulated one.
    EXPECT_EQ(program.err,
              "No device was found.\nzqtool: no simulated keyboard answers at " + Path("nobody") + "\n");
    EXPECT_EQ(RunTool({"version", "0"}).status, 12);
    ToolRun download = RunTool({"download", "6", "-o", Path("out.zqp")});
    EXPECT_EQ(download.status, 12);
    EXPECT_FALSE(Exists(Path("out.zqp")));
    EXPECT_EQ(RunTool({"firmware", "6", Path("missing.enc")}).status, 3) << "the file is looked at first";
    // A device command answers device result codes only.
    EXPECT_EQ(RunTool({"program", Path("missing.zqp")}).status, 3);
    EXPECT_EQ(RunTool({"program", Write("bad.zqp", "no project\r\n")}).status, 4);
}

TEST_F(ToolDevices, VendorIdOption)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--vendor-id", "0x1234", "--socket", Path("kb")}));
    EXPECT_EQ(Tool({"version", "6"}, Path("kb")).status, 12);
    EXPECT_EQ(Tool({"version", "6", "--vendor-id", "0x1234"}, Path("kb")).out, "ZQ-2200 v 1.0.0\n");
    EXPECT_EQ(Tool({"version", "--vendor-id=4660", "6"}, Path("kb")).status, 0);
}

TEST_F(ToolDevices, InterfaceWithoutFeatureReportIsPassedOver)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("a"), "--feature-length", "0", "--firmware-version", "9.9.9",
                           "--socket", Path("b"), "--firmware-version", "1.2.3"}));
    ToolRun version = Tool({"version", "6"}, Path("a") + ":" + Path("b"));
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "ZQ-2200 v 1.2.3\n");
}

TEST_F(ToolDevices, FirstOfTwoKeyboardsWithTheSameIdsIsUsed)
{
    SimProcess sim;
    ASSERT_TRUE(
        sim.Start({"--socket", Path("a"), "--firmware-version", "1.1.1", "--dump-memory", Path("a.bin"),
                   "--socket", Path("b"), "--firmware-version", "2.2.2", "--dump-memory", Path("b.bin")}));
    const std::string sockets = Path("a") + ":" + Path("b");
    EXPECT_EQ(Tool({"version", "6"}, sockets).out, "ZQ-2200 v 1.1.1\n");
    EXPECT_EQ(Tool({"program", Write("p.zqp", kProgrammedZq2200Project)}, sockets).status, 0);
    EXPECT_TRUE(Exists(Path("a.bin")));
    EXPECT_FALSE(Exists(Path("b.bin")));
}

TEST_F(ToolDevices, FailedTransferShowsMessageAndKeyboardErrorText)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fail", "3:1=2", "--socket", Path("kb")}));
    ToolRun program = Tool({"program", Write("p.zqp", kProgrammedZq2200Project)}, Path("kb"));
    EXPECT_EQ(program.status, 16);
    const std::string message = "An error occured during communication.\n\n";
    ASSERT_EQ(program.err.rfind(message, 0), 0u) << program.err;
    EXPECT_GT(program.err.size(), message.size() + 1) << "the keyboard's error text follows";
    EXPECT_EQ(program.err.find('\r'), std::string::npos);

    // The first read gives the header length; the second, the first chunk of the image, fails.
    SimProcess reading;
    ASSERT_TRUE(reading.Start({"--fail", "2:2=2", "--socket", Path("kb2")}));
    ToolRun download = Tool({"download", "6", "-o", Path("out.zqp")}, Path("kb2"));
    EXPECT_EQ(download.status, 16);
    EXPECT_FALSE(Exists(Path("out.zqp"))) << "nothing is saved after a failed read";
}

TEST_F(ToolDevices, LegacyKeyboardThroughTheSimulator)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("hid"), "--socket", Path("zq1100"), "--family", "zq1100",
                           "--legacy-version", "0", "--dump-legacy", Path("legacy.bin")}));
    const std::string sockets = Path("hid") + ":" + Path("zq1100");
    ToolRun run = RunTool({"new", "7", "-o", Path("v1.txt")});
    ASSERT_EQ(run.status, 0);
    ToolRun program = Tool({"program", Path("v1.txt")}, sockets);
    EXPECT_EQ(program.status, 0) << program.err;
    EXPECT_EQ(DescribeDifference(ReadFileBytes(Path("legacy.bin")), EmptyZq1100V1SingleImage()), "");

    ASSERT_EQ(RunTool({"new", "9", "-o", Path("v2.txt")}).status, 0);
    ToolRun wrongVersion = Tool({"program", Path("v2.txt")}, sockets);
    EXPECT_EQ(wrongVersion.status, 9);
    EXPECT_EQ(wrongVersion.err, "Incorrect keyboard version.\n\nConvert the project to the folowing version: "
                                "ZQ-1100 v1 single/double (7/3 scans)\n");

    ToolRun download = Tool({"download", "7", "-o", Path("out.txt")}, sockets);
    EXPECT_EQ(download.status, 2);
    EXPECT_EQ(download.err, kNotSupported);
    EXPECT_EQ(Tool({"version", "8"}, sockets).status, 2);
    EXPECT_EQ(Tool({"firmware", "10", Write("fw.enc", "")}, sockets).status, 2);

    // It cannot be read back: said once, then programmed as ever.
    ToolRun backup = Tool({"program", Path("v1.txt"), "--backup", Path("backup.zqp")}, sockets);
    EXPECT_EQ(backup.status, 0) << backup.err;
    EXPECT_EQ(backup.err, "A ZQ-1100 keyboard cannot be read back: it is programmed without a backup and "
                          "without verifying.\n");
    EXPECT_FALSE(Exists(Path("backup.zqp")));

    ToolRun noDriver = Tool({"program", Path("v1.txt")}, Path("hid"));
    EXPECT_EQ(noDriver.status, 14);
    EXPECT_EQ(noDriver.err,
              "The necessary driver is not installed.\nPlease install the included driver to your system.\n");
}

TEST_F(ToolDevices, OfTwoProgramsAtOneKeyboardTheSecondTouchesNothing)
{
    if (!ToolSeesTerminals()) {
        GTEST_SKIP() << "waits for the progress bar, which needs a terminal";
    }
    // Busy answers give every chunk a few milliseconds, so the first program is still at work when
    // it is stopped right after its progress starts.
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb"), "--busy", "3:50", "--dump-memory", Path("memory.bin")}));
    ToolOptions options;
    options.simulator = Path("kb");
    options.terminal = true;
    ToolProcess first;
    ASSERT_TRUE(first.Start({"program", Write("first.zqp", kProgrammedZq2200Project)}, options));
    ASSERT_TRUE(first.ReadErrorUntil("%"));
    first.Signal(SIGSTOP);

    ASSERT_EQ(RunTool({"new", "6", "-o", Path("second.zqp")}).status, 0);
    ToolRun second = Tool({"program", Path("second.zqp")}, Path("kb"));
    EXPECT_EQ(second.status, 12);
    EXPECT_EQ(second.err,
              std::string(kNoDevice) + "\nUSB Error: The keyboard is in use by another program.\n");

    first.Signal(SIGCONT);
    const ToolRun firstRun = first.Finish();
    EXPECT_EQ(firstRun.status, 0) << firstRun.err;
    const Bytes memory = ReadFileBytes(Path("memory.bin"));
    const Bytes expected = ProgrammedZq2200Image();
    ASSERT_GE(memory.size(), 16 + expected.size());
    EXPECT_EQ(DescribeDifference(Bytes(memory.begin() + 16, memory.begin() + 16 + expected.size()), expected),
              "");
    // Free again, the keyboard takes the second project.
    EXPECT_EQ(Tool({"program", Path("second.zqp")}, Path("kb")).status, 0);
    EXPECT_NE(ReadFileBytes(Path("memory.bin")), memory);
}

// The project's 2054 bytes lie behind the 16-byte header, at 0x0810..0x1015: 17 chunks, the last of
// 6 bytes. Reading: 1 is the header byte, 2 to 18 the chunks.
const char* const kMismatch = "The keyboard holds other data than were written.\n\n";

TEST_F(ToolDevices, ProgramVerifiesAndNamesTheFirstAddressThatDiffers)
{
    for (const char* address : {"0x0810", "0x0890", "0x1015"}) {
        SCOPED_TRACE(address);
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--socket", Path("kb"), "--corrupt-byte", address}));
        const std::string project = Write("p.zqp", kProgrammedZq2200Project);
        ToolRun verified = Tool({"program", project}, Path("kb"));
        EXPECT_EQ(verified.status, 20);
        EXPECT_EQ(verified.err,
                  std::string(kMismatch) + "The first difference is at address " + address + ".\n");
        ToolRun unverified = Tool({"program", project, "--no-verify"}, Path("kb"));
        EXPECT_EQ(unverified.status, 0) << unverified.err;
        EXPECT_EQ(unverified.err, "");
    }
}

TEST_F(ToolDevices, AReadBackFailingAtItsFirstOrLastChunkIsACommunicationError)
{
    for (const char* read : {"2:2=2", "2:18=2"}) {
        SCOPED_TRACE(read);
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--socket", Path("kb"), "--fail", read}));
        ToolRun program = Tool({"program", Write("p.zqp", kProgrammedZq2200Project)}, Path("kb"));
        EXPECT_EQ(program.status, 16);
        EXPECT_EQ(program.err, "An error occured during communication.\n\nZQ Error: Operation failed.\n");
    }
}

TEST_F(ToolDevices, WithoutVerifyTheReportsAreExactlyTheProtocols)
{
    // 6 reports open, 3 write each chunk, 2 start the application: 59. Verifying reads each chunk
    // back with 3 more: 110. A keyboard gone after one report less fails the start's status read.
    struct Case
    {
        const char* served;
        bool verify;
        int status;
    };
    const Case cases[] = {{"59", false, 0}, {"58", false, 17}, {"110", true, 0}, {"109", true, 17}};
    std::vector<std::string> arguments;
    for (const Case& test : cases) {
        arguments.insert(arguments.end(), {"--socket", Path(std::string("kb") + test.served),
                                           "--disconnect-after", test.served, "--disconnect-error", "1167"});
    }
    SimProcess sim;
    ASSERT_TRUE(sim.Start(arguments));
    const std::string project = Write("p.zqp", kProgrammedZq2200Project);
    for (const Case& test : cases) {
        SCOPED_TRACE(test.served);
        std::vector<std::string> command = {"program", project};
        if (!test.verify) {
            command.emplace_back("--no-verify");
        }
        ToolRun program = Tool(command, Path(std::string("kb") + test.served));
        EXPECT_EQ(program.status, test.status) << program.err;
    }
}

TEST_F(ToolDevices, BackupKeepsWhatTheKeyboardHeldBeforeTheNewProject)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb")}));
    const std::string former = Write("former.zqp", kProgrammedZq2200Project);
    ASSERT_EQ(Tool({"program", former}, Path("kb")).status, 0);
    ASSERT_EQ(RunTool({"new", "6", "-o", Path("new.zqp")}).status, 0);

    ToolRun program = Tool({"program", Path("new.zqp"), "--backup", Path("backup.zqp")}, Path("kb"));
    EXPECT_EQ(program.status, 0) << program.err;
    EXPECT_EQ(Signature(Path("backup.zqp")), Signature(former));
    ASSERT_EQ(Tool({"download", "6", "-o", Path("now.zqp")}, Path("kb")).status, 0);
    EXPECT_EQ(Signature(Path("now.zqp")), Signature(Path("new.zqp")));

    // A folder takes the backup under its type, date and time.
    std::filesystem::create_directory(Path("backups"));
    ASSERT_EQ(Tool({"program", former, "--backup", Path("backups")}, Path("kb")).status, 0);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Path("backups"))) {
        names.push_back(entry.path().filename().string());
    }
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].rfind("ZQ-2200-one-layout_", 0), 0u) << names[0];
    EXPECT_EQ(Signature(Path("backups/" + names[0])), Signature(Path("new.zqp")));
}

TEST_F(ToolDevices, NothingIsWrittenWhenTheBackupCannotBeReadOrSaved)
{
    // The area as zqsim holds it by default, with some programming behind the header.
    Bytes area(0x1000, 0);
    area[0] = 16;
    area[1] = 1;
    for (size_t i = 16; i < 64; ++i) {
        area[i] = static_cast<uint8_t>(i);
    }
    const std::string memory = Write("memory.bin", std::string(area.begin(), area.end()));
    const std::string project = Write("p.zqp", kProgrammedZq2200Project);
    {
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--socket", Path("kb"), "--memory", memory, "--fail", "2:2=2", "--dump-memory",
                               Path("unread.bin")}));
        ToolRun program = Tool({"program", project, "--backup", Path("backup.zqp")}, Path("kb"));
        EXPECT_EQ(program.status, 16);
        EXPECT_EQ(program.err,
                  "backup: An error occured during communication.\n\nZQ Error: Operation failed.\n");
        EXPECT_FALSE(Exists(Path("backup.zqp")));
        EXPECT_EQ(sim.Stop(), 0);
        EXPECT_EQ(DescribeDifference(ReadFileBytes(Path("unread.bin")), area), "");
    }
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb"), "--dump-memory", Path("unsaved.bin")}));
    ASSERT_EQ(Tool({"program", project}, Path("kb")).status, 0);
    ASSERT_EQ(RunTool({"new", "6", "-o", Path("new.zqp")}).status, 0);
    ToolRun program = Tool({"program", Path("new.zqp"), "--backup", Path("missing/backup.zqp")}, Path("kb"));
    EXPECT_EQ(program.status, 4);
    EXPECT_EQ(program.err, "zqtool: " + Path("missing/backup.zqp") +
                               ": Can not save file to disk. (No such file or directory)\n");
    EXPECT_EQ(sim.Stop(), 0);
    const Bytes unsaved = ReadFileBytes(Path("unsaved.bin"));
    const Bytes expected = ProgrammedZq2200Image();
    ASSERT_GE(unsaved.size(), 16 + expected.size());
    EXPECT_EQ(
        DescribeDifference(Bytes(unsaved.begin() + 16, unsaved.begin() + 16 + expected.size()), expected),
        "");
}

TEST_F(ToolDevices, ProgressBarOnlyOnATerminal)
{
    if (!ToolSeesTerminals()) {
        GTEST_SKIP() << "the tool's runner does not give it the terminal";
    }
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb")}));
    ToolRun program = Tool({"program", Write("p.zqp", kProgrammedZq2200Project)}, Path("kb"), true);
    EXPECT_EQ(program.status, 0);
    // Writing and reading back share the bar.
    EXPECT_NE(program.err.find("] 100% 4108/4108"), std::string::npos) << program.err;
    EXPECT_NE(program.err.find("]  50% 2054/4108"), std::string::npos) << program.err;
    EXPECT_NE(program.err.find("\r["), std::string::npos);
    EXPECT_EQ(program.err.find("Operation"), std::string::npos);
}

} // namespace
