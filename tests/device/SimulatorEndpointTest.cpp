// The simulator entries of ZQ_SIMULATOR: socket paths and loopback TCP entries.
#include "device/DeviceBackends.h"
#include "device/HidFeaturePadding.h"
#include "device/SimulatorSocket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct EndpointCase
{
    const char* entry;
    bool accepted;
    bool tcp;
    uint32_t address;
    uint16_t port;
};

EndpointCase Refused(const char* entry)
{
    return {entry, false, false, 0, 0};
}

class SimulatorEndpointParse : public testing::TestWithParam<EndpointCase>
{
};

TEST_P(SimulatorEndpointParse, OnlyLoopbackTcpEntriesWithAPortAreAccepted)
{
    const EndpointCase& test = GetParam();
    SimulatorEndpoint endpoint;
    ASSERT_EQ(ParseSimulatorEndpoint(test.entry, endpoint), test.accepted);
    if (!test.accepted) {
        return;
    }
    EXPECT_EQ(endpoint.tcp, test.tcp);
    if (test.tcp) {
        EXPECT_EQ(endpoint.address, test.address);
        EXPECT_EQ(endpoint.port, test.port);
        EXPECT_TRUE(endpoint.path.empty());
    } else {
        EXPECT_EQ(endpoint.path, test.entry);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SimulatorEndpointParse,
    testing::Values(EndpointCase{"/tmp/kb", true, false, 0, 0}, EndpointCase{"tcpsocket", true, false, 0, 0},
                    EndpointCase{"tcp:127.0.0.1:5000", true, true, 0x7F000001, 5000},
                    EndpointCase{"tcp:127.1.2.3:65535", true, true, 0x7F010203, 65535},
                    EndpointCase{"tcp:127.0.0.1:1", true, true, 0x7F000001, 1},
                    // Never anything but this machine.
                    Refused("tcp:10.0.0.1:5000"), Refused("tcp:0.0.0.0:5000"), Refused("tcp:128.0.0.1:5000"),
                    Refused("tcp:localhost:5000"),
                    // Shortened, octal-looking, signed or oversized forms that resolvers read differently.
                    Refused("tcp:127.1:5000"), Refused("tcp:0177.0.0.1:5000"),
                    Refused("tcp:127.0.0.256:5000"), Refused("tcp:127.0.0.1.1:5000"),
                    Refused("tcp:127.0.0.:5000"), Refused("tcp:127.0.0.1:+80"),
                    // Port 0 is no place to connect to; a port must be a plain number that fits.
                    Refused("tcp:127.0.0.1:0"), Refused("tcp:127.0.0.1:65536"), Refused("tcp:127.0.0.1:"),
                    Refused("tcp:127.0.0.1"), Refused("tcp:127.0.0.1:0x50"), Refused("tcp:"), Refused("")));

struct SplitCase
{
    const char* value;
    std::vector<std::string> entries;
};

class SimulatorVariableSplit : public testing::TestWithParam<SplitCase>
{
};

TEST_P(SimulatorVariableSplit, TcpEntriesSpanThreeFields)
{
    EXPECT_EQ(SplitSimulatorPaths(GetParam().value), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SimulatorVariableSplit,
    testing::Values(SplitCase{"tcp:127.0.0.1:5000", {"tcp:127.0.0.1:5000"}},
                    SplitCase{"/a:tcp:127.0.0.1:5000:/b", {"/a", "tcp:127.0.0.1:5000", "/b"}},
                    SplitCase{"tcp:127.0.0.1:1:tcp:127.0.0.1:2", {"tcp:127.0.0.1:1", "tcp:127.0.0.1:2"}},
                    SplitCase{"::tcp:127.0.0.1:7::", {"tcp:127.0.0.1:7"}},
                    // A cut-off entry stays one entry, which then fails to parse.
                    SplitCase{"/a:tcp:127.0.0.1", {"/a", "tcp:127.0.0.1"}}, SplitCase{"tcp:", {"tcp:"}},
                    // Only a field that is exactly "tcp" starts a TCP entry.
                    SplitCase{"/tcp:/b", {"/tcp", "/b"}}, SplitCase{"xtcp:1:2", {"xtcp", "1", "2"}}));

struct PaddingCase
{
    uint32_t error;
    size_t length;
    uint16_t featureLength;
    size_t padded;
};

class HidFeaturePaddingRetry : public testing::TestWithParam<PaddingCase>
{
};

TEST_P(HidFeaturePaddingRetry, OnlyAShortBufferRefusedAsSuchIsTriedAgain)
{
    const PaddingCase& test = GetParam();
    EXPECT_EQ(PaddedFeatureLength(test.error, test.length, test.featureLength), test.padded);
}

INSTANTIATE_TEST_SUITE_P(Calls, HidFeaturePaddingRetry,
                         testing::Values(PaddingCase{kHidErrorInvalidParameter, 8, 137, 137},
                                         PaddingCase{kHidErrorInvalidUserBuffer, 8, 137, 137},
                                         // Long enough already: the refusal has another reason.
                                         PaddingCase{kHidErrorInvalidParameter, 137, 137, 0},
                                         PaddingCase{kHidErrorInvalidParameter, 200, 137, 0},
                                         // A gone or failing device is not helped by a longer buffer.
                                         PaddingCase{31, 8, 137, 0}, PaddingCase{1167, 8, 137, 0},
                                         PaddingCase{0, 8, 137, 0},
                                         // No feature report known: nothing to pad to.
                                         PaddingCase{kHidErrorInvalidParameter, 8, 0, 0}));

} // namespace
