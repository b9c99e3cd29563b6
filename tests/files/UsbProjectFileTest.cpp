#include "io/BufferedFile.h"
#include "model/KeyboardCatalogue.h"
#include "model/UsbKeyCell.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const std::string kDefault2200Options = "RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC3";
const std::string kMagic2200 = "ZQ-2200.v1";

// Joins lines with CR LF, each line terminated, as a saved file holds them.
std::string CrLf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// The line of a cell nobody touched: an empty simple key with its default name.
std::string EmptyKeyLine(uint16_t index)
{
    const std::string number = std::to_string(index);
    return number + ":M1,S+,N=Key_" + number;
}

// Empty for a key without programming.
std::string CodesAt(Keyboard& keyboard, uint16_t column, uint16_t row, uint8_t layout)
{
    std::string name;
    std::string codes;
    keyboard.GetKeyTexts(&name, &codes, column, row, layout);
    return codes;
}

class UsbProjectFile : public ::testing::Test
{
protected:
    bool Load(Keyboard& keyboard, const std::string& bytes)
    {
        EXPECT_TRUE(WriteWholeFile(m_path, bytes));
        uint8_t format = 0;
        return keyboard.LoadFile(m_path, &format);
    }
    std::string Save(Keyboard& keyboard)
    {
        uint8_t format = 0;
        EXPECT_TRUE(keyboard.SaveFile(m_path, &format));
        EXPECT_EQ(format, 1);
        return ReadWholeFile(m_path);
    }

    TempFolder m_folder;
    std::string m_path = m_folder.File("layout.zqp");
};

TEST_F(UsbProjectFile, OptionsLinesOfBothFamilies)
{
    EXPECT_EQ(Zq2200Keyboard(3).FormatOptionsLine(), kDefault2200Options);
    EXPECT_EQ(Zq3300Keyboard(true, 1).FormatOptionsLine(), "RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC1D");
    EXPECT_EQ(Zq3300Keyboard(true, 2).FormatOptionsLine(), "RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC2D");
    EXPECT_EQ(Zq3300Keyboard(false, 2).FormatOptionsLine(), "RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC2S");
    EXPECT_EQ(Zq3300Keyboard(false, 1).FormatOptionsLine(), "RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC1S");

    Zq2200Keyboard keyboard(2);
    const std::string changed = "RFID=12,T,P=7,R=31,D=0,KP0xE104,KS0x0028,LC2";
    EXPECT_TRUE(keyboard.ParseOptionsLine(changed));
    EXPECT_EQ(keyboard.FormatOptionsLine(), changed);
    // Letter case of the token names does not matter.
    EXPECT_TRUE(keyboard.ParseOptionsLine("rfid=5n,mb,p=1,r=2,d=3,kp0x0000,ks0x0000,lc2"));
    EXPECT_EQ(keyboard.FormatOptionsLine(), "RFID=5N,MB,P=1,R=2,D=3,KP0x0000,KS0x0000,LC2");
}

TEST_F(UsbProjectFile, RefusedOptionTokensMarkAnErrorButLaterTokensStillApply)
{
    Zq2200Keyboard keyboard(3);
    // RFID digits above the range, an empty token, an unknown token, a lower-case t.
    EXPECT_FALSE(keyboard.ParseOptionsLine("RFID=20N,T,,X=1,P=9,t,R=0x1F,KP0x0100,LC2"));
    EXPECT_EQ(keyboard.FormatOptionsLine(), "RFID=9N,T,P=9,R=31,D=2,KP0x0000,KS0x0000,LC2");

    for (const char* bad : {"RFID=", "RFID=N", "RFID=9 ", "P=256", "D=4", "LC0", "LC4", "LC", "KS0x10000"}) {
        SCOPED_TRACE(bad);
        Zq2200Keyboard fresh(3);
        EXPECT_FALSE(fresh.ParseOptionsLine(bad));
        EXPECT_EQ(fresh.GetLayoutCount(), 3);
    }
    // A zero byte inside a number is no number.
    EXPECT_FALSE(Zq2200Keyboard(3).ParseOptionsLine(std::string("P=1\0x", 5)));
}

