#include "HandlerGuard.h"
#include "MessageBoxRecorder.h"
#include "QirvoError.h"
#include "Query.h"
#include "ShareDMUnit.h"
#include "TestDatabase.h"

#include <QDate>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

class TestQuery : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(); }
    void cleanup() { m_db.reset(); }

    void walksRowsToEof();
    void closedDatasetErrorNamesTheCause();
    void appendPostShowsNewKey();
    void editWritesOnlyThatRow();
    void cancelDropsUnpostedRow();
    void removeDeletesCurrentRow();
    void joinIsReadOnly();
    void computedColumnIsNotWritable();
    void signalsFollowChanges();
    void datesAndBooleansAreStoredPlainly();
    void changeMadeMeanwhileIsNotWrittenOver_data();
    void changeMadeMeanwhileIsNotWrittenOver();
    void lostServerConnectionIsToldAndMadeAnew();

    void sqlFunctions_data();
    void sqlFunctions();

    void windowedRowsEqualTheWholeResult_data();
    void windowedRowsEqualTheWholeResult();
    void windowedRemoveKeepsTotalsRight();

private:
    Query& temp() { return m_db->shareDM().ADOQueryTemp1; }
    void fillEntries(int count);
    std::unique_ptr<TestDatabase> m_db;
};

void TestQuery::walksRowsToEof()
{
    m_db->exec(u"insert into [User] (UserName) values ('a'), ('b')"_s);
    OpenQuery(temp(), u"Select * from [User]"_s);
    QCOMPARE(temp().recordCount(), 2);
    QStringList seen;
    while (!temp().eof()) {
        seen << temp().value(u"username"_s).toString();
        temp().next();
    }
    QCOMPARE(seen, (QStringList{u"a"_s, u"b"_s}));
    QCOMPARE(temp().currentRow(), 1);

    OpenQuery(temp(), u"Select * from [User] where UserName=?"_s, {u"none"_s});
    QVERIFY(temp().eof());
    QCOMPARE(temp().recordCount(), 0);
}

void TestQuery::closedDatasetErrorNamesTheCause()
{
    OpenQuery(temp(), u"Select * from NoSuchTable"_s);
    QVERIFY(!temp().isActive());
    try {
        temp().recordCount();
        QFAIL("reading a closed dataset must raise");
    } catch (const QirvoError& error) {
        QVERIFY(error.message().contains(u"已关闭的数据集"_s));
        QVERIFY2(error.message().contains(u"NoSuchTable"_s, Qt::CaseInsensitive),
                 qPrintable(error.message()));
    }
}

void TestQuery::appendPostShowsNewKey()
{
    OpenQuery(temp(), u"Select * from [Counter] where CounterSerial=?"_s, {u"mark"_s});
    temp().append();
    temp().setValue(u"CounterSerial"_s, u"mark"_s);
    QVERIFY(temp().value(u"CounterIndex"_s).isNull());
    temp().post();
    const int key = temp().value(u"CounterIndex"_s).toInt();
    QVERIFY(key > 0);
    QCOMPARE(m_db->scalar(u"select CounterSerial from [Counter] where CounterIndex=?"_s, {key}).toString(),
             u"mark"_s);
    QCOMPARE(temp().state(), Query::State::Browse);
}

void TestQuery::editWritesOnlyThatRow()
{
    m_db->exec(u"insert into Price (PriceCounter, PriceValue) values (1, 1.5), (1, 1.5)"_s);
    OpenQuery(temp(), u"select * from Price where PriceCounter=1"_s);
    temp().next();
    temp().edit();
    temp().setValue(u"PriceValue"_s, 2.25);
    QCOMPARE(temp().value(u"PriceValue"_s).toDouble(), 2.25);
    temp().post();
    QCOMPARE(m_db->texts(u"select PriceValue from Price order by "_s + m_db->rowKey(u"Price"_s)),
             QStringList({u"1.5"_s, u"2.25"_s}));
}

void TestQuery::cancelDropsUnpostedRow()
{
    m_db->exec(u"insert into [User] (UserName) values ('a')"_s);
    OpenQuery(temp(), u"Select * from [User]"_s);
    temp().append();
    temp().setValue(u"UserName"_s, u"b"_s);
    QCOMPARE(temp().recordCount(), 2);
    temp().cancel();
    QCOMPARE(temp().recordCount(), 1);
    QCOMPARE(temp().currentRow(), 0);
    QCOMPARE(m_db->scalar(u"select count(*) from [User]"_s).toInt(), 1);

    temp().edit();
    temp().setValue(u"UserName"_s, u"changed"_s);
    temp().cancel();
    QCOMPARE(temp().value(u"UserName"_s).toString(), u"a"_s);
    QCOMPARE(m_db->scalar(u"select UserName from [User]"_s).toString(), u"a"_s);
}

