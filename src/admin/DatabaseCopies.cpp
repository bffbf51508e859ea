#include "DatabaseCopies.h"

#include "Connection.h"
#include "DatabaseFile.h"
#include "QirvoError.h"
#include "SqlFunctions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList RequiredTables{u"RecordTable"_s, u"Counter"_s, u"Price"_s, u"User"_s,
                                 u"jcheng"_s,      u"Payfor"_s,  u"Power"_s, u"Parameter"_s};

// The permissions a file written in place of target gets: those of modeFrom when it exists, else
// the ones a newly created file would get.
mode_t permissionsFor(const QString& modeFrom)
{
    struct stat existing;
    if (::stat(QFile::encodeName(modeFrom).constData(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Partial copies carry the program's name, so that what a killed copy left behind is known as ours.
const QString& PartialPrefix = DatabaseCopies::PartialPrefix;
const QString JournalSuffix = u"-journal"_s;

// A new, empty file beside target that only this copy uses; removed again unless kept. While it
// lives it holds a lock, which tells a later cleanup that its owner is still at work.
class TemporaryFile
{
public:
    TemporaryFile(const QString& target, const QString& modeFrom)
    {
        const QFileInfo info(target);
        m_path =
            QFile::encodeName(info.absolutePath() + u'/' + PartialPrefix + info.fileName() + u".XXXXXX"_s);
        m_fd = mkstemp(m_path.data());
        if (m_fd < 0) {
            m_error = errno;
            m_path.clear();
            return;
        }
        if (::flock(m_fd, LOCK_EX) != 0 || ::fchmod(m_fd, permissionsFor(modeFrom)) != 0)
            m_error = errno;
    }
    ~TemporaryFile()
    {
        if (!m_path.isEmpty()) {
            ::unlink(m_path.constData());
            ::unlink((m_path + JournalSuffix.toUtf8()).constData());
        }
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int error() const { return m_error; }
    const char* path() const { return m_path.constData(); }

    // Renames the file onto target; returns 0 or the system error number.
    int moveTo(const QString& target)
    {
        if (::rename(m_path.constData(), QFile::encodeName(target).constData()) != 0)
            return errno;
        m_path.clear();
        return 0;
    }

private:
    QByteArray m_path;
    int m_fd = -1;
    int m_error = 0;
};

// A partial copy is stale when no live copy holds its lock any more.
bool isStale(const QString& partial)
{
    const int fd = ::open(QFile::encodeName(partial).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool stale = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return stale;
}

// The system error behind a failed copy. Where the system gave none (a short write on a full disk
// is SQLITE_FULL without errno), SQLite's code is turned into the system error it stands for.
int failureNumber(sqlite3* db, int result)
{
    const int system = db ? sqlite3_system_errno(db) : 0;
    if (system != 0)
        return system;
    switch (result & 0xff) {
    case SQLITE_FULL:
        return ENOSPC;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return EACCES;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return EBUSY;
    case SQLITE_NOMEM:
        return ENOMEM;
    case SQLITE_CANTOPEN:
        return ENOENT;
    default:
        return EIO;
    }
}

// Copies the bytes of one file into another and flushes them to the disk.
int copyBytes(const QString& from, const char* to)
{
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY);
    if (in < 0)
        return errno;
    const int out = ::open(to, O_WRONLY | O_TRUNC);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    int error = 0;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0) {
            error = errno;
            break;
        }
        if (got == 0)
            break;
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(out, buffer + written, size_t(got - written));
            if (put < 0) {
                error = errno;
                break;
            }
            written += put;
        }
        if (error)
            break;
    }
    if (!error && ::fsync(out) != 0)
        error = errno;
    ::close(in);
    if (::close(out) != 0 && !error)
        error = errno;
    return error;
}

// The database file through a read-only connection of its own, closed however the check ends.
class ReadOnlyDatabase
{
public:
    explicit ReadOnlyDatabase(const QString& path)
    {
        const QByteArray uri =
            "file:" + QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/") + "?mode=ro";
        if (sqlite3_open_v2(uri.constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
            SQLITE_OK)
            refuse(path, QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    ~ReadOnlyDatabase() { sqlite3_close(m_db); }

    QStringList column(const char* sql, const QString& path) const
    {
        sqlite3_stmt* statement = nullptr;
        QStringList values;
        int step = sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
        if (step == SQLITE_OK)
            while ((step = sqlite3_step(statement)) == SQLITE_ROW)
                values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        const QString error = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE)
            refuse(path, error);
        return values;
    }

    [[noreturn]] static void refuse(const QString& path, const QString& reason)
    {
        throw QirvoError(
            u"该文件已损坏，不能用来恢复：\n%1\n%2"_s.arg(QDir::toNativeSeparators(path), reason));
    }

private:
    sqlite3* m_db = nullptr;
};

} // namespace

QString DatabaseCopies::proposedBackupName(const QDate& day)
{
    return u"Qirvo计件统计"_s + day.toString(u"yyyy-M-d"_s) + u".mdb"_s;
}

void DatabaseCopies::removeStalePartials(const QString& folder)
{
    const QDir dir(folder);
    const QStringList partials = dir.entryList({PartialPrefix + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString& name : partials) {
        const QString path = dir.filePath(name);
        if (name.endsWith(JournalSuffix)) {
            // A journal goes with its copy; one whose copy is gone is left over too.
            if (!QFile::exists(path.chopped(JournalSuffix.size())))
                QFile::remove(path);
        } else if (isStale(path)) {
            QFile::remove(path + JournalSuffix);
            QFile::remove(path);
        }
    }
}

int DatabaseCopies::backup(const Connection& live, const QString& target)
{
    sqlite3* source = SqliteHandleOf(live.database());
    if (!source)
        return EBADF;
    removeStalePartials(QFileInfo(target).absolutePath());
    TemporaryFile copy(target, target);
    if (copy.error())
        return copy.error();
    sqlite3* destination = nullptr;
    int result = sqlite3_open_v2(copy.path(), &destination, SQLITE_OPEN_READWRITE, nullptr);
    if (result == SQLITE_OK) {
        // One step copies every page under one read lock, so no half-written change gets in.
        sqlite3_backup* run = sqlite3_backup_init(destination, "main", source, "main");
        if (run) {
            sqlite3_backup_step(run, -1);
            sqlite3_backup_finish(run);
        }
        result = sqlite3_errcode(destination);
    }
    const int failure = result == SQLITE_OK ? 0 : failureNumber(destination, result);
    if (sqlite3_close(destination) != SQLITE_OK && failure == 0)
        return EIO;
    return failure ? failure : copy.moveTo(target);
}

void DatabaseCopies::examineBackup(const QString& path)
{
    DatabaseFile::verify(path);
    const ReadOnlyDatabase candidate(path);
    const QStringList integrity = candidate.column("pragma integrity_check", path);
    if (integrity != QStringList{u"ok"_s})
        ReadOnlyDatabase::refuse(path, integrity.mid(0, 3).join(u'\n'));
    const QStringList tables = candidate.column("select name from sqlite_master where type='table'", path);
    for (const QString& table : RequiredTables)
        if (!tables.contains(table, Qt::CaseInsensitive))
            throw QirvoError(u"该文件缺少数据表“%1”，不是完整的 Qirvo 数据库：\n%2"_s.arg(
                table, QDir::toNativeSeparators(path)));
}

QString DatabaseCopies::safetyCopyName(const QString& databasePath, const QDateTime& now)
{
    const QFileInfo info(databasePath);
    return info.absolutePath() + u"/Qirvo恢复前备份"_s + now.toString(u"yyyyMMdd-HHmmss"_s) + u".mdb"_s;
}

QString DatabaseCopies::upgradeCopyName(const QString& databasePath, const QDateTime& now)
{
    const QFileInfo info(databasePath);
    return info.absolutePath() + u"/Qirvo升级前备份"_s + now.toString(u"yyyyMMdd-HHmmss"_s) + u".mdb"_s;
}

int DatabaseCopies::restore(const QString& backup, const QString& databasePath, const QDateTime& now)
{
    TemporaryFile incoming(databasePath, databasePath);
    if (incoming.error())
        return incoming.error();
    if (const int error = copyBytes(backup, incoming.path()))
        return error;
    if (QFile::exists(databasePath)) {
        TemporaryFile safety(databasePath, databasePath);
        if (safety.error())
            return safety.error();
        if (const int error = copyBytes(databasePath, safety.path()))
            return error;
        if (const int error = safety.moveTo(safetyCopyName(databasePath, now)))
            return error;
    }
    return incoming.moveTo(databasePath);
}

bool DatabaseCopies::isSameFile(const QString& first, const QString& second)
{
    struct stat a = {};
    struct stat b = {};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}
