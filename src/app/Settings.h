// The persisted configuration record, the recent file list and the choice of the start
// keyboard type.
#pragma once

#include "app/SettingsStore.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

inline constexpr const char* kConfigurationSection = "Configuration";
inline constexpr const char* kRecentFileSection = "Recent File List";
inline constexpr int kRecentFileCount = 4;
// The folders the file dialogs used last: "Projects" and "Firmware".
inline constexpr const char* kFolderSection = "Folders";

using RecentFiles = std::array<std::string, kRecentFileCount>;

class Settings
{
public:
    // Only an absent or empty value takes the default; text that does not parse gives false or 0,
    // except for the two programming checks, which then keep their default.
    void LoadSettings(const SettingsStore& store);
    // Every value is written even when an earlier write fails; true when all succeeded.
    bool SaveSettings(SettingsStore& store) const;

    // The type id to start with, or no value when the "Select New Keyboard" dialog must ask.
    // typeCount is the number of types in the catalogue.
    std::optional<uint8_t> ChooseStartKeyboardType(uint32_t typeCount) const;
    // Applies the dialog's answer and returns the chosen type id.
    uint8_t ApplyStartDialogChoice(uint8_t typeId, bool useAsDefault);

    // The two start choices exclude each other: toggling one clears the other.
    void ToggleUseDefaultKeyb();
    void ToggleUseLastKeyb();
    // Called for every project created new or loaded from a file.
    void SetLastKeybID(uint8_t typeId) { m_lastKeybID = typeId; }

    // Entries "File1" to "File4"; an absent value gives an empty entry.
    static RecentFiles LoadRecentFiles(const SettingsStore& store);
    static bool SaveRecentFiles(SettingsStore& store, const RecentFiles& files);
    // The path first; the entries above its old place (or all but the last) move down one.
    static void PutOnTop(RecentFiles& files, const std::string& path);
    // The language the user chose for the texts ("de"; "en" for the built-in ones); empty: the
    // desktop's.
    static std::string LoadLanguage(const SettingsStore& store);
    static bool SaveLanguage(SettingsStore& store, const std::string& language);
    // Empty when none was used yet.
    static std::string LoadLastFolder(const SettingsStore& store, const char* name);
    static bool SaveLastFolder(SettingsStore& store, const char* name, const std::string& folder);

    bool operator==(const Settings&) const = default;

    bool m_fastEdit = true;
    bool m_defaultApply = true;
    bool m_escEndApplication = true;
    bool m_confirmReplace = true;
    bool m_confirmDelete = true;
    bool m_useLastKeyb = false;
    bool m_useDefaultKeyb = false;
    // Programming reads the keyboard back and compares; a USB keyboard's programming is saved first.
    bool m_verifyAfterProgramming = true;
    bool m_backupBeforeProgramming = true;
    uint8_t m_lastKeybID = 0;
    uint8_t m_defaultKeybID = 0;
};
