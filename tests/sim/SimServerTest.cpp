#include "SimTestSupport.h"

#include "sim/SimServer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

// A server on its own thread, stopped through its wake pipe.
class RunningServer
{
public:
    bool Start(std::vector<SimInterfaceConfig> configs, std::string& error)
    {
        std::vector<std::unique_ptr<SimDevice>> devices;
        for (SimInterfaceConfig& config : configs) {
            devices.push_back(std::make_unique<SimDevice>(std::move(config)));
            if (!devices.back()->Load(error)) {
                return false;
            }
        }
        if (::pipe2(m_wake, O_CLOEXEC) != 0 || !m_server.Listen(std::move(devices), error)) {
            return false;
        }
        m_thread = std::thread([this] { m_served = m_server.Run(m_wake[0], m_error); });
        return true;
    }
    ~RunningServer() { Stop(); }
    void Stop()
    {
        if (m_thread.joinable()) {
            char stop = SimServer::kWakeStop;
            EXPECT_EQ(::write(m_wake[1], &stop, 1), 1);
            m_thread.join();
            EXPECT_TRUE(m_served) << m_error;
            m_server.Close();
        }
        for (int& fd : m_wake) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        m_wake[0] = m_wake[1] = -1;
    }

private:
    SimServer m_server;
    std::thread m_thread;
    int m_wake[2] = {-1, -1};
    bool m_served = false;
    std::string m_error;
};

SimInterfaceConfig At(const std::string& path, const char* family = "zq2200")
{
    SimInterfaceConfig config;
    ApplySimFamily(family, config);
    config.socketPath = path;
    return config;
}

} // namespace

TEST(SimServer, ReconnectKeepsMemory)
{
    TempFolder folder;
    RunningServer server;
    std::string error;
    ASSERT_TRUE(server.Start({At(folder.File("kb"))}, error)) << error;
    uint32_t code = 9;
    Bytes answer;
    {
        SimClient client;
        ASSERT_TRUE(client.Connect(folder.File("kb")));
        ASSERT_TRUE(client.Request('S', DataReport({0xC1, 0xC2}), code, answer));
        ASSERT_TRUE(client.Request('S', CommandReportBytes(3, 0x0900, 2), code, answer));
        ASSERT_TRUE(client.Request('G', StatusRequest, code, answer));
        EXPECT_EQ(answer, (Bytes{2, 1, 0, 0, 0, 0, 0, 0}));
    }
    SimClient client;
    ASSERT_TRUE(client.Connect(folder.File("kb")));
    ASSERT_TRUE(client.Request('S', CommandReportBytes(2, 0x0900, 2), code, answer));
    ASSERT_TRUE(client.Request('G', StatusRequest, code, answer));
    ASSERT_TRUE(client.Request('G', {3, 0, 0, 0}, code, answer));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(answer, (Bytes{3, 0xC1, 0xC2, 0}));
}

TEST(SimServer, OneConnectionAtATimeUsesTheKeyboard)
{
    TempFolder folder;
    RunningServer server;
    std::string error;
    ASSERT_TRUE(server.Start({At(folder.File("kb"))}, error)) << error;
    SimClient first, second;
    ASSERT_TRUE(first.Connect(folder.File("kb")));
    ASSERT_TRUE(second.Connect(folder.File("kb")));
    uint32_t code = 9;
    Bytes answer;
    ASSERT_TRUE(first.Request('I', {1}, code, answer));
    EXPECT_EQ(code, 0u);
    ASSERT_TRUE(first.Request('S', DataReport({0xC1}), code, answer));

    // Asking is still answered; opening, writing and reading are refused and change nothing.
    ASSERT_TRUE(second.Request('I', {}, code, answer));
    EXPECT_EQ(code, 0u);
    for (const auto& [opcode, payload] :
         std::vector<std::pair<uint8_t, Bytes>>{{'I', {1}},
                                                {'S', DataReport({0x77})},
                                                {'S', CommandReportBytes(3, 0x0900, 1)},
                                                {'G', StatusRequest}}) {
        ASSERT_TRUE(second.Request(opcode, payload, code, answer));
        EXPECT_EQ(code, 32u) << opcode;
    }
    // The first one's transfer went on undisturbed.
    ASSERT_TRUE(first.Request('S', CommandReportBytes(3, 0x0900, 1), code, answer));
    ASSERT_TRUE(first.Request('G', StatusRequest, code, answer));
    EXPECT_EQ(answer, (Bytes{2, 1, 0, 0, 0, 0, 0, 0}));

    first.Close();
    ASSERT_TRUE(second.Request('I', {1}, code, answer));
    EXPECT_EQ(code, 0u) << "free again once the first connection ended";
    ASSERT_TRUE(second.Request('S', CommandReportBytes(2, 0x0900, 1), code, answer));
    ASSERT_TRUE(second.Request('G', StatusRequest, code, answer));
    ASSERT_TRUE(second.Request('G', {3, 0}, code, answer));
    EXPECT_EQ(answer, (Bytes{3, 0xC1}));
}

