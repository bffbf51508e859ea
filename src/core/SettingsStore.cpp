#include "SettingsStore.h"

#include "QirvoError.h"
#include "ShareDMUnit.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString SettingsIniPath;
QString SettingsStore::s_machineStorePath;

namespace {

QString machineKey(const QString& name)
{
    return QString(SettingsKey).replace(u'\\', u'/') + u'/' + name;
}

QString fallbackKey(const QString& name)
{
    return u"Setting/"_s + name;
}

// Drops a setting from the file beside the program once the machine store holds a newer one. Where
// that file cannot be changed it keeps the older value, which then reads back until the next
// successful write to the file; nothing better can be done without the right to write it.
void forgetFallback(const QString& name)
{
    if (SettingsIniPath.isEmpty() || !QFile::exists(SettingsIniPath))
        return;
    QSettings fallback(SettingsIniPath, QSettings::IniFormat);
    if (!fallback.contains(fallbackKey(name)) || !fallback.isWritable())
        return;
    fallback.remove(fallbackKey(name));
    fallback.sync();
}

} // namespace

QString SettingsStore::machineStorePath()
{
    return s_machineStorePath.isEmpty() ? u"/etc/xdg/Qirvo/Qirvo.ini"_s : s_machineStorePath;
}

void SettingsStore::setMachineStorePathForTesting(const QString& path)
{
    s_machineStorePath = path;
}

void WriteSetting(const QString& name, const QString& value)
{
    {
        QSettings machine(SettingsStore::machineStorePath(), QSettings::IniFormat);
        if (machine.isWritable()) {
            machine.setValue(machineKey(name), value);
            machine.sync();
            if (machine.status() == QSettings::NoError) {
                forgetFallback(name);
                return;
            }
        }
    }
    QSettings fallback(SettingsIniPath, QSettings::IniFormat);
    fallback.setValue(fallbackKey(name), value);
    fallback.sync();
    if (SettingsIniPath.isEmpty() || fallback.status() != QSettings::NoError)
        throw QirvoError(
            u"无法保存设置，设置文件不能写入：\n%1"_s.arg(QDir::toNativeSeparators(SettingsIniPath)));
}

QString ReadSetting(const QString& name)
{
    // The file beside the program holds a setting only while it is newer than the machine store's:
    // written when the store could not be, and forgotten when the store is written again.
    if (!SettingsIniPath.isEmpty()) {
        const QString written =
            QSettings(SettingsIniPath, QSettings::IniFormat).value(fallbackKey(name)).toString();
        if (!written.isEmpty())
            return written;
    }
    const QSettings machine(SettingsStore::machineStorePath(), QSettings::IniFormat);
    const QVariant stored = machine.value(machineKey(name));
    if (machine.status() == QSettings::NoError && stored.typeId() == QMetaType::QString &&
        !stored.toString().isEmpty())
        return stored.toString();
    return {};
}

QString GetDesktopDir()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QDir(desktop).exists())
        return QDir::cleanPath(desktop);
    return QDir::cleanPath(QDir::homePath());
}
