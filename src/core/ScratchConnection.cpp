#include "ScratchConnection.h"

#include "QirvoError.h"

#include <QSqlError>

using namespace Qt::StringLiterals;

namespace {

const QString Name = u"qirvo-scratch"_s;

} // namespace

ScratchConnection::ScratchConnection(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, Name);
    db.setDatabaseName(path);
    if (!db.open()) {
        const QString error = db.lastError().text();
        db = {};
        QSqlDatabase::removeDatabase(Name);
        throw QirvoError(u"无法建立数据库文件：%1\n%2"_s.arg(path, error));
    }
}

ScratchConnection::~ScratchConnection()
{
    QSqlDatabase::database(Name, false).close();
    QSqlDatabase::removeDatabase(Name);
}

QSqlDatabase ScratchConnection::database() const
{
    return QSqlDatabase::database(Name, false);
}
