// zqtool's answers where a user would otherwise be left guessing: several files checked at once,
// what a first line holds instead of a type, a keyboard that stays busy, the end of a transfer on a
// terminal, backups into new folders, simulator entries that cannot work.
#include "ExpectedImages.h"
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The lines a terminal shows in the end: a carriage return writes over the line from its start.
std::vector<std::string> VisibleLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    size_t column = 0;
    for (const char c : text) {
        if (c == '\n') {
            lines.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
            line.clear();
            column = 0;
        } else if (c == '\r') {
            column = 0;
        } else {
            if (column < line.size()) {
                line[column] = c;
            } else {
                line += c;
            }
            ++column;
        }
    }
    return lines;
}

class ToolAnswers : public ToolDeviceTest
{
};

TEST_F(ToolAnswers, TheFirstLineIsShownAsReadWhenItNamesNoType)
{
    const struct
    {
        const char* bytes;
        const char* why;
    } cases[] = {
        {"\xEF\xBB\xBFZQ-2200.v1\r\n", "the first line has a byte-order mark"},
        {"ZQ-2200.v1 \r\n", "the first line ends in blanks"},
        {"ZQ-3300.v1\t\r\n", "the first line ends in blanks"},
        {"xyz\r\n", "the first line is 'xyz'"},
        {"\x1b[31mred\r\n", "the first line is '\\x1B[31mred'"},
        {"0123456789012345678901234567890123456789TOO LONG\r\n",
         "the first line is '0123456789012345678901234567890123456789...'"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.why);
        const std::string file = Write("p.zqp", test.bytes);
        const ToolRun check = RunTool({"check", file});
        EXPECT_EQ(check.status, 2);
        EXPECT_EQ(check.err,
                  "zqtool: " + file + ": Unknown file format, or incorrect file. (" + test.why + ")\n");
    }
}

TEST_F(ToolAnswers, CheckTakesSeveralFilesAndAnswersTheHighestStatus)
{
    ASSERT_EQ(RunTool({"new", "6", "-o", Path("a.zqp")}).status, 0);
    ASSERT_EQ(RunTool({"new", "9", "-o", Path("b.txt")}).status, 0);
    Write("bad.zqp", "hello\r\n");
    Write("broken.zqp", "ZQ-3300.v1\r\nRFID=9N\r\n");
    const struct
    {
        std::vector<std::string> files;
        int status;
    } cases[] = {
        {{"a.zqp", "b.txt"}, 0},
        {{"a.zqp", "missing.zqp"}, 1},
        {{"missing.zqp", "bad.zqp", "a.zqp"}, 2},
        {{"broken.zqp", "missing.zqp", "bad.zqp"}, 3},
    };
    const std::map<std::string, std::string> lines = {
        {"a.zqp", "opened\t6\tZQ-2200 (one layout)"},
        {"b.txt", "opened\t9\tZQ-1100 v2 single (16 scans)"},
        {"missing.zqp", "cannot-open\t-\t-"},
        {"bad.zqp", "unknown-format\t-\t-"},
        {"broken.zqp", "decoding-errors\t0\tZQ-3300 double (one layer)"},
    };
    for (const auto& test : cases) {
        std::vector<std::string> command{"check"};
        std::string expected;
        for (const std::string& file : test.files) {
            command.push_back(Path(file));
            expected += Path(file) + "\t" + lines.at(file) + "\n";
        }
        SCOPED_TRACE(expected);
        const ToolRun check = RunTool(command);
        EXPECT_EQ(check.status, test.status) << check.err;
        EXPECT_EQ(check.out, expected);
    }
    const ToolRun json = RunTool({"check", "--json", Path("a.zqp"), Path("bad.zqp")});
    EXPECT_EQ(json.status, 2);
    EXPECT_EQ(EvaluateJson(json.out, "[f['outcome'] for f in d['files']]"), "['opened', 'unknown-format']");
    // One file keeps the output scripts already read.
    EXPECT_EQ(RunTool({"check", Path("a.zqp")}).out.rfind("type\t6\tZQ-2200 (one layout)\n", 0), 0u);
    EXPECT_EQ(EvaluateJson(RunTool({"check", "--json", Path("a.zqp")}).out, "d['type']['id']"), "6");
}

