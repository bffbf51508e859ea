#include "Clerk.h"
#include "Clock.h"
#include "PayrollGenerator.h"
#include "QirvoError.h"
#include "TestDatabase.h"
#include "gJiSearchUnit.h"

#include <QDateEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDate First(2026, 11, 1);
const QDate Last(2026, 11, 30);

struct Amount
{
    QDate date;
    double sum;
};

} // namespace

Q_DECLARE_METATYPE(QList<Amount>)

class TestPayrollGenerator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void computesOneWorker_data();
    void computesOneWorker();
    void reusesStoredRows_data();
    void reusesStoredRows();
    void secondPayrollHoldsOnlyItsChoice();
    void replacedPayrollIsTold();
    void failureLeavesEarlierPayroll();
    void refusedChoiceChangesNothing_data();
    void refusedChoiceChangesNothing();
    void choiceDialogTakesSelectionOrAll();

private:
    void addWorkers(int count);
    QString payrollDump();

    std::unique_ptr<TestDatabase> m_db;
};

void TestPayrollGenerator::init()
{
    m_db = std::make_unique<TestDatabase>();
}

void TestPayrollGenerator::cleanup()
{
    Clock::setToday({});
    m_db.reset();
}

void TestPayrollGenerator::addWorkers(int count)
{
    for (int worker = 1; worker <= count; ++worker)
        m_db->exec(u"insert into [User] (UserName, UserBase) values (?, ?)"_s,
                   {u"工人%1"_s.arg(worker, 2, 10, QChar(u'0')), 1000 + worker});
}

QString TestPayrollGenerator::payrollDump()
{
    QStringList rows;
    for (const QString& key : m_db->texts(u"select PayforIndex from Payfor order by PayforIndex"_s))
        rows << m_db->rowText(
            u"select PayforIndex, PayforEnable, payforUser, payforStartDate, payforSum from Payfor where PayforIndex=?"_s,
            {key});
    return rows.join(u';');
}

void TestPayrollGenerator::computesOneWorker_data()
{
    QTest::addColumn<QVariant>("base");
    QTest::addColumn<QList<Amount>>("pieceWork");
    QTest::addColumn<QList<Amount>>("rewards");
    QTest::addColumn<double>("jjian");
    QTest::addColumn<double>("jli");
    QTest::addColumn<double>("cfa");
    QTest::addColumn<double>("total");

    const QDate mid(2026, 11, 15);
    QTest::newRow("rewards and punishments")
        << QVariant(1000) << QList<Amount>{{mid, 200.5}}
        << QList<Amount>{{mid, 100}, {mid, 50}, {mid, -30}, {mid, -20}} << 200.5 << 150.0 << -50.0 << 1300.5;
    QTest::newRow("the sum is rounded, not each amount")
        << QVariant(0) << QList<Amount>{{mid, 1.0004}, {mid, 2.0004}} << QList<Amount>{} << 3.001 << 0.0
        << 0.0 << 3.001;
    QTest::newRow("nothing in the range")
        << QVariant(800) << QList<Amount>{{QDate(2026, 10, 31), 50}} << QList<Amount>{{QDate(2026, 12, 1), 9}}
        << 0.0 << 0.0 << 0.0 << 800.0;
    QTest::newRow("both bounds counted, the day after not")
        << QVariant(0) << QList<Amount>{{First, 1}, {Last, 2}, {Last.addDays(1), 4}}
        << QList<Amount>{{First, 10}, {Last.addDays(1), 20}} << 3.0 << 10.0 << 0.0 << 13.0;
    QTest::newRow("a zero amount counts in neither sum")
        << QVariant(100) << QList<Amount>{} << QList<Amount>{{mid, 0}} << 0.0 << 0.0 << 0.0 << 100.0;
    QTest::newRow("empty base counts as 0")
        << QVariant() << QList<Amount>{{mid, 5}} << QList<Amount>{{mid, -2}} << 5.0 << 0.0 << -2.0 << 3.0;
}

