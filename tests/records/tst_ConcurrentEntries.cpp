#include "EntryStore.h"
#include "QirvoError.h"
#include "ServerAddress.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"
#include "TestDatabase.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int Workstations = 4;
constexpr int Workers = 40;
const QDate SharedDay(2026, 12, 1);

QString workerName(int worker)
{
    return u"工人%1"_s.arg(worker, 2, 10, QChar(u'0'));
}

// One workstation: every worker on the day all of them enter, then every worker on a day of its
// own. Prints how many of the shared day's entries it was the one to save.
int runWorkstation(const QString& address, int station)
{
    TShareDM shareDM;
    Connection& connection = shareDM.ADOConnection1;
    if (address.startsWith(u"postgresql:"_s))
        connection.setServer(ServerAddress::parse(address));
    else
        connection.setConnectionString(BuildConnectionString(address, DatabasePassword));
    connection.open();
    int saved = 0;
    for (const QDate& day : {SharedDay, SharedDay.addDays(station + 1)})
        for (int worker = 1; worker <= Workers; ++worker) {
            const EntryFields entry{
                u"S%1-%2"_s.arg(station).arg(worker), workerName(worker), 1, 0.5, 10, 5, day, QString()};
            const bool added = EntryStore::addIfDayFree(entry);
            if (day == SharedDay && added)
                ++saved;
            else if (day != SharedDay && !added)
                return 2;
        }
    QTextStream(stdout) << saved << '\n';
    return 0;
}

} // namespace

// Several workstations saving entries on one database at the same moment.
class TestConcurrentEntries : public QObject
{
    Q_OBJECT

private slots:
    void oneEntryPerWorkerAndDayAcrossWorkstations();
};

void TestConcurrentEntries::oneEntryPerWorkerAndDayAcrossWorkstations()
{
    TestDatabase db;
    db.exec(u"insert into [Counter] (CounterSerial, CounterName) values ('01', '车缝')"_s);
    QList<QProcess*> stations;
    for (int station = 0; station < Workstations; ++station) {
        auto* process = new QProcess(this);
        process->start(QCoreApplication::applicationFilePath(),
                       {u"--workstation"_s, db.address(), QString::number(station)});
        stations << process;
    }
    int savedOnSharedDay = 0;
    for (QProcess* process : std::as_const(stations)) {
        QVERIFY(process->waitForFinished(120000));
        QVERIFY2(process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0,
                 process->readAllStandardError().constData());
        savedOnSharedDay += process->readAllStandardOutput().trimmed().toInt();
    }
    // Every worker has exactly one entry on the shared day, and the workstation that saved it
    // was told so; on their own days no entry was lost.
    QCOMPARE(savedOnSharedDay, Workers);
    QCOMPARE(db.scalar(u"select count(*) from RecordTable where RecordRecordDate=?"_s, {SharedDay}).toInt(),
             Workers);
    QCOMPARE(db.scalar(u"select count(distinct RecordUser) from RecordTable where RecordRecordDate=?"_s,
                       {SharedDay})
                 .toInt(),
             Workers);
    QCOMPARE(db.scalar(u"select count(*) from RecordTable where RecordRecordDate>?"_s, {SharedDay}).toInt(),
             Workers * Workstations);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments[1] == u"--workstation") {
        try {
            return runWorkstation(arguments[2], arguments[3].toInt());
        } catch (const QirvoError& error) {
            QTextStream(stderr) << error.message() << '\n';
            return 1;
        }
    }
    TestConcurrentEntries test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ConcurrentEntries.moc"
