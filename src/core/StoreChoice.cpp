#include "StoreChoice.h"

#include "QirvoError.h"

#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;

std::optional<ServerAddress> StoreChoice::read(const QStringList& arguments, const QString& programFolder)
{
    const qsizetype option = arguments.indexOf(u"--database"_s);
    if (option >= 0) {
        if (option + 1 >= arguments.size())
            throw QirvoError(
                u"选项 --database 后面应当写数据库地址，例如 postgresql://用户名@服务器/数据库名。"_s);
        return ServerAddress::parse(arguments[option + 1]);
    }
    const QString iniPath = programFolder + u"Qirvo.ini"_s;
    if (!QFileInfo::exists(iniPath))
        return std::nullopt;
    const QSettings ini(iniPath, QSettings::IniFormat);
    const QString url = ini.value(u"database/url"_s).toString().trimmed();
    if (url.isEmpty())
        return std::nullopt;
    try {
        return ServerAddress::parse(url);
    } catch (const QirvoError& error) {
        throw QirvoError(u"%1 中的数据库地址有误：\n%2"_s.arg(iniPath, error.message()));
    }
}
