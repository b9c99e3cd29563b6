#include "device/HidReportDescriptor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

HidReportLengths Parse(const Bytes& descriptor, bool expectValid = true)
{
    HidReportLengths lengths;
    EXPECT_EQ(ParseHidReportDescriptor(descriptor.data(), descriptor.size(), lengths), expectValid);
    return lengths;
}

// The boot keyboard of the HID class definition: 8-byte input, 1-byte LED output, no feature.
const Bytes BootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
    0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0,
};

// The keyboards' vendor interface: command/status report 2 (7 bytes) and data report 3 (136 bytes).
const Bytes VendorInterface = {
    0x06, 0x00, 0xFF,                               // usage page vendor 0xFF00
    0x09, 0x01, 0xA1, 0x01,                         // usage 1, application collection
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,       // logical 0..255, 8-bit fields
    0x85, 0x02, 0x95, 0x07, 0x09, 0x01, 0xB1, 0x02, // report 2: 7 bytes
    0x85, 0x03, 0x95, 0x88, 0x09, 0x02, 0xB1, 0x02, // report 3: 136 bytes
    0xC0,
};

TEST(HidReportDescriptorTest, BootKeyboardHasNoFeatureReport)
{
    const HidReportLengths lengths = Parse(BootKeyboard);
    EXPECT_EQ(lengths.input, 9);
    EXPECT_EQ(lengths.output, 2);
    EXPECT_EQ(lengths.feature, 0);
    EXPECT_FALSE(lengths.usesReportIds);
}

TEST(HidReportDescriptorTest, VendorInterfaceFeatureLengthIsTheDataReport)
{
    const HidReportLengths lengths = Parse(VendorInterface);
    EXPECT_EQ(lengths.feature, 137);
    EXPECT_EQ(lengths.input, 0);
    EXPECT_EQ(lengths.output, 0);
    EXPECT_TRUE(lengths.usesReportIds);
}

TEST(HidReportDescriptorTest, ReportIdByteIsCountedWithoutReportIds)
{
    EXPECT_EQ(Parse({0x75, 0x08, 0x95, 0x04, 0xB1, 0x02}).feature, 5);
}

TEST(HidReportDescriptorTest, LargestOfSeveralFeatureReportsAfterPushPop)
{
    const Bytes descriptor = {
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x03,
        0x95, 0x01, 0xB1, 0x02,                         // report 1: 3 bits
        0xA4,                                           // push (report 1, size 3)
        0x85, 0x07, 0x75, 0x10, 0x95, 0x02, 0xB1, 0x02, // report 7: 4 bytes
        0xB4,                                           // pop: back to report 1, size 3
        0x95, 0x07, 0xB1, 0x02,                         // report 1: 21 more bits, 24 in all
        0x85, 0x05, 0x75, 0x08, 0x95, 0x3F, 0x81, 0x02, // input report 5: 63 bytes
        0x85, 0x01, 0x96, 0x02, 0x00, 0xB1, 0x03,       // 2-byte count: report 1 now 5 bytes
        0x85, 0x09, 0x77, 0x08, 0x00, 0x00, 0x00, 0x95, 0x06, 0xB1, 0x02, // 4-byte size: 6 bytes
        0xC0,
    };
    const HidReportLengths lengths = Parse(descriptor);
    EXPECT_EQ(lengths.feature, 7); // report 9
    EXPECT_EQ(lengths.input, 64);
    EXPECT_EQ(lengths.output, 0);
}

TEST(HidReportDescriptorTest, LongItemsAreSkippedWhole)
{
    // The long item's data looks like a feature item; it must not be read as one.
    const Bytes longItem = {0xFE, 0x06, 0xF0, 0x75, 0x08, 0x95, 0x40, 0xB1, 0x02};
    const Bytes emptyLongItem = {0xFE, 0x00, 0xF1};
    const HidReportLengths lengths = Parse(Join({longItem, VendorInterface, emptyLongItem}));
    EXPECT_EQ(lengths.feature, 137);
}

TEST(HidReportDescriptorTest, LongestAllowedReport)
{
    EXPECT_EQ(Parse({0x75, 0x08, 0x96, 0xFE, 0xFF, 0xB1, 0x02}).feature, 0xFFFF);
    // 65535 data bytes and the id byte no longer fit.
    Parse({0x75, 0x08, 0x96, 0xFF, 0xFF, 0xB1, 0x02}, false);
}

TEST(HidReportDescriptorTest, MalformedDescriptorsGiveNoReports)
{
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"item data cut short", {0x95}},
        {"4-byte item cut short", {0x77, 0x08, 0x00}},
        {"long item header cut short", {0xFE, 0x04}},
        {"long item data cut short", {0xFE, 0x04, 0xF0, 0x01, 0x02}},
        {"report id 0", {0x85, 0x00, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02}},
        {"report id 256", {0x86, 0x00, 0x01}},
        {"end collection without collection", {0xC0}},
        {"collection left open", {0xA1, 0x01}},
        {"pop without push", {0xB4}},
        {"push too deep", Bytes(17, 0xA4)},
        {"size times count beyond 32 bits",
         {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0xB1, 0x02}},
        {"many items summing past the limit", Join({{0x75, 0x08, 0x96, 0x00, 0x80}, Bytes(4, 0xB1)})},
    };
    for (const auto& [name, tail] : cases) {
        SCOPED_TRACE(name);
        // A good report before the fault must not leak into the answer.
        const HidReportLengths lengths = Parse(Join({VendorInterface, tail}), false);
        EXPECT_EQ(lengths.feature, 0);
        EXPECT_EQ(lengths.input, 0);
        EXPECT_FALSE(lengths.usesReportIds);
    }
}

TEST(HidReportDescriptorTest, EmptyDescriptorHasNoReports)
{
    const HidReportLengths lengths = Parse({});
    EXPECT_EQ(lengths.feature, 0);
    HidReportLengths nullLengths;
    EXPECT_TRUE(ParseHidReportDescriptor(nullptr, 0, nullLengths));
    EXPECT_FALSE(ParseHidReportDescriptor(nullptr, 1, nullLengths));
}

} // namespace
