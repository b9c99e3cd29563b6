// The udev rule and its helper: the helper against the report descriptors of a keyboard's
// interfaces, the rule read as udev reads it (Debian's udev has no "udevadm verify").
#include "ToolTestSupport.h"
#include "device/HidDescriptors.h"
#include "model/UsbKeyboard.h"
#include "model/Zq2200Keyboard.h"
#include "model/Zq3300Keyboard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

constexpr const char* kProbePath = ZQ_BIN_DIR "/zq-hidraw-probe";

ToolRun Probe(const std::vector<std::string>& arguments)
{
    ToolOptions options;
    options.program = kProbePath;
    return RunTool(arguments, options);
}

TEST(HidrawProbe, MarksOnlyTheInterfaceWithTheProgrammingReports)
{
    TempFolder folder;
    const Bytes& vendor = HidrawDescriptors::Vendor;
    Bytes tooLong(4097 - vendor.size(), 0x00); // empty main items
    tooLong.insert(tooLong.end(), vendor.begin(), vendor.end());
    const struct
    {
        const char* name;
        Bytes descriptor;
        bool programming;
    } cases[] = {
        {"programming", vendor, true},
        {"typing", HidrawDescriptors::Typing, false},
        {"card-reader", HidrawDescriptors::CardReader, false},
        {"empty", {}, false},
        {"truncated", Bytes(vendor.begin(), vendor.end() - 3), false},
        // Would be the programming interface, but no descriptor is longer than the kernel's 4096 bytes.
        {"too-long", tooLong, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const fs::path device = fs::path(folder.Path()) / test.name / "device";
        fs::create_directories(device);
        std::ofstream(device / "report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(test.descriptor.data()),
                   static_cast<std::streamsize>(test.descriptor.size()));
        const ToolRun run = Probe({(fs::path(folder.Path()) / test.name).string()});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, test.programming ? "ZQ_PROGRAMMING_INTERFACE=1\n" : "");
        EXPECT_EQ(run.err, "");
    }
    // A node without a descriptor, or no node at all, fails no udev event.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{folder.File("missing")}, std::vector<std::string>{}}) {
        const ToolRun run = Probe(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, "");
    }
}

// One rule line as udev splits it: KEY or KEY{attribute}, an operator, a quoted value.
struct RuleKey
{
    std::string key;
    std::string op;
    std::string value;
};

std::vector<RuleKey> ParseRuleLine(const std::string& line)
{
    static const std::regex item(R"re(\s*([A-Z]+(\{[A-Za-z_]+\})?)(==|!=|\+=|-=|:=|=)"([^"]*)"\s*(,|$))re");
    std::vector<RuleKey> keys;
    for (auto at = line.cbegin(); at != line.cend();) {
        std::smatch match;
        if (!std::regex_search(at, line.cend(), match, item, std::regex_constants::match_continuous)) {
            ADD_FAILURE() << "not a udev rule: " << std::string(at, line.cend());
            return {};
        }
        keys.push_back({match[1], match[3], match[4]});
        at = match[0].second;
    }
    return keys;
}

std::string Hex4(uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

TEST(UdevRule, OpensOnlyWhatTheHelperMarksOfTheFamiliesProducts)
{
    std::ifstream file(ZQ_UDEV_RULE);
    ASSERT_TRUE(file) << ZQ_UDEV_RULE;
    const std::map<std::string, std::string> keyboard = {
        {"SUBSYSTEM", "hidraw"},
        {"KERNEL", "hidraw*"},
        {"ATTRS{idVendor}", Hex4(kZqUsbVendorId)},
        {"ATTRS{idProduct}", Hex4(Zq2200Keyboard::kProductId) + "|" + Hex4(Zq3300Keyboard::kProductId)},
    };
    std::string probe;
    bool tagged = false;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::map<std::string, std::string> matches;
        std::map<std::string, std::string> assignments;
        for (const RuleKey& key : ParseRuleLine(line)) {
            (key.op == "==" ? matches : assignments)[key.key] = key.value;
            EXPECT_TRUE(key.op == "==" || key.op == "+=" || key.op == "=") << line;
        }
        for (const auto& [key, value] : keyboard) {
            EXPECT_EQ(matches[key], value) << line;
        }
        if (assignments.count("IMPORT{program}") != 0) {
            probe = assignments["IMPORT{program}"];
        }
        if (assignments.count("TAG") != 0) {
            EXPECT_EQ(assignments["TAG"], "uaccess");
            EXPECT_EQ(matches["ENV{ZQ_PROGRAMMING_INTERFACE}"], "1")
                << "a tag for every node of the keyboard";
            tagged = true;
        }
    }
    EXPECT_TRUE(tagged);
    // The helper the rule runs, given the node's sysfs path, sets what the tag's line asks for.
    ASSERT_EQ(probe, "zq-hidraw-probe %S%p");
    TempFolder folder;
    const fs::path node = fs::path(folder.Path()) / "devices/hidraw/hidraw0";
    fs::create_directories(node / "device");
    std::ofstream(node / "device/report_descriptor", std::ios::binary)
        .write(reinterpret_cast<const char*>(HidrawDescriptors::Vendor.data()),
               static_cast<std::streamsize>(HidrawDescriptors::Vendor.size()));
    EXPECT_EQ(Probe({node.string()}).out, "ZQ_PROGRAMMING_INTERFACE=1\n");
}

} // namespace
