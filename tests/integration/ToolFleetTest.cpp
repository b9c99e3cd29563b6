// zqtool programming a row of zqsim keyboards at once, and comparing projects and keyboards.
#include "ExpectedImages.h"
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ToolFleet : public ToolDeviceTest
{
protected:
    // The keyboards' sockets joined for ZQ_SIMULATOR.
    std::string Sockets(const std::vector<std::string>& names) const
    {
        std::string joined;
        for (const std::string& name : names) {
            joined += (joined.empty() ? "" : ":") + Path(name);
        }
        return joined;
    }
    // One field of every row of a JSON report, e.g. "result", as a Python list.
    static std::string Column(const ToolRun& run, const std::string& field)
    {
        return EvaluateJson(run.out, "[k['" + field + "'] for k in d['keyboards']]");
    }
};

// The project's image is 2054 bytes, written in 17 chunks from 0x0810: a keyboard gone after 40
// requests has had the header read and part of the image written.
TEST_F(ToolFleet, EachKeyboardGetsItsRowAndOneFailingStopsNoOther)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket",
                           Path("ok"),
                           "--firmware-version",
                           "1.2.3",
                           "--dump-memory",
                           Path("ok.bin"),
                           "--socket",
                           Path("corrupt"),
                           "--corrupt-byte",
                           "0x0890",
                           "--socket",
                           Path("gone"),
                           "--disconnect-after",
                           "40",
                           "--socket",
                           Path("busy"),
                           "--busy",
                           "3:5",
                           "--dump-memory",
                           Path("busy.bin")}));
    const std::string project = Write("p.zqp", kProgrammedZq2200Project);
    const ToolRun run =
        Tool({"program", project, "--all", "--json"}, Sockets({"ok", "corrupt", "gone", "busy"}));
    EXPECT_EQ(run.status, 20) << "the first failure's code\n" << run.err;
    EXPECT_EQ(Column(run, "result"), "[0, 20, 16, 0]") << run.out;
    EXPECT_EQ(Column(run, "type"), "['ZQ-2200', 'ZQ-2200', 'ZQ-2200', 'ZQ-2200']");
    EXPECT_EQ(Column(run, "firmware"), "['1.2.3', '1.0.0', '1.0.0', '1.0.0']");
    EXPECT_EQ(Column(run, "backup"), "[None, None, None, None]");
    EXPECT_EQ(Column(run, "verifiable"), "[True, True, True, True]");
    EXPECT_EQ(EvaluateJson(run.out, "d['keyboards'][1]['message']"),
              "The keyboard holds other data than were written.\nThe first difference is at address 0x0890.");
    EXPECT_EQ(EvaluateJson(run.out, "all(k['reports'] > 0 and k['seconds'] >= 0 for k in d['keyboards'])"),
              "True");
    const Bytes expected = ProgrammedZq2200Image();
    for (const char* dump : {"ok.bin", "busy.bin"}) {
        const Bytes memory = ReadFileBytes(Path(dump));
        ASSERT_GE(memory.size(), 16 + expected.size()) << dump;
        EXPECT_EQ(
            DescribeDifference(Bytes(memory.begin() + 16, memory.begin() + 16 + expected.size()), expected),
            "")
            << dump;
    }
}

TEST_F(ToolFleet, RetryingTheFailedRowsProgramsThoseAlone)
{
    SimProcess sim;
    // The first write command of "flaky" fails; the next try goes through.
    ASSERT_TRUE(sim.Start({"--socket", Path("ok"), "--socket", Path("flaky"), "--fail", "3:1=2"}));
    const std::string sockets = Sockets({"ok", "flaky"});
    const std::string project = Write("p.zqp", kProgrammedZq2200Project);
    // The report as the tool wrote it: under a runner a run's text shows each entry as the socket
    // it stands for, which the tool itself could not reach.
    const std::string report = Path("report.json");
    ToolOptions toFile;
    toFile.simulator = sockets;
    toFile.output = report;
    ToolRun first = RunTool({"program", project, "--all", "--json"}, toFile);
    EXPECT_EQ(first.status, 16) << first.err;
    first.out = ReadWholeFile(report);
    EXPECT_EQ(Column(first, "result"), "[0, 16]");

    const ToolRun retry = Tool({"program", project, "--retry-failed", report, "--json"}, sockets);
    EXPECT_EQ(retry.status, 0) << retry.err;
    EXPECT_EQ(Column(retry, "result"), "[0]");
    EXPECT_EQ(EvaluateJson(retry.out, "d['keyboards'][0]['device'].split('/')[-1]"), "flaky");

    const ToolRun nothing = Tool({"program", project, "--retry-failed",
                                  Write("r2.json", R"({"keyboards": [{"device": "x", "result": 0}]})")},
                                 sockets);
    EXPECT_EQ(nothing.status, 0);
    EXPECT_NE(nothing.err.find("no keyboard failed"), std::string::npos) << nothing.err;

    const ToolRun broken =
        Tool({"program", project, "--retry-failed", Write("bad.json", "{\"keyboards\": 1}")}, sockets);
    EXPECT_EQ(broken.status, 4);
    EXPECT_NE(broken.err.find("not a report"), std::string::npos) << broken.err;
}