struct BusyCase
{
    std::vector<std::string> command;
    int signal;
};

void PrintTo(const BusyCase& test, std::ostream* out)
{
    *out << test.command[0] << " " << test.signal;
}

class ToolBusyKeyboard : public ToolAnswers, public ::testing::WithParamInterface<BusyCase>
{
};

// A keyboard that answers busy for ever: the user hears so after a while, and the first signal
// ends the wait at once instead of after the busy limit of every step.
TEST_P(ToolBusyKeyboard, TheFirstSignalEndsTheWait)
{
    if (!ToolSeesTerminals()) {
        GTEST_SKIP() << "reads the notice from a terminal while the tool runs";
    }
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb"), "--busy", "forever"}));
    ASSERT_EQ(RunTool({"new", "6", "-o", Path("p.zqp")}).status, 0);
    Write("fw.enc", std::string(2 * 136, '0'));
    std::vector<std::string> command = GetParam().command;
    for (std::string& word : command) {
        word = word == "PROJECT" ? Path("p.zqp") : word == "FIRMWARE" ? Path("fw.enc") : word;
    }
    ToolOptions options;
    options.simulator = Path("kb");
    options.terminal = true;
    ToolProcess tool;
    ASSERT_TRUE(tool.Start(command, options));
    ASSERT_TRUE(tool.ReadErrorUntil("The ZQ-2200 keyboard answers that it is busy; still waiting for it."));
    const auto signalled = std::chrono::steady_clock::now();
    tool.Signal(GetParam().signal);
    const ToolRun run = tool.Finish();
    const auto took = std::chrono::steady_clock::now() - signalled;
    EXPECT_EQ(run.status, 128 + GetParam().signal) << run.err;
    EXPECT_NE(run.err.find("Interrupted."), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("busy"), run.err.rfind("busy")) << "said once: " << run.err;
    // Half a second is the promise; the rest is room for a loaded machine. Without the stop the
    // wait went on for the 10 s busy limit of the step, and as long again for the closing step.
    EXPECT_LT(took, std::chrono::seconds(3));
}

INSTANTIATE_TEST_SUITE_P(EveryWait, ToolBusyKeyboard,
                         ::testing::Values(BusyCase{{"program", "PROJECT"}, SIGINT},
                                           BusyCase{{"version", "6"}, SIGTERM},
                                           BusyCase{{"download", "6", "-o", "out.zqp"}, SIGINT},
                                           BusyCase{{"firmware", "6", "FIRMWARE"}, SIGTERM}));

TEST_F(ToolAnswers, ATerminalSeesFullBarsAndOneLineOfWhatWasDone)
{
    if (!ToolSeesTerminals()) {
        GTEST_SKIP() << "the tool's runner does not give it the terminal";
    }
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb"), "--socket", Path("zq1100"), "--family", "zq1100"}));
    ASSERT_EQ(RunTool({"new", "9", "-o", Path("v2.txt")}).status, 0);
    const std::string sockets = Path("kb") + ":" + Path("zq1100");

    // The driver hears of progress every 20 bytes: 1000 of 1014 was the last it heard.
    const ToolRun legacy = Tool({"program", Path("v2.txt")}, sockets, true);
    EXPECT_EQ(legacy.status, 0) << legacy.err;
    EXPECT_NE(legacy.err.find("] 100% 1014/1014\r\n"), std::string::npos) << legacy.err;
    EXPECT_NE(legacy.err.find("programmed ZQ-1100 in "), std::string::npos) << legacy.err;
    EXPECT_NE(legacy.err.find(" s, 1015 reports"), std::string::npos) << legacy.err;

    const ToolRun version = Tool({"version", "6"}, sockets, true);
    EXPECT_EQ(version.status, 0) << version.err;
    const std::vector<std::string> seen = VisibleLines(version.err);
    ASSERT_EQ(seen.size(), 1u) << "no bar that never moved: " << version.err;
    EXPECT_EQ(seen[0].rfind("read the firmware version of ZQ-2200 in ", 0), 0u) << seen[0];

    const ToolRun program = Tool({"program", Write("p.zqp", kProgrammedZq2200Project)}, sockets, true);
    EXPECT_EQ(program.status, 0) << program.err;
    EXPECT_NE(program.err.find("programmed and verified ZQ-2200 in "), std::string::npos) << program.err;
    // 6 opening, 3 for each of 17 chunks written and read back, 2 starting the application.
    EXPECT_NE(program.err.find(" s, 110 reports\r\n"), std::string::npos) << program.err;

    // Not on a terminal: nothing but failures.
    EXPECT_EQ(Tool({"version", "6"}, sockets).err, "");
}

