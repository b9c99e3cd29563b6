#include "SimTestSupport.h"

#include "device/DeviceBackends.h"
#include "device/SimulatorSocket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// zqsim as a child process; its standard output is read to learn it listens.
class SimProcess
{
public:
    bool Start(const std::vector<std::string>& args)
    {
        int out[2];
        if (::pipe(out) != 0) {
            return false;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv{const_cast<char*>(ZQSIM_PATH)};
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(ZQSIM_PATH, argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_out = out[0];
        return m_pid > 0;
    }
    // A zqsim that neither prints nor exits ends the read after a while instead of hanging the test.
    std::string ReadOutput()
    {
        std::string text;
        char buffer[4096];
        for (;;) {
            pollfd entry{m_out, POLLIN, 0};
            if (::poll(&entry, 1, 10000) <= 0) {
                break;
            }
            ssize_t got = ::read(m_out, buffer, sizeof buffer);
            if (got <= 0) {
                break;
            }
            text.append(buffer, static_cast<size_t>(got));
            if (text.rfind("ready", 0) == 0 && std::count(text.begin(), text.end(), '\n') >= m_readyLines) {
                break;
            }
        }
        return text;
    }
    int Wait()
    {
        int status = 0;
        if (m_pid <= 0 || ::waitpid(m_pid, &status, 0) != m_pid) {
            return -1;
        }
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    void Signal(int signal) { ::kill(m_pid, signal); }
    // Lines ReadOutput waits for: "ready" and one for each --tcp interface.
    void ExpectReadyLines(long lines) { m_readyLines = lines; }
    ~SimProcess()
    {
        if (m_pid > 0) {
            Signal(SIGKILL);
            Wait();
        }
        if (m_out >= 0) {
            ::close(m_out);
        }
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    long m_readyLines = 1;
};

} // namespace

TEST(SimProcess, ServesUntilSignalledThenCleansUp)
{
    TempFolder folder;
    std::string socket = folder.File("kb"), ready = folder.File("ready"), dump = folder.File("mem.bin");
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--print-ready", "--ready-file", ready, "--end-address", "0x0803", "--socket",
                           socket, "--dump-memory", dump}));
    ASSERT_EQ(sim.ReadOutput(), "ready\n");
    EXPECT_EQ(ReadFileBytes(ready), (Bytes{'r', 'e', 'a', 'd', 'y', '\n'}));

    SimClient client;
    ASSERT_TRUE(client.Connect(socket));
    uint32_t code = 1;
    Bytes answer;
    ASSERT_TRUE(client.Request('S', DataReport({0x77}), code, answer));
    ASSERT_TRUE(client.Request('S', CommandReportBytes(3, 0x0803, 1), code, answer));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadFileBytes(dump), (Bytes{16, 1, 0, 0x77}));

    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(Exists(socket));
    EXPECT_FALSE(Exists(ready));
    EXPECT_EQ(ReadFileBytes(dump), (Bytes{16, 1, 0, 0x77}));
}

TEST(SimProcess, HelpAndBadCommandLine)
{
    SimProcess help;
    ASSERT_TRUE(help.Start({"--help"}));
    std::string text = help.ReadOutput();
    EXPECT_EQ(help.Wait(), 0);
    for (const char* option :
         {"--socket", "--family", "--busy", "--fail", "--disconnect-after", "--dump-legacy"}) {
        EXPECT_NE(text.find(option), std::string::npos) << option;
    }

    SimProcess bad;
    ASSERT_TRUE(bad.Start({"--socket", "/tmp/unused", "--busy", "x"}));
    EXPECT_EQ(bad.ReadOutput(), "");
    EXPECT_EQ(bad.Wait(), 2);
}

TEST(SimProcess, TcpInterfacesTellTheirPortsAndServeTheSameStream)
{
    TempFolder folder;
    const std::string ready = folder.File("ready");
    SimProcess sim;
    sim.ExpectReadyLines(3);
    ASSERT_TRUE(sim.Start({"--print-ready", "--ready-file", ready, "--tcp", "0", "--socket",
                           folder.File("kb"), "--tcp", "0", "--family", "zq1100", "--legacy-version", "2"}));
    const std::string text = sim.ReadOutput();
    EXPECT_EQ(ReadWholeFile(ready), text);
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_EQ(lines[0], "ready");
    for (size_t i : {1, 2}) {
        SimulatorEndpoint endpoint;
        ASSERT_TRUE(ParseSimulatorEndpoint(lines[i], endpoint)) << lines[i];
        EXPECT_TRUE(endpoint.tcp);
        EXPECT_EQ(endpoint.address, 0x7F000001u);
    }
    EXPECT_NE(lines[1], lines[2]);

    // The program's own client, through the variable as a user would set it.
    const std::string variable = lines[1] + ":" + folder.File("kb") + ":" + lines[2];
    std::vector<HidInterfaceInfo> interfaces;
    ASSERT_TRUE(CreateHidBackend(variable.c_str())->Enumerate(interfaces));
    ASSERT_EQ(interfaces.size(), 3u);
    EXPECT_EQ(interfaces[0].path, lines[1]);
    EXPECT_EQ(interfaces[0].featureReportByteLength, 137);
    EXPECT_EQ(interfaces[2].kind, HidInterfaceKind::LegacyDriver);

    std::unique_ptr<HidBackend> backend = CreateHidBackend(variable.c_str());
    const HidHandle handle = backend->Open(lines[1]);
    ASSERT_NE(handle, kInvalidHidHandle) << backend->GetLastError();
    const Bytes data = DataReport({0x5A});
    const Bytes write = CommandReportBytes(3, 0x0800, 1);
    EXPECT_TRUE(backend->SetFeature(handle, data.data(), data.size()));
    EXPECT_TRUE(backend->SetFeature(handle, write.data(), write.size()));
    uint8_t status[8] = {2};
    ASSERT_TRUE(backend->GetFeature(handle, status, sizeof status));
    EXPECT_EQ(status[1], 1) << "done";
    backend->Close(handle);

    std::unique_ptr<LegacyDriverBackend> driver = CreateLegacyDriverBackend(variable.c_str());
    uint8_t version = 0;
    ASSERT_TRUE(driver->Open());
    EXPECT_TRUE(driver->QueryVersion(version));
    EXPECT_EQ(version, 2);
    driver->Close();

    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(Exists(ready));
}
