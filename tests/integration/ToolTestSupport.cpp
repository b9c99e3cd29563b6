#include "ToolTestSupport.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

int WaitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> ToolEnvironment(const std::string& simulator)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "ZQ_SIMULATOR=", 13) != 0) {
            entries.emplace_back(*entry);
        }
    }
    entries.push_back("ZQ_SIMULATOR=" + simulator);
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            text.append(buffer, static_cast<size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            return text; // end of file, or EIO once a terminal's other side is closed
        }
    }
}

} // namespace

ToolRun RunTool(const std::vector<std::string>& arguments, const ToolOptions& options)
{
    TempFolder streams("zqtool-test");
    const std::string outPath = streams.File("out"), errPath = streams.File("err");
    std::vector<std::string> argv{options.program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment =
        ToolEnvironment(options.simulator.value_or(streams.File("no-device")));

    int terminal = -1;
    std::string terminalName;
    if (options.terminal) {
        terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0) {
            return {};
        }
        terminalName = ::ptsname(terminal);
    }
    std::vector<char*> argp = Pointers(argv), envp = Pointers(environment);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = options.terminal ? ::open(terminalName.c_str(), O_RDWR | O_NOCTTY)
                                         : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
            ::_exit(126);
        }
        ::execve(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    ToolRun run;
    if (pid < 0) {
        return run;
    }
    if (options.terminal) {
        // Read while it runs so that a full terminal buffer never blocks it.
        run.err = ReadAll(terminal);
        ::close(terminal);
    }
    run.status = WaitFor(pid);
    run.out = ReadWholeFile(outPath);
    if (!options.terminal) {
        run.err = ReadWholeFile(errPath);
    }
    return run;
}

SimProcess::~SimProcess()
{
    Stop();
}

bool SimProcess::Start(const std::vector<std::string>& arguments)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return false;
    }
    std::vector<std::string> argv{kSimPath, "--print-ready"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argp = Pointers(argv);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(pipeFds[1], 1);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execv(argp[0], argp.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    // zqsim prints "ready" once every socket listens; an early end of the pipe means it failed.
    std::string text;
    char c = 0;
    while (text.find('\n') == std::string::npos && ::read(pipeFds[0], &c, 1) == 1) {
        text += c;
    }
    ::close(pipeFds[0]);
    return m_pid > 0 && text == "ready\n";
}

int SimProcess::Stop()
{
    if (m_pid <= 0) {
        return -1;
    }
    ::kill(m_pid, SIGTERM);
    const int status = WaitFor(m_pid);
    m_pid = -1;
    return status;
}

Bytes ReadFileBytes(const std::string& path)
{
    const std::string text = ReadWholeFile(path);
    return Bytes(text.begin(), text.end());
}

bool FileExists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

std::string HexText(const Bytes& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::string DescribeDifference(const Bytes& actual, const Bytes& expected)
{
    if (actual == expected) {
        return {};
    }
    size_t offset = 0;
    while (offset < actual.size() && offset < expected.size() && actual[offset] == expected[offset]) {
        ++offset;
    }
    auto around = [offset](const Bytes& bytes) {
        const size_t begin = offset < 8 ? 0 : offset - 8;
        const size_t end = std::min(bytes.size(), offset + 8);
        return begin < end ? HexText(Bytes(bytes.begin() + begin, bytes.begin() + end)) : std::string();
    };
    return "sizes " + std::to_string(actual.size()) + " and " + std::to_string(expected.size()) +
           ", first difference at offset " + std::to_string(offset) + ": " + around(actual) + " instead of " +
           around(expected);
}
