// The editor's export command lines for scripts.
#include "editor/ExportArguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool Parse(const std::vector<std::string>& arguments, ExportRequest& request, std::string& wrong)
{
    return ParseExportArguments(arguments, request, wrong);
}

TEST(ExportArgumentsTest, LegendsWithEveryOption)
{
    ExportRequest request;
    std::string wrong;
    ASSERT_TRUE(Parse({"--export-legends", "shop.zqp", "-o", "out.PNG", "--insert", "12.5x13", "--pitch",
                       "18", "--page", "letter", "--mode", "keyboard", "--layout", "2"},
                      request, wrong))
        << wrong;
    EXPECT_EQ(request.kind, ExportKind::Legends);
    EXPECT_EQ(request.project, "shop.zqp");
    EXPECT_EQ(request.output, "out.PNG");
    EXPECT_EQ(request.format, ExportFormat::Png);
    EXPECT_DOUBLE_EQ(request.geometry.insertWidth, 12.5);
    EXPECT_DOUBLE_EQ(request.geometry.insertHeight, 13.0);
    EXPECT_DOUBLE_EQ(request.geometry.pitch, 18.0);
    EXPECT_EQ(request.paper, PaperName::Letter);
    EXPECT_EQ(request.mode, LegendSheetMode::Keyboard);
    EXPECT_EQ(request.layout, 2);
}

TEST(ExportArgumentsTest, DefaultsAndTheReport)
{
    ExportRequest request;
    std::string wrong;
    ASSERT_TRUE(Parse({"--export-legends", "a.zqp", "-o", "a.svg"}, request, wrong));
    EXPECT_EQ(request.format, ExportFormat::Svg);
    EXPECT_DOUBLE_EQ(request.geometry.insertWidth, 14.0);
    EXPECT_DOUBLE_EQ(request.geometry.pitch, 19.05);
    EXPECT_EQ(request.paper, PaperName::FromLocale);
    EXPECT_EQ(request.mode, LegendSheetMode::Packed);
    EXPECT_EQ(request.layout, 0); // every layout
    ASSERT_TRUE(Parse({"--export-report", "a.zqp", "-o", "r.pdf", "--notes", "Till 3"}, request, wrong));
    EXPECT_EQ(request.kind, ExportKind::Report);
    EXPECT_EQ(request.notes, "Till 3");
}

TEST(ExportArgumentsTest, WrongArgumentsAreNamed)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--export-legends", "a.zqp", "-o", "a.jpg"}, "a.jpg"},
        {{"--export-legends", "a.zqp", "-o", "a.pdf", "--insert", "14"}, "--insert 14"},
        {{"--export-legends", "a.zqp", "-o", "a.pdf", "--insert", "14x-2"}, "--insert 14x-2"},
        {{"--export-legends", "a.zqp", "-o", "a.pdf", "--pitch", "19,05"}, "--pitch 19,05"},
        {{"--export-legends", "a.zqp", "-o", "a.pdf", "--page", "a3"}, "--page a3"},
        {{"--export-legends", "a.zqp", "-o", "a.pdf", "--layout", "0"}, "--layout 0"},
        {{"--export-legends", "a.zqp", "-o", "a.pdf", "--notes", "x"}, "--notes x"},
        {{"--export-legends", "a.zqp", "-o", "a.pdf", "--mode"}, "--mode"},
        {{"--export-legends", "a.zqp", "b.zqp", "-o", "a.pdf"}, "b.zqp"},
        {{"--export-legends", "-o", "a.pdf"}, "--export-legends"},
        {{"--export-report", "a.zqp", "-o", "a.png"}, "a.png"},
    };
    for (const auto& [arguments, expected] : cases) {
        ExportRequest request;
        std::string wrong;
        EXPECT_FALSE(Parse(arguments, request, wrong)) << expected;
        EXPECT_EQ(wrong, expected);
    }
}

TEST(ExportArgumentsTest, InsertSizesAndFormats)
{
    double width = 0;
    double height = 0;
    EXPECT_TRUE(ParseInsertSize("14\xC3\x97"
                                "15",
                                width, height));
    EXPECT_DOUBLE_EQ(height, 15.0);
    EXPECT_TRUE(ParseInsertSize("10X20", width, height));
    EXPECT_DOUBLE_EQ(width, 10.0);
    EXPECT_FALSE(ParseInsertSize("x20", width, height));
    EXPECT_FALSE(FormatFromPath("folder.pdf/sheet").has_value());
    EXPECT_EQ(FormatFromPath("C:\\a\\b.Pdf"), ExportFormat::Pdf);
}

} // namespace
