#include "SocketTestServer.h"
#include "TempFolder.h"

#include "device/DeviceBackends.h"
#include "device/DeviceNodeLegacyDriver.h"
#include "device/HidChannel.h"
#include "device/HidrawBackend.h"
#include "device/OsError.h"
#include "device/SimulatorHidBackend.h"
#include "device/SimulatorLegacyDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;
using Action = SocketTestServer::Action;
using Request = SocketTestServer::Request;

constexpr uint32_t TimeoutMs = 200;

const Bytes Done = SocketTestServer::Answer(0);

Action Send(const Bytes& bytes, bool closeAfter = false)
{
    return Action{bytes, closeAfter, false};
}

class SimulatorBackendTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(m_temp.Path().empty()); }
    // The servers go first: their sockets live in the folder.
    void TearDown() override { m_servers.clear(); }

    // A keyboard that answers 'I' with the given info and the rest through the handler.
    std::string Start(const Bytes& info, const SocketTestServer::Handler& handler = nullptr)
    {
        std::string path = m_folder + "/s" + std::to_string(m_servers.size());
        m_servers.push_back(std::make_unique<SocketTestServer>(path, [info, handler](const Request& request) {
            if (request.opcode == 'I') {
                return Send(SocketTestServer::Answer(0, info));
            }
            if (handler) {
                return handler(request);
            }
            return Send(Done);
        }));
        return path;
    }

    SocketTestServer& Server(size_t index) { return *m_servers[index]; }

    TempFolder m_temp{"zqdev"};
    std::string m_folder = m_temp.Path();
    std::vector<std::unique_ptr<SocketTestServer>> m_servers;
};

Bytes KeyboardInfo(uint16_t productId = 0x1000, uint16_t featureLength = 137, uint8_t kind = 0)
{
    return SocketTestServer::InfoPayload(0x1234, productId, featureLength, kind, "ZQ");
}

// Answers a status read with done and a data read with bytes 1, 2, 3, ...
Action KeyboardAnswer(const Request& request)
{
    if (request.opcode == 'G') {
        Bytes report = request.payload;
        for (size_t i = 1; i < report.size(); ++i) {
            report[i] = static_cast<uint8_t>(report[0] == 2 ? (i == 1 ? 1 : 0) : i);
        }
        return Send(SocketTestServer::Answer(0, report));
    }
    return Send(Done);
}

TEST_F(SimulatorBackendTest, OpenPicksTheMatchingSocketAndSpeaksTheWireProtocol)
{
    const std::string other = Start(KeyboardInfo(0x1002));
    const std::string noFeature = Start(KeyboardInfo(0x1000, 0));
    const std::string keyboard = Start(KeyboardInfo(), KeyboardAnswer);
    SimulatorHidBackend backend({m_folder + "/missing", other, noFeature, keyboard}, TimeoutMs);

    HidChannel channel(backend);
    ASSERT_TRUE(channel.Open(0x1234, 0x1000));
    const Bytes payload = {0xAA, 0xBB};
    ASSERT_TRUE(channel.SendData(payload.data(), payload.size()));
    ASSERT_TRUE(channel.ConfirmWrite(0x1234, 2));
    Bytes read(3, 0);
    ASSERT_TRUE(channel.ReceiveData(read.data(), read.size()));
    EXPECT_EQ(read, (Bytes{1, 2, 3}));
    channel.Close();

    const std::vector<Request> requests = Server(2).Requests();
    ASSERT_EQ(requests.size(), 6u);
    EXPECT_EQ(requests[0].raw, (Bytes{'I', 0, 0})) << "enumeration only asks";
    EXPECT_EQ(requests[1].raw, (Bytes{'I', 1, 0, 1})) << "the open takes the keyboard";
    Bytes data = {'S', 137, 0, 3, 0xAA, 0xBB};
    data.resize(3 + 137, 0);
    EXPECT_EQ(requests[2].raw, data);
    EXPECT_EQ(requests[3].raw, (Bytes{'S', 8, 0, 2, 3, 0x34, 0x12, 2, 0, 0, 0}));
    EXPECT_EQ(requests[4].raw, (Bytes{'G', 8, 0, 2, 0, 0, 0, 0, 0, 0, 0}));
    Bytes dataRead = {'G', 137, 0, 3};
    dataRead.resize(3 + 137, 0);
    EXPECT_EQ(requests[5].raw, dataRead);
    EXPECT_EQ(Server(0).Requests().size(), 1u);
    EXPECT_EQ(Server(1).Requests().size(), 1u);
}

