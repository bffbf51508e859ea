#include "SettingsStore.h"

#include "QirvoError.h"
#include "ShareDMUnit.h"

#include <QDir>
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
            if (machine.status() == QSettings::NoError)
                return;
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
    const QSettings machine(SettingsStore::machineStorePath(), QSettings::IniFormat);
    const QVariant stored = machine.value(machineKey(name));
    if (machine.status() == QSettings::NoError && stored.typeId() == QMetaType::QString &&
        !stored.toString().isEmpty())
        return stored.toString();
    // A setting that could only be written beside the program is found there.
    if (SettingsIniPath.isEmpty())
        return {};
    return QSettings(SettingsIniPath, QSettings::IniFormat).value(fallbackKey(name)).toString();
}

QString GetDesktopDir()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QDir(desktop).exists())
        return QDir::cleanPath(desktop);
    return QDir::cleanPath(QDir::homePath());
}
