#include "ui/QtSettingsStore.h"

#include "lang/TextHelpers.h"

#include <QFile>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace {

QString Key(const std::string& section, const std::string& name)
{
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}

// Reading a FIFO waits for a writer that never comes, and QSettings saves by putting a new file
// in place of the old one, which would replace a device node behind a link.
bool IsRegularFileOrAbsent(const QString& fileName)
{
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(QFile::encodeName(fileName).toStdString(), error);
    return status.type() == std::filesystem::file_type::regular ||
           status.type() == std::filesystem::file_type::not_found;
}

} // namespace

QtSettingsStore::QtSettingsStore(const QString& applicationName)
{
#ifdef Q_OS_WIN
    m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Tavrin"), applicationName);
#else
    OpenIniFile(GetUserFileName(applicationName));
#endif
}

std::unique_ptr<QtSettingsStore> QtSettingsStore::ForIniFile(const QString& fileName)
{
    std::unique_ptr<QtSettingsStore> store(new QtSettingsStore);
    store->OpenIniFile(fileName);
    return store;
}

QString QtSettingsStore::GetUserFileName(const QString& applicationName)
{
#ifdef Q_OS_WIN
    Q_UNUSED(applicationName);
    return QString();
#else
    // Where QSettings' native format puts a user's settings; named here so that the file can be
    // looked at before QSettings opens it.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tavrin/") + applicationName + QStringLiteral(".conf");
#endif
}

void QtSettingsStore::OpenIniFile(const QString& fileName)
{
    m_fileName = fileName;
    if (IsRegularFileOrAbsent(fileName)) {
        m_settings = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    }
}

std::optional<std::string> QtSettingsStore::ReadValue(const std::string& section,
                                                      const std::string& name) const
{
    const QString key = Key(section, name);
    if (!m_settings || !m_settings->contains(key)) {
        return std::nullopt;
    }
    const QVariant value = m_settings->value(key);
    if (value.typeId() == QMetaType::QByteArray) {
        return value.toByteArray().toStdString();
    }
    return value.toString().toStdString();
}

bool QtSettingsStore::WriteValue(const std::string& section, const std::string& name,
                                 const std::string& value)
{
    if (!m_settings) {
        return false;
    }
    // A text would turn bytes that are not UTF-8 (a file name, say) into replacement characters.
    if (IsValidUtf8(value)) {
        m_settings->setValue(Key(section, name), QString::fromStdString(value));
    } else {
        m_settings->setValue(Key(section, name), QByteArray::fromStdString(value));
    }
    return m_settings->status() == QSettings::NoError;
}

bool QtSettingsStore::Sync()
{
    if (!m_settings) {
        return false;
    }
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}
