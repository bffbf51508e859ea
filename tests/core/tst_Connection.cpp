#include "Connection.h"
#include "DatabaseFile.h"
#include "FileDigest.h"
#include "QirvoError.h"
#include "Schema.h"
#include "ShareDMUnit.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void opensDeliveredDatabase();
    void refusesUnusableFile_data();
    void refusesUnusableFile();
    void refusesMissingFileWithoutCreatingIt();
    void refusesLockedFile();
    void callsADamagedFileDamaged();
    void neverOverwritesDatabase();

private:
    static void openAt(const QString& path);
};

void TestConnection::openAt(const QString& path)
{
    Connection connection;
    connection.setConnectionString(BuildConnectionString(path, DatabasePassword));
    connection.open();
}

void TestConnection::opensDeliveredDatabase()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Qirvo.mdb"_s);
    Schema::createDatabase(path);
    Connection connection;
    connection.setConnectionString(BuildConnectionString(path, DatabasePassword));
    connection.open();
    QVERIFY(connection.isOpen());
    QSqlQuery query(connection.database());
    QVERIFY(query.exec(u"select count(*) from Power where PowerSet=True"_s) && query.next());
    QVERIFY(query.value(0).toInt() >= 1);
    for (const QString& table : {u"RecordTable"_s, u"Counter"_s, u"Price"_s, u"User"_s, u"jcheng"_s,
                                 u"Payfor"_s, u"Power"_s, u"Parameter"_s})
        QVERIFY2(!connection.tableColumns(table).isEmpty(), qPrintable(table));
}

void TestConnection::refusesUnusableFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QByteArray access(2048, '\0');
    access.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
    QByteArray ace(2048, '\0');
    ace.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard ACE DB", 19));
    QTest::newRow("empty file") << QByteArray() << u"不是数据库文件"_s;
    QTest::newRow("text file") << QByteArray("RecordSerial,RecordUser\nA001,张三\n").repeated(10)
                               << u"不是数据库文件"_s;
    QTest::newRow("Access 97-2003") << access << u"Access"_s;
    QTest::newRow("Access 2007") << ace << u"Access"_s;
    QTest::newRow("foreign SQLite") << QByteArray() << u"不是 Qirvo"_s;
}

void TestConnection::refusesUnusableFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Qirvo.mdb"_s);
    if (QByteArray(QTest::currentDataTag()) == "foreign SQLite") {
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"foreign"_s);
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QSqlQuery(other).exec(u"create table notes (text)"_s);
            other.close();
        }
        QSqlDatabase::removeDatabase(u"foreign"_s);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const QByteArray before = FileDigest(path);
    try {
        openAt(path);
        QFAIL("an unusable file must be refused");
    } catch (const QirvoError& error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
    QCOMPARE(FileDigest(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"Qirvo.mdb"_s});
}

void TestConnection::refusesMissingFileWithoutCreatingIt()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Qirvo.mdb"_s);
    try {
        openAt(path);
        QFAIL("a missing file must be refused");
    } catch (const QirvoError& error) {
        QVERIFY(error.message().contains(u"找不到数据库文件"_s));
    }
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

void TestConnection::refusesLockedFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Qirvo.mdb"_s);
    Schema::createDatabase(path);
    {
        QSqlDatabase holder = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"holder"_s);
        holder.setDatabaseName(path);
        QVERIFY(holder.open());
        QSqlQuery lock(holder);
        QVERIFY(lock.exec(u"begin exclusive"_s));
        QVERIFY(lock.exec(u"insert into Parameter values ('x', 'y')"_s));
        try {
            openAt(path);
            QFAIL("a locked file must be refused");
        } catch (const QirvoError& error) {
            QVERIFY2(error.message().contains(u"占用"_s), qPrintable(error.message()));
        }
        QVERIFY(lock.exec(u"rollback"_s));
        holder.close();
    }
    QSqlDatabase::removeDatabase(u"holder"_s);
}

// A backup cut short by one page, put in place of the database: the clerk is told it is damaged and
// how to get the data back, not to close another program.
void TestConnection::callsADamagedFileDamaged()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Qirvo.mdb"_s);
    Schema::createDatabase(path);
    QFile::copy(path, dir.filePath(u"Qirvo恢复前备份20261201-093000.mdb"_s));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() - 4096));
    }
    try {
        openAt(path);
        QFAIL("a damaged file must be refused");
    } catch (const QirvoError& error) {
        const QString message = error.message();
        QVERIFY2(message.contains(u"已损坏"_s) && message.contains(u"备份"_s) && !message.contains(u"占用"_s),
                 qPrintable(message));
        QVERIFY2(message.contains(u"Qirvo恢复前备份20261201-093000.mdb"_s), qPrintable(message));
    }
}

void TestConnection::neverOverwritesDatabase()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Qirvo.mdb"_s);
    Schema::createDatabase(path);
    const QByteArray before = FileDigest(path);
    QVERIFY_THROWS_EXCEPTION(QirvoError, Schema::createDatabase(path));
    QCOMPARE(FileDigest(path), before);
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_Connection.moc"