void TestPayrollGenerator::computesOneWorker()
{
    QFETCH(QVariant, base);
    QFETCH(QList<Amount>, pieceWork);
    QFETCH(QList<Amount>, rewards);
    QFETCH(double, jjian);
    QFETCH(double, jli);
    QFETCH(double, cfa);
    QFETCH(double, total);

    // A quote in the name is data, not syntax.
    const QString name = u"O'Neil"_s;
    m_db->exec(u"insert into [User] (UserName, UserBase) values (?, ?)"_s, {name, base});
    m_db->exec(u"insert into [User] (UserName, UserBase) values ('旁人', 1)"_s);
    for (const Amount& entry : pieceWork)
        m_db->exec(u"insert into RecordTable (RecordUser, RecordRecordDate, RecordSum) values (?, ?, ?)"_s,
                   {name, entry.date, entry.sum});
    for (const Amount& reward : rewards)
        m_db->exec(u"insert into jcheng (jchengUser, jchengDate, jchengSum) values (?, ?, ?)"_s,
                   {name, reward.date, reward.sum});

    QCOMPARE(PayrollGenerator::generate({name}, First, Last), 1);
    QCOMPARE(m_db->scalar(u"select count(*) from Payfor"_s).toInt(), 1);
    const auto column = [this](const QString& field) {
        return m_db->scalar(u"select %1 from Payfor"_s.arg(field)).toDouble();
    };
    QCOMPARE(m_db->scalar(u"select payforUser from Payfor"_s).toString(), name);
    QCOMPARE(column(u"payforBase"_s), base.toDouble());
    QCOMPARE(column(u"payforjjian"_s), jjian);
    QCOMPARE(column(u"payforjli"_s), jli);
    QCOMPARE(column(u"payforcfa"_s), cfa);
    QCOMPARE(column(u"payforSum"_s), total);
    QCOMPARE(m_db->rowText(u"select PayforEnable, payforStartDate, payforEndDate from Payfor"_s),
             u"1|2026-11-01|2026-11-30"_s);
}

void TestPayrollGenerator::reusesStoredRows_data()
{
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("listedKeys");

    QTest::newRow("5 after 8 overwrites the first 5") << 5 << 8 << u"1,2,3,4,5"_s;
    QTest::newRow("10 after 8 appends 2") << 10 << 10 << u"1,2,3,4,5,6,7,8,9,10"_s;
}

void TestPayrollGenerator::reusesStoredRows()
{
    QFETCH(int, second);
    QFETCH(int, stored);
    QFETCH(QString, listedKeys);

    addWorkers(10);
    QStringList names;
    for (int worker = 1; worker <= 10; ++worker)
        names << u"工人%1"_s.arg(worker, 2, 10, QChar(u'0'));
    QCOMPARE(PayrollGenerator::generate(names.mid(0, 8), QDate(2026, 10, 1), QDate(2026, 10, 31)), 8);
    QCOMPARE(PayrollGenerator::generate(names.mid(0, second), First, Last), second);

    QCOMPARE(m_db->scalar(u"select count(*) from Payfor"_s).toInt(), stored);
    QCOMPARE(
        m_db->texts(u"select PayforIndex from Payfor where PayforEnable=1 order by PayforIndex"_s).join(u','),
        listedKeys);
    QCOMPARE(m_db->scalar(u"select count(*) from (select distinct payforStartDate, payforEndDate from Payfor "
                          u"where PayforEnable=1) as ranges"_s)
                 .toInt(),
             1);
    // Rows beyond the new payroll stay withdrawn with their old contents.
    QCOMPARE(
        m_db->scalar(u"select count(*) from Payfor where PayforEnable=0 and payforStartDate='2026-10-01'"_s)
            .toInt(),
        stored - second);
}

void TestPayrollGenerator::secondPayrollHoldsOnlyItsChoice()
{
    addWorkers(3);
    PayrollGenerator::generate({u"工人01"_s, u"工人02"_s, u"工人03"_s}, First, Last);
    PayrollGenerator::generate({u"工人02"_s, u"不在名册"_s}, First, Last);
    QCOMPARE(m_db->texts(u"select payforUser from Payfor where PayforEnable=1"_s), QStringList{u"工人02"_s});
}

