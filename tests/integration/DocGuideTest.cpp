// The sessions of the user guide, run as a shell runs them, so that what the guide shows is what
// the programs answer. A <pre> block of "$ " lines is a session: every command must succeed (a
// failure the guide means to show is followed by "; echo $?") and print the lines shown below it,
// "..." standing for any lines. A <pre data-file="NAME"> block is written to that file first. Every
// session runs twice in one shell, as a reader trying it again would, so a simulator it starts
// must also be stopped.
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

struct GuideBlock
{
    std::string file; // data-file, empty for a session
    std::string text;
};

std::string Unescape(std::string text)
{
    text = std::regex_replace(text, std::regex("<[^>]*>"), "");
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities) {
        text = std::regex_replace(text, std::regex(entity), character);
    }
    return text;
}

std::vector<GuideBlock> ReadGuideBlocks()
{
    const std::string html = ReadWholeFile(std::string(ZQ_DOCS_DIR) + "/guide/index.html");
    const std::regex pre(R"re(<pre( data-file="([^"]+)")?>([\s\S]*?)</pre>)re");
    std::vector<GuideBlock> blocks;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), pre); it != std::sregex_iterator(); ++it) {
        blocks.push_back({(*it)[2].str(), Unescape((*it)[3].str())});
    }
    return blocks;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

struct Step
{
    std::string command;
    std::vector<std::string> shown;
};

std::vector<Step> ParseSession(const std::string& text)
{
    std::vector<Step> steps;
    for (const std::string& line : Lines(text)) {
        if (line.rfind("$ ", 0) == 0) {
            steps.push_back({line.substr(2), {}});
        } else if (!steps.empty() && !line.empty()) {
            steps.back().shown.push_back(line);
        }
    }
    return steps;
}

// The lines printed match the lines shown, "..." standing for any run of lines.
bool Matches(const std::vector<std::string>& printed, size_t p, const std::vector<std::string>& shown,
             size_t s)
{
    if (s == shown.size()) {
        return p == printed.size();
    }
    if (shown[s] == "...") {
        for (size_t skip = p; skip <= printed.size(); ++skip) {
            if (Matches(printed, skip, shown, s + 1)) {
                return true;
            }
        }
        return false;
    }
    return p < printed.size() && printed[p] == shown[s] && Matches(printed, p + 1, shown, s + 1);
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

class DocGuide : public ::testing::Test
{
protected:
    // The guide's /tmp/ is the test's own folder, so that runs never meet.
    std::string Local(const std::string& text) const { return Replace(text, "/tmp/", m_folder.File("")); }

    void RunSession(const std::vector<Step>& steps)
    {
        // Messages in the order they come, among the results, as a terminal shows them.
        std::string script = "exec 2>&1\ncd '" + m_folder.File("") + "'\n";
        for (int round = 0; round < 2; ++round) {
            for (size_t i = 0; i < steps.size(); ++i) {
                script += "printf '@@ %d\\n' " + std::to_string(i) + "\n" + Local(steps[i].command) +
                          "\nstatus=$?; [ $status -eq 0 ] || printf '@@ status %d\\n' $status\n";
            }
        }
        ToolOptions options;
        options.program = "/usr/bin/timeout";
        // Set and empty: the device commands look for simulated keyboards only, and find none.
        options.simulator = std::string();
        // A reader's shell: no simulator, no keyboard reached; the guide's own exports come later.
        options.environment = {"PATH=" + std::string(ZQ_BIN_DIR) + ":/usr/bin:/bin",
                               "HOME=" + m_folder.File("home")};
        const ToolRun run = RunTool({"60", "/bin/bash", "-c", script, "session"}, options);
        ASSERT_EQ(run.status, 0) << "the session did not end: " << run.out << run.err;
        std::vector<std::vector<std::string>> printed;
        for (const std::string& line : Lines(run.out)) {
            if (line.rfind("@@ status ", 0) == 0) {
                ADD_FAILURE() << "'" << steps[(printed.size() - 1) % steps.size()].command << "' exits "
                              << line.substr(10);
            } else if (line.rfind("@@ ", 0) == 0) {
                printed.emplace_back();
            } else if (!printed.empty()) {
                printed.back().push_back(line);
            }
        }
        ASSERT_EQ(printed.size(), 2 * steps.size()) << run.out;
        for (size_t i = 0; i < printed.size(); ++i) {
            const Step& step = steps[i % steps.size()];
            std::vector<std::string> shown;
            for (const std::string& line : step.shown) {
                shown.push_back(Local(line));
            }
            std::string got;
            for (const std::string& line : printed[i]) {
                got += line + "\n";
            }
            EXPECT_TRUE(Matches(printed[i], 0, shown, 0)) << "$ " << step.command << "\n" << got;
        }
    }

    TempFolder m_folder;
};

TEST_F(DocGuide, EverySessionPrintsWhatTheGuideShows)
{
    const std::vector<GuideBlock> blocks = ReadGuideBlocks();
    int sessions = 0;
    for (const GuideBlock& block : blocks) {
        if (!block.file.empty()) {
            m_folder.Write(block.file, block.text);
            continue;
        }
        const std::vector<Step> steps = ParseSession(block.text);
        if (steps.empty()) {
            continue; // a listing, a setting or a command for root
        }
        SCOPED_TRACE(steps[0].command);
        RunSession(steps);
        ++sessions;
    }
    EXPECT_GE(sessions, 3);
}

} // namespace