TEST_F(SimulatorBackendTest, ErrorWordsArePassedOnAsTheOsError)
{
    const std::string keyboard = Start(KeyboardInfo(), [](const Request& request) {
        return Send(SocketTestServer::Answer(request.opcode == 'S' ? 1167 : 31));
    });
    SimulatorHidBackend backend({keyboard}, TimeoutMs);
    HidChannel channel(backend);
    ASSERT_TRUE(channel.Open(0x1234, 0x1000));
    EXPECT_FALSE(channel.StartApplication());
    EXPECT_EQ(channel.GetLastError(), kOsErrorNotConnected);
    uint8_t byte = 0x55;
    EXPECT_FALSE(channel.ReceiveData(&byte, 1));
    EXPECT_EQ(channel.GetLastError(), kOsErrorNotFunctioning);
    EXPECT_EQ(byte, 0);
}

TEST_F(SimulatorBackendTest, BadPeersFailAsIoErrorsWithoutHanging)
{
    Bytes shortHeader = {0, 0, 0};
    Bytes shortPayload = SocketTestServer::Answer(0, Bytes(8, 2));
    shortPayload.resize(shortPayload.size() - 3);
    const struct
    {
        const char* name;
        Action action;
    } cases[] = {
        {"dead peer", Action{{}, true, false}},
        {"silent peer", Action{{}, false, true}},
        {"short header", Send(shortHeader, true)},
        {"short payload", Send(shortPayload, true)},
        {"wrong length", Send(SocketTestServer::Answer(0, Bytes(7, 2)))},
        {"oversize length", Send({0, 0, 0, 0, 0xFF, 0xFF})},
    };
    for (const auto& test : cases) {
        const std::string keyboard = Start(KeyboardInfo(), [&](const Request&) { return test.action; });
        SimulatorHidBackend backend({keyboard}, TimeoutMs);
        HidChannel channel(backend);
        ASSERT_TRUE(channel.Open(0x1234, 0x1000)) << test.name;
        Bytes report = {2, 0, 0, 0, 0, 0, 0, 0};
        EXPECT_FALSE(backend.GetFeature(1, report.data(), report.size())) << test.name;
        EXPECT_EQ(backend.GetLastError(), kOsErrorNotFunctioning) << test.name;
        // The stream is out of step: later calls fail at once.
        EXPECT_FALSE(channel.StartApplication()) << test.name;
        EXPECT_EQ(channel.GetLastError(), kOsErrorNotFunctioning) << test.name;
        channel.Close();
        m_servers.clear();
    }
}

TEST_F(SimulatorBackendTest, GarbledInfoAnswersHideTheInterface)
{
    const Bytes tooShort = {0x34, 0x12, 0x00, 0x10, 137, 0};
    const Bytes badKind = SocketTestServer::InfoPayload(0x1234, 0x1000, 137, 7, "");
    for (const Bytes& info : {tooShort, badKind}) {
        const std::string keyboard = Start(info);
        SimulatorHidBackend backend({keyboard}, TimeoutMs);
        std::vector<HidInterfaceInfo> interfaces;
        EXPECT_TRUE(backend.Enumerate(interfaces));
        EXPECT_TRUE(interfaces.empty());
        m_servers.clear();
    }
}

