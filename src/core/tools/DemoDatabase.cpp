#include "DemoDatabase.h"

#include "QirvoError.h"
#include "Rounding.h"
#include "Schema.h"
#include "ScratchConnection.h"
#include "ServerAddress.h"
#include "ServerSchema.h"
#include "SqlDialect.h"

#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

const QStringList Surnames =
    u"张 王 李 赵 刘 陈 杨 黄 周 吴 徐 孙 马 朱 胡 郭 何 林 高 罗 郑 梁 谢 宋 唐 许 韩 冯 邓 曹"_s.split(
        u' ');
const QStringList GivenNames =
    u"伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀英 霞 平 刚 桂英 建华 晓东 海燕 春梅 志强 玉兰 红 "
    u"建国 小红 丹 鹏 辉 玲 斌 宇 浩 凯 婷 雪 琳 晨 欣 亮 波 健 俊 倩 兰"_s.split(u' ');
const QStringList Crafts =
    u"车缝 锁边 钉扣 整烫 包装 质检 裁剪 打枣 上领 上袖 拷边 绱拉链 剪线 熨烫 装箱"_s.split(u' ');
const QStringList Units = u"件 打 箱 米 双"_s.split(u' ');
const QStringList Rewards = u"全勤 加班 质量奖 节约材料"_s.split(u' ');
const QStringList Punishments = u"迟到 返工 违规操作 早退"_s.split(u' ');

struct WorkType
{
    int key;
    QString name;
    QList<double> prices;
};

class Filler
{
public:
    Filler(QSqlDatabase db, const SqlDialect& dialect, const DemoDatabase::Size& size)
        : m_db(std::move(db)), m_dialect(dialect), m_size(size), m_random(20061210)
    {}

    void run()
    {
        if (!m_dialect.isServer()) {
            // A file being built needs no journal: a failed run leaves no file at all.
            exec(u"pragma journal_mode = off"_s);
            exec(u"pragma synchronous = off"_s);
        }
        m_db.transaction();
        addWorkTypes();
        addWorkers();
        addEntries();
        addRewards();
        if (!m_db.commit())
            throw QirvoError(u"写入演示数据失败：%1"_s.arg(m_db.lastError().text()));
    }

private:
    void exec(const QString& sql)
    {
        QSqlQuery query(m_db);
        if (!query.exec(sql))
            throw QirvoError(u"写入演示数据失败：%1"_s.arg(query.lastError().text()));
    }
    QSqlQuery prepare(const QString& sql)
    {
        QSqlQuery query(m_db);
        if (!query.prepare(m_dialect.translate(sql)))
            throw QirvoError(u"写入演示数据失败：%1"_s.arg(query.lastError().text()));
        return query;
    }
    static void run(QSqlQuery& query, const QVariantList& values)
    {
        for (qsizetype i = 0; i < values.size(); ++i)
            query.bindValue(int(i), values[i]);
        if (!query.exec())
            throw QirvoError(u"写入演示数据失败：%1"_s.arg(query.lastError().text()));
    }
    int below(int bound) { return int(m_random.bounded(bound)); }
    template <typename List> const auto& pick(const List& list) { return list[below(int(list.size()))]; }

    void addWorkTypes()
    {
        QSqlQuery type =
            prepare(u"insert into [Counter] (CounterIndex, CounterSerial, CounterName, CounterUnit, "
                    u"CounterRemark) values (?, ?, ?, ?, ?)"_s);
        QSqlQuery price =
            prepare(u"insert into Price (PriceCounter, PriceValue, PriceRemark) values (?, ?, ?)"_s);
        for (int key = 1; key <= m_size.workTypes; ++key) {
            const int round = (key - 1) / int(Crafts.size());
            const QString name =
                Crafts[(key - 1) % Crafts.size()] + (round ? QString::number(round + 1) : QString());
            WorkType workType{key, name, {}};
            run(type, {key, u"G%1"_s.arg(key, 3, 10, QChar(u'0')), name, pick(Units), QString()});
            const double base = (10 + below(490)) / 100.0;
            const int count = 1 + below(4);
            for (int level = 0; level < count; ++level) {
                const double value = roundHalfEven(base * (1 + 0.1 * level), 2);
                workType.prices << value;
                run(price, {key, value, level == 0 ? u"普通"_s : u"熟练%1级"_s.arg(level)});
            }
            m_workTypes << workType;
        }
    }