void TestQuery::removeDeletesCurrentRow()
{
    m_db->exec(u"insert into jcheng (jchengUser, jchengSum) values ('a', 1), ('b', -2), ('c', 3)"_s);
    OpenQuery(temp(), u"select *,iif(jchengSum>0,'奖励','惩罚') as jcTypeStr from jcheng where 0=0"_s);
    temp().setCurrentRow(1);
    QCOMPARE(temp().value(u"jcTypeStr"_s).toString(), u"惩罚"_s);
    temp().remove();
    QCOMPARE(temp().recordCount(), 2);
    QCOMPARE(temp().value(u"jchengUser"_s).toString(), u"c"_s);
    QCOMPARE(m_db->texts(u"select jchengUser from jcheng order by jchengIndex"_s),
             QStringList({u"a"_s, u"c"_s}));
}

void TestQuery::joinIsReadOnly()
{
    m_db->exec(u"insert into [Counter] (CounterSerial, CounterName) values ('01', '车工')"_s);
    m_db->exec(
        u"insert into RecordTable (RecordUser, RecordCounter, RecordRecordDate) values ('a', 1, '2026-12-10')"_s);
    OpenQuery(
        temp(),
        u"Select * from RecordTable,[Counter] where RecordCounter=CounterIndex and RecordRecordDate=?"_s,
        {QDate(2026, 12, 10)});
    QCOMPARE(temp().recordCount(), 1);
    QCOMPARE(temp().value(u"CounterName"_s).toString(), u"车工"_s);
    QVERIFY(!temp().isUpdatable());
    QVERIFY_THROWS_EXCEPTION(QirvoError, temp().edit());
    QVERIFY_THROWS_EXCEPTION(QirvoError, temp().remove());
}

void TestQuery::computedColumnIsNotWritable()
{
    m_db->exec(u"insert into jcheng (jchengUser, jchengSum) values ('a', 1)"_s);
    OpenQuery(temp(), u"select *,iif(jchengSum>0,'奖励','惩罚') as jcTypeStr from jcheng where 0=0"_s);
    QVERIFY_THROWS_EXCEPTION(QirvoError, temp().setValue(u"jcTypeStr"_s, u"x"_s));
    temp().cancel();
    temp().setValue(u"jchengSum"_s, -5);
    temp().post();
    QCOMPARE(temp().value(u"jcTypeStr"_s).toString(), u"惩罚"_s);
}

void TestQuery::signalsFollowChanges()
{
    m_db->exec(u"insert into [User] (UserName) values ('a')"_s);
    QSignalSpy reset(&temp(), &Query::reset);
    QSignalSpy inserted(&temp(), &Query::rowInserted);
    QSignalSpy changed(&temp(), &Query::rowChanged);
    QSignalSpy removed(&temp(), &Query::rowRemoved);
    OpenQuery(temp(), u"Select * from [User]"_s);
    QCOMPARE(reset.count(), 1);
    temp().append();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.first().first().toInt(), 1);
    temp().setValue(u"UserName"_s, u"b"_s);
    temp().post();
    QVERIFY(changed.count() >= 2);
    temp().remove();
    QCOMPARE(removed.count(), 1);
}

void TestQuery::datesAndBooleansAreStoredPlainly()
{
    OpenQuery(temp(), u"select * from Payfor"_s);
    temp().append();
    temp().setValue(u"payforStartDate"_s, QDate(2026, 1, 31));
    temp().setValue(u"PayforEnable"_s, true);
    temp().setValue(u"payforUser"_s, QString());
    temp().post();
    QCOMPARE(m_db->scalar(u"select payforStartDate from Payfor"_s).toString(), u"2026-01-31"_s);
    QCOMPARE(m_db->scalar(u"select count(*) from payfor where PayforEnable=True"_s).toInt(), 1);
    QCOMPARE(m_db->scalar(u"select count(*) from Payfor where payforUser=''"_s).toInt(), 1);
}

void TestQuery::changeMadeMeanwhileIsNotWrittenOver_data()
{
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("stored");
    QTest::newRow("the same value changed")
        << u"update [User] set UserBase=1700"_s << u"刚被其他工作站"_s << u"a|1700|"_s;
    QTest::newRow("another value changed")
        << u"update [User] set UserPhone='0571'"_s << QString() << u"a|1800|0571"_s;
    QTest::newRow("an empty value filled")
        << u"update [User] set UserBase=null"_s << u"刚被其他工作站"_s << u"a||"_s;
    QTest::newRow("the row deleted") << u"delete from [User]"_s << u"已不在数据库中"_s << QString();
}

