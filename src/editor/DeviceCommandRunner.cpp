#include "editor/DeviceCommandRunner.h"

#include "device/DeviceResult.h"
#include "device/DeviceSummary.h"
#include "device/KeyboardBackup.h"
#include "device/ProgressSink.h"
#include "editor/EditorPrompts.h"
#include "lang/StringIds.h"
#include "lang/TextHelpers.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>

namespace {

struct BackupAttempt
{
    int readResult = DeviceResultOk;
    bool saved = false;
    // Why there is no backup, as the user reads it.
    std::string why;
};

// The reading of a backup is shown as backing up.
class BackupProgress : public ProgressSink
{
public:
    explicit BackupProgress(ProgressSink* sink) : m_sink(sink) {}
    void Progress(uint32_t done, uint32_t total) override { m_sink->Progress(done, total); }
    void Phase(ProgressPhase phase) override
    {
        m_sink->Phase(phase == ProgressPhase::Reading ? ProgressPhase::BackingUp : phase);
    }

private:
    ProgressSink* m_sink;
};

BackupAttempt BackUp(Keyboard& keyboard, const std::string& folder, ProgressSink* progress)
{
    BackupAttempt attempt;
    std::unique_ptr<Keyboard> backup;
    BackupProgress backupProgress(progress);
    attempt.readResult =
        ReadKeyboardBackup(keyboard, progress != nullptr ? &backupProgress : nullptr, backup);
    if (attempt.readResult != DeviceResultOk) {
        attempt.why =
            FormatDeviceMessage(attempt.readResult, backup ? backup->GetErrorText() : std::string());
        return attempt;
    }
    attempt.saved = SaveBackupInFolder(*backup, folder, std::time(nullptr), nullptr);
    if (!attempt.saved) {
        attempt.why = LoadText(IDS_MSG_CANNOT_SAVE);
    }
    return attempt;
}

using Clock = std::chrono::steady_clock;

std::string Summarize(DeviceCommandKind kind, const Keyboard& keyboard, Clock::time_point start)
{
    DeviceOperation operation = DeviceOperation::ReadFirmwareVersion;
    switch (kind) {
    case DeviceCommandKind::Program:
        operation = keyboard.GetVerifyAfterProgramming() && keyboard.CanDownloadSequences()
                        ? DeviceOperation::ProgramAndVerify
                        : DeviceOperation::Program;
        break;
    case DeviceCommandKind::Download:
        operation = DeviceOperation::Download;
        break;
    case DeviceCommandKind::UploadFirmware:
        operation = DeviceOperation::UploadFirmware;
        break;
    case DeviceCommandKind::FirmwareVersion:
        break;
    }
    const std::chrono::duration<double> took = Clock::now() - start;
    return FormatDeviceSummary(operation, GetFamilyName(keyboard), keyboard.GetExchangeCount(), took.count());
}

} // namespace

bool IsDeviceCommandAvailable(const Keyboard& keyboard, DeviceCommandKind kind)
{
    switch (kind) {
    case DeviceCommandKind::Program:
        return keyboard.CanProgram();
    case DeviceCommandKind::Download:
        return keyboard.CanDownloadSequences();
    case DeviceCommandKind::UploadFirmware:
        return keyboard.CanUploadFirmware();
    case DeviceCommandKind::FirmwareVersion:
        return keyboard.CanShowFirmwareVersion();
    }
    return false;
}

std::string DescribeProgress(ProgressPhase phase, const std::string& typeName, uint32_t position,
                             uint32_t maximum)
{
    uint32_t id = IDS_PHASE_CONNECTING;
    switch (phase) {
    case ProgressPhase::None:
        break;
    case ProgressPhase::BackingUp:
        id = IDS_PHASE_BACKING_UP;
        break;
    case ProgressPhase::Writing:
        id = IDS_PHASE_WRITING;
        break;
    case ProgressPhase::Verifying:
        id = IDS_PHASE_VERIFYING;
        break;
    case ProgressPhase::Reading:
        id = IDS_PHASE_READING;
        break;
    case ProgressPhase::SendingFirmware:
        id = IDS_PHASE_FIRMWARE;
        break;
    case ProgressPhase::ReadingVersion:
        id = IDS_PHASE_VERSION;
        break;
    }
    std::string text = ReplaceFirst(LoadText(id), "%n", typeName);
    if (phase == ProgressPhase::SendingFirmware) {
        // The block on its way: one past those sent, the last one once all are.
        const uint32_t block = maximum == 0 ? 0 : std::min(position + 1, maximum);
        text = ReplaceFirst(ReplaceFirst(text, "%s", std::to_string(block)), "%t", std::to_string(maximum));
    }
    return text;
}

