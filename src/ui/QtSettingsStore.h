// The settings record's storage in QSettings: the registry on Windows, an INI file in the XDG
// config folder on Linux, under organisation "Tavrin" and the program's name.
#pragma once

#include "app/SettingsStore.h"

#include <QSettings>

class QtSettingsStore : public SettingsStore
{
public:
    explicit QtSettingsStore(const QString& applicationName);

    std::optional<std::string> ReadValue(const std::string& section, const std::string& name) const override;
    bool WriteValue(const std::string& section, const std::string& name, const std::string& value) override;
    // Writes pending values to the file; true when the store is fine.
    bool Sync();

private:
    mutable QSettings m_settings;
};