TEST_F(ToolFleet, RepeatedDevicesChooseTheKeyboardsAndTheTableAndCsvSayTheSame)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("a"), "--socket", Path("b"), "--dump-memory", Path("b.bin"),
                           "--socket", Path("c"), "--dump-memory", Path("c.bin")}));
    const std::string sockets = Sockets({"a", "b", "c"});
    const std::string project = Write("p.zqp", kProgrammedZq2200Project);
    const ToolRun table = Tool({"program", project, "--device", Path("c"), "--device", Path("b")}, sockets);
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out.rfind("DEVICE ", 0), 0u) << table.out;
    EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 3) << table.out;
    EXPECT_TRUE(Exists(Path("b.bin")));
    EXPECT_TRUE(Exists(Path("c.bin")));

    const ToolRun csv = Tool({"program", project, "--all", "--csv", "--no-verify"}, sockets);
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("device,type,firmware,backup,result,message,reports,seconds,verifiable\r\n", 0),
              0u);
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 4) << csv.out;
}

TEST_F(ToolFleet, EachKeyboardIsBackedUpUnderItsPortsNameBeforeItIsWritten)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--socket", Path("kb1"), "--socket", Path("kb2")}));
    const std::string sockets = Sockets({"kb1", "kb2"});
    const std::string backups = Path("backups");
    ASSERT_EQ(RunTool({"new", "6", "-o", Path("empty.zqp")}).status, 0);
    ASSERT_EQ(Tool({"program", Path("empty.zqp"), "--all", "--json"}, sockets).status, 0);
    const ToolRun run =
        Tool({"program", Write("p.zqp", kProgrammedZq2200Project), "--all", "--backup", backups, "--json"},
             sockets);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> files = FolderEntries(backups);
    ASSERT_EQ(files.size(), 2u);
    // Each row names its own file, named after its port.
    EXPECT_EQ(
        EvaluateJson(run.out,
                     "sorted(k['backup'].replace(chr(92), '/').split('/')[-1] for k in d['keyboards'])"),
        "['" + files[0] + "', '" + files[1] + "']");
    EXPECT_NE(files[0].substr(0, files[0].find('_')), files[1].substr(0, files[1].find('_')));
    // What the keyboards held before, not what they hold now.
    for (const std::string& file : files) {
        EXPECT_EQ(RunTool({"diff", Path("empty.zqp"), backups + "/" + file}).status, 0) << file;
    }
}

TEST_F(ToolFleet, WithoutKeyboardsOrWithClashingOptionsNothingIsProgrammed)
{
    const std::string project = Write("p.zqp", kProgrammedZq2200Project);
    const ToolRun none = Tool({"program", project, "--all"}, Path("nobody"));
    EXPECT_EQ(none.status, 12);
    EXPECT_EQ(none.out, "");
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"program", project, "--all", "--device", Path("a")},
          {"program", project, "--all", "--json", "--csv"},
          {"program", project, "--all", "--backup", Path("one.zqp")},
          {"version", "6", "--device", Path("a"), "--device", Path("b")}}) {
        EXPECT_EQ(Tool(words, Path("a")).status, 64) << words.back();
    }
}

class ToolDiff : public ToolDeviceTest
{
};