TEST_F(ToolAnswers, ABackupFolderIsMadeWhenMissingForTheUserAlone)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb")}));
    ASSERT_EQ(RunTool({"new", "6", "-o", Path("p.zqp")}).status, 0);
    // A keyboard fresh from the factory holds nothing that could be read back.
    ASSERT_EQ(Tool({"program", Path("p.zqp")}, Path("kb")).status, 0);
    for (const char* folder : {"fresh/share/backups", "slash/"}) {
        SCOPED_TRACE(folder);
        const ToolRun program = Tool({"program", Path("p.zqp"), "--backup", Path(folder)}, Path("kb"));
        EXPECT_EQ(program.status, 0) << program.err;
        struct stat status
        {
        };
        ASSERT_EQ(::stat(Path(folder).c_str(), &status), 0);
        EXPECT_TRUE(S_ISDIR(status.st_mode));
        // Windows folders have no mode bits; the user's own profile keeps them private there.
        if (ToolKeepsPosixModes()) {
            EXPECT_EQ(status.st_mode & 0777, 0700u);
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path(folder)),
                                std::filesystem::directory_iterator()),
                  1);
    }
    // A name ending in .zqp stays a file, and its folder is not made.
    const ToolRun file = Tool({"program", Path("p.zqp"), "--backup", Path("none/b.zqp")}, Path("kb"));
    EXPECT_EQ(file.status, 4);
    EXPECT_FALSE(Exists(Path("none")));
}

TEST_F(ToolAnswers, AKeyboardThatCannotBeReadIsSaidToBeUntouched)
{
    // Fresh from the factory, the keyboard holds nothing the family can decode.
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb")}));
    ASSERT_EQ(RunTool({"new", "6", "-o", Path("p.zqp")}).status, 0);
    const ToolRun program = Tool({"program", Path("p.zqp"), "--backup", Path("b.zqp")}, Path("kb"));
    EXPECT_EQ(program.status, 11);
    EXPECT_EQ(program.err.rfind("backup: Error on data decoding.\nData are invalid.", 0), 0u) << program.err;
    EXPECT_FALSE(Exists(Path("b.zqp")));
}

TEST_F(ToolAnswers, SimulatorEntriesThatCannotWorkSayWhatToDo)
{
    const ToolRun byName = Tool({"list"}, "tcp:localhost:4000");
    EXPECT_EQ(byName.status, 12);
    EXPECT_NE(byName.out.find("use tcp:127.0.0.1:4000 instead of tcp:localhost:4000"), std::string::npos)
        << byName.out;
    const ToolRun version = Tool({"version", "6"}, "tcp:localhost:4000");
    EXPECT_EQ(version.status, 12);
    EXPECT_EQ(version.err,
              "No device was found.\nzqtool: use tcp:127.0.0.1:4000 instead of tcp:localhost:4000\n");
    const ToolRun device = RunTool({"version", "6", "--device", "tcp:localhost:4000"});
    EXPECT_EQ(device.status, 64);
    EXPECT_NE(device.err.find("use tcp:127.0.0.1:4000"), std::string::npos) << device.err;

    // The USB cable is no matter for a simulated keyboard, nor for a ZQ-1100.
    const ToolRun nobody = Tool({"list"}, Path("nobody"));
    EXPECT_EQ(nobody.status, 12);
    EXPECT_EQ(nobody.err, "No device was found.\n");

    if (::geteuid() == 0) {
        GTEST_SKIP() << "root opens any socket";
    }
    std::filesystem::create_directory(Path("closed"));
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("closed/kb")}));
    ASSERT_EQ(::chmod(Path("closed").c_str(), 0), 0);
    const ToolRun closed = Tool({"list"}, Path("closed/kb"));
    ::chmod(Path("closed").c_str(), 0700);
    EXPECT_NE(closed.out.find("permission denied to open " + Path("closed/kb")), std::string::npos)
        << closed.out;
}

} // namespace
