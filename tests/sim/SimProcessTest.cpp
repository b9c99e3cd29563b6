#include "SimTestSupport.h"

#include <gtest/gtest.h>

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
        if (::pipe(out) != 0)
            return false;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv{const_cast<char*>(ZQSIM_PATH)};
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
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
            if (::poll(&entry, 1, 10000) <= 0)
                break;
            ssize_t got = ::read(m_out, buffer, sizeof buffer);
            if (got <= 0)
                break;
            text.append(buffer, static_cast<size_t>(got));
            if (text.find('\n') != std::string::npos && text.rfind("ready", 0) == 0)
                break;
        }
        return text;
    }
    int Wait()
    {
        int status = 0;
        if (m_pid <= 0 || ::waitpid(m_pid, &status, 0) != m_pid)
            return -1;
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    void Signal(int signal) { ::kill(m_pid, signal); }
    ~SimProcess()
    {
        if (m_pid > 0) {
            Signal(SIGKILL);
            Wait();
        }
        if (m_out >= 0)
            ::close(m_out);
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
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
         {"--socket", "--family", "--busy", "--fail", "--disconnect-after", "--dump-legacy"})
        EXPECT_NE(text.find(option), std::string::npos) << option;

    SimProcess bad;
    ASSERT_TRUE(bad.Start({"--socket", "/tmp/unused", "--busy", "x"}));
    EXPECT_EQ(bad.ReadOutput(), "");
    EXPECT_EQ(bad.Wait(), 2);
}