TEST_F(ToolDiff, FilesCompareAsDiffAndCmpDo)
{
    const std::string a = Write("a.zqp", kProgrammedZq2200Project);
    const std::string same = Write("same.zqp", kProgrammedZq2200Project);
    std::string changedText = kProgrammedZq2200Project;
    changedText.replace(changedText.find("41:M1,S+,K0x1E"), 14, "41:M1,S+,K0x1F");
    const std::string changed = Write("changed.zqp", changedText);

    const ToolRun equal = RunTool({"diff", a, same});
    EXPECT_EQ(equal.status, 0) << equal.err;
    EXPECT_EQ(equal.out, "");
    const ToolRun different = RunTool({"diff", a, changed});
    EXPECT_EQ(different.status, 1) << different.err;
    EXPECT_EQ(different.out, "2\t41\tcodes\t1\t2\n");
    const ToolRun json = RunTool({"diff", a, changed, "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(EvaluateJson(json.out,
                           "(d['equal'], d['differences'][0]['layout'], d['differences'][0]['field'], "
                           "d['differences'][0]['a'], d['differences'][0]['b'])"),
              "(False, 2, 'codes', '1', '2')");
    EXPECT_EQ(EvaluateJson(RunTool({"diff", a, same, "--json"}).out, "(d['equal'], d['differences'])"),
              "(True, [])");

    std::string renamedText = kProgrammedZq2200Project;
    renamedText.replace(renamedText.find("41:M1,S+,K0x1E"), 14, "41:M1,S+,K0x1E,N=One");
    const std::string renamed = Write("renamed.zqp", renamedText);
    EXPECT_EQ(RunTool({"diff", a, renamed}).status, 1);
    const ToolRun ignored = RunTool({"diff", a, renamed, "--ignore-names"});
    EXPECT_EQ(ignored.status, 0) << ignored.err;
}

TEST_F(ToolDiff, AnythingThatCannotBeComparedIsStatusTwoWithTheReason)
{
    const std::string a = Write("a.zqp", kProgrammedZq2200Project);
    const ToolRun missing = RunTool({"diff", a, Path("missing.zqp")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("missing.zqp"), std::string::npos) << missing.err;
    ASSERT_EQ(RunTool({"new", "0", "-o", Path("other.zqp")}).status, 0);
    const ToolRun family = RunTool({"diff", a, Path("other.zqp")});
    EXPECT_EQ(family.status, 2);
    EXPECT_NE(family.err.find("only projects of one family compare"), std::string::npos) << family.err;
    EXPECT_EQ(RunTool({"diff", a}).status, 64);
    EXPECT_EQ(RunTool({"diff", a, a, "--keyboard"}).status, 64);
}

TEST_F(ToolDiff, AKeyboardIsComparedWithoutNamesAndACorruptByteShows)
{
    SimProcess sim;
    // 0x0AC7 holds key 41's code: 0x1E ("1") flipped is 0xE1, Left Shift.
    ASSERT_TRUE(sim.Start({"--socket", Path("good"), "--socket", Path("bad"), "--corrupt-byte", "0x0AC7"}));
    std::string named = kProgrammedZq2200Project;
    named.replace(named.find("41:M1,S+,K0x1E"), 14, "41:M1,S+,K0x1E,N=One");
    const std::string project = Write("p.zqp", named);
    for (const char* socket : {"good", "bad"}) {
        ASSERT_EQ(Tool({"program", project, "--no-verify"}, Path(socket)).status, 0) << socket;
    }
    const ToolRun good = Tool({"diff", project, "--keyboard"}, Path("good"));
    EXPECT_EQ(good.status, 0) << good.out << good.err;
    const ToolRun bad = Tool({"diff", project, "--keyboard", "--json"}, Path("bad"));
    EXPECT_EQ(bad.status, 1) << bad.err;
    EXPECT_EQ(EvaluateJson(bad.out,
                           "[(r['layout'], r['key'], r['field'], r['a'], r['b']) for r in d['differences']]"),
              "[(2, 41, 'codes', '1', 'Left_shift')]");
    EXPECT_EQ(EvaluateJson(bad.out, "'name' in d['compared']"), "False");
    const ToolRun gone = Tool({"diff", project, "--keyboard"}, Path("nobody"));
    EXPECT_EQ(gone.status, 2);
    EXPECT_NE(gone.err.find("keyboard: "), std::string::npos) << gone.err;
}

} // namespace
