#include "EntryStore.h"
#include "PayrollGenerator.h"
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
constexpr int Payrolls = 5;
const QDate SharedDay(2026, 12, 1);

QString workerName(int worker)
{
    return u"工人%1"_s.arg(worker, 2, 10, QChar(u'0'));
}

void connectTo(Connection& connection, const QString& address)
{
    if (address.startsWith(u"postgresql:"_s))
        connection.setServer(ServerAddress::parse(address));
    else
        connection.setConnectionString(BuildConnectionString(address, DatabasePassword));
    connection.open();
}

// Every worker on the day all workstations enter, then every worker on a day of the station's
// own. Prints how many of the shared day's entries this station was the one to save.
int enterPieceWork(int station)
{
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

// Payrolls of a workforce of the station's own size (station + 1 workers) and month.
int generatePayrolls(int station)
{
    QStringList names;
    for (int worker = 1; worker <= station + 1; ++worker)
        names << workerName(worker);
    const QDate first(2026, station + 1, 1);
    for (int run = 0; run < Payrolls; ++run)
        PayrollGenerator::generate(names, first, first.addMonths(1).addDays(-1));
    return 0;
}

int runWorkstation(const QString& task, const QString& address, int station)
{
    TShareDM shareDM;
    connectTo(shareDM.ADOConnection1, address);
    return task == u"entries" ? enterPieceWork(station) : generatePayrolls(station);
}

} // namespace

// Several workstations working on one database at the same moment, each a program of its own.
class TestWorkstations : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void oneEntryPerWorkerAndDayAcrossWorkstations();
    void payrollsGeneratedAtOnceNeverMix();

private:
    // Runs the task at every workstation at once; their printed lines.
    QStringList runAtOnce(const QString& task);

    std::unique_ptr<TestDatabase> m_db;
};

void TestWorkstations::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(u"insert into [Counter] (CounterSerial, CounterName) values ('01', '车缝')"_s);
}

QStringList TestWorkstations::runAtOnce(const QString& task)
{
    QList<QProcess*> stations;
    for (int station = 0; station < Workstations; ++station) {
        auto* process = new QProcess(this);
        process->start(QCoreApplication::applicationFilePath(),
                       {u"--workstation"_s, task, m_db->address(), QString::number(station)});
        stations << process;
    }
    QStringList printed;
    for (QProcess* process : std::as_const(stations)) {
        if (!process->waitForFinished(120000) || process->exitStatus() != QProcess::NormalExit ||
            process->exitCode() != 0)
            QTest::qFail(process->readAllStandardError().constData(), __FILE__, __LINE__);
        printed << QString::fromUtf8(process->readAllStandardOutput().trimmed());
    }
    return printed;
}

void TestWorkstations::oneEntryPerWorkerAndDayAcrossWorkstations()
{
    int savedOnSharedDay = 0;
    for (const QString& saved : runAtOnce(u"entries"_s))
        savedOnSharedDay += saved.toInt();
    // Every worker has exactly one entry on the shared day, and the workstation that saved it
    // was told so; on their own days no entry was lost.
    QCOMPARE(savedOnSharedDay, Workers);
    QCOMPARE(
        m_db->scalar(u"select count(*) from RecordTable where RecordRecordDate=?"_s, {SharedDay}).toInt(),
        Workers);
    QCOMPARE(m_db->scalar(u"select count(distinct RecordUser) from RecordTable where RecordRecordDate=?"_s,
                          {SharedDay})
                 .toInt(),
             Workers);
    QCOMPARE(
        m_db->scalar(u"select count(*) from RecordTable where RecordRecordDate>?"_s, {SharedDay}).toInt(),
        Workers * Workstations);
}

void TestWorkstations::payrollsGeneratedAtOnceNeverMix()
{
    for (int worker = 1; worker <= Workstations; ++worker)
        m_db->exec(u"insert into [User] (UserName, UserBase) values (?, 1000)"_s, {workerName(worker)});
    runAtOnce(u"payrolls"_s);
    // The listed payroll is one station's whole result: its workers, all of one month.
    const int rows = m_db->scalar(u"select count(*) from Payfor where PayforEnable=1"_s).toInt();
    QVERIFY(rows >= 1 && rows <= Workstations);
    QCOMPARE(m_db->scalar(u"select count(*) from (select distinct payforStartDate, payforEndDate from Payfor "
                          u"where PayforEnable=1) as ranges"_s)
                 .toInt(),
             1);
    QCOMPARE(m_db->scalar(u"select count(distinct payforUser) from Payfor where PayforEnable=1"_s).toInt(),
             rows);
    QCOMPARE(m_db->rowText(u"select min(payforStartDate) from Payfor where PayforEnable=1"_s),
             QDate(2026, rows, 1).toString(Qt::ISODate));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 5 && arguments[1] == u"--workstation") {
        try {
            return runWorkstation(arguments[2], arguments[3], arguments[4].toInt());
        } catch (const QirvoError& error) {
            QTextStream(stderr) << error.message() << '\n';
            return 1;
        }
    }
    TestWorkstations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Workstations.moc"
