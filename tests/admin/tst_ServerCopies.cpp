#include "DatabaseCopies.h"
#include "QirvoError.h"
#include "ServerCopies.h"
#include "TestDatabase.h"

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Backup and restore of a server database through the same Qirvo.mdb files the file store uses.
class TestServerCopies : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void backupHoldsEveryRowAsAFileBackup();
    void restoreReplacesTheRowsAndKeepsWhatItReplaced();

private:
    void fill();
    QString state();

    std::unique_ptr<TestDatabase> m_db;
    QTemporaryDir m_out;
};

void TestServerCopies::init()
{
    if (qEnvironmentVariable("QIRVO_TEST_STORE") != u"server")
        QSKIP("server copies are tested with QIRVO_TEST_STORE=server");
    m_db = std::make_unique<TestDatabase>();
    fill();
}

void TestServerCopies::fill()
{
    m_db->exec(
        u"insert into [Counter] (CounterSerial, CounterName, CounterUnit) values ('01', '车缝', '件'), "
        u"('02', 'O''Neil''s', '箱')"_s);
    m_db->exec(u"insert into Price (PriceCounter, PriceValue) values (1, 0.35), (2, 1.25)"_s);
    m_db->exec(
        u"insert into [User] (UserName, UserBase, UserWorkDate) values ('张三', 1500.5, '2020-03-01'), "
        u"('李四', null, null)"_s);
    m_db->exec(
        u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter, RecordPrice, RecordNumber, "
        u"RecordSum, RecordRecordDate, RecordRemark) values ('A1', '张三', 1, 0.35, 3, 1.05, '2026-12-01', "
        u"'加急''单'), ('A2', '李四', 2, 1.25, 2, 2.5, '2026-12-02', null)"_s);
    m_db->exec(u"insert into jcheng (jchengUser, jchengDate, jchengReson, jchengSum) values "
               u"('张三', '2026-12-03', '全勤', 50)"_s);
}

// Every table's rows in key order, as text alike in both stores.
QString TestServerCopies::state()
{
    QStringList rows;
    for (const auto& [table, columns] :
         {std::pair{u"RecordTable"_s, u"RecordIndex, RecordSerial, RecordUser, RecordCounter, RecordSum, "
                                      u"RecordRecordDate, RecordRemark"_s},
          std::pair{u"Counter"_s, u"CounterIndex, CounterSerial, CounterName, CounterUnit"_s},
          std::pair{u"Price"_s, u"PriceCounter, PriceValue"_s},
          std::pair{u"User"_s, u"UserName, UserBase, UserWorkDate"_s},
          std::pair{u"jcheng"_s, u"jchengIndex, jchengUser, jchengDate, jchengSum"_s},
          std::pair{u"Power"_s, u"PowerName, PowerKey, PowerSet"_s}}) {
        const QString key = m_db->rowKey(table);
        for (const QString& row : m_db->texts(u"select %1 from [%2] order by %1"_s.arg(key, table)))
            rows << table + u": "_s +
                        m_db->rowText(u"select %1 from [%2] where %3=?"_s.arg(columns, table, key), {row});
    }
    return rows.join(u'\n');
}

void TestServerCopies::backupHoldsEveryRowAsAFileBackup()
{
    const QString target = m_out.filePath(u"备份.mdb"_s);
    ServerCopies::backup(m_db->shareDM().ADOConnection1, target);
    DatabaseCopies::examineBackup(target);
    QCOMPARE(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"备份.mdb"_s});
    // Restored into a fresh server database, the backup gives back the same rows.
    const QString before = state();
    QVERIFY2(before.contains(u"加急'单"_s) && before.contains(u"O'Neil's"_s) &&
                 before.contains(u"2020-03-01"_s) && before.contains(u"Power: 系统管理员|admin|1"_s) &&
                 before.contains(u"jcheng: 1|张三|2026-12-03|50"_s),
             qPrintable(before));
    m_db = std::make_unique<TestDatabase>();
    ServerCopies::restore(m_db->shareDM().ADOConnection1, target, m_out.filePath(u"safety.mdb"_s));
    QCOMPARE(state(), before);
}

void TestServerCopies::restoreReplacesTheRowsAndKeepsWhatItReplaced()
{
    const QString backup = m_out.filePath(u"backup.mdb"_s);
    ServerCopies::backup(m_db->shareDM().ADOConnection1, backup);
    const QString backedUp = state();
    m_db->exec(u"delete from RecordTable where RecordSerial='A1'"_s);
    m_db->exec(
        u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter) values ('B9', '张三', 1)"_s);
    const QString changed = state();

    const QString safety = m_out.filePath(u"safety.mdb"_s);
    ServerCopies::restore(m_db->shareDM().ADOConnection1, backup, safety);
    QCOMPARE(state(), backedUp);
    // A new entry is numbered after the restored ones.
    m_db->exec(u"insert into RecordTable (RecordSerial) values ('C1')"_s);
    QCOMPARE(m_db->scalar(u"select RecordIndex from RecordTable where RecordSerial='C1'"_s).toInt(), 3);

    // The replaced rows are in the safety copy, itself a backup that restores.
    DatabaseCopies::examineBackup(safety);
    ServerCopies::restore(m_db->shareDM().ADOConnection1, safety, m_out.filePath(u"safety2.mdb"_s));
    QCOMPARE(state(), changed);
}

QTEST_GUILESS_MAIN(TestServerCopies)
#include "tst_ServerCopies.moc"