// A clerk generates over a list that another workstation's payroll replaced meanwhile: told so.
void TestPayrollGenerator::replacedPayrollIsTold()
{
    addWorkers(2);
    const qint64 seen = PayrollGenerator::storedVersion();
    const PayrollGenerator::Written first = PayrollGenerator::generateOver({u"工人01"_s}, First, Last, seen);
    QVERIFY(!first.replacedAnother);
    const PayrollGenerator::Written second = PayrollGenerator::generateOver({u"工人02"_s}, First, Last, seen);
    QVERIFY(second.replacedAnother);
    QCOMPARE(second.version, first.version + 1);
    QVERIFY(!PayrollGenerator::generateOver({u"工人01"_s}, First, Last, second.version).replacedAnother);
}

void TestPayrollGenerator::failureLeavesEarlierPayroll()
{
    addWorkers(3);
    PayrollGenerator::generate({u"工人01"_s, u"工人02"_s, u"工人03"_s}, QDate(2026, 10, 1),
                               QDate(2026, 10, 31));
    const QString before = payrollDump();
    // The second row's write fails after the withdrawal and the first row's write.
    m_db->refuse(u"InjectedFailure"_s, u"update"_s, u"Payfor"_s, u"injected"_s,
                 u"new.PayforIndex = 2 and new.PayforEnable = 1"_s);

    QVERIFY_THROWS_EXCEPTION(
        QirvoError, PayrollGenerator::generate({u"工人01"_s, u"工人02"_s, u"工人03"_s}, First, Last));
    QCOMPARE(payrollDump(), before);
    QCOMPARE(m_db->scalar(u"select count(*) from Payfor where PayforEnable=1"_s).toInt(), 3);
}

void TestPayrollGenerator::refusedChoiceChangesNothing_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty roster") << QStringList() << First << u"没有可计算工资的员工"_s;
    QTest::newRow("start after end") << QStringList{u"工人01"_s} << Last.addDays(1)
                                     << u"开始日期不能晚于结束日期"_s;
}

void TestPayrollGenerator::refusedChoiceChangesNothing()
{
    QFETCH(QStringList, names);
    QFETCH(QDate, start);
    QFETCH(QString, message);

    addWorkers(1);
    PayrollGenerator::generate({u"工人01"_s}, First, Last);
    const QString before = payrollDump();
    try {
        PayrollGenerator::generate(names, start, Last);
        QFAIL("the choice was accepted");
    } catch (const QirvoError& error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
    QCOMPARE(payrollDump(), before);
}

void TestPayrollGenerator::choiceDialogTakesSelectionOrAll()
{
    Clock::setToday(QDate(2024, 2, 10));
    addWorkers(3);
    TgJifrm dialog;
    QVERIFY(Clerk::showActive(&dialog));
    QCOMPARE(dialog.DateTimePicker1->date(), QDate(2024, 2, 1));
    QCOMPARE(dialog.DateTimePicker2->date(), QDate(2024, 2, 29));
    QCOMPARE(dialog.lbx1->count(), 3);
    QVERIFY(dialog.lbx1->selectedItems().isEmpty());
    dialog.btn1->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.NameList, (QStringList{u"工人01"_s, u"工人02"_s, u"工人03"_s}));
    QCOMPARE(dialog.StartDate, QDate(2024, 2, 1));
    QCOMPARE(dialog.EndDate, QDate(2024, 2, 29));

    QVERIFY(Clerk::showActive(&dialog));
    QVERIFY(dialog.lbx1->selectedItems().isEmpty());
    dialog.lbx1->item(2)->setSelected(true);
    dialog.lbx1->item(0)->setSelected(true);
    dialog.btn1->click();
    QCOMPARE(dialog.NameList, (QStringList{u"工人01"_s, u"工人03"_s}));

    QVERIFY(Clerk::showActive(&dialog));
    dialog.btn2->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.NameList, (QStringList{u"工人01"_s, u"工人03"_s}));
}

QTEST_MAIN(TestPayrollGenerator)
#include "tst_PayrollGenerator.moc"