DeviceCommandOutcome RunDeviceOperation(Keyboard& keyboard, DeviceCommandKind kind,
                                        const std::string& firmwarePath, ProgressSink* progress)
{
    const Clock::time_point start = Clock::now();
    DeviceCommandOutcome outcome;
    switch (kind) {
    case DeviceCommandKind::Program:
        outcome.code = keyboard.Program(progress);
        break;
    case DeviceCommandKind::Download:
        outcome.code = keyboard.DownloadSequences(progress);
        break;
    case DeviceCommandKind::UploadFirmware:
        outcome.code = keyboard.UploadFirmware(firmwarePath, progress);
        break;
    case DeviceCommandKind::FirmwareVersion:
        outcome.code = keyboard.GetFirmwareVersion(progress, &outcome.version);
        break;
    }
    outcome.message = FormatDeviceMessage(outcome.code, keyboard.GetErrorText());
    if (!outcome.message.empty()) {
        outcome.version.clear();
    } else {
        outcome.summary = Summarize(kind, keyboard, start);
    }
    return outcome;
}

DeviceCommandOutcome RunProgramming(Keyboard& keyboard, const ProgrammingChecks& checks,
                                    ProgressSink* progress, EditorPrompts& prompts)
{
    // The time the keyboard took, the backup's included.
    Clock::time_point start = Clock::now();
    const bool readable = keyboard.CanDownloadSequences();
    if (!readable && (checks.verify || checks.backup) && checks.legacyNoted != nullptr &&
        !*checks.legacyNoted) {
        prompts.ShowMessage(LoadText(IDS_MSG_LEGACY_NO_READ_BACK), IDS_TITLE_WARNING,
                            MessageIcon::Information);
        *checks.legacyNoted = true;
    }
    if (readable && checks.backup) {
        const BackupAttempt backup = BackUp(keyboard, checks.backupFolder, progress);
        if (backup.readResult == DeviceResultNoDevice) {
            // Without a keyboard there is nothing to program either: its message alone, no question.
            DeviceCommandOutcome outcome;
            outcome.code = backup.readResult;
            outcome.message = backup.why;
            return outcome;
        }
        const Clock::time_point asked = Clock::now();
        if (!backup.saved && prompts.Ask(LoadTextWithArgument(IDS_MSG_BACKUP_FAILED, backup.why),
                                         IDS_TITLE_QUESTION, PromptButtons::YesNo) != PromptAnswer::Yes) {
            DeviceCommandOutcome cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
        // The user's time over the question is not the keyboard's.
        start += Clock::now() - asked;
    }
    keyboard.SetVerifyAfterProgramming(checks.verify);
    DeviceCommandOutcome outcome =
        RunDeviceOperation(keyboard, DeviceCommandKind::Program, std::string(), progress);
    if (!outcome.summary.empty()) {
        outcome.summary = Summarize(DeviceCommandKind::Program, keyboard, start);
    }
    return outcome;
}

DeviceCommandOutcome ReadKeyboardForComparison(Keyboard& project, ProgressSink* progress,
                                               std::unique_ptr<Keyboard>& read)
{
    const Clock::time_point start = Clock::now();
    DeviceCommandOutcome outcome;
    outcome.code = ReadKeyboardBackup(project, progress, read);
    outcome.message = FormatDeviceMessage(outcome.code, read ? read->GetErrorText() : std::string());
    if (outcome.message.empty() && read) {
        outcome.summary = Summarize(DeviceCommandKind::Download, *read, start);
    } else {
        read.reset();
    }
    return outcome;
}
