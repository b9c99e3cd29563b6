#include "model/KeyboardCatalogue.h"

#include "model/Keyboard.h"

#include <gtest/gtest.h>

TEST(CatalogueNames, EveryIdHasItsName)
{
    const char* const expected[] = {
        "ZQ-3300 double (one layer)",   "ZQ-3300 double (two layouts)", "ZQ-3300 single (two layouts)",
        "ZQ-3300 single (one layer)",   "ZQ-2200 (three layouts)",      "ZQ-2200 (two layouts)",
        "ZQ-2200 (one layout)",         "ZQ-1100 v1 single (7 scans)",  "ZQ-1100 v1 double (3 scans)",
        "ZQ-1100 v2 single (16 scans)", "ZQ-1100 v2 double (16 scans)",
    };
    ASSERT_EQ(GetKeyboardTypeCount(), 11);
    for (uint8_t id = 0; id < GetKeyboardTypeCount(); ++id) {
        std::string name;
        EXPECT_TRUE(GetKeyboardTypeName(id, &name));
        EXPECT_EQ(name, expected[id]) << int(id);
    }
}

TEST(CatalogueNames, UnknownIdLeavesNameUnchanged)
{
    for (uint8_t id : {uint8_t{11}, uint8_t{255}}) {
        std::string name = "unchanged";
        EXPECT_FALSE(GetKeyboardTypeName(id, &name));
        EXPECT_EQ(name, "unchanged");
    }
    EXPECT_FALSE(GetKeyboardTypeName(0, nullptr));
}

TEST(CatalogueRecognition, UsbMagicMatchesWholeLineInAnyCase)
{
    EXPECT_EQ(RecognizeFileType("ZQ-2200.v1"), 4);
    EXPECT_EQ(RecognizeFileType("zq-2200.V1"), 4);
    EXPECT_EQ(RecognizeFileType("Zq-3300.v1"), 0);
    EXPECT_EQ(RecognizeFileType("ZQ-2200.v1 "), kNoKeyboardType);
    EXPECT_EQ(RecognizeFileType(" ZQ-3300.v1"), kNoKeyboardType);
    EXPECT_EQ(RecognizeFileType("ZQ-2200.v"), kNoKeyboardType);
    EXPECT_EQ(RecognizeFileType("ZQ-2200.v12"), kNoKeyboardType);
}

TEST(CatalogueRecognition, LegacyTypeCodeBeforeFirstSemicolon)
{
    struct Case
    {
        const char* line;
        uint8_t id;
    };
    const Case cases[] = {
        {"0x70; 0; 1; 2; 11", 8},
        {"112; 0; 1; 2; 11", 8},
        {"  0x39  ; 1; 0; 2; 11; 151", 9},
        {"0x38", 7},
        {"56", 7},
        {"113;", 10},
        {"0x71;0x38", 10},
        {"0x3A; 0; 1", kNoKeyboardType},
        {"", kNoKeyboardType},
        {";", kNoKeyboardType},
        {"0x", kNoKeyboardType},
        {"56x; 0", kNoKeyboardType},
        {"65592", kNoKeyboardType}, // 0x10038 would alias 0x38 if it were cut to 16 bits
        {"57 1; 0", kNoKeyboardType},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RecognizeFileType(c.line), c.id) << '"' << c.line << '"';
    }
}

TEST(CatalogueFilter, OpenFilterHasThreeEntries)
{
    EXPECT_EQ(GetOpenFileFilter(), "ZQ-2200, ZQ-3300 and ZQ-1100 layouts (*.zqp, *.txt)|*.zqp;*.txt|"
                                   "ZQ-2200 Keyboard Layout File (*.zqp)|*.zqp|"
                                   "ZQ-1100 Keyboard Layout File (*.txt)|*.txt|");
}

TEST(CatalogueCreate, EveryIdMakesAProjectOfItsType)
{
    for (uint8_t id = 0; id < GetKeyboardTypeCount(); ++id) {
        std::unique_ptr<Keyboard> keyboard = CreateKeyboard(id);
        ASSERT_NE(keyboard, nullptr) << int(id);
        EXPECT_EQ(keyboard->GetTypeId(), id);
        std::string name;
        GetKeyboardTypeName(id, &name);
        EXPECT_EQ(keyboard->GetTypeName(), name);
    }
    EXPECT_EQ(CreateKeyboard(11), nullptr);
    EXPECT_EQ(CreateKeyboard(255), nullptr);
}
