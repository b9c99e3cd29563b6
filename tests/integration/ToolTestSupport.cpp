#include "ToolTestSupport.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string FromEnvironment(const char* name, const std::string& otherwise)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : otherwise;
}

const std::string kRunner = FromEnvironment("ZQ_TEST_TOOL_RUNNER", "");

// Socket paths the tests chose, and the TCP entry of the interface served in their place.
std::map<std::string, std::string>& TcpEntries()
{
    static std::map<std::string, std::string> entries;
    return entries;
}

// Only Windows programs go to the runner; zqsim, python and the like run as they are.
bool NeedsRunner(const std::string& program)
{
    if (kRunner.empty()) {
        return false;
    }
    std::ifstream file(program, std::ios::binary);
    char magic[2] = {};
    return file.read(magic, sizeof magic) && magic[0] == 'M' && magic[1] == 'Z';
}

// What the tool printed names the TCP entries; the tests expect the socket paths they chose.
std::string FromTool(std::string text)
{
    for (const auto& [path, entry] : TcpEntries()) {
        for (size_t at = text.find(entry); at != std::string::npos; at = text.find(entry, at + path.size())) {
            // Only whole entries: tcp:127.0.0.1:4 is no part of tcp:127.0.0.1:41.
            const size_t end = at + entry.size();
            if (end < text.size() && text[end] >= '0' && text[end] <= '9') {
                continue;
            }
            text.replace(at, entry.size(), path);
        }
    }
    return text;
}

std::string ForTool(const std::string& simulator)
{
    std::string value;
    size_t start = 0;
    while (start <= simulator.size()) {
        const size_t end = std::min(simulator.find(':', start), simulator.size());
        const std::string path = simulator.substr(start, end - start);
        const auto entry = TcpEntries().find(path);
        value += (start == 0 ? "" : ":") + (entry == TcpEntries().end() ? path : entry->second);
        start = end + 1;
    }
    return value;
}

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

std::vector<std::string> ToolEnvironment(const std::string& simulator, const std::vector<std::string>& more)
{
    // Names the run sets itself, each once: wine keeps the last of a name, the C library the first.
    std::vector<std::string> own{"ZQ_SIMULATOR=" + simulator};
    own.insert(own.end(), more.begin(), more.end());
    const auto setBy = [](const std::vector<std::string>& entries, const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('=') + 1);
        return std::any_of(entries.begin(), entries.end(), [&name](const std::string& mine) {
            return mine.compare(0, name.size(), name) == 0;
        });
    };
    // The built-in texts whatever the machine's language, unless the test asks for another.
    if (!setBy(own, "ZQ_LANGUAGE=")) {
        own.emplace_back("ZQ_LANGUAGE=en");
    }
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "ZQ_VENDOR_ID=", 13) != 0 && !setBy(own, *entry)) {
            entries.emplace_back(*entry);
        }
    }
    entries.insert(entries.end(), own.begin(), own.end());
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
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

const std::string kToolPath = FromEnvironment("ZQ_TEST_TOOL", ZQ_BIN_DIR "/zqtool");

bool ToolSeesTerminals()
{
    return kRunner.empty();
}

bool ToolTakesPosixNames()
{
    return kRunner.empty();
}

bool ToolSeesPosixDevices()
{
    return kRunner.empty();
}

bool ToolKeepsPosixModes()
{
    return kRunner.empty();
}

ToolRun RunTool(const std::vector<std::string>& arguments, const ToolOptions& options)
{
    ToolProcess tool;
    if (!tool.Start(arguments, options)) {
        return {};
    }
    return tool.Finish();
}

ToolProcess::~ToolProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        WaitFor(m_pid);
    }
    if (m_terminal >= 0) {
        ::close(m_terminal);
    }
}

