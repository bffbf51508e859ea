// Writes the delivered database, as a file or on a PostgreSQL server; an existing one is never touched.
#include "QirvoError.h"
#include "Schema.h"
#include "ServerAddress.h"
#include "ServerSchema.h"

#include <QCoreApplication>
#include <QFile>
#include <QScopeGuard>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

int makeFile(const QString& path)
{
    if (QFile::exists(path)) {
        QTextStream(stdout) << path << u" 已存在，保持不变。\n"_s;
        return 0;
    }
    Schema::createDatabase(path);
    QTextStream(stdout) << u"已建立数据库 "_s << path << '\n';
    return 0;
}

int makeOnServer(const QString& url)
{
    const ServerAddress address = ServerAddress::parse(url);
    ServerSchema::createDatabaseIfMissing(address);
    const QString connectionName = u"qirvo-makedb"_s;
    const auto forget = qScopeGuard([&] { QSqlDatabase::removeDatabase(connectionName); });
    const QSqlDatabase db = address.open(connectionName);
    if (ServerSchema::versionOf(db)) {
        ServerSchema::check(db, address.shown());
        QTextStream(stdout) << address.shown() << u" 已经是本软件的数据库，保持不变。\n"_s;
        return 0;
    }
    ServerSchema::create(db);
    QTextStream(stdout) << u"已在服务器上建立数据库 "_s << address.shown() << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = app.arguments().mid(1);
    const bool onServer = arguments.size() == 2 && arguments[0] == u"--database";
    if (arguments.size() != 1 && !onServer) {
        err << "usage: qirvo-makedb PATH\n       qirvo-makedb --database "
               "postgresql://user@host:port/dbname\n";
        return 2;
    }
    try {
        return onServer ? makeOnServer(arguments[1]) : makeFile(arguments[0]);
    } catch (const QirvoError& error) {
        err << error.message() << '\n';
        return 1;
    }
}
