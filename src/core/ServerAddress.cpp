#include "ServerAddress.h"

#include "QirvoError.h"

#include <QSqlError>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

ServerAddress ServerAddress::parse(const QString& url)
{
    const QString example = u"postgresql://用户名@服务器:端口/数据库名"_s;
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    if (!parsed.isValid() || (parsed.scheme() != u"postgresql" && parsed.scheme() != u"postgres"))
        throw QirvoError(u"数据库地址“%1”无法识别，应当写成 %2。"_s.arg(url, example));
    if (!parsed.password().isEmpty())
        throw QirvoError(u"数据库地址里不能写密码。请把密码放在 ~/.pgpass 文件或 PGPASSWORD 环境变量中，"
                         u"地址写成 %1。"_s.arg(example));
    ServerAddress address;
    address.m_user = parsed.userName();
    address.m_host = parsed.host();
    address.m_port = parsed.port(5432);
    address.m_database = parsed.path().mid(1);
    const QUrlQuery query(parsed);
    if (query.hasQueryItem(u"host"_s))
        address.m_host = query.queryItemValue(u"host"_s, QUrl::FullyDecoded);
    if (address.m_database.isEmpty() || address.m_database.contains(u'/'))
        throw QirvoError(u"数据库地址“%1”没有写明数据库名，应当写成 %2。"_s.arg(url, example));
    return address;
}

QString ServerAddress::shown() const
{
    const QString host = m_host.isEmpty() ? u"localhost"_s : m_host;
    return host.startsWith(u'/') ? u"%1/%2"_s.arg(host, m_database)
                                 : u"%1:%2/%3"_s.arg(host).arg(m_port).arg(m_database);
}

QSqlDatabase ServerAddress::open(const QString& connectionName) const
{
    QSqlDatabase db = QSqlDatabase::contains(connectionName)
                          ? QSqlDatabase::database(connectionName, false)
                          : QSqlDatabase::addDatabase(u"QPSQL"_s, connectionName);
    if (!db.isValid())
        throw QirvoError(
            u"本机没有 PostgreSQL 的 Qt 驱动（软件包 libqt6sql6-psql），无法连接数据库服务器。"_s);
    db.setHostName(m_host);
    db.setPort(m_port);
    db.setUserName(m_user);
    db.setDatabaseName(m_database);
    if (!db.open()) {
        const QString reason = db.lastError().text();
        throw QirvoError(u"无法连接数据库服务器 %1：\n%2"_s.arg(shown(), reason));
    }
    return db;
}

ServerAddress ServerAddress::withDatabase(const QString& database) const
{
    ServerAddress address = *this;
    address.m_database = database;
    return address;
}

QString ServerAddress::url() const
{
    QUrl url;
    url.setScheme(u"postgresql"_s);
    url.setUserName(m_user);
    url.setPath(u'/' + m_database);
    if (m_host.startsWith(u'/')) {
        QUrlQuery query;
        query.addQueryItem(u"host"_s, m_host);
        url.setQuery(query);
    } else {
        url.setHost(m_host);
        url.setPort(m_port);
    }
    return url.toString();
}
