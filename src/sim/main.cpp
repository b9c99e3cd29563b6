// zqsim: a simulated ZQ keyboard on local sockets or loopback TCP ports.
#include "sim/SimOptions.h"
#include "sim/SimServer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

int g_wakeWrite = -1;

void OnSignal(int signal)
{
    int saved = errno;
    char byte = signal == SIGUSR1 ? SimServer::kWakeDump : SimServer::kWakeStop;
    // A full pipe already holds a wake-up; losing this byte loses nothing.
    ssize_t ignored = ::write(g_wakeWrite, &byte, 1);
    (void)ignored;
    errno = saved;
}

bool InstallSignals(std::string& error)
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGUSR1, SIGHUP}) {
        if (::sigaction(signal, &action, nullptr) != 0) {
            error = std::string("cannot install signal handler: ") + std::strerror(errno);
            return false;
        }
    }
    action.sa_handler = SIG_IGN;
    if (::sigaction(SIGPIPE, &action, nullptr) != 0) {
        error = std::string("cannot ignore SIGPIPE: ") + std::strerror(errno);
        return false;
    }
    return true;
}

// "ready", then the entry of every TCP interface: its port may have been chosen by the system.
std::string ReadyText(const SimServer& server, const std::vector<SimInterfaceConfig>& interfaces)
{
    std::string text = "ready\n";
    for (size_t i = 0; i < interfaces.size(); ++i) {
        if (interfaces[i].tcp) {
            text += server.ClientEntry(i) + "\n";
        }
    }
    return text;
}

bool WriteReadyFile(const std::string& path, const std::string& text, std::string& error)
{
    std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file) {
        error = "cannot create " + temporary + ": " + std::strerror(errno);
        return false;
    }
    bool ok = std::fputs(text.c_str(), file) >= 0;
    ok = std::fclose(file) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

int Fail(const std::string& error, int status)
{
    std::fprintf(stderr, "zqsim: %s\n", error.c_str());
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, options, error)) {
        return Fail(error, 2);
    }
    if (options.help) {
        std::fputs(SimHelpText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("zqsim %s\n", ZQ_VERSION_TEXT);
        return 0;
    }
    // One left by a simulator that died would tell a waiting script to go on before we listen.
    if (!options.readyFile.empty() && std::remove(options.readyFile.c_str()) != 0 && errno != ENOENT) {
        return Fail("cannot remove " + options.readyFile + ": " + std::strerror(errno), 1);
    }

    std::vector<std::unique_ptr<SimDevice>> devices;
    for (const SimInterfaceConfig& config : options.interfaces) {
        devices.push_back(std::make_unique<SimDevice>(config));
        if (!devices.back()->Load(error)) {
            return Fail(error, 1);
        }
    }

    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        return Fail(std::string("cannot create pipe: ") + std::strerror(errno), 1);
    }
    g_wakeWrite = wake[1];
    if (!InstallSignals(error)) {
        return Fail(error, 1);
    }

    SimServer server;
    if (!server.Listen(std::move(devices), error)) {
        return Fail(error, 1);
    }
    const std::string ready = ReadyText(server, options.interfaces);
    if (!options.readyFile.empty() && !WriteReadyFile(options.readyFile, ready, error)) {
        server.Close();
        return Fail(error, 1);
    }
    if (options.printReady && (std::fputs(ready.c_str(), stdout) < 0 || std::fflush(stdout) != 0)) {
        server.Close();
        return Fail("cannot write to standard output", 1);
    }

    bool served = server.Run(wake[0], error);
    server.Close();
    bool dumped = server.DumpAll();
    if (!options.readyFile.empty() && std::remove(options.readyFile.c_str()) != 0 && errno != ENOENT) {
        std::fprintf(stderr, "zqsim: cannot remove %s: %s\n", options.readyFile.c_str(),
                     std::strerror(errno));
    }
    if (!served) {
        return Fail(error, 1);
    }
    return dumped ? 0 : 1;
}
