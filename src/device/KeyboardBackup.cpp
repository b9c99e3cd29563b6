#include "device/KeyboardBackup.h"

#include "device/DeviceResult.h"
#include "device/UsbVendorId.h"
#include "files/ProjectOpen.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/UsbKeyboard.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#endif
#include <system_error>
#include <vector>

namespace {

constexpr const char* kBackupExtension = ".zqp";
// "_YYYY-MM-DD_hh-mm-ss": digits where the pattern has '9'.
constexpr std::string_view kStampPattern = "_9999-99-99_99-99-99";
constexpr unsigned kMaxSequence = 99;

// Letters and digits of the text, every other run of characters one dash.
std::string FileStem(const std::string& text)
{
    std::string stem;
    for (const char c : text) {
        const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (keep) {
            stem += c;
        } else if (!stem.empty() && stem.back() != '-') {
            stem += '-';
        }
    }
    while (!stem.empty() && stem.back() == '-') {
        stem.pop_back();
    }
    return stem;
}

std::string TypeStem(uint8_t typeId)
{
    std::string name;
    return GetBuiltinKeyboardTypeName(typeId, &name) ? FileStem(name) : "type-" + std::to_string(typeId);
}

// The port's last characters tell keyboards apart; a long path keeps those.
constexpr size_t kMaxPortStem = 64;

std::string PortStem(const std::string& port)
{
    const std::string stem = FileStem(port);
    return stem.size() <= kMaxPortStem ? stem : stem.substr(stem.size() - kMaxPortStem);
}

std::string StampedName(const std::string& stem, const std::tm& localTime, unsigned sequence)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "_%04d-%02d-%02d_%02d-%02d-%02d", localTime.tm_year + 1900,
                  localTime.tm_mon + 1, localTime.tm_mday, localTime.tm_hour, localTime.tm_min,
                  localTime.tm_sec);
    std::string name = stem + stamp;
    if (sequence > 1) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "_%02u", sequence);
        name += suffix;
    }
    return name + kBackupExtension;
}

bool MatchesDigits(std::string_view text, std::string_view pattern)
{
    if (text.size() != pattern.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (pattern[i] == '9' ? !digit : text[i] != pattern[i]) {
            return false;
        }
    }
    return true;
}

// Only names this program gives: stem, time stamp, an optional sequence, the extension.
bool IsBackupName(const std::string& name, const std::string& stem)
{
    const std::string_view extension = kBackupExtension;
    if (name.size() < stem.size() + kStampPattern.size() + extension.size() || name.rfind(stem, 0) != 0 ||
        !name.ends_with(extension)) {
        return false;
    }
    const std::string_view rest =
        std::string_view(name).substr(stem.size(), name.size() - stem.size() - extension.size());
    if (!MatchesDigits(rest.substr(0, kStampPattern.size()), kStampPattern)) {
        return false;
    }
    const std::string_view sequence = rest.substr(kStampPattern.size());
    return sequence.empty() || MatchesDigits(sequence, "_99");
}

// Anything at path, a dangling link included; true when that cannot be told.
bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
}

bool MakeFolder(const std::filesystem::path& path)
{
#ifdef _WIN32
    return ::_wmkdir(path.c_str()) == 0 || errno == EEXIST;
#else
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
#endif
}

bool ToLocalTime(std::time_t time, std::tm& local)
{
#ifdef _WIN32
    return ::localtime_s(&local, &time) == 0;
#else
    return ::localtime_r(&time, &local) != nullptr;
#endif
}

} // namespace

int ReadKeyboardBackup(Keyboard& project, ProgressSink* progress, std::unique_ptr<Keyboard>& backup)
{
    backup.reset();
    if (!project.CanDownloadSequences()) {
        return DeviceResultNotSupported;
    }
    backup = CreateKeyboard(project.GetTypeId());
    if (!backup) {
        return DeviceResultNotSupported;
    }
    if (const auto* usbProject = dynamic_cast<const UsbKeyboard*>(&project)) {
        ApplyVendorId(*backup, usbProject->GetVendorId());
    }
    return backup->DownloadSequences(progress);
}

