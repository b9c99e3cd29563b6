// Programs several keyboards of one family at once, one thread and one channel each, with a result
// row per keyboard; ZQ-1100 keyboards share the one driver and go one after another.
#pragma once

#include "device/HidBackend.h"
#include "device/ProgressSink.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class Keyboard;

struct FleetTarget
{
    std::string path; // the interface: a hidraw node, the ZQ-1100 driver or a simulator entry
    HidInterfaceKind kind = HidInterfaceKind::Hid;
    std::string family; // as listed; the project's family when the interface was not listed
};

struct FleetOptions
{
    bool verify = true;
    std::string backupFolder; // empty: no backups
    uint16_t vendorId = 0;
};

struct FleetRow
{
    std::string device;
    std::string type;
    std::string firmware; // "a.b.c"; empty when not read
    std::string backup;   // the file saved; empty when none
    int result = 0;       // the device result code
    std::string message;  // the code's message and the keyboard's error text; empty for success
    bool verifiable = true;
    uint32_t reports = 0;
    double seconds = 0;
};

struct FleetRowState
{
    FleetRow row;
    ProgressPhase phase = ProgressPhase::None;
    uint32_t done = 0;
    uint32_t total = 0;
    bool finished = false;
};

// The interfaces of the project's family that are usable, in listing order.
std::vector<FleetTarget> FindFleetTargets(Keyboard& project, uint16_t vendorId);
// Targets for the paths given, typed by the listing where it has them.
std::vector<FleetTarget> MakeFleetTargets(Keyboard& project, uint16_t vendorId,
                                          const std::vector<std::string>& paths);

class KeyboardFleet
{
public:
    // Called once per target on the thread that calls Start: the project a keyboard is given.
    using ProjectMaker = std::function<std::unique_ptr<Keyboard>()>;

    KeyboardFleet(FleetOptions options, ProjectMaker makeProject);
    KeyboardFleet(const KeyboardFleet&) = delete;
    KeyboardFleet& operator=(const KeyboardFleet&) = delete;
    // Waits for the keyboards still at work.
    ~KeyboardFleet();

    void Start(const std::vector<FleetTarget>& targets);
    // Returns once every keyboard is done (true), or when one reported progress or the time ran out.
    bool Wait(std::chrono::milliseconds timeout);
    bool IsFinished() const;
    std::vector<FleetRowState> Snapshot() const;

private:
    class RowSink;
    struct Work;

    void RunKeyboard(size_t index, Work& work);
    void RunUsb(size_t index, Work& work, FleetRow& row);
    void RunLegacy(size_t index, Work& work, FleetRow& row);
    void Update(size_t index, const std::function<void(FleetRowState&)>& change);

    FleetOptions m_options;
    ProjectMaker m_makeProject;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<FleetRowState> m_states;
    std::vector<std::unique_ptr<Work>> m_work;
    std::vector<std::thread> m_threads;
    uint64_t m_changes = 0;
};

// Starts, waits for the end and answers the rows.
std::vector<FleetRow> ProgramFleet(const std::vector<FleetTarget>& targets, const FleetOptions& options,
                                   const KeyboardFleet::ProjectMaker& makeProject);
// 0 when every row succeeded, else the first failure's result code.
int GetFleetResult(const std::vector<FleetRow>& rows);
