#include "DatabaseFile.h"
#include "DemoDatabase.h"
#include "QirvoError.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDemoDatabase : public QObject
{
    Q_OBJECT

private slots:
    void writesConsistentRowsOfTheAskedSize();
    void neverOverwritesAFile();
};

void TestDemoDatabase::writesConsistentRowsOfTheAskedSize()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Qirvo.mdb"_s);
    DemoDatabase::create(path, {30, 5, 1000, 40, QDate(2026, 11, 30)});
    QVERIFY(!QFile::exists(path + u".filling"_s));
    DatabaseFile::verify(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"demo"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        const auto scalar = [&](const QString& sql) {
            QSqlQuery query(db);
            if (!query.exec(sql) || !query.next())
                qFatal("query failed");
            return query.value(0).toString();
        };
        QCOMPARE(scalar(u"select count(*) || '/' || count(distinct UserName) from [User]"_s), u"30/30"_s);
        QCOMPARE(scalar(u"select count(*) from [Counter]"_s), u"5"_s);
        QCOMPARE(scalar(u"select count(*) from RecordTable"_s), u"1000"_s);
        QCOMPARE(scalar(u"select count(*) from jcheng where jchengSum <> 0"_s), u"40"_s);
        QCOMPARE(scalar(u"select max(RecordRecordDate) from RecordTable"_s), u"2026-11-30"_s);
        // Every entry names a roster worker, a work type and one of its prices; no Sunday work.
        QCOMPARE(
            scalar(
                u"select count(*) from RecordTable where RecordUser not in (select UserName from [User]) or "
                u"not exists (select 1 from Price where PriceCounter=RecordCounter and "
                u"PriceValue=RecordPrice) "
                u"or strftime('%w', RecordRecordDate) = '0' or abs(RecordSum - RecordPrice * RecordNumber) > "
                u"0.005"_s),
            u"0"_s);
        QCOMPARE(scalar(u"select count(*) from [Counter] where (select count(*) from Price where "
                        u"PriceCounter=CounterIndex) not between 1 and 4"_s),
                 u"0"_s);
        QCOMPARE(scalar(u"select count(distinct RecordRecordDate) from RecordTable"_s), u"34"_s);
    }
    QSqlDatabase::removeDatabase(u"demo"_s);
}

void TestDemoDatabase::neverOverwritesAFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Qirvo.mdb"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep");
    file.close();
    QVERIFY_THROWS_EXCEPTION(QirvoError, DemoDatabase::create(path, {}));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep"));
}

QTEST_GUILESS_MAIN(TestDemoDatabase)
#include "tst_DemoDatabase.moc"
