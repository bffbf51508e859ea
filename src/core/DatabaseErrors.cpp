#include "DatabaseErrors.h"

#include <QSqlError>

#include <optional>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// The server reports five-character SQLSTATE codes; a connection that broke on the way has none,
// only libpq's words.
std::optional<DatabaseFailure> serverFailure(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    const QString text = error.databaseText() + u' ' + error.driverText();
    for (const char16_t* words :
         {u"server closed the connection", u"no connection to the server", u"terminating connection",
          u"could not send data to server", u"could not receive data from server"})
        if (text.contains(QStringView(words), Qt::CaseInsensitive))
            return DatabaseFailure::Lost;
    if (code.size() != 5)
        return std::nullopt;
    if (code.startsWith(u"08"_s) || code.startsWith(u"57P"_s))
        return DatabaseFailure::Lost;
    if (code == u"40P01" || code == u"40001" || code == u"55P03")
        return DatabaseFailure::Busy;
    if (code == u"53100")
        return DatabaseFailure::Full;
    return DatabaseFailure::Other;
}

} // namespace

DatabaseFailure ClassifyDatabaseError(const QSqlError& error)
{
    if (const std::optional<DatabaseFailure> onServer = serverFailure(error))
        return *onServer;
    bool numeric = false;
    // The driver reports SQLite's extended result code; its low byte is the primary code.
    const int code = error.nativeErrorCode().toInt(&numeric) & 0xff;
    if (!numeric)
        return DatabaseFailure::Other;
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DatabaseFailure::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return DatabaseFailure::ReadOnly;
    case SQLITE_FULL:
        return DatabaseFailure::Full;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return DatabaseFailure::Damaged;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return DatabaseFailure::Io;
    default:
        return DatabaseFailure::Other;
    }
}

QString DescribeDatabaseError(const QSqlError& error)
{
    const QString original = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    QString meaning;
    switch (ClassifyDatabaseError(error)) {
    case DatabaseFailure::Busy:
        meaning = u"数据库正被另一个窗口或程序写入，请稍等片刻后再试一次。"_s;
        break;
    case DatabaseFailure::ReadOnly:
        meaning = u"没有写入数据库文件的权限（文件或它所在的文件夹是只读的），请让管理员加上写入权限。"_s;
        break;
    case DatabaseFailure::Full:
        meaning = u"磁盘已满，数据没有写入。请腾出磁盘空间后再试一次。"_s;
        break;
    case DatabaseFailure::Damaged:
        meaning = u"数据库文件已损坏。请用最近的备份恢复数据。"_s;
        break;
    case DatabaseFailure::Io:
        meaning = u"读写数据库文件时出错，请检查磁盘或网络连接后再试一次。"_s;
        break;
    case DatabaseFailure::Lost:
        meaning = u"与数据库服务器的连接已中断（服务器重新启动或网络断开），刚才的操作没有完成。"
                  u"已保存的数据不受影响；本软件会重新连接，请稍后再操作一次。"_s;
        break;
    case DatabaseFailure::Other:
        return original;
    }
    return u"%1\n（%2）"_s.arg(meaning, original);
}