TEST_F(UsbProjectFile, LayoutCountTokenSwitchesTheVariant)
{
    struct Case
    {
        const char* token;
        bool accepted;
        uint8_t typeId;
    };
    for (const Case& c : {Case{"LC2D", true, 1}, Case{"lc1s", true, 3}, Case{"LC2S", true, 2},
                          Case{"LC1D", true, 0}, Case{"LC3D", false, 0}, Case{"LC0D", false, 0},
                          Case{"LCD", false, 0}, Case{"LC2X", false, 0}, Case{"LC2", false, 0}}) {
        SCOPED_TRACE(c.token);
        Zq3300Keyboard keyboard(true, 1);
        EXPECT_EQ(keyboard.ParseOptionsLine(std::string("MB,") + c.token), c.accepted);
        EXPECT_EQ(keyboard.GetTypeId(), c.typeId);
    }
    // Without the token the variant is unknown, and with any other error it is not switched.
    Zq3300Keyboard keyboard(true, 1);
    EXPECT_FALSE(keyboard.ParseOptionsLine("RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000"));
    EXPECT_FALSE(keyboard.ParseOptionsLine("P=999,LC2S"));
    EXPECT_EQ(keyboard.GetTypeId(), 0);
}

TEST_F(UsbProjectFile, SavesMagicOptionsAndEveryKeyLineWithCrLf)
{
    Zq2200Keyboard keyboard(1);
    ASSERT_TRUE(keyboard.SetKeyTexts("Shift A", "M1,S+,K0xE1,K0x04", 1, 1, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Ctrl", "M2,S-,K0xE0", 3, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(3, 1, ShapeBelow, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Wide", "M1,K0x05", 1, 3, 1));
    ASSERT_TRUE(keyboard.ChangeShape(1, 3, ShapeRight, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Big", "M1,S-,K0x06", 4, 7, 1));
    ASSERT_TRUE(keyboard.ChangeShape(4, 7, 0x1A, 1));
    std::vector<std::string> lines = {kMagic2200, "RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC1"};
    for (uint16_t index = 1; index <= 40; ++index) {
        // Covered cells of merged keys get no line.
        if (index == 8 || index == 12 || index == 35 || index == 39 || index == 40) {
            continue;
        }
        std::string line = EmptyKeyLine(index);
        if (index == 1) {
            line = "1:M1,S+,K0xE1,K0x04,N=Shift A";
        } else if (index == 3) {
            line = "3:G1,M2,S-,K0xE0,N=Ctrl";
        } else if (index == 11) {
            line = "11:G2,M1,S+,K0x05,N=Wide";
        } else if (index == 34) {
            line = "34:G3,M1,S-,K0x06,N=Big";
        }
        lines.push_back(line);
    }
    EXPECT_EQ(Save(keyboard), CrLf(lines));

    // Saving again over the longer file leaves nothing of it behind.
    Zq2200Keyboard empty(1);
    std::vector<std::string> shorter = {kMagic2200, "RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC1"};
    for (uint16_t index = 1; index <= 40; ++index) {
        shorter.push_back(EmptyKeyLine(index));
    }
    EXPECT_EQ(Save(empty), CrLf(shorter));
}

TEST_F(UsbProjectFile, LayoutSwitchKeysAreWrittenOncePerSide)
{
    Zq2200Keyboard zq2200(3);
    ASSERT_TRUE(zq2200.SetKeyTexts("Two", "L2", 3, 2, 1));
    const std::string text = Save(zq2200);
    EXPECT_NE(text.find("\r\n8:L2,S+,N=Two\r\n"), std::string::npos);
    EXPECT_EQ(text.find("\r\n48:"), std::string::npos);
    EXPECT_EQ(text.find("\r\n88:"), std::string::npos);
    EXPECT_NE(text.find("\r\n47:M1,S+,N=Key_47\r\n49:M1,S+,N=Key_49\r\n"), std::string::npos);

    // Double keyboard with two layouts per side: left side is layouts 2 and 4.
    Zq3300Keyboard zq3300(true, 2);
    ASSERT_TRUE(zq3300.SetKeyTexts("Next", "L0", 1, 1, 2));
    ASSERT_TRUE(zq3300.SetKeyTexts("First", "L1", 2, 1, 3));
    const std::string doubleText = Save(zq3300);
    EXPECT_NE(doubleText.find("\r\n57:L0,S+,N=Next\r\n"), std::string::npos) << doubleText.substr(0, 300);
    EXPECT_EQ(doubleText.find("\r\n169:"), std::string::npos);
    // A switch key made in the later layout of its side is still written at the first.
    EXPECT_NE(doubleText.find("\r\n2:L1,S+,N=First\r\n"), std::string::npos);
    EXPECT_EQ(doubleText.find("\r\n114:"), std::string::npos);
    EXPECT_NE(doubleText.find("\r\n113:M1,S+,N=Key_113\r\n"), std::string::npos);

    Zq3300Keyboard loaded(true, 1);
    ASSERT_TRUE(Load(loaded, doubleText));
    EXPECT_EQ(CodesAt(loaded, 1, 1, 4), "L0,S+");
    EXPECT_EQ(CodesAt(loaded, 1, 1, 3), "");
    EXPECT_EQ(CodesAt(loaded, 2, 1, 3), "L1,S+");
    EXPECT_EQ(loaded.GetContentSignature(), zq3300.GetContentSignature());
}

TEST_F(UsbProjectFile, ReadsHandWrittenKeyLinesWithShapes)
{
    Zq2200Keyboard keyboard(3);
    const std::string file =
        CrLf({"zq-2200.V1", "; a comment", "# another", "", "   ",
              "  RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000,LC1  ", "1:G1,M1,S+,K0x04",
              "\t3:g2,M1,K0x05,N=Wide", "  34:G3,M2,K0xE1", "5:M1,K0x06,N=Name with blanks  ",
              "a line without colon after the options is ignored"});
    EXPECT_TRUE(Load(keyboard, file));
    EXPECT_EQ(keyboard.GetLayoutCount(), 1);
    EXPECT_EQ(keyboard.GetShapeFlags(1, 1, 1), ShapeBelow);
    EXPECT_EQ(CodesAt(keyboard, 1, 2, 1), "M1,S+,K0x04");
    EXPECT_EQ(keyboard.GetShapeFlags(3, 1, 1), ShapeRight);
    EXPECT_EQ(CodesAt(keyboard, 4, 1, 1), "M1,S+,K0x05");
    EXPECT_EQ(keyboard.GetShapeFlags(4, 7, 1) & (ShapeBelow | ShapeRight | ShapeRightBelow),
              ShapeBelow | ShapeRight | ShapeRightBelow);
    EXPECT_EQ(CodesAt(keyboard, 5, 8, 1), "M2,S-,K0xE1");
    std::string name;
    keyboard.GetKeyTexts(&name, nullptr, 5, 1, 1);
    EXPECT_EQ(name, "Name with blanks  ");
}

TEST_F(UsbProjectFile, BadKeyLinesMarkErrorsAndTheRestStillLoads)
{
    struct Case
    {
        const char* line;
        uint16_t column; // the cell that must stay single and keep what the line gave it
        const char* codes;
    };
    for (const Case& c : {
             Case{"21:G4,M1,K0x07", 1, "M1,S+,K0x07"}, // shape digit out of range: loaded single
             Case{"21:G0,M1,K0x07", 1, "M1,S+,K0x07"}, // shape 0 is no shape
             Case{"21:G3", 1, ""},                     // no comma after the shape
             Case{"21:G3M1,K0x07", 1, "M1,S+,K0x07"},  // the shape text runs to the comma
             Case{"21:M1,K0x07,Q", 1, "M1,S+,K0x07"},  // a refused token keeps the others
             Case{"121:M1,K0x07", 1, ""},              // beyond the cells
             Case{"0:M1,K0x07", 1, ""},                // no cell 0
             Case{"21 :M1,K0x07", 1, ""},              // text after the number
             Case{"21:", 1, ""},                       // no codes at all
         }) {
        SCOPED_TRACE(c.line);
        Zq2200Keyboard keyboard(3);
        EXPECT_FALSE(Load(keyboard, CrLf({kMagic2200, kDefault2200Options, c.line, "22:M1,K0x08"})));
        EXPECT_EQ(CodesAt(keyboard, c.column, 5, 1), c.codes);
        EXPECT_EQ(keyboard.GetShapeFlags(1, 5, 1), 0);
        EXPECT_EQ(CodesAt(keyboard, 2, 5, 1), "M1,S+,K0x08");
    }

    // The second line for a cell is refused; the first programming stays.
    Zq2200Keyboard keyboard(3);
    EXPECT_FALSE(Load(keyboard, CrLf({kMagic2200, kDefault2200Options, "5:M1,K0x04", "5:M1,K0x05"})));
    EXPECT_EQ(CodesAt(keyboard, 5, 1, 1), "M1,S+,K0x04");
    // So is a line for a cell that a layout switch key already covers.
    Zq2200Keyboard linked(3);
    EXPECT_FALSE(Load(linked, CrLf({kMagic2200, kDefault2200Options, "8:L2", "48:M1,K0x04"})));
    EXPECT_EQ(CodesAt(linked, 3, 2, 2), "L2,S+");
}

TEST_F(UsbProjectFile, KeyLinesWaitForAnAcceptedOptionsLine)
{
    // No options line: nothing is loaded.
    Zq2200Keyboard keyboard(3);
    EXPECT_FALSE(Load(keyboard, CrLf({kMagic2200, "1:M1,K0x04"})));
    EXPECT_EQ(CodesAt(keyboard, 1, 1, 1), "");

    // A refused options line is followed by another try. Key lines before the accepted one
    // are lost, and that stays an error; a stray line alone is not.
    Zq2200Keyboard retried(3);
    EXPECT_FALSE(Load(retried, CrLf({kMagic2200, "RFID=99", "1:M1,K0x04", "MB,LC2", "2:M1,K0x05"})));
    EXPECT_EQ(CodesAt(retried, 1, 1, 1), "");
    EXPECT_EQ(CodesAt(retried, 2, 1, 1), "M1,S+,K0x05");
    EXPECT_EQ(retried.GetLayoutCount(), 2);
    Zq2200Keyboard stray(3);
    EXPECT_TRUE(Load(stray, CrLf({kMagic2200, "My layout", "MB,LC2", "2:M1,K0x05"})));
    EXPECT_EQ(CodesAt(stray, 2, 1, 1), "M1,S+,K0x05");

    // A ZQ-3300 options line without the variant.
    Zq3300Keyboard zq3300(true, 1);
    EXPECT_FALSE(
        Load(zq3300, CrLf({"ZQ-3300.v1", "RFID=9N,MB,P=3,R=11,D=2,KP0x0000,KS0x0000", "1:M1,K0x04"})));
    EXPECT_EQ(CodesAt(zq3300, 1, 1, 1), "");
    EXPECT_EQ(zq3300.GetTypeId(), 0);
}

TEST_F(UsbProjectFile, EveryLineEndIsAccepted)
{
    const std::vector<std::string> lines = {kMagic2200, "RFID=7,T,P=3,R=11,D=2,KP0x0000,KS0x0000,LC2", "",
                                            "1:M1,K0x04", "45:M1,K0x05,N=x"};
    for (const char* end : {"\r", "\n", "\r\n", "\n\r"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(end)));
        std::string text;
        for (const auto& line : lines) {
            text += line + end;
        }
        Zq2200Keyboard keyboard(3);
        EXPECT_TRUE(Load(keyboard, text));
        EXPECT_EQ(keyboard.GetLayoutCount(), 2);
        EXPECT_EQ(keyboard.GetRfidDigits(), 7);
        EXPECT_EQ(CodesAt(keyboard, 1, 1, 1), "M1,S+,K0x04");
        EXPECT_EQ(CodesAt(keyboard, 5, 1, 2), "M1,S+,K0x05");
    }
}

TEST_F(UsbProjectFile, AnotherMagicLeavesTheProjectUntouched)
{
    for (const char* magic : {"ZQ-2200.v1 ", " ZQ-2200.v1", "ZQ-2200.v2", "ZQ-3300.v1", ""}) {
        SCOPED_TRACE(magic);
        Zq2200Keyboard keyboard(3);
        ASSERT_TRUE(keyboard.SetKeyTexts("", "M1,K0x04", 1, 1, 1));
        const std::string before = keyboard.GetContentSignature();
        uint8_t format = 7;
        ASSERT_TRUE(WriteWholeFile(m_path, CrLf({magic, "RFID=5,T,LC1", "2:M1,K0x05"})));
        EXPECT_FALSE(keyboard.LoadFile(m_path, &format));
        EXPECT_EQ(format, 7);
        EXPECT_EQ(keyboard.GetContentSignature(), before);
    }
    Zq2200Keyboard keyboard(3);
    uint8_t format = 0;
    EXPECT_FALSE(keyboard.LoadFile(m_folder.File("missing.zqp"), &format));
    EXPECT_FALSE(keyboard.SaveFile(m_folder.File("missing/layout.zqp"), &format));
    EXPECT_EQ(format, 1);
}

// Programs merged keys, layout switch keys, names and options in whatever layouts exist.
void Program(Keyboard& keyboard)
{
    const uint8_t layouts = keyboard.GetLayoutCount();
    ASSERT_TRUE(keyboard.SetKeyTexts("Merged", "M1,S-,K0x04,K0x05", 1, 1, layouts));
    ASSERT_TRUE(keyboard.ChangeShape(1, 1, ShapeRight, layouts));
    ASSERT_TRUE(keyboard.SetKeyTexts("Quad, with comma", "M2,K0xE1", 3, 3, 1));
    ASSERT_TRUE(keyboard.ChangeShape(3, 3, 0x1A, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Tall", "M1,K0x2C", 5, 1, 1));
    ASSERT_TRUE(keyboard.ChangeShape(5, 1, ShapeBelow, 1));
    ASSERT_TRUE(keyboard.SetKeyTexts("Digits", "M1,S+,K0x1E,K0x1F,K0x20", 2, 6, 1));
    auto& usb = dynamic_cast<UsbKeyboardCommon&>(keyboard);
    if (usb.GetLayoutsPerSide() >= 2) {
        ASSERT_TRUE(keyboard.SetKeyTexts("Switch", "L0", 4, 5, 1));
        // Made in the last layout; written at the first of its side.
        ASSERT_TRUE(keyboard.SetKeyTexts("To two", "L2", 1, 4, layouts));
    }
    ASSERT_TRUE(keyboard.SetRfidDigits(13));
    ASSERT_TRUE(keyboard.SetRfidNumericOnly(false));
    ASSERT_TRUE(keyboard.SetKeysType(1));
    ASSERT_TRUE(keyboard.SetTypematicRate(0));
    ASSERT_TRUE(keyboard.SetKeyPause(200));
    ASSERT_TRUE(usb.GetAffixCell(true).ParseCodesText("0xE104"));
    ASSERT_TRUE(usb.GetAffixCell(false).ParseCodesText("0x0028"));
}

TEST_F(UsbProjectFile, EveryUsbTypeSavesAndLoadsBackUnchanged)
{
    for (uint8_t id = 0; id <= 6; ++id) {
        SCOPED_TRACE(static_cast<int>(id));
        std::unique_ptr<Keyboard> original = CreateKeyboard(id);
        ASSERT_TRUE(original);
        Program(*original);
        Save(*original);

        // As the editor opens it: the family's first type, then the file's own variant.
        std::string magic;
        BufferedFile file;
        ASSERT_TRUE(file.Open(m_path, true, BufferedFile::LineEndDefault));
        ASSERT_TRUE(file.ReadLine(magic));
        file.Close();
        std::unique_ptr<Keyboard> loaded = CreateKeyboard(RecognizeFileType(magic));
        ASSERT_TRUE(loaded);
        uint8_t format = 0;
        EXPECT_TRUE(loaded->LoadFile(m_path, &format));
        EXPECT_EQ(format, 1);
        EXPECT_EQ(loaded->GetTypeId(), id);
        EXPECT_EQ(loaded->GetContentSignature(), original->GetContentSignature());
        EXPECT_EQ(CodesAt(*loaded, 2, 1, loaded->GetLayoutCount()), "M1,S-,K0x04,K0x05");
    }
}

} // namespace