bool ToolProcess::Start(const std::vector<std::string>& arguments, const ToolOptions& options)
{
    const std::string outPath = m_streams.File("out"), errPath = m_streams.File("err");
    std::vector<std::string> argv{options.program};
    const bool underRunner = NeedsRunner(options.program);
    if (underRunner) {
        argv.insert(argv.begin(), kRunner);
    }
    for (const std::string& argument : arguments) {
        // A socket chosen by name (--device) is the TCP entry served in its place.
        const auto entry = TcpEntries().find(argument);
        argv.push_back(underRunner && entry != TcpEntries().end() ? entry->second : argument);
    }
    std::vector<std::string> environment = ToolEnvironment(
        ForTool(options.simulator.value_or(m_streams.File("no-device"))), options.environment);

    std::string terminalName;
    if (options.terminal) {
        m_terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_terminal < 0 || ::grantpt(m_terminal) != 0 || ::unlockpt(m_terminal) != 0) {
            return false;
        }
        terminalName = ::ptsname(m_terminal);
    }
    std::vector<char*> argp = Pointers(argv), envp = Pointers(environment);
    m_pid = ::fork();
    if (m_pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(options.output.empty() ? outPath.c_str() : options.output.c_str(),
                               O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = options.terminal ? ::open(terminalName.c_str(), O_RDWR | O_NOCTTY)
                                         : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
            ::_exit(126);
        }
        ::execvpe(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    return m_pid > 0;
}

bool ToolProcess::ReadErrorUntil(const std::string& text)
{
    char buffer[256];
    while (m_terminal >= 0 && m_err.find(text) == std::string::npos) {
        const ssize_t got = ::read(m_terminal, buffer, sizeof buffer);
        if (got > 0) {
            m_err.append(buffer, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            return false;
        }
    }
    return m_terminal >= 0;
}

void ToolProcess::Signal(int signal)
{
    ::kill(m_pid, signal);
}

ToolRun ToolProcess::Finish()
{
    ToolRun run;
    const bool onTerminal = m_terminal >= 0;
    if (onTerminal) {
        // Read while it runs so that a full terminal buffer never blocks it.
        run.err = m_err + ReadAll(m_terminal);
        ::close(m_terminal);
        m_terminal = -1;
    }
    run.status = m_pid > 0 ? WaitFor(m_pid) : -1;
    m_pid = -1;
    run.out = ReadWholeFile(m_streams.File("out"));
    if (!onTerminal) {
        run.err = ReadWholeFile(m_streams.File("err"));
    }
    if (!kRunner.empty()) {
        run.out = FromTool(run.out);
        run.err = FromTool(run.err);
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
    std::vector<std::string> paths;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (!kRunner.empty() && arguments[i] == "--socket" && i + 1 < arguments.size()) {
            paths.push_back(arguments[++i]);
            argv.insert(argv.end(), {"--tcp", "0"});
        } else {
            argv.push_back(arguments[i]);
        }
    }
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
    // zqsim prints "ready" once every socket listens, then the entry of each TCP interface; an
    // early end of the pipe means it failed.
    std::vector<std::string> lines;
    std::string line;
    char c = 0;
    while (lines.size() < 1 + paths.size() && ::read(pipeFds[0], &c, 1) == 1) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    ::close(pipeFds[0]);
    if (m_pid <= 0 || lines.size() != 1 + paths.size() || lines[0] != "ready") {
        return false;
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        TcpEntries()[paths[i]] = lines[1 + i];
    }
    return true;
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

std::string EvaluateJson(const std::string& json, const std::string& expression)
{
    TempFolder folder("zq-json");
    const std::string input = folder.Write("in.json", json);
    const std::string script = folder.Write(
        "eval.py", "import json, sys\ntry:\n    d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                   "except ValueError:\n    print('parse error')\n    sys.exit(0)\nprint(" +
                       expression + ")\n");
    ToolOptions options;
    options.program = "/usr/bin/python3";
    ToolRun run = RunTool({script, input}, options);
    if (!run.out.empty() && run.out.back() == '\n') {
        run.out.pop_back();
    }
    return run.status == 0 ? run.out : "python failed: " + run.err;
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
