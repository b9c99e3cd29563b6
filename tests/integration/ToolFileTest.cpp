// zqtool's file commands: new, check, convert and image, with their exit statuses.
#include "ExpectedImages.h"
#include "SpecialFiles.h"
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

namespace {

const char* const kCannotOpen = "Can not open the file.";
const char* const kUnknownFormat = "Unknown file format, or incorrect file.";
const char* const kDecodingErrors = "There was some errors in decoding of file.";
const char* const kCannotSave = "Can not save file to disk.";

// A message about a file: which one, what went wrong, and why.
std::string FileError(const std::string& path, const std::string& text, const std::string& why)
{
    return "zqtool: " + path + ": " + text + " (" + why + ")\n";
}

class ToolFiles : public ::testing::Test
{
protected:
    std::string NewProject(const std::string& type, const std::string& name)
    {
        std::string path = m_folder.File(name);
        ToolRun run = RunTool({"new", type, "-o", path});
        EXPECT_EQ(run.status, 0) << run.err;
        return path;
    }
    std::string Write(const std::string& name, const std::string& text) { return m_folder.Write(name, text); }
    Bytes Image(const std::string& project, std::vector<std::string> extra = {})
    {
        const std::string out = m_folder.File("image" + std::to_string(++m_images) + ".bin");
        std::vector<std::string> arguments{"image", project, "-o", out};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.err.empty()) << run.err;
        return ReadFileBytes(out);
    }

    TempFolder m_folder;
    int m_images = 0;
};

TEST_F(ToolFiles, NewProjectsOfEachFamilyCheckClean)
{
    struct
    {
        const char* type;
        const char* name;
        const char* overview;
    } cases[] = {
        {"6", "a.zqp",
         "type\t6\tZQ-2200 (one layout)\nconversion\t5\tConvert to ZQ-2200 (two layouts)\n"
         "conversion\t6\tConvert to ZQ-2200 (three layouts)\n"},
        {"1", "b.zqp", "type\t1\tZQ-3300 double (two layouts)\n"},
        {"7", "c.txt",
         "type\t7\tZQ-1100 v1 single (7 scans)\nconversion\t1\tConvert to ZQ-1100 v2 single \n"},
    };
    for (const auto& c : cases) {
        ToolRun check = RunTool({"check", NewProject(c.type, c.name)});
        EXPECT_EQ(check.status, 0) << c.type << check.err;
        EXPECT_TRUE(check.err.empty());
        EXPECT_EQ(check.out.rfind(c.overview, 0), 0u) << check.out;
    }
    // The second legacy format has the short header, which a 16-scan project cannot read back: it
    // is written as asked, with a warning.
    ToolRun shortHeader = RunTool({"new", "9", "-o", m_folder.File("e.txt"), "--format", "2"});
    ASSERT_EQ(shortHeader.status, 0);
    EXPECT_EQ(shortHeader.err, "zqtool: format 2 cannot be read back as ZQ-1100 v2 single (16 scans)\n");
    ToolRun check = RunTool({"check", m_folder.File("e.txt")});
    EXPECT_EQ(check.status, 3);
    EXPECT_EQ(check.err, FileError(m_folder.File("e.txt"), kDecodingErrors, "line 1"));
    EXPECT_TRUE(RunTool({"new", "9", "-o", m_folder.File("f.txt"), "--format", "1"}).err.empty());
}

