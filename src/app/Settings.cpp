#include "app/Settings.h"

#include "app/Numbers.h"

#include <limits>

namespace {

// What a flag becomes when its text does not parse.
enum class Unreadable { IsFalse, KeepsDefault };

struct FlagValue
{
    const char* name;
    bool Settings::*member;
    bool fallback;
    Unreadable unreadable;
};

// The first seven flags read unparsable text as false, as settings files written so far expect;
// the checks around programming came later, and a damaged value must not switch one off unnoticed.
const FlagValue kFlags[] = {
    {"FastEdit", &Settings::m_fastEdit, true, Unreadable::IsFalse},
    {"DefaultApply", &Settings::m_defaultApply, true, Unreadable::IsFalse},
    {"EscEndApplication", &Settings::m_escEndApplication, true, Unreadable::IsFalse},
    {"ConfirmReplace", &Settings::m_confirmReplace, true, Unreadable::IsFalse},
    {"ConfirmDelete", &Settings::m_confirmDelete, true, Unreadable::IsFalse},
    {"UseLastKeyb", &Settings::m_useLastKeyb, false, Unreadable::IsFalse},
    {"UseDefaultKeyb", &Settings::m_useDefaultKeyb, false, Unreadable::IsFalse},
    {"VerifyAfterProgramming", &Settings::m_verifyAfterProgramming, true, Unreadable::KeepsDefault},
    {"BackupBeforeProgramming", &Settings::m_backupBeforeProgramming, true, Unreadable::KeepsDefault},
};

bool ReadFlag(const FlagValue& flag, const std::optional<std::string>& text)
{
    if (!text) {
        return flag.fallback;
    }
    uint32_t value = 0;
    if (ParseU32(*text, value, std::numeric_limits<uint32_t>::max()) != ParseOk) {
        return flag.unreadable == Unreadable::KeepsDefault ? flag.fallback : false;
    }
    return value != 0;
}

struct TypeIdValue
{
    const char* name;
    uint8_t Settings::*member;
};

const TypeIdValue kTypeIds[] = {
    {"LastKeybID", &Settings::m_lastKeybID},
    {"DefaultKeybID", &Settings::m_defaultKeybID},
};

std::optional<std::string> ReadPresent(const SettingsStore& store, const char* name)
{
    std::optional<std::string> value = store.ReadValue(kConfigurationSection, name);
    if (value && value->empty()) {
        return std::nullopt;
    }
    return value;
}

std::string RecentFileName(int index)
{
    return "File" + std::to_string(index + 1);
}

} // namespace

void Settings::LoadSettings(const SettingsStore& store)
{
    for (const FlagValue& flag : kFlags) {
        this->*flag.member = ReadFlag(flag, ReadPresent(store, flag.name));
    }
    for (const TypeIdValue& id : kTypeIds) {
        const std::optional<std::string> text = ReadPresent(store, id.name);
        this->*id.member = text ? ToU8(*text, 255) : 0;
    }
}

bool Settings::SaveSettings(SettingsStore& store) const
{
    bool allWritten = true;
    for (const FlagValue& flag : kFlags) {
        allWritten &= store.WriteValue(kConfigurationSection, flag.name, this->*flag.member ? "1" : "0");
    }
    for (const TypeIdValue& id : kTypeIds) {
        allWritten &= store.WriteValue(kConfigurationSection, id.name, std::to_string(this->*id.member));
    }
    return allWritten;
}

std::optional<uint8_t> Settings::ChooseStartKeyboardType(uint32_t typeCount) const
{
    if (m_useDefaultKeyb && m_defaultKeybID < typeCount) {
        return m_defaultKeybID;
    }
    if (m_useLastKeyb && m_lastKeybID < typeCount) {
        return m_lastKeybID;
    }
    return std::nullopt;
}

uint8_t Settings::ApplyStartDialogChoice(uint8_t typeId, bool useAsDefault)
{
    if (useAsDefault) {
        m_useDefaultKeyb = true;
        m_defaultKeybID = typeId;
        m_useLastKeyb = false;
    }
    return typeId;
}

void Settings::ToggleUseDefaultKeyb()
{
    m_useDefaultKeyb = !m_useDefaultKeyb;
    m_useLastKeyb = false;
}

void Settings::ToggleUseLastKeyb()
{
    m_useLastKeyb = !m_useLastKeyb;
    m_useDefaultKeyb = false;
}

RecentFiles Settings::LoadRecentFiles(const SettingsStore& store)
{
    RecentFiles files;
    for (int i = 0; i < kRecentFileCount; ++i) {
        files[i] = store.ReadValue(kRecentFileSection, RecentFileName(i)).value_or(std::string());
    }
    return files;
}

std::string Settings::LoadLanguage(const SettingsStore& store)
{
    return store.ReadValue(kConfigurationSection, "Language").value_or(std::string());
}

bool Settings::SaveLanguage(SettingsStore& store, const std::string& language)
{
    return store.WriteValue(kConfigurationSection, "Language", language);
}

std::string Settings::LoadLastFolder(const SettingsStore& store, const char* name)
{
    return store.ReadValue(kFolderSection, name).value_or(std::string());
}

bool Settings::SaveLastFolder(SettingsStore& store, const char* name, const std::string& folder)
{
    return store.WriteValue(kFolderSection, name, folder);
}

bool Settings::SaveRecentFiles(SettingsStore& store, const RecentFiles& files)
{
    bool allWritten = true;
    for (int i = 0; i < kRecentFileCount; ++i) {
        allWritten &= store.WriteValue(kRecentFileSection, RecentFileName(i), files[i]);
    }
    return allWritten;
}

void Settings::PutOnTop(RecentFiles& files, const std::string& path)
{
    size_t at = 0;
    while (at < files.size() - 1 && files[at] != path) {
        ++at;
    }
    for (; at > 0; --at) {
        files[at] = files[at - 1];
    }
    files[0] = path;
}
