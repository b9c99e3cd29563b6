#include "device/KeyboardFleet.h"

#include "device/DeviceBackends.h"
#include "device/DeviceResult.h"
#include "device/KeyboardBackup.h"
#include "device/KeyboardInterfaces.h"
#include "device/LegacyDriverBackend.h"
#include "device/LegacyProgramming.h"
#include "device/UsbProgramming.h"
#include "device/UsbVendorId.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/KeyboardCatalogue.h"
#include "model/LegacyKeyboard.h"
#include "model/UsbKeyboard.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <ctime>
#include <system_error>

namespace {

using Clock = std::chrono::steady_clock;

bool IsLegacy(const Keyboard& keyboard)
{
    return dynamic_cast<const LegacyKeyboard*>(&keyboard) != nullptr;
}

std::string FormatVersion(const uint8_t* bytes)
{
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]);
}

} // namespace

struct KeyboardFleet::Work
{
    FleetTarget target;
    std::unique_ptr<Keyboard> project;
};

// One keyboard's progress into its row; called on that keyboard's thread.
class KeyboardFleet::RowSink : public ProgressSink
{
public:
    RowSink(KeyboardFleet& fleet, size_t index) : m_fleet(fleet), m_index(index) {}

    void Progress(uint32_t done, uint32_t total) override
    {
        m_fleet.Update(m_index, [&](FleetRowState& state) {
            state.done = done;
            state.total = total;
        });
    }
    void Phase(ProgressPhase phase) override
    {
        // Reading the backup is one step to the user, whatever the reading calls its parts.
        if (!m_backingUp) {
            m_fleet.Update(m_index, [&](FleetRowState& state) { state.phase = phase; });
        }
    }
    void SetBackingUp(bool on)
    {
        m_backingUp = on;
        if (on) {
            m_fleet.Update(m_index, [](FleetRowState& state) { state.phase = ProgressPhase::BackingUp; });
        }
    }

private:
    KeyboardFleet& m_fleet;
    size_t m_index;
    bool m_backingUp = false;
};

std::vector<FleetTarget> FindFleetTargets(Keyboard& project, uint16_t vendorId)
{
    const std::string family = GetFamilyName(project);
    std::vector<FleetTarget> targets;
    for (const KeyboardInterface& entry : ListKeyboardInterfaces(vendorId)) {
        if (entry.state == InterfaceState::Usable && entry.family == family) {
            targets.push_back({entry.path, entry.kind, entry.family});
        }
    }
    return targets;
}

std::vector<FleetTarget> MakeFleetTargets(Keyboard& project, uint16_t vendorId,
                                          const std::vector<std::string>& paths)
{
    const std::vector<KeyboardInterface> listed = ListKeyboardInterfaces(vendorId);
    std::vector<FleetTarget> targets;
    for (const std::string& path : paths) {
        // The same keyboard twice would only find itself in use.
        if (std::any_of(targets.begin(), targets.end(),
                        [&](const FleetTarget& t) { return t.path == path; })) {
            continue;
        }
        FleetTarget target{path, IsLegacy(project) ? HidInterfaceKind::LegacyDriver : HidInterfaceKind::Hid,
                           GetFamilyName(project)};
        const auto found = std::find_if(listed.begin(), listed.end(),
                                        [&](const KeyboardInterface& e) { return e.path == path; });
        if (found != listed.end() && !found->family.empty()) {
            target.kind = found->kind;
            target.family = found->family;
        }
        targets.push_back(std::move(target));
    }
    return targets;
}

KeyboardFleet::KeyboardFleet(FleetOptions options, ProjectMaker makeProject)
    : m_options(std::move(options)), m_makeProject(std::move(makeProject))
{
}

KeyboardFleet::~KeyboardFleet()
{
    for (std::thread& thread : m_threads) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

void KeyboardFleet::Start(const std::vector<FleetTarget>& targets)
{
    std::vector<size_t> legacy;
    std::vector<size_t> usb;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const FleetTarget& target : targets) {
            FleetRowState state;
            state.row.device = target.path;
            state.row.type = target.family;
            state.row.verifiable = target.kind != HidInterfaceKind::LegacyDriver;
            m_states.push_back(state);
            auto work = std::make_unique<Work>();
            work->target = target;
            work->project = m_makeProject();
            (target.kind == HidInterfaceKind::LegacyDriver ? legacy : usb).push_back(m_work.size());
            m_work.push_back(std::move(work));
        }
    }
    auto launch = [this](const std::vector<size_t>& indexes) {
        try {
            m_threads.emplace_back([this, indexes] {
                for (const size_t index : indexes) {
                    RunKeyboard(index, *m_work[index]);
                }
            });
        } catch (const std::system_error&) {
            for (const size_t index : indexes) {
                RunKeyboard(index, *m_work[index]);
            }
        }
    };
    for (const size_t index : usb) {
        launch({index});
    }
    // The ZQ-1100 driver is one channel: its keyboards wait for each other, not for the USB ones.
    if (!legacy.empty()) {
        launch(legacy);
    }
}

