// The example projects of docs/examples and the listings of docs/file-formats.md, run through
// zqtool, so that the document cannot drift from what the program reads and writes.
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kDocsDir = ZQ_DOCS_DIR;

struct DocExample
{
    const char* file;
    const char* overview; // the first line zqtool check prints
    // The document shows the whole project (lines of untouched keys left out) rather than an excerpt.
    bool listingIsWholeProject;
};

void PrintTo(const DocExample& example, std::ostream* out)
{
    *out << example.file;
}

std::vector<std::string> SplitLines(const std::string& text, const std::string& end)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t found = text.find(end); found != std::string::npos; found = text.find(end, start)) {
        lines.push_back(text.substr(start, found - start));
        start = found + end.size();
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

// The lines of the document's fenced block whose first line is firstLine; empty when none is.
std::vector<std::string> FindListing(const std::string& firstLine)
{
    const std::vector<std::string> doc = SplitLines(ReadWholeFile(kDocsDir + "/file-formats.md"), "\n");
    for (size_t i = 0; i + 1 < doc.size(); ++i) {
        if (doc[i] != "```" || doc[i + 1] != firstLine) {
            continue;
        }
        std::vector<std::string> listing;
        for (size_t k = i + 1; k < doc.size() && doc[k] != "```"; ++k) {
            listing.push_back(doc[k]);
        }
        return listing;
    }
    return {};
}

bool IsInOrderWithin(const std::vector<std::string>& part, const std::vector<std::string>& whole)
{
    size_t next = 0;
    for (const std::string& line : part) {
        while (next < whole.size() && whole[next] != line) {
            ++next;
        }
        if (next == whole.size()) {
            return false;
        }
        ++next;
    }
    return true;
}

class DocExamples : public ::testing::TestWithParam<DocExample>
{
protected:
    std::string ExamplePath() const { return kDocsDir + "/examples/" + GetParam().file; }

    // Checks the file and saves it again; answers what the program wrote.
    std::string CheckAndResave(const std::string& path)
    {
        const ToolRun check = RunTool({"check", path});
        EXPECT_EQ(check.status, 0) << check.err;
        EXPECT_EQ(check.out.rfind(std::string(GetParam().overview) + "\n", 0), 0u) << check.out;
        const std::string out = m_folder.File("resaved");
        const ToolRun convert = RunTool({"convert", path, "-o", out});
        EXPECT_EQ(convert.status, 0) << convert.err;
        return ReadWholeFile(out);
    }

    TempFolder m_folder;
};

TEST_P(DocExamples, ChecksCleanAndIsWhatTheProgramWrites)
{
    const std::string bytes = ReadWholeFile(ExamplePath());
    ASSERT_FALSE(bytes.empty()) << ExamplePath();
    EXPECT_EQ(CheckAndResave(ExamplePath()), bytes);
}

TEST_P(DocExamples, TheDocumentShowsItsLines)
{
    const std::vector<std::string> lines = SplitLines(ReadWholeFile(ExamplePath()), "\r\n");
    ASSERT_FALSE(lines.empty());
    const std::vector<std::string> listing = FindListing(lines[0]);
    ASSERT_FALSE(listing.empty()) << "no listing starts with " << lines[0];
    EXPECT_TRUE(IsInOrderWithin(listing, lines));
    if (GetParam().listingIsWholeProject) {
        // Read as a file of its own, the listing is the same project.
        std::string text;
        for (const std::string& line : listing) {
            text += line + "\r\n";
        }
        EXPECT_EQ(CheckAndResave(m_folder.Write("listing", text)), ReadWholeFile(ExamplePath()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, DocExamples,
    ::testing::Values(DocExample{"zq2200-two-layouts.zqp", "type\t5\tZQ-2200 (two layouts)", true},
                      DocExample{"zq3300-double.zqp", "type\t0\tZQ-3300 double (one layer)", true},
                      DocExample{"zq1100-v2-single.txt", "type\t9\tZQ-1100 v2 single (16 scans)", false}));

} // namespace