std::string MakeBackupFileName(uint8_t typeId, const std::tm& localTime, unsigned sequence)
{
    return StampedName(TypeStem(typeId), localTime, sequence);
}

std::string MakePortBackupFileName(const std::string& port, const std::tm& localTime, unsigned sequence)
{
    return StampedName(PortStem(port), localTime, sequence);
}

bool CreateBackupFolder(const std::string& folder)
{
    if (folder.empty()) {
        return false;
    }
    // Each missing folder on the way is made in turn, so none is ever open to others.
    const std::filesystem::path path(folder);
    std::filesystem::path partial;
    for (const std::filesystem::path& part : path) {
        partial /= part;
        if (!MakeFolder(partial)) {
            return false;
        }
    }
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

namespace {

// Saves under the first name of the stem and time that no file has yet; the path saved to in target.
bool SaveStampedBackup(Keyboard& backup, const std::string& folder, const std::string& stem, std::time_t now,
                       std::string& target)
{
    std::tm local{};
    if (!CreateBackupFolder(folder) || !ToLocalTime(now, local)) {
        return false;
    }
    for (unsigned sequence = 1;; ++sequence) {
        if (sequence > kMaxSequence) {
            return false;
        }
        target = (std::filesystem::path(folder) / StampedName(stem, local, sequence)).string();
        if (!Exists(target)) {
            break;
        }
    }
    uint8_t format = 0;
    return SaveProjectFile(backup, target, &format) == SaveOutcome::Saved;
}

} // namespace

bool SaveBackupInFolder(Keyboard& backup, const std::string& folder, std::time_t now, std::string* path)
{
    std::string target;
    if (!SaveStampedBackup(backup, folder, TypeStem(backup.GetTypeId()), now, target)) {
        return false;
    }
    PruneBackups(folder, backup.GetTypeId(), kKeptBackupsPerType, target);
    if (path != nullptr) {
        *path = target;
    }
    return true;
}

bool SavePortBackup(Keyboard& backup, const std::string& folder, const std::string& port, std::time_t now,
                    std::string* path)
{
    std::string target;
    const bool saved = SaveStampedBackup(backup, folder, PortStem(port), now, target);
    if (saved && path != nullptr) {
        *path = target;
    }
    return saved;
}

size_t PruneBackups(const std::string& folder, uint8_t typeId, size_t keep, const std::string& spared)
{
    struct Backup
    {
        std::filesystem::file_time_type written;
        std::string name;
    };
    const std::string stem = TypeStem(typeId);
    const std::string sparedName = std::filesystem::path(spared).filename().string();
    std::vector<Backup> backups;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::error_code kindError;
        if (name == sparedName || !IsBackupName(name, stem) || !entry->is_regular_file(kindError)) {
            continue;
        }
        std::error_code timeError;
        const std::filesystem::file_time_type written = entry->last_write_time(timeError);
        // A file whose time cannot be read goes first rather than a readable newer one.
        backups.push_back({timeError ? std::filesystem::file_time_type::min() : written, name});
    }
    const size_t kept = sparedName.empty() || keep == 0 ? keep : keep - 1;
    if (backups.size() <= kept) {
        return 0;
    }
    // Oldest written first: the local time in a name goes back with daylight saving time or a
    // change of time zone, the time a file was written does not. The name orders files written
    // within the clock's resolution, where its sequence number tells.
    std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) {
        return a.written != b.written ? a.written < b.written : a.name < b.name;
    });
    size_t removed = 0;
    for (size_t i = 0; i + kept < backups.size(); ++i) {
        std::error_code removeError;
        removed +=
            std::filesystem::remove(std::filesystem::path(folder) / backups[i].name, removeError) ? 1 : 0;
    }
    return removed;
}
