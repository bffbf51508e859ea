#include "QirvoError.h"
#include "SettingsStore.h"
#include "ShareDMUnit.h"
#include "WithoutRoot.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void writableStoreKeepsTheSettings();
    void unwritableStoreFallsBackToTheFile();
    void unwritableFileToo();
    void readsWhatThisUserWroteLast();
    void desktopFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    SettingsStore::setMachineStorePathForTesting(m_dir->filePath(u"etc/Qirvo.ini"_s));
    SettingsIniPath = m_dir->filePath(u"AppSetting.ini"_s);
}

void TestSettings::cleanup()
{
    SettingsStore::setMachineStorePathForTesting({});
    SettingsIniPath.clear();
    m_dir.reset();
}

void TestSettings::writableStoreKeepsTheSettings()
{
    QCOMPARE(ReadSetting(u"SavePath"_s), QString());
    const QString folder = u"/备份/O'Neil, 2026/"_s;
    WriteSetting(u"SavePath"_s, folder);
    QCOMPARE(ReadSetting(u"SavePath"_s), folder);
    QVERIFY(!QFile::exists(SettingsIniPath));
    const QSettings stored(SettingsStore::machineStorePath(), QSettings::IniFormat);
    QCOMPARE(stored.value(u"SoftWare/Qirvo计件统计/v1.0/SavePath"_s).toString(), folder);
}

void TestSettings::unwritableStoreFallsBackToTheFile()
{
    // A store under a plain file can never be created.
    QFile blocker(m_dir->filePath(u"etc"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    WriteSetting(u"SavePath"_s, u"/mnt/备份/"_s);
    WriteSetting(u"SaveLast"_s, u"/mnt/备份/Qirvo计件统计2026-12-10.mdb"_s);
    QCOMPARE(QSettings(SettingsIniPath, QSettings::IniFormat).value(u"Setting/SavePath"_s).toString(),
             u"/mnt/备份/"_s);
    // Read back from the file, so the backup folder is not forgotten.
    QCOMPARE(ReadSetting(u"SavePath"_s), u"/mnt/备份/"_s);
    QCOMPARE(ReadSetting(u"SaveLast"_s), u"/mnt/备份/Qirvo计件统计2026-12-10.mdb"_s);
    QCOMPARE(ReadSetting(u"Other"_s), QString());
}

void TestSettings::unwritableFileToo()
{
    QFile blocker(m_dir->filePath(u"etc"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsIniPath = m_dir->filePath(u"etc/AppSetting.ini"_s);
    try {
        WriteSetting(u"SavePath"_s, u"/x/"_s);
        QFAIL("the setting was reported written");
    } catch (const QirvoError& error) {
        QVERIFY(error.message().contains(u"AppSetting.ini"_s));
    }
}

// The machine-wide store holds an administrator's older folder; a user who may not write it backs up
// elsewhere, and the next dialog opens there. Once the store is written again, that value counts.
void TestSettings::readsWhatThisUserWroteLast()
{
    WriteSetting(u"SavePath"_s, u"/srv/管理员/"_s);
    const QString store = SettingsStore::machineStorePath();
    const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    // The program folder takes the clerk's file; the store only its owner's changes.
    QVERIFY(QFile::setPermissions(m_dir->path(), everyone));
    QVERIFY(QFile::setPermissions(QFileInfo(store).absolutePath(), everyone & ~QFile::WriteOther));
    QVERIFY(QFile::setPermissions(store, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    {
        WithoutRoot clerk;
        WriteSetting(u"SavePath"_s, u"/home/clerk/备份/"_s);
        QCOMPARE(ReadSetting(u"SavePath"_s), u"/home/clerk/备份/"_s);
    }
    QCOMPARE(
        QSettings(store, QSettings::IniFormat).value(u"SoftWare/Qirvo计件统计/v1.0/SavePath"_s).toString(),
        u"/srv/管理员/"_s);
    WriteSetting(u"SavePath"_s, u"/srv/新/"_s);
    QCOMPARE(ReadSetting(u"SavePath"_s), u"/srv/新/"_s);
}

void TestSettings::desktopFolder()
{
    const QString home = QDir::cleanPath(QDir::homePath());
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const bool desktopExists = QDir(desktop).exists();
    QCOMPARE(GetDesktopDir(), desktopExists ? QDir::cleanPath(desktop) : home);
    QVERIFY(!GetDesktopDir().endsWith(u'/') || GetDesktopDir() == u"/"_s);

    // Without a desktop folder of its own the user's home folder stands in.
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldDesktop = qgetenv("XDG_DESKTOP_DIR");
    qputenv("HOME", QFile::encodeName(m_dir->path()));
    qunsetenv("XDG_DESKTOP_DIR");
    QCOMPARE(GetDesktopDir(), QDir::cleanPath(m_dir->path()));
    QVERIFY(QDir(m_dir->path()).mkdir(u"Desktop"_s));
    QCOMPARE(GetDesktopDir(), QDir::cleanPath(m_dir->filePath(u"Desktop"_s)));
    qputenv("HOME", oldHome);
    if (!oldDesktop.isEmpty())
        qputenv("XDG_DESKTOP_DIR", oldDesktop);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_Settings.moc"