    void addWorkers()
    {
        QSqlQuery worker = prepare(
            u"insert into [User] (UserName, UserAge, UserSex, UserPhone, UserWorkDate, UserCounterName, "
            u"UserCardID, UserAddress, UserBase) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
        const int combinations = int(Surnames.size() * GivenNames.size());
        for (int i = 0; i < m_size.workers; ++i) {
            // Surnames cycle fastest, so neighbours in the roster have different names.
            const int combination = i % combinations;
            QString name =
                Surnames[combination % Surnames.size()] + GivenNames[combination / Surnames.size()];
            if (i >= combinations)
                name += QString::number(i / combinations + 1);
            const WorkType& type = m_workTypes.isEmpty() ? WorkType{0, QString(), {}} : pick(m_workTypes);
            m_workers << Worker{name, type.key};
            run(worker, {name, 18 + below(38), below(2) ? u"男"_s : u"女"_s,
                         u"13%1"_s.arg(qint64(100000000) + below(900000000)),
                         m_size.lastDay.addDays(-below(3650)).toString(Qt::ISODate), type.name,
                         u"3301%1"_s.arg(qint64(10000000000000) + below(1000000000), 14, 10, QChar(u'0')),
                         u"%1路%2号"_s.arg(pick(Crafts)).arg(1 + below(300)), 800 + 50 * below(25)});
        }
    }

    void addEntries()
    {
        if (m_workers.isEmpty() || m_workTypes.isEmpty())
            return;
        QSqlQuery entry =
            prepare(u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter, RecordPrice, "
                    u"RecordNumber, RecordSum, RecordRecordDate, RecordSystemDate, RecordRemark) "
                    u"values (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
        // Working days back from the last day; entries are written oldest first, as clerks would.
        const int days = (m_size.entries + int(m_workers.size()) - 1) / int(m_workers.size());
        QList<QDate> workingDays;
        for (QDate day = m_size.lastDay; workingDays.size() < days; day = day.addDays(-1))
            if (day.dayOfWeek() != Qt::Sunday)
                workingDays.prepend(day);
        int serial = 0;
        for (const QDate& day : workingDays) {
            const QString date = day.toString(Qt::ISODate);
            for (const Worker& worker : m_workers) {
                if (serial == m_size.entries)
                    return;
                // Mostly the worker's own work type, now and then another.
                const WorkType& type = below(10) == 0 || worker.workType == 0
                                           ? pick(m_workTypes)
                                           : m_workTypes[worker.workType - 1];
                const double price = pick(type.prices);
                const int number = 10 + below(290);
                run(entry,
                    {u"%1"_s.arg(++serial, 8, 10, QChar(u'0')), worker.name, type.key, price, number,
                     roundHalfEven(price * number, 2), date, date, below(50) == 0 ? u"补录"_s : QString()});
            }
        }
    }

    void addRewards()
    {
        if (m_workers.isEmpty())
            return;
        QSqlQuery reward = prepare(u"insert into jcheng (jchengUser, jchengDate, jchengReson, jchengSum, "
                                   u"jchengRemark) values (?, ?, ?, ?, ?)"_s);
        const int span = std::max(1, int(m_size.entries / std::max<qsizetype>(1, m_workers.size()) * 7 / 6));
        for (int i = 0; i < m_size.rewards; ++i) {
            const bool punishment = below(3) == 0;
            const double amount = 10 * (1 + below(20));
            run(reward,
                {pick(m_workers).name, m_size.lastDay.addDays(-below(span)).toString(Qt::ISODate),
                 punishment ? pick(Punishments) : pick(Rewards), punishment ? -amount : amount, QString()});
        }
    }

    struct Worker
    {
        QString name;
        int workType;
    };

    QSqlDatabase m_db;
    SqlDialect m_dialect;
    DemoDatabase::Size m_size;
    QRandomGenerator m_random;
    QList<WorkType> m_workTypes;
    QList<Worker> m_workers;
};

} // namespace

void DemoDatabase::create(const QString& path, const Size& size)
{
    if (QFile::exists(path))
        throw QirvoError(u"%1 已存在，演示数据库不会覆盖它。"_s.arg(path));
    // Filled under another name, so a run that fails leaves nothing that looks like a database.
    const QString filling = path + u".filling"_s;
    QFile::remove(filling);
    Schema::createDatabase(filling);
    try {
        {
            const ScratchConnection connection(filling);
            Filler(connection.database(), SqlDialect(), size).run();
        }
        if (!QFile::rename(filling, path))
            throw QirvoError(u"无法建立 %1"_s.arg(path));
    } catch (...) {
        QFile::remove(filling);
        throw;
    }
}

void DemoDatabase::fill(const ServerAddress& server, const Size& size)
{
    const QString connectionName = u"qirvo-makedemo"_s;
    const auto forget = qScopeGuard([&] { QSqlDatabase::removeDatabase(connectionName); });
    QSqlDatabase db = server.open(connectionName);
    ServerSchema::check(db, server.shown());
    QSqlQuery count(db);
    if (!count.exec(u"select (select count(*) from \"recordtable\") + (select count(*) from \"user\")"_s) ||
        !count.next() || count.value(0).toInt() != 0)
        throw QirvoError(
            u"服务器上的数据库 %1 中已经有员工或计件记录，演示数据不会写进去。"_s.arg(server.shown()));
    Filler(db, SqlDialect(SqlDialect::Store::Server), size).run();
    ServerSchema::renumberAfterKeys(db);
}