// Another workstation writes the row after this one read it; this one's change is then saved only
// where it writes over nothing the other wrote.
void TestQuery::changeMadeMeanwhileIsNotWrittenOver()
{
    QFETCH(QString, meanwhile);
    QFETCH(QString, refusal);
    QFETCH(QString, stored);
    m_db->exec(u"insert into [User] (UserName, UserBase) values ('a', 1600)"_s);
    OpenQuery(temp(), u"Select * from [User]"_s);
    m_db->exec(meanwhile);
    temp().edit();
    temp().setValue(u"UserBase"_s, 1800.0);
    try {
        temp().post();
        QVERIFY2(refusal.isEmpty(), "the change must be refused");
    } catch (const QirvoError& error) {
        QVERIFY2(!refusal.isEmpty() && error.message().contains(refusal), qPrintable(error.message()));
    }
    if (!stored.isEmpty())
        QCOMPARE(m_db->rowText(u"select UserName, UserBase, UserPhone from [User]"_s), stored);
}

// The server ends this program's connection (as a restart or a cut cable would): the action that
// meets it says so in Chinese, and the next one works on a new connection with every saved row.
void TestQuery::lostServerConnectionIsToldAndMadeAnew()
{
    if (!m_db->onServer())
        QSKIP("a server connection");
    m_db->exec(u"insert into [User] (UserName) values ('a')"_s);
    Connection& connection = m_db->shareDM().ADOConnection1;
    const int backend = m_db->scalar(u"select pg_backend_pid()"_s).toInt();
    {
        QSqlDatabase other = connection.server()->open(u"other"_s);
        QSqlQuery end(other);
        end.prepare(u"select pg_terminate_backend(?)"_s);
        end.addBindValue(backend);
        QVERIFY(end.exec());
        // The backend ends a moment after it is told to.
        QSqlQuery gone(other);
        gone.prepare(u"select count(*) from pg_stat_activity where pid=?"_s);
        gone.addBindValue(backend);
        QTRY_VERIFY(gone.exec() && gone.next() && gone.value(0).toInt() == 0);
    }
    QSqlDatabase::removeDatabase(u"other"_s);
    MessageBoxRecorder boxes;
    QVERIFY(!runHandler(nullptr, [&] {
        temp().setSql(u"Select * from [User]"_s);
        temp().open();
    }));
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY2(boxes.texts().first().contains(u"与数据库服务器的连接已中断"_s),
             qPrintable(boxes.texts().first()));
    QVERIFY(runHandler(nullptr, [&] {
        temp().setSql(u"Select * from [User]"_s);
        temp().open();
    }));
    QCOMPARE(temp().recordCount(), 1);
    QCOMPARE(boxes.texts().size(), 1);
}

void TestQuery::sqlFunctions_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("round tie down to even") << u"Round(2.5)"_s << QVariant(2.0);
    QTest::newRow("round tie up to even") << u"Round(3.5)"_s << QVariant(4.0);
    QTest::newRow("round negative tie") << u"Round(-2.5)"_s << QVariant(-2.0);
    QTest::newRow("round to 3 decimals") << u"Round(0.3333 * 3, 3)"_s << QVariant(1.0);
    QTest::newRow("round plain") << u"Round(1300.4996, 3)"_s << QVariant(1300.5);
    QTest::newRow("round null") << u"Round(null, 3)"_s << QVariant();
    QTest::newRow("null test") << u"iif(null is null, 0, 1)"_s << QVariant(0);
    QTest::newRow("InStr ignores case") << u"InStr('AB-001', 'b-0')"_s << QVariant(2);
    QTest::newRow("InStr missing") << u"InStr('AB-001', 'x')"_s << QVariant(0);
    QTest::newRow("iif") << u"iif(1>0, 'yes', 'no')"_s << QVariant(u"yes"_s);
}

void TestQuery::sqlFunctions()
{
    QFETCH(QString, expression);
    QFETCH(QVariant, expected);
    OpenQuery(temp(), u"select "_s + expression + u" as v"_s);
    const QVariant value = temp().value(u"v"_s);
    if (!expected.isValid())
        QVERIFY(!value.isValid());
    else if (expected.typeId() == QMetaType::Double)
        QCOMPARE(value.toDouble(), expected.toDouble());
    else
        QCOMPARE(value.toString(), expected.toString());
}

void TestQuery::fillEntries(int count)
{
    m_db->exec(u"insert into [Counter] (CounterIndex, CounterSerial, CounterName) values (1, '01', '车工'), "
               u"(2, '02', '包装')"_s);
    for (int i = 0; i < count; ++i)
        m_db->exec(
            u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter, RecordNumber, RecordSum, "
            u"RecordRecordDate) values (?, ?, ?, ?, ?, ?)"_s,
            {u"B%1"_s.arg(i, 4, 10, QChar(u'0')), u"工人%1"_s.arg(i % 9), 1 + i % 3 % 2,
             i % 5 == 0 ? QVariant() : QVariant(i * 1.5), i * 0.1,
             QDate(2026, 1, 1).addDays((i * 37) % 60).toString(Qt::ISODate)});
    for (int i = 0; i < count; ++i)
        m_db->exec(u"insert into jcheng (jchengUser, jchengSum) values (?, ?)"_s,
                   {u"工人%1"_s.arg(i), i - 20.25});
}

