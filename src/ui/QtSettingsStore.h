// The settings record's storage in QSettings: the registry on Windows, an INI file in the XDG
// config folder elsewhere, under organisation "Tavrin" and the program's name.
#pragma once

#include "app/SettingsStore.h"

#include <QSettings>

#include <memory>

class QtSettingsStore : public SettingsStore
{
public:
    explicit QtSettingsStore(const QString& applicationName);
    // An INI file at that path instead of the program's own place.
    static std::unique_ptr<QtSettingsStore> ForIniFile(const QString& fileName);

    // The INI file of the program's settings; empty where they live in the registry.
    static QString GetUserFileName(const QString& applicationName);

    std::optional<std::string> ReadValue(const std::string& section, const std::string& name) const override;
    bool WriteValue(const std::string& section, const std::string& name, const std::string& value) override;
    // Writes pending values to the file; true when the store is fine.
    bool Sync();

    // False when the file is there but is no regular file, also behind links (a FIFO, a device,
    // a folder): then nothing is read from it or written to it.
    bool IsUsable() const { return m_settings != nullptr; }
    const QString& GetFileName() const { return m_fileName; }

private:
    QtSettingsStore() = default;
    void OpenIniFile(const QString& fileName);

    QString m_fileName;
    std::unique_ptr<QSettings> m_settings;
};