void KeyboardFleet::Update(size_t index, const std::function<void(FleetRowState&)>& change)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        change(m_states[index]);
        ++m_changes;
    }
    m_changed.notify_all();
}

bool KeyboardFleet::IsFinished() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::all_of(m_states.begin(), m_states.end(), [](const FleetRowState& s) { return s.finished; });
}

bool KeyboardFleet::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const uint64_t seen = m_changes;
    auto allFinished = [this] {
        return std::all_of(m_states.begin(), m_states.end(),
                           [](const FleetRowState& s) { return s.finished; });
    };
    m_changed.wait_for(lock, timeout, [&] { return allFinished() || m_changes != seen; });
    return allFinished();
}

std::vector<FleetRowState> KeyboardFleet::Snapshot() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_states;
}

void KeyboardFleet::RunKeyboard(size_t index, Work& work)
{
    FleetRow row;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        row = m_states[index].row;
    }
    const Clock::time_point start = Clock::now();
    if (!work.project) {
        row.result = DeviceResultUnknown;
        row.message = GetResultMessage(row.result);
    } else if (IsLegacy(*work.project)) {
        RunLegacy(index, work, row);
    } else {
        RunUsb(index, work, row);
    }
    row.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    Update(index, [&](FleetRowState& state) {
        state.row = row;
        state.finished = true;
    });
}

void KeyboardFleet::RunUsb(size_t index, Work& work, FleetRow& row)
{
    auto& keyboard = dynamic_cast<UsbKeyboard&>(*work.project);
    ApplyVendorId(keyboard, m_options.vendorId);
    keyboard.SetVerifyAfterProgramming(m_options.verify);
    const std::unique_ptr<HidBackend> backend = CreateHidBackendFor(work.target.path);
    HidAccess access;
    access.backend = backend.get();
    RowSink sink(*this, index);

    std::array<uint8_t, UsbMemory::kMinHeaderLength> header{};
    auto length = static_cast<uint8_t>(header.size());
    int result = QueryUsbDeviceHeader(keyboard, &length, header.data(), access, &sink);
    row.reports += keyboard.GetExchangeCount();
    if (result != DeviceResultOk) {
        row.result = result;
        row.message = FormatDeviceMessage(result, keyboard.GetErrorText());
        return;
    }
    row.firmware = FormatVersion(header.data() + UsbMemory::kFirmwareVersionOffset);

    if (!m_options.backupFolder.empty()) {
        std::unique_ptr<Keyboard> backup = CreateKeyboard(keyboard.GetTypeId());
        auto& usbBackup = dynamic_cast<UsbKeyboard&>(*backup);
        ApplyVendorId(usbBackup, m_options.vendorId);
        sink.SetBackingUp(true);
        result = DownloadUsbSequences(usbBackup, &sink, access);
        sink.SetBackingUp(false);
        row.reports += usbBackup.GetExchangeCount();
        if (result != DeviceResultOk) {
            // Nothing is written over what could not be kept.
            row.result = result;
            row.message = "backup: " + FormatDeviceMessage(result, usbBackup.GetErrorText());
            return;
        }
        errno = 0;
        if (!SavePortBackup(*backup, m_options.backupFolder, row.device, std::time(nullptr), &row.backup)) {
            const int error = errno;
            row.result = DeviceResultCorruptedFile;
            row.message = "backup: " + LoadText(IDS_MSG_CANNOT_SAVE) + " " + m_options.backupFolder +
                          (error != 0 ? " (" + std::generic_category().message(error) + ")" : "");
            return;
        }
    }

    result = ProgramUsbKeyboard(keyboard, &sink, access);
    row.reports += keyboard.GetExchangeCount();
    row.result = result;
    row.message = FormatDeviceMessage(result, keyboard.GetErrorText());
}

void KeyboardFleet::RunLegacy(size_t index, Work& work, FleetRow& row)
{
    auto& keyboard = dynamic_cast<LegacyKeyboard&>(*work.project);
    const std::unique_ptr<LegacyDriverBackend> driver = CreateLegacyDriverBackendFor(work.target.path);
    RowSink sink(*this, index);
    std::string errorText;
    row.result = ProgramLegacyKeyboard(keyboard, *driver, &sink, errorText);
    row.reports = keyboard.GetExchangeCount();
    row.message = FormatDeviceMessage(row.result, errorText);
}

std::vector<FleetRow> ProgramFleet(const std::vector<FleetTarget>& targets, const FleetOptions& options,
                                   const KeyboardFleet::ProjectMaker& makeProject)
{
    KeyboardFleet fleet(options, makeProject);
    fleet.Start(targets);
    while (!fleet.Wait(std::chrono::seconds(1))) {
    }
    std::vector<FleetRow> rows;
    for (FleetRowState& state : fleet.Snapshot()) {
        rows.push_back(std::move(state.row));
    }
    return rows;
}

int GetFleetResult(const std::vector<FleetRow>& rows)
{
    for (const FleetRow& row : rows) {
        if (row.result != DeviceResultOk) {
            return row.result;
        }
    }
    return DeviceResultOk;
}
