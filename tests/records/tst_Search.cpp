#include "Clock.h"
#include "Query.h"
#include "SearchFilter.h"
#include "SearchUnit.h"
#include "ShareDMUnit.h"
#include "TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void filterSelectsEntries_data();
    void filterSelectsEntries();
    void dialogStartsFromAllAndThisMonth();
    void okBuildsFilterAndCancelKeepsIt();

private:
    QStringList listed(const Condition& filter);

    std::unique_ptr<TestDatabase> m_db;
};

void TestSearch::init()
{
    Clock::setToday(QDate(2008, 1, 15));
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(
        u"insert into [Counter] (CounterSerial, CounterName) values ('01', '车工'), ('02', '包''装')"_s);
    m_db->exec(u"insert into [User] (UserName) values ('王伟'), ('王伟明'), ('O''Neil')"_s);
    m_db->exec(u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter, RecordRecordDate) values "
               u"('A0801', '王伟', 1, '2008-01-01'), ('A0802', '王伟明', 2, '2008-01-31'), "
               u"('B0901', 'O''Neil', 2, '2008-02-01'), ('C0101', '', 1, '2007-12-31'), "
               u"('D0001', '王伟', 3, '2008-01-10'), ('E0001', 'Li Na', 1, '2008-03-01'), "
               u"('E0002', 'LI NA', 1, '2008-03-02'), ('E0003', null, 1, '2008-03-03')"_s);
}

void TestSearch::cleanup()
{
    m_db.reset();
    Clock::setToday(std::nullopt);
}

QStringList TestSearch::listed(const Condition& filter)
{
    Query& center = m_db->shareDM().ADOQueryTemp1;
    OpenQuery(center, SearchResultSql(filter), filter.params);
    QStringList serials;
    for (int row = 0; row < center.recordCount(); ++row)
        serials << center.value(row, center.fieldIndex(u"RecordSerial"_s)).toString();
    return serials;
}

void TestSearch::filterSelectsEntries_data()
{
    QTest::addColumn<QString>("worker");
    QTest::addColumn<bool>("range");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("workType");
    QTest::addColumn<QStringList>("serials");
    const QString all = AllChoice;
    QTest::newRow("all defaults: every joined entry by date")
        << all << false << QString() << all
        << QStringList{u"C0101"_s, u"A0801"_s, u"A0802"_s, u"B0901"_s, u"E0001"_s, u"E0002"_s, u"E0003"_s};
    QTest::newRow("worker matches inside names")
        << u"王伟"_s << false << QString() << all << QStringList{u"A0801"_s, u"A0802"_s};
    QTest::newRow("empty worker text skips empty names")
        << QString() << false << QString() << all
        << QStringList{u"A0801"_s, u"A0802"_s, u"B0901"_s, u"E0001"_s, u"E0002"_s};
    QTest::newRow("name with a quote, other case")
        << u"o'neil"_s << false << QString() << all << QStringList{u"B0901"_s};
    QTest::newRow("names differing in letter case both match")
        << u"i n"_s << false << QString() << all << QStringList{u"E0001"_s, u"E0002"_s};
    QTest::newRow("range includes both days")
        << all << true << QString() << all << QStringList{u"A0801"_s, u"A0802"_s};
    QTest::newRow("bill number fragment")
        << all << false << u"08"_s << all << QStringList{u"A0801"_s, u"A0802"_s};
    QTest::newRow("work type with a quote")
        << all << false << QString() << u"包'"_s << QStringList{u"A0802"_s, u"B0901"_s};
    QTest::newRow("worker, range and number together")
        << u"王伟"_s << true << u"08"_s << all << QStringList{u"A0801"_s, u"A0802"_s};
    QTest::newRow("nothing matches") << u"李"_s << false << QString() << all << QStringList();
}

void TestSearch::filterSelectsEntries()
{
    QFETCH(QString, worker);
    QFETCH(bool, range);
    QFETCH(QString, serial);
    QFETCH(QString, workType);
    QFETCH(QStringList, serials);
    const Condition filter =
        BuildFilter({worker, range, QDate(2008, 1, 1), QDate(2008, 1, 31), serial, workType});
    QCOMPARE(listed(filter), serials);
}

void TestSearch::dialogStartsFromAllAndThisMonth()
{
    TSearchfrm form;
    form.show();
    QCOMPARE(form.cbxName->currentText(), AllChoice);
    QCOMPARE(form.cbxName->itemText(form.cbxName->count() - 1), AllChoice);
    QCOMPARE(form.cbxName->count(), 4);
    QCOMPARE(form.cbxWorkName->currentText(), AllChoice);
    QCOMPARE(form.dtDateStart->date(), QDate(2008, 1, 1));
    QCOMPARE(form.dtDateEnd->date(), QDate(2008, 1, 31));
    QVERIFY(!form.chk1->isChecked());
    QVERIFY(!form.dtDateStart->isEnabled());
    form.chk1->setChecked(true);
    QVERIFY(form.dtDateStart->isEnabled() && form.dtDateEnd->isEnabled());
    form.edtSerial->setText(u"x"_s);
    form.hide();
    form.show();
    QVERIFY(form.chk1->isChecked());
    QVERIFY(form.edtSerial->text().isEmpty());
}

void TestSearch::okBuildsFilterAndCancelKeepsIt()
{
    TSearchfrm form;
    form.show();
    QVERIFY(form.FilterText.isEmpty());
    form.cbxName->setEditText(u"王伟"_s);
    form.edtSerial->setText(u"08"_s);
    form.btn2->click();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(form.FilterText.params, (QVariantList{u"王伟"_s, u"08"_s}));
    QCOMPARE(listed(form.FilterText), (QStringList{u"A0801"_s, u"A0802"_s}));

    form.show();
    form.cbxName->setEditText(u"other"_s);
    form.btn1->click();
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(form.FilterText.params, (QVariantList{u"王伟"_s, u"08"_s}));
}

QTEST_MAIN(TestSearch)
#include "tst_Search.moc"
