#include "lang/Json.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ParseCase
{
    const char* text;
    bool parses;
};

class JsonParse : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(JsonParse, AcceptsTheGrammarAndNothingElse)
{
    JsonValue value;
    std::string error;
    EXPECT_EQ(ParseJson(GetParam().text, value, error), GetParam().parses)
        << GetParam().text << ": " << error;
    EXPECT_EQ(error.empty(), GetParam().parses);
}

INSTANTIATE_TEST_SUITE_P(Texts, JsonParse,
                         ::testing::Values(ParseCase{R"({"a": [1, -2.5e3, true, false, null, "x"]})", true},
                                           ParseCase{" \r\n\t[]\n", true}, ParseCase{"0", true},
                                           ParseCase{R"("\u00e9\ud83d\ude00")", true}, ParseCase{"", false},
                                           ParseCase{"{", false}, ParseCase{"[1,]", false},
                                           ParseCase{R"({"a" 1})", false}, ParseCase{R"({"a": 1,})", false},
                                           ParseCase{"01", false}, ParseCase{"+1", false},
                                           ParseCase{"1.", false}, ParseCase{"1e", false},
                                           ParseCase{"inf", false}, ParseCase{"nul", false},
                                           ParseCase{"[1] 2", false}, ParseCase{"\"a\nb\"", false},
                                           ParseCase{R"("\x")", false}, ParseCase{R"("\ud800")", false},
                                           ParseCase{R"("\udc00")", false}, ParseCase{R"("\u12")", false},
                                           ParseCase{"\"open", false}, ParseCase{"1e999", false}));

TEST(Json, StringsComeBackAsUtf8WithTheirEscapesResolved)
{
    JsonValue value;
    std::string error;
    ASSERT_TRUE(ParseJson(R"({"k": "a\"b\\c\/\n\u00e9\ud83d\ude00"})", value, error)) << error;
    const JsonValue* text = value.Find("k");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, "a\"b\\c/\n\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(value.Find("missing"), nullptr);
}

TEST(Json, WrittenTextReadsBackTheSame)
{
    const std::string original = std::string("quote \" back \\ tab \t nul ") + '\0' + " end \xC3\xA9";
    const std::string json = JsonObject().Text("t", original).Number("n", -42).Bool("b", true).Str();
    JsonValue value;
    std::string error;
    ASSERT_TRUE(ParseJson(json, value, error)) << error;
    EXPECT_EQ(value.Find("t")->text, original);
    EXPECT_EQ(value.Find("n")->number, -42);
    EXPECT_TRUE(value.Find("b")->boolean);
}

TEST(Json, NestingIsBoundedSoNoInputExhaustsTheStack)
{
    JsonValue value;
    std::string error;
    const std::string deepest(kMaxJsonDepth, '[');
    EXPECT_TRUE(ParseJson(deepest + std::string(kMaxJsonDepth, ']'), value, error)) << error;
    EXPECT_FALSE(ParseJson("[" + deepest + std::string(kMaxJsonDepth + 1, ']'), value, error));
    EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
    EXPECT_FALSE(ParseJson(std::string(100000, '['), value, error));
}

} // namespace