void TestQuery::windowedRowsEqualTheWholeResult_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("params");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("totalled");
    QTest::newRow("entries of a range, by date")
        << u"Select * from RecordTable,[Counter] where RecordCounter=CounterIndex and RecordRecordDate "
           u"between ? "
           u"and ? Order By RecordRecordDate"_s
        << QVariantList{u"2026-01-05"_s, u"2026-02-20"_s} << u"RecordIndex"_s << u"RecordSum"_s;
    QTest::newRow("entries of a worker, through a subquery")
        << u"Select * from RecordTable,[Counter] where RecordCounter=CounterIndex and RecordUser in (select "
           u"UserName from (select '工人3' as UserName union all select '工人4') as names) Order By RecordIndex"_s
        << QVariantList{} << u"RecordIndex"_s << u"RecordNumber"_s;
    QTest::newRow("a single table with a computed column")
        << u"select *,iif(jchengSum>0,'奖励','惩罚') as jcTypeStr from jcheng where 0=0"_s << QVariantList{}
        << u"rowid"_s << u"jchengSum"_s;
    QTest::newRow("a single table without condition")
        << u"select * from jcheng"_s << QVariantList{} << u"rowid"_s << u"jchengSum"_s;
    QTest::newRow("grouped: read whole")
        << u"select RecordUser, sum(RecordSum) as s from RecordTable group by "
           u"RecordUser"_s
        << QVariantList{} << u"rowid"_s << QString();
}

// A page of 7 rows, so that the 120 rows cross many pages and are read back out of order.
void TestQuery::windowedRowsEqualTheWholeResult()
{
    QFETCH(QString, sql);
    QFETCH(QVariantList, params);
    QFETCH(QString, key);
    QFETCH(QString, totalled);
    fillEntries(120);
    Query whole(m_db->shareDM().ADOConnection1);
    whole.setSql(sql, params);
    whole.open();
    Query windowed(m_db->shareDM().ADOConnection1);
    windowed.setWindowed(key, 7);
    if (!totalled.isEmpty())
        windowed.setTotalledFields({totalled});
    windowed.setSql(sql, params);
    windowed.open();
    QVERIFY(whole.recordCount() > 5);
    QCOMPARE(windowed.recordCount(), whole.recordCount());
    QCOMPARE(windowed.fieldCount(), whole.fieldCount());
    for (const int row : {whole.recordCount() - 1, 0, 50, 8, whole.recordCount() / 2})
        for (int column = 0; column < whole.fieldCount(); ++column)
            QCOMPARE(windowed.value(row, column), whole.value(row, column));
    for (int row = 0; row < whole.recordCount(); ++row) {
        windowed.setCurrentRow(row);
        QCOMPARE(windowed.value(whole.fieldName(0)), whole.value(row, 0));
    }
    if (totalled.isEmpty())
        return;
    QString from = sql.mid(sql.indexOf(u" from "_s, 0, Qt::CaseInsensitive));
    if (const qsizetype order = from.lastIndexOf(u" Order By "_s, -1, Qt::CaseInsensitive); order > 0)
        from.truncate(order);
    const double expected = m_db->scalar(u"select total(%1)"_s.arg(totalled) + from, params).toDouble();
    QVERIFY(windowed.windowTotal(totalled).has_value());
    QCOMPARE(*windowed.windowTotal(totalled), expected);
}

void TestQuery::windowedRemoveKeepsTotalsRight()
{
    fillEntries(40);
    Query rewards(m_db->shareDM().ADOConnection1);
    rewards.setWindowed(u"rowid"_s, 5);
    rewards.setTotalledFields({u"jchengSum"_s});
    rewards.setSql(u"select * from jcheng"_s);
    rewards.open();
    rewards.setCurrentRow(12);
    const QVariant next = rewards.value(13, rewards.fieldIndex(u"jchengUser"_s));
    rewards.remove();
    QCOMPARE(rewards.recordCount(), 39);
    QCOMPARE(m_db->scalar(u"select count(*) from jcheng"_s).toInt(), 39);
    QCOMPARE(rewards.value(u"jchengUser"_s), next);
    QCOMPARE(*rewards.windowTotal(u"jchengSum"_s),
             m_db->scalar(u"select total(jchengSum) from jcheng"_s).toDouble());
    QVERIFY_THROWS_EXCEPTION(QirvoError, rewards.edit());
    QVERIFY_THROWS_EXCEPTION(QirvoError, rewards.append());
}

QTEST_GUILESS_MAIN(TestQuery)
#include "tst_Query.moc"
