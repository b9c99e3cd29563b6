// Programming a row of simulated ZQ-2200 keyboards at once, with verifying: the wall time for 1, 4
// and 8 keyboards, each served by a zqsim process of its own as each real keyboard is a device of
// its own. The second argument 1 makes every write and read command answer "busy" once first, so
// that the host waits one 1 ms poll per chunk as it does for a real keyboard; 0 leaves only the
// sockets' own speed, which the machine's cores bound.
#include "device/DeviceResult.h"
#include "device/KeyboardFleet.h"
#include "device/UsbVendorId.h"
#include "model/KeyboardCatalogue.h"
#include "model/Zq2200Keyboard.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

class SimulatorRow
{
public:
    SimulatorRow(size_t count, bool slow)
    {
        m_folder = std::filesystem::temp_directory_path() / ("zq-fleet-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        for (size_t i = 0; i < count; ++i) {
            const std::string socket = (m_folder / ("kb" + std::to_string(i))).string();
            const std::string ready = socket + ".ready";
            std::vector<std::string> words = {ZQ_BIN_DIR "/zqsim", "--socket", socket, "--ready-file", ready};
            if (slow) {
                words.insert(words.end(), {"--busy", "2:1", "--busy", "3:1"});
            }
            std::vector<char*> argv;
            for (std::string& word : words) {
                argv.push_back(word.data());
            }
            argv.push_back(nullptr);
            pid_t pid = -1;
            if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0) {
                m_pids.push_back(pid);
            }
            while (!std::filesystem::exists(ready)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            m_targets.push_back({socket, HidInterfaceKind::Hid, "ZQ-2200"});
        }
    }
    ~SimulatorRow()
    {
        for (const pid_t pid : m_pids) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    const std::vector<FleetTarget>& Targets() const { return m_targets; }

private:
    std::filesystem::path m_folder;
    std::vector<pid_t> m_pids;
    std::vector<FleetTarget> m_targets;
};

void ProgramRow(benchmark::State& state)
{
    const auto count = static_cast<size_t>(state.range(0));
    SimulatorRow row(count, state.range(1) != 0);
    Zq2200Keyboard project(3);
    project.SetKeyTexts("Hello", "M1,S+,K0x0B,K0x08,K0x0F,K0x0F,K0x12", 1, 1, 1);
    FleetOptions options;
    options.verify = true;
    options.vendorId = kZqUsbVendorId;
    uint32_t reports = 0;
    for (auto _ : state) {
        const std::vector<FleetRow> rows =
            ProgramFleet(row.Targets(), options, [&project] { return CopyProject(project); });
        if (GetFleetResult(rows) != DeviceResultOk) {
            state.SkipWithError("a keyboard failed");
            break;
        }
        reports = rows.front().reports;
    }
    state.counters["keyboards"] = static_cast<double>(count);
    state.counters["reports_each"] = reports;
}

BENCHMARK(ProgramRow)
    ->ArgsProduct({{1, 4, 8}, {0, 1}})
    ->ArgNames({"keyboards", "busy"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

} // namespace
