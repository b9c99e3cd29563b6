#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

bool Parse(std::initializer_list<const char*> args, SimOptions& options, std::string& error)
{
    std::vector<const char*> argv{"zqsim"};
    argv.insert(argv.end(), args);
    return ParseSimOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

std::string ErrorOf(std::initializer_list<const char*> args)
{
    SimOptions options;
    std::string error;
    EXPECT_FALSE(Parse(args, options, error));
    return error;
}

} // namespace

TEST(SimOptions, FamilyIsAppliedBeforeTheOptionsAroundIt)
{
    SimOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--product-id", "0x2000", "--socket", "a", "--family=zq3300", "--feature-length", "0"},
                      options, error))
        << error;
    const SimInterfaceConfig& a = options.interfaces.at(0);
    EXPECT_EQ(a.socketPath, "a");
    EXPECT_EQ(a.name, "ZQ-3300");
    EXPECT_EQ(a.productId, 0x2000);
    EXPECT_EQ(a.featureLength, 0);
    EXPECT_EQ(a.kind, 0);
}

TEST(SimOptions, DefaultsBeforeFirstSocketOwnOptionsAfter)
{
    SimOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--busy", "2", "--ready-file", "r", "--socket", "a", "--busy", "3:forever", "--socket",
                       "b", "--family", "zq1100", "--legacy-version", "0", "--busy", "0"},
                      options, error))
        << error;
    ASSERT_EQ(options.interfaces.size(), 2u);
    EXPECT_EQ(options.readyFile, "r");
    EXPECT_EQ(options.interfaces[0].busyPolls, (std::array<int, 6>{2, 2, 2, kSimBusyForever, 2, 2}));
    EXPECT_EQ(options.interfaces[1].busyPolls, (std::array<int, 6>{}));
    EXPECT_EQ(options.interfaces[1].kind, 1);
    EXPECT_EQ(options.interfaces[1].legacyVersion, 0);
    EXPECT_FALSE(options.interfaces[0].corruptAddress.has_value());
}

TEST(SimOptions, FaultAndHeaderValues)
{
    SimOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--socket", "a", "--fail", "3:2=6", "--fail", "5=0", "--disconnect-after", "0",
                       "--disconnect-error", "31", "--firmware-version", "2.10.7", "--header", "10fF",
                       "--end-address", "0", "--corrupt-byte", "0x0810"},
                      options, error))
        << error;
    const SimInterfaceConfig& a = options.interfaces.at(0);
    ASSERT_EQ(a.failRules.size(), 2u);
    EXPECT_EQ(a.failRules[0].command, 3);
    EXPECT_EQ(a.failRules[0].nth, 2u);
    EXPECT_EQ(a.failRules[0].status, 6);
    EXPECT_EQ(a.failRules[1].command, 0);
    EXPECT_EQ(a.failRules[1].nth, 5u);
    EXPECT_EQ(a.failRules[1].status, 0);
    EXPECT_EQ(a.disconnectAfter, 0u);
    EXPECT_EQ(a.disconnectError, 31u);
    EXPECT_TRUE(a.firmwareVersionGiven);
    EXPECT_EQ(a.firmwareVersion, (std::array<uint8_t, 3>{2, 10, 7}));
    EXPECT_EQ(a.headerBytes, (std::vector<uint8_t>{0x10, 0xFF}));
    EXPECT_EQ(a.endAddress, 0);
    EXPECT_EQ(a.corruptAddress, 0x0810);
}

TEST(SimOptions, RefusesBadCommandLines)
{
    EXPECT_NE(ErrorOf({}).find("--socket"), std::string::npos);
    EXPECT_NE(ErrorOf({"--socket", "a", "--socket", "a"}).find("twice"), std::string::npos);
    EXPECT_NE(ErrorOf({"--socket", "a", "--bogus", "1"}).find("--bogus"), std::string::npos);
    EXPECT_NE(ErrorOf({"--socket", "a", "--busy"}).find("needs a value"), std::string::npos);
    EXPECT_NE(ErrorOf({"--socket", "a", "--family", "zq9999"}).find("zq9999"), std::string::npos);
    for (auto [name, value] : std::initializer_list<std::pair<const char*, const char*>>{
             {"--fail", "0:1=2"},
             {"--fail", "0=2"},
             {"--fail", "2"},
             {"--fail", "1=256"},
             {"--busy", "6:1"},
             {"--busy", "-1"},
             {"--firmware-version", "2.10"},
             {"--firmware-version", "1.2.256"},
             {"--header", "1"},
             {"--header", "zz"},
             {"--vendor-id", "0x10000"},
             {"--kind", "2"},
             {"--memory", ""},
             {"--corrupt-byte", "0x10000"},
             {"--corrupt-byte", "x"},
         }) {
        EXPECT_NE(ErrorOf({"--socket", "a", name, value}).find(name), std::string::npos)
            << name << " " << value;
    }
}

TEST(SimOptions, TcpInterfacesStandBesideSocketsInOrder)
{
    SimOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--family", "zq3300", "--tcp", "0", "--name", "first", "--socket", "kb", "--tcp",
                       "4100", "--tcp", "0"},
                      options, error))
        << error;
    ASSERT_EQ(options.interfaces.size(), 4u);
    const SimInterfaceConfig& first = options.interfaces[0];
    EXPECT_TRUE(first.tcp);
    EXPECT_EQ(first.tcpPort, 0);
    EXPECT_TRUE(first.socketPath.empty());
    EXPECT_EQ(first.name, "first");
    EXPECT_EQ(first.productId, 0x1002) << "the defaults before it apply";
    EXPECT_FALSE(options.interfaces[1].tcp);
    EXPECT_EQ(options.interfaces[1].socketPath, "kb");
    EXPECT_EQ(options.interfaces[2].tcpPort, 4100);
    EXPECT_TRUE(options.interfaces[3].tcp);

    EXPECT_TRUE(Parse({"--tcp=65535"}, options, error)) << error;
    EXPECT_EQ(options.interfaces.at(0).tcpPort, 65535);
}

TEST(SimOptions, RefusesBadTcpPorts)
{
    for (const char* port : {"65536", "-1", "", "x", "80a"}) {
        EXPECT_NE(ErrorOf({"--tcp", port}).find("port"), std::string::npos) << port;
    }
    EXPECT_NE(ErrorOf({"--tcp", "4100", "--tcp", "4100"}).find("twice"), std::string::npos);
    EXPECT_NE(ErrorOf({"--tcp"}).find("needs a value"), std::string::npos);
}
