// The socket frame layout both zqsim and the program build on, against hand-made bytes.
#include "device/SimulatorProtocol.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace SimulatorProtocol;
using Bytes = std::vector<uint8_t>;

TEST(SimulatorProtocol, RequestHeaderIsOpcodeThenLittleEndianLength)
{
    Bytes header(kRequestHeaderLength, 0xEE);
    WriteRequestHeader(header.data(), {'G', 0x0189});
    EXPECT_EQ(header, (Bytes{'G', 0x89, 0x01}));

    const RequestHeader read = ReadRequestHeader(Bytes{'W', 0x01, 0x00}.data());
    EXPECT_EQ(read.opcode, 'W');
    EXPECT_EQ(read.length, 1);
}

TEST(SimulatorProtocol, AnswerHeaderIsLittleEndianErrorThenLength)
{
    Bytes header(kAnswerHeaderLength, 0xEE);
    WriteAnswerHeader(header.data(), {1167, 0xFFFF});
    EXPECT_EQ(header, (Bytes{0x8F, 0x04, 0x00, 0x00, 0xFF, 0xFF}));

    const AnswerHeader read = ReadAnswerHeader(Bytes{0x04, 0x03, 0x02, 0x81, 0x89, 0x00}.data());
    EXPECT_EQ(read.error, 0x81020304u);
    EXPECT_EQ(read.length, 137);
}

TEST(SimulatorProtocol, InfoAnswerHoldsIdsFeatureLengthKindAndName)
{
    const Bytes bytes = {0x2C, 0xFA, 0x02, 0x10, 0x89, 0x00, 0x01, 'Z', 'Q'};
    HidInterfaceInfo info;
    info.vendorId = 0xFA2C;
    info.productId = 0x1002;
    info.featureReportByteLength = 137;
    info.kind = HidInterfaceKind::LegacyDriver;
    info.name = "ZQ";
    EXPECT_EQ(BuildInfoAnswer(info), bytes);

    HidInterfaceInfo read;
    read.path = "/kept";
    ASSERT_TRUE(ReadInfoAnswer(bytes.data(), bytes.size(), read));
    EXPECT_EQ(read.vendorId, 0xFA2C);
    EXPECT_EQ(read.productId, 0x1002);
    EXPECT_EQ(read.featureReportByteLength, 137);
    EXPECT_EQ(read.kind, HidInterfaceKind::LegacyDriver);
    EXPECT_EQ(read.name, "ZQ");
    EXPECT_EQ(read.path, "/kept");
}

TEST(SimulatorProtocol, InfoAnswerWithUnknownKindOrCutShortIsRefused)
{
    const Bytes unknownKind = {0x2C, 0xFA, 0x00, 0x10, 0x89, 0x00, 0x02};
    const Bytes cutShort = {0x2C, 0xFA, 0x00, 0x10, 0x89, 0x00};
    HidInterfaceInfo info;
    info.name = "unchanged";
    EXPECT_FALSE(ReadInfoAnswer(unknownKind.data(), unknownKind.size(), info));
    EXPECT_FALSE(ReadInfoAnswer(cutShort.data(), cutShort.size(), info));
    EXPECT_EQ(info.name, "unchanged");
}

TEST(SimulatorProtocol, InfoAnswerCutsANameTooLongForOneFrame)
{
    HidInterfaceInfo info;
    info.name.assign(0x10000, 'x');
    EXPECT_EQ(BuildInfoAnswer(info).size(), kMaxPayloadLength);
}

} // namespace