TEST_F(ToolFiles, CheckAnswersEachOpeningOutcome)
{
    ToolRun missing = RunTool({"check", m_folder.File("missing.zqp")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, FileError(m_folder.File("missing.zqp"), kCannotOpen, "No such file or directory"));
    EXPECT_TRUE(missing.out.empty());
    EXPECT_EQ(RunTool({"check", Write("empty.zqp", "")}).err,
              FileError(m_folder.File("empty.zqp"), kCannotOpen, "the file is empty"));
    EXPECT_EQ(RunTool({"check", m_folder.File("")}).status, 1); // a folder
    // In the language asked for, from the tables beside the program; the locale's when none is.
    ToolOptions german;
    german.environment = {"ZQ_LANGUAGE=de"};
    EXPECT_EQ(RunTool({"check", m_folder.File("missing.zqp")}, german)
                  .err.rfind("zqtool: " + m_folder.File("missing.zqp") + ": Die Datei kann nicht ge", 0),
              0u);
    ToolOptions polish;
    polish.environment = {"ZQ_LANGUAGE=", "LC_ALL=", "LC_MESSAGES=pl_PL.UTF-8"};
    EXPECT_EQ(RunTool({"check", m_folder.File("missing.zqp")}, polish).err.find(kCannotOpen),
              std::string::npos);

    ToolRun unknown = RunTool({"check", Write("unknown.zqp", "ZQ-2200.v1 \r\nRFID=9N\r\n")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err,
              FileError(m_folder.File("unknown.zqp"), kUnknownFormat, "the first line ends in blanks"));

    // Index 121 does not exist on a ZQ-2200: the rest still loads. The first faulty line is named,
    // counted as an editor counts, whatever the line ends and blank lines before it.
    const std::string options = "RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC1";
    const std::pair<std::string, const char*> faulty[] = {
        {"zq-2200.V1\r\n" + options + "\r\n121:M1,S+,K0x04\r\n", "line 3"},
        {"zq-2200.V1\n\n" + options + "\n\n\n5:M1\n  121:M1\n122:M1\n", "line 7"},
        {"zq-2200.V1\r\r\n" + options + "\r; note\r\n5:M1\r\n2:X9\r\n", "line 6"},
        // An options line refused before one is accepted is no error; one never followed by any is.
        {"zq-2200.V1\r\nRFID=x\r\n" + options + "\r\n121:M1\r\n", "line 4"},
        {"zq-2200.V1\r\n5:M1\r\nRFID=x\r\n", "line 2"},
        {"56; 7; 0; 2; 11\r\n", "line 1"},
        {"56; 0; 0; 2; 11\r\n1; 0, 0, 0, 0, 0, 0, 0; 2; Key_1\r\n2; x\r\n", "line 3"},
        {"56; 0; 0; 2; 11\r\n1; 0, 0, 0, 0, 0, 0, 0; 2; Key_1\r\n", "line 3"},
    };
    for (const auto& [text, line] : faulty) {
        ToolRun partly = RunTool({"check", Write("bad.zqp", text)});
        EXPECT_EQ(partly.status, 3) << text;
        EXPECT_EQ(partly.err, FileError(m_folder.File("bad.zqp"), kDecodingErrors, line)) << text;
    }
    EXPECT_EQ(RunTool({"check", Write("bad.zqp", faulty[0].first)}).out.rfind("type\t6\t", 0), 0u);
}

TEST_F(ToolFiles, InputsThatAreNoFileEndAtOnceAsCannotOpen)
{
    // /dev/zero once grew without limit and a FIFO waited for a writer for ever.
    for (const std::string& path : MakeNonRegularInputs(m_folder)) {
        SCOPED_TRACE(path);
        ToolRun check = RunTool({"check", path});
        EXPECT_EQ(check.status, 1);
        EXPECT_EQ(check.err.rfind("zqtool: " + path + ": " + kCannotOpen + " (", 0), 0u) << check.err;
        ToolRun firmware = RunTool({"firmware", "6", path});
        EXPECT_EQ(firmware.status, 3);
        EXPECT_EQ(firmware.err.rfind("zqtool: " + path + ": Cannot open file! (", 0), 0u) << firmware.err;
    }
}

TEST_F(ToolFiles, SavingFailuresExitWithFour)
{
    const std::string nowhere = m_folder.File("no/such/folder/x.zqp");
    const std::string missingFolder = FileError(nowhere, kCannotSave, "No such file or directory");
    ToolRun created = RunTool({"new", "4", "-o", nowhere});
    EXPECT_EQ(created.status, 4);
    EXPECT_EQ(created.err, missingFolder);
    ToolRun converted = RunTool({"convert", NewProject("4", "p.zqp"), "-o", nowhere});
    EXPECT_EQ(converted.status, 4);
    EXPECT_EQ(converted.err, missingFolder);
    ToolRun image = RunTool({"image", m_folder.File("p.zqp"), "-o", nowhere});
    EXPECT_EQ(image.status, 4);
    EXPECT_EQ(image.err, missingFolder);
    ToolRun folder = RunTool({"new", "4", "-o", m_folder.File("")});
    EXPECT_EQ(folder.status, 4);
    EXPECT_EQ(folder.err, FileError(m_folder.File(""), kCannotSave, "Is a directory"));
}

TEST_F(ToolFiles, LossyConversionNeedsForce)
{
    const std::string three = NewProject("4", "three.zqp"), out = m_folder.File("out.zqp");
    const std::string check = RunTool({"check", three}).out;
    EXPECT_NE(check.find("\nconversion\t4\tConvert to ZQ-2200 (one layout)\tloses data\n"), std::string::npos)
        << check;
    EXPECT_NE(check.find("\nconversion\t1\tExchange first and second layout\n"), std::string::npos) << check;
    ToolRun refused = RunTool({"convert", three, "--item", "4", "-o", out});
    EXPECT_EQ(refused.status, 5);
    EXPECT_EQ(refused.err, "zqtool: conversion 4 loses data; use --force\n");
    EXPECT_FALSE(Exists(out));

    ToolRun forced = RunTool({"convert", three, "--item", "4", "-o", out, "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.err, "zqtool: conversion 4 dropped 2 layouts (3 to 1)\n");
    EXPECT_EQ(RunTool({"check", out}).out.rfind("type\t6\t", 0), 0u);

    // Adding layouts loses nothing; items run in order, and one not offered stops the rest.
    EXPECT_EQ(RunTool({"convert", out, "--item", "5", "--item", "1", "-o", out}).status, 0);
    EXPECT_EQ(RunTool({"check", out}).out.rfind("type\t5\t", 0), 0u);
    ToolRun notOffered = RunTool({"convert", out, "--item", "2", "-o", m_folder.File("x.zqp")});
    EXPECT_EQ(notOffered.status, 5);
    EXPECT_NE(notOffered.err.find("conversion 2 is not offered"), std::string::npos);
    EXPECT_EQ(RunTool({"convert", out, "--item", "7", "-o", m_folder.File("x.zqp")}).status, 5);
    EXPECT_FALSE(Exists(m_folder.File("x.zqp")));
}

// A ZQ-3300 double with two layouts per side becoming single: the other side's key under a layout
// switch key keeps its codes, in one call and over a saved step.
TEST_F(ToolFiles, DoubleToSingleKeepsTheOtherSidesKeyUnderASwitchKey)
{
    const std::string head = "ZQ-3300.v1\r\nRFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC2D\r\n";
    // Key 10 of the right side's first layout, and the same position in the left side's second.
    const std::string rightSwitch =
        Write("r.zqp", head + "10:L2,N=Switch\r\n178:M1,S+,K0x04,N=Other side\r\n");
    // Key 10 of the left side's first layout, and the same position in the right side's second.
    const std::string leftSwitch =
        Write("l.zqp", head + "66:L2,N=Switch\r\n122:M1,S+,K0x04,N=Other side\r\n");
    const std::string exchanged = m_folder.File("x.zqp");
    ASSERT_EQ(RunTool({"convert", leftSwitch, "--item", "1", "-o", exchanged}).status, 0);
    const std::vector<std::vector<std::string>> runs{
        {"convert", rightSwitch, "--item", "6"},
        {"convert", leftSwitch, "--item", "1", "--item", "6"},
        {"convert", exchanged, "--item", "6"},
    };
    for (std::vector<std::string> run : runs) {
        const std::string out = m_folder.File("single.zqp");
        run.insert(run.end(), {"-o", out, "--force"});
        ASSERT_EQ(RunTool(run).status, 0) << run[1];
        const Bytes saved = ReadFileBytes(out);
        const std::string text(saved.begin(), saved.end());
        EXPECT_NE(text.find("\r\n66:M1,S+,K0x04,N=Other side\r\n"), std::string::npos) << run[1] << text;
        EXPECT_NE(text.find("\r\n10:M1,S+,N=Switch\r\n"), std::string::npos) << run[1];
    }
}

TEST_F(ToolFiles, ConvertOpensAsCheckDoes)
{
    const std::string out = m_folder.File("out.zqp");
    EXPECT_EQ(RunTool({"convert", m_folder.File("missing.zqp"), "-o", out}).status, 1);
    EXPECT_EQ(RunTool({"convert", Write("u.zqp", "hello\n"), "-o", out}).status, 2);
    ToolRun partly = RunTool({"convert", Write("b.zqp", "ZQ-3300.v1\r\nRFID=9N\r\n"), "-o", out});
    EXPECT_EQ(partly.status, 3);
    EXPECT_EQ(partly.err, FileError(m_folder.File("b.zqp"), kDecodingErrors, "line 2"));
    EXPECT_FALSE(Exists(out));

    // A legacy project keeps the format it was read in unless --format says otherwise.
    const std::string legacy = NewProject("10", "l.txt");
    ASSERT_EQ(RunTool({"convert", legacy, "--item", "4", "-o", m_folder.File("m.txt")}).status, 0);
    EXPECT_EQ(ReadFileBytes(m_folder.File("m.txt")).size(), ReadFileBytes(legacy).size());
    ASSERT_EQ(RunTool({"convert", legacy, "-o", m_folder.File("n.txt"), "--format", "2"}).status, 0);
    EXPECT_LT(ReadFileBytes(m_folder.File("n.txt")).size(), ReadFileBytes(legacy).size());
}

TEST_F(ToolFiles, ImagesMatchHandMadeBytes)
{
    EXPECT_EQ(DescribeDifference(Image(NewProject("6", "a.zqp")), EmptyZq2200OneLayoutImage()), "");
    EXPECT_EQ(DescribeDifference(Image(Write("p.zqp", kProgrammedZq2200Project)), ProgrammedZq2200Image()),
              "");
    EXPECT_EQ(DescribeDifference(Image(NewProject("3", "b.zqp")), EmptyZq3300SingleImage()), "");
    EXPECT_EQ(DescribeDifference(Image(NewProject("7", "c.txt")), EmptyZq1100V1SingleImage()), "");
    const std::string v2double = NewProject("10", "d.txt");
    EXPECT_EQ(DescribeDifference(Image(v2double), EmptyZq1100V2DoubleImage()), "");
    EXPECT_EQ(DescribeDifference(Image(v2double, {"--keyboard-version", "2"}), EmptyZq1100V2DoubleImage()),
              "");
}

TEST_F(ToolFiles, ImageForTheWrongKeyboardVersionIsRefused)
{
    const std::string out = m_folder.File("image.bin");
    ToolRun run = RunTool({"image", NewProject("10", "d.txt"), "-o", out, "--keyboard-version", "1"});
    EXPECT_EQ(run.status, 9);
    EXPECT_EQ(run.err, "Incorrect keyboard version.\n\nConvert the project to the folowing version: "
                       "ZQ-1100 v2 single (16 scans)\n");
    EXPECT_FALSE(Exists(out));
    ToolRun unknown = RunTool({"image", m_folder.File("d.txt"), "-o", out, "--keyboard-version", "3"});
    EXPECT_EQ(unknown.status, 10);
    EXPECT_EQ(unknown.err, "Unsupported keyboard version.\n");
    EXPECT_FALSE(Exists(out));
    EXPECT_EQ(RunTool({"image", m_folder.File("missing.txt"), "-o", out}).status, 1);
}

} // namespace
