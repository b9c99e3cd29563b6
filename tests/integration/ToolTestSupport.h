// Running zqtool and zqsim as processes for the integration tests.
#pragma once

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The zqtool under test: ZQ_TEST_TOOL when set (the Windows build's zqtool.exe, for example),
// else the one built beside the tests. ZQ_TEST_TOOL_RUNNER names a program that runs it (wine);
// with a runner the simulators serve on loopback TCP, which wine's Winsock has where it has no
// Unix-domain sockets, and ZQ_SIMULATOR names their TCP entries instead of the socket paths.
extern const std::string kToolPath;
constexpr const char* kSimPath = ZQ_BIN_DIR "/zqsim";

// False under a runner: wine's console does not take a pseudo terminal for a terminal.
bool ToolSeesTerminals();
// False under a runner: Windows file names cannot hold " * : < > ? |.
bool ToolTakesPosixNames();
// False under a runner: Linux devices such as /dev/full reach the tool through wine, whose C
// runtime gives no reason for a refused write.
bool ToolSeesPosixDevices();
// False under a runner: a folder made by a Windows program has no POSIX mode bits.
bool ToolKeepsPosixModes();

struct ToolRun
{
    int status = -1;
    std::string out;
    std::string err;
};

struct ToolOptions
{
    // The value of ZQ_SIMULATOR; unset runs the tool with sockets that do not exist, so no
    // test ever reaches a real keyboard.
    std::optional<std::string> simulator;
    std::string program = kToolPath;
    // Standard error on a pseudo terminal instead of a pipe.
    bool terminal = false;
    // More "NAME=value" entries; ZQ_VENDOR_ID is not passed on from the test's own environment, and
    // ZQ_LANGUAGE is "en" unless given here.
    std::vector<std::string> environment;
    // Standard output goes to this file instead of the run's out text (/dev/full, say).
    std::string output;
};

ToolRun RunTool(const std::vector<std::string>& arguments, const ToolOptions& options = {});

// Device commands of zqtool against the simulator sockets given, with a folder of the test's own.
class ToolDeviceTest : public ::testing::Test
{
protected:
    ToolRun Tool(const std::vector<std::string>& arguments, const std::string& sockets, bool terminal = false)
    {
        ToolOptions options;
        options.simulator = sockets;
        options.terminal = terminal;
        return RunTool(arguments, options);
    }
    std::string Path(const std::string& name) const { return m_folder.File(name); }
    std::string Write(const std::string& name, const std::string& text) { return m_folder.Write(name, text); }

    TempFolder m_folder;
};

// zqtool running beside the test, for tests that act while it works.
class ToolProcess
{
public:
    ToolProcess() : m_streams("zqtool-test") {}
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;
    ~ToolProcess();
    bool Start(const std::vector<std::string>& arguments, const ToolOptions& options = {});
    // Reads its terminal until the text has appeared; false when the terminal ended first.
    bool ReadErrorUntil(const std::string& text);
    void Signal(int signal);
    // Waits for the end; what it wrote comes back with its status.
    ToolRun Finish();

private:
    TempFolder m_streams;
    pid_t m_pid = -1;
    int m_terminal = -1;
    std::string m_err;
};

// zqsim started with --print-ready; stopped with SIGTERM when destroyed.
class SimProcess
{
public:
    SimProcess() = default;
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess();
    // True once every socket listens.
    bool Start(const std::vector<std::string>& arguments);
    // Stops it and answers its exit status; the dumps are written by then.
    int Stop();

private:
    pid_t m_pid = -1;
};

// Parses the JSON text with Python's own parser and prints the expression over it (the parsed
// value is d), e.g. "d['types'][6]['name']"; "parse error" when the text is no JSON.
std::string EvaluateJson(const std::string& json, const std::string& expression);

// Hexadecimal digit pairs of the bytes, upper case, no separators.
std::string HexText(const Bytes& bytes);
// Empty when equal; else the sizes and the first offset that differs, with the bytes around it.
std::string DescribeDifference(const Bytes& actual, const Bytes& expected);
