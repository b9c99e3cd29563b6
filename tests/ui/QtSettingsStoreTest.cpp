// The settings file through QSettings: the place it has always had, and values kept byte for byte.
#include "UiTestMain.h"

#include "ui/QtSettingsStore.h"

#include <QFile>
#include <QTemporaryDir>

class QtSettingsStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void fileIsWhereTheNativeFormatPutsIt();
    void valuesKeepTheirBytes();
};

void QtSettingsStoreTest::fileIsWhereTheNativeFormatPutsIt()
{
#ifdef Q_OS_WIN
    QSKIP("the registry holds the settings on Windows");
#endif
    QTemporaryDir folder;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path()));
    const QString native = QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tavrin"),
                                     QStringLiteral("zq-programmer"))
                               .fileName();
    const QString ours = QtSettingsStore::GetUserFileName(QStringLiteral("zq-programmer"));
    qputenv("XDG_CONFIG_HOME", saved);
    QCOMPARE(ours, folder.filePath(QStringLiteral("Tavrin/zq-programmer.conf")));
    QCOMPARE(ours, native);
}

void QtSettingsStoreTest::valuesKeepTheirBytes()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Tavrin/zq-programmer.conf"));
    const std::string latin1 = "/home/ana/caf\xe9.zqp";
    const std::string utf8 = "/home/ana/caf\xc3\xa9.zqp";
    {
        auto store = QtSettingsStore::ForIniFile(path);
        QVERIFY(store->IsUsable());
        QVERIFY(store->WriteValue("Recent File List", "File1", latin1));
        QVERIFY(store->WriteValue("Recent File List", "File2", utf8));
        QVERIFY(store->WriteValue("Configuration", "FastEdit", "1"));
        QVERIFY(store->Sync());
    }
    auto store = QtSettingsStore::ForIniFile(path);
    QCOMPARE(store->ReadValue("Recent File List", "File1"), std::optional<std::string>(latin1));
    QCOMPARE(store->ReadValue("Recent File List", "File2"), std::optional<std::string>(utf8));
    QCOMPARE(store->ReadValue("Configuration", "FastEdit"), std::optional<std::string>("1"));
    QCOMPARE(store->ReadValue("Configuration", "Missing"), std::optional<std::string>());
    // Text stays plain text in the file; only the bytes that are no text become a byte array.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll().replace("\r\n", "\n");
    QVERIFY2(content.contains("File2=/home/ana/caf\xc3\xa9.zqp\n"), content.constData());
    QVERIFY2(content.contains("FastEdit=1\n"), content.constData());
}

ZQ_UI_TEST(QtSettingsStoreTest)
#include "QtSettingsStoreTest.moc"
