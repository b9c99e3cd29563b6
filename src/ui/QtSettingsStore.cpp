#include "ui/QtSettingsStore.h"

namespace {

QString Key(const std::string& section, const std::string& name)
{
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}

} // namespace

QtSettingsStore::QtSettingsStore(const QString& applicationName)
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"), applicationName)
{
}

std::optional<std::string> QtSettingsStore::ReadValue(const std::string& section,
                                                      const std::string& name) const
{
    const QString key = Key(section, name);
    if (!m_settings.contains(key)) {
        return std::nullopt;
    }
    return m_settings.value(key).toString().toStdString();
}

bool QtSettingsStore::WriteValue(const std::string& section, const std::string& name,
                                 const std::string& value)
{
    m_settings.setValue(Key(section, name), QString::fromStdString(value));
    return m_settings.status() == QSettings::NoError;
}

bool QtSettingsStore::Sync()
{
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}
