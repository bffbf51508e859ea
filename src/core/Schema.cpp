#include "Schema.h"

#include "DatabaseFile.h"
#include "QirvoError.h"
#include "ScratchConnection.h"
#include "TableDefinitions.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

const Schema::Account Schema::DeliveredAccounts[2] = {
    {u"系统管理员", u"admin", true},
    {u"操作员", u"1234", false},
};

namespace {

// The indexes of the first version; the tables are QirvoTables().
const char16_t* const FirstIndexes[] = {
    u"create index RecordByDate on RecordTable (RecordRecordDate)",
    u"create index RecordByUserDate on RecordTable (RecordUser, RecordRecordDate)",
    u"create index RecordBySerial on RecordTable (RecordSerial)",
    u"create index jchengByUserDate on jcheng (jchengUser, jchengDate)",
    u"create index PriceByCounter on Price (PriceCounter)",
    u"create index UserByName on [User] (UserName)",
    u"create index CounterBySerial on [Counter] (CounterSerial)",
    u"create index PayforByEnable on Payfor (PayforEnable)",
};

// The steps from each version to the next; a new file is made as version 1 and goes through them all,
// so that a new file and an upgraded one are alike.
struct Upgrade
{
    int version;
    QStringList statements;
};

const QList<Upgrade>& upgrades()
{
    static const QList<Upgrade> steps{
        // The lists by date read their keys, counts and sums from the first index alone, a day's
        // entries still in the order they were added; the per-worker statistics walk the second in
        // worker order without a sort. The statistics let the planner see which pays.
        {2,
         {u"drop index if exists RecordByDate"_s,
          u"create index RecordByDateCovered on RecordTable (RecordRecordDate, RecordIndex, RecordCounter, "
          u"RecordNumber, RecordSum)"_s,
          u"drop index if exists RecordByUserDate"_s,
          u"create index RecordByUserDateCovered on RecordTable (RecordUser, RecordRecordDate, "
          u"RecordCounter, "
          u"RecordNumber, RecordSum)"_s,
          u"analyze"_s}},
    };
    return steps;
}

int versionOf(const QSqlDatabase& database)
{
    QSqlQuery query(database);
    if (!query.exec(u"pragma user_version"_s) || !query.next())
        throw QirvoError(u"无法读取数据库的版本：%1"_s.arg(query.lastError().text()));
    return query.value(0).toInt();
}

void run(QSqlQuery& query, const QString& sql)
{
    if (!query.exec(sql))
        throw QirvoError(u"建立数据库失败：%1\n%2"_s.arg(query.lastError().text(), sql));
}

void writeDatabase(const QString& path)
{
    const ScratchConnection connection(path);
    QSqlDatabase db = connection.database();
    QSqlQuery query(db);
    run(query, u"pragma application_id = %1"_s.arg(QirvoApplicationId));
    db.transaction();
    run(query, u"pragma user_version = 1"_s);
    for (const TableDefinition& table : QirvoTables())
        run(query, FileCreateStatement(table));
    for (const char16_t* statement : FirstIndexes)
        run(query, QString::fromUtf16(statement));
    for (const Upgrade& step : upgrades())
        for (const QString& statement : step.statements)
            run(query, statement);
    run(query, u"pragma user_version = %1"_s.arg(Schema::CurrentVersion));
    Schema::addDeliveredAccounts(db, u"Power"_s);
    if (!db.commit())
        throw QirvoError(u"建立数据库失败：%1"_s.arg(db.lastError().text()));
}

} // namespace

const int Schema::CurrentVersion = 2;

void Schema::addDeliveredAccounts(const QSqlDatabase& database, const QString& powerTable)
{
    QSqlQuery query(database);
    query.prepare(u"insert into %1 (PowerName, PowerKey, PowerSet) values (?, ?, ?)"_s.arg(powerTable));
    for (const Account& account : DeliveredAccounts) {
        query.addBindValue(QString::fromUtf16(account.name));
        query.addBindValue(QString::fromUtf16(account.password));
        query.addBindValue(account.mayManage ? 1 : 0);
        if (!query.exec())
            throw QirvoError(u"写入登录用户失败：%1"_s.arg(query.lastError().text()));
    }
}

int Schema::upgrade(const QSqlDatabase& database, const std::function<void()>& keepCopy)
{
    const int version = versionOf(database);
    if (version > CurrentVersion)
        throw QirvoError(u"这个数据库文件来自更新版本的本软件（数据库版本 %1，本软件只认识到版本 %2），"
                         u"本软件不能使用它。请用新版本的软件打开它。"_s.arg(version)
                             .arg(CurrentVersion));
    if (version == CurrentVersion)
        return version;
    keepCopy();
    QSqlDatabase db = database;
    if (!db.transaction())
        throw QirvoError(u"无法升级数据库：%1"_s.arg(db.lastError().text()));
    QSqlQuery query(db);
    try {
        for (const Upgrade& step : upgrades())
            if (step.version > version)
                for (const QString& statement : step.statements)
                    run(query, statement);
        run(query, u"pragma user_version = %1"_s.arg(CurrentVersion));
    } catch (const QirvoError& error) {
        db.rollback();
        throw QirvoError(u"无法升级数据库，文件未作改动：%1"_s.arg(error.message()));
    }
    if (!db.commit()) {
        const QString reason = db.lastError().text();
        db.rollback();
        throw QirvoError(u"无法升级数据库：%1"_s.arg(reason));
    }
    return version;
}

void Schema::createDatabase(const QString& path)
{
    if (QFile::exists(path))
        throw QirvoError(u"数据库文件已经存在，未作改动：%1"_s.arg(path));
    // Built beside the target and renamed into place, so a failure never leaves a half-made database.
    const QString partPath = path + u".part"_s;
    QFile::remove(partPath);
    try {
        writeDatabase(partPath);
    } catch (...) {
        QFile::remove(partPath);
        throw;
    }
    if (!QFile::rename(partPath, path)) {
        QFile::remove(partPath);
        throw QirvoError(u"无法建立数据库文件：%1"_s.arg(path));
    }
}