TEST(SimServer, RequestsJoinedOrSplitAreAnsweredInOrder)
{
    TempFolder folder;
    RunningServer server;
    std::string error;
    ASSERT_TRUE(server.Start({At(folder.File("kb"))}, error)) << error;
    SimClient client;
    ASSERT_TRUE(client.Connect(folder.File("kb")));
    // 'I' and a legacy query in one send, then a status read sent in two pieces.
    ASSERT_TRUE(client.SendRaw({'I', 0, 0, 'V', 0, 0, 'G', 8}));
    uint32_t code = 0;
    Bytes answer;
    ASSERT_TRUE(client.ReadAnswer(code, answer));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(answer, (Bytes{0x2C, 0xFA, 0x00, 0x10, 0x89, 0, 0, 'Z', 'Q', '-', '2', '2', '0', '0'}));
    ASSERT_TRUE(client.ReadAnswer(code, answer));
    EXPECT_EQ(code, 1u);
    EXPECT_TRUE(answer.empty());
    ASSERT_TRUE(client.SendRaw({0, 2, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(client.ReadAnswer(code, answer));
    EXPECT_EQ(answer, (Bytes{2, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(SimServer, SeveralInterfacesAreSeparateDevices)
{
    TempFolder folder;
    RunningServer server;
    std::string error;
    ASSERT_TRUE(server.Start({At(folder.File("a"), "zq3300"), At(folder.File("b"), "zq1100")}, error))
        << error;
    SimClient a, b;
    ASSERT_TRUE(a.Connect(folder.File("a")));
    ASSERT_TRUE(b.Connect(folder.File("b")));
    uint32_t code = 0;
    Bytes answer;
    ASSERT_TRUE(b.Request('W', {0x42}, code, answer));
    EXPECT_EQ(code, 0u);
    ASSERT_TRUE(a.Request('I', {}, code, answer));
    EXPECT_EQ(Bytes(answer.begin(), answer.begin() + 7), (Bytes{0x2C, 0xFA, 0x02, 0x10, 0x89, 0, 0}));
    ASSERT_TRUE(b.Request('I', {}, code, answer));
    EXPECT_EQ(answer[6], 1);
}

TEST(SimServer, PulledOutDeviceClosesEveryConnection)
{
    TempFolder folder;
    RunningServer server;
    std::string error;
    SimInterfaceConfig config = At(folder.File("kb"));
    config.disconnectAfter = 1;
    ASSERT_TRUE(server.Start({config}, error)) << error;
    SimClient client;
    ASSERT_TRUE(client.Connect(folder.File("kb")));
    uint32_t code = 0;
    Bytes answer;
    ASSERT_TRUE(client.Request('S', CommandReportBytes(4, 0, 0), code, answer));
    ASSERT_TRUE(client.SendRaw({'G', 8, 0, 2, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(client.SeesClose());
    ASSERT_TRUE(client.Connect(folder.File("kb")));
    EXPECT_TRUE(client.SeesClose());
}

TEST(SimServer, SocketFiles)
{
    TempFolder folder;
    std::string error;
    WriteFileBytes(folder.File("file"), {1});
    SimServer refused;
    std::vector<std::unique_ptr<SimDevice>> devices;
    devices.push_back(std::make_unique<SimDevice>(At(folder.File("file"))));
    EXPECT_FALSE(refused.Listen(std::move(devices), error));
    EXPECT_NE(error.find("not a socket"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(folder.File("file")), (Bytes{1}));

    {
        RunningServer live;
        ASSERT_TRUE(live.Start({At(folder.File("kb"))}, error)) << error;
        RunningServer second;
        EXPECT_FALSE(second.Start({At(folder.File("kb"))}, error));
        EXPECT_NE(error.find("in use"), std::string::npos);
        live.Stop();
        EXPECT_FALSE(Exists(folder.File("kb")));
    }

    // A socket file nobody listens on is left over from a dead server and is taken over.
    int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string path = folder.File("kb");
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(stale);
    RunningServer server;
    ASSERT_TRUE(server.Start({At(path)}, error)) << error;
    SimClient client;
    EXPECT_TRUE(client.Connect(path));
}