TEST_F(SimulatorBackendTest, EnumerationReportsEveryAnsweringSocket)
{
    const std::string keyboard = Start(SocketTestServer::InfoPayload(0x1234, 0x1002, 137, 0, "ZQ-3300"));
    const std::string legacy = Start(SocketTestServer::InfoPayload(0, 0, 0, 1, "ZQ-1100"));
    SimulatorHidBackend backend({keyboard, legacy}, TimeoutMs);
    std::vector<HidInterfaceInfo> interfaces;
    ASSERT_TRUE(backend.Enumerate(interfaces));
    ASSERT_EQ(interfaces.size(), 2u);
    EXPECT_EQ(interfaces[0].path, keyboard);
    EXPECT_EQ(interfaces[0].vendorId, 0x1234);
    EXPECT_EQ(interfaces[0].productId, 0x1002);
    EXPECT_EQ(interfaces[0].featureReportByteLength, 137);
    EXPECT_EQ(interfaces[0].kind, HidInterfaceKind::Hid);
    EXPECT_EQ(interfaces[0].name, "ZQ-3300");
    EXPECT_EQ(interfaces[1].kind, HidInterfaceKind::LegacyDriver);

    EXPECT_EQ(backend.Open(m_folder + "/missing"), kInvalidHidHandle);
    EXPECT_EQ(backend.GetLastError(), kOsErrorNotConnected);
}

TEST_F(SimulatorBackendTest, LegacyDriverUsesTheFirstSocketOfKindOne)
{
    const std::string keyboard = Start(KeyboardInfo());
    const std::string first =
        Start(SocketTestServer::InfoPayload(0, 0, 0, 1, "ZQ-1100"), [](const Request& r) {
            return Send(r.opcode == 'V' ? SocketTestServer::Answer(0, {2}) : Done);
        });
    const std::string second = Start(SocketTestServer::InfoPayload(0, 0, 0, 1, "ZQ-1100"));
    SimulatorLegacyDriver driver({keyboard, first, second}, TimeoutMs);
    uint8_t version = 9;
    EXPECT_FALSE(driver.QueryVersion(version));
    ASSERT_TRUE(driver.Open());
    ASSERT_TRUE(driver.QueryVersion(version));
    EXPECT_EQ(version, 2);
    EXPECT_TRUE(driver.WriteByte(0xA5));
    driver.Close();
    const std::vector<Request> requests = Server(1).Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[1].raw, (Bytes{'I', 1, 0, 1}));
    EXPECT_EQ(requests[2].raw, (Bytes{'V', 0, 0}));
    EXPECT_EQ(requests[3].raw, (Bytes{'W', 1, 0, 0xA5}));
    EXPECT_EQ(Server(0).Requests().size(), 1u) << "the USB keyboard on the way is only asked";
    EXPECT_TRUE(Server(2).Requests().empty());
}

TEST_F(SimulatorBackendTest, LegacyVersionMustBeExactlyOneByte)
{
    const std::string legacy = Start(SocketTestServer::InfoPayload(0, 0, 0, 1, ""), [](const Request&) {
        return Send(SocketTestServer::Answer(0, {1, 2}));
    });
    SimulatorLegacyDriver driver({legacy}, TimeoutMs);
    ASSERT_TRUE(driver.Open());
    uint8_t version = 9;
    EXPECT_FALSE(driver.QueryVersion(version));
    EXPECT_EQ(version, 0);

    SimulatorLegacyDriver absent({m_folder + "/missing"}, TimeoutMs);
    EXPECT_FALSE(absent.Open());
}

TEST_F(SimulatorBackendTest, FactoryChoosesTheSimulatorOnlyWhenTheVariableIsSet)
{
    EXPECT_EQ(SplitSimulatorPaths("/a::/b:"), (std::vector<std::string>{"/a", "/b"}));
    EXPECT_TRUE(SplitSimulatorPaths("").empty());

    const std::string keyboard = Start(KeyboardInfo());
    std::vector<HidInterfaceInfo> interfaces;
    EXPECT_NE(dynamic_cast<HidrawBackend*>(CreateHidBackend(nullptr).get()), nullptr);
    EXPECT_NE(dynamic_cast<DeviceNodeLegacyDriver*>(CreateLegacyDriverBackend(nullptr).get()), nullptr);

    const std::string variable = m_folder + "/missing:" + keyboard;
    ASSERT_TRUE(CreateHidBackend(variable.c_str())->Enumerate(interfaces));
    ASSERT_EQ(interfaces.size(), 1u);
    EXPECT_EQ(interfaces[0].path, keyboard);
}

} // namespace
