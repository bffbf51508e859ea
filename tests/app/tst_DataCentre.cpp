#include "Clerk.h"
#include "Clock.h"
#include "DataGrid.h"
#include "InputUnit.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "MessageBoxRecorder.h"
#include "NumberEdit.h"
#include "PasswordUnit.h"
#include "Query.h"
#include "ReportComponent.h"
#include "ReportPainter.h"
#include "SearchUnit.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestDataCentre : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dayListFollowsTheDate();
    void addedEntryReloadsTheDay();
    void editAsksForThePasswordFirst_data();
    void editAsksForThePasswordFirst();
    void searchThenStatisticsUseTheLastFilter();
    void managementTabSetsPasswords();
    void printedListHoldsTheShownRows();

private:
    QStringList shownSerials();
    void copyTemplate(const QString& name);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
    std::unique_ptr<TQirvofrm> m_form;
    std::unique_ptr<TInputfrm> m_input;
    std::unique_ptr<TSearchfrm> m_search;
};

void TestDataCentre::init()
{
    Clock::setToday(QDate(2026, 12, 10));
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(
        u"insert into [Counter] (CounterSerial, CounterName, CounterUnit) values ('01', '车工', '件')"_s);
    m_db->exec(u"insert into Price (PriceCounter, PriceValue) values (1, 0.5)"_s);
    m_db->exec(u"insert into [User] (UserName, UserPhone) values ('张三', '138'), ('李四', '139')"_s);
    m_db->exec(
        u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter, RecordPrice, RecordNumber, "
        u"RecordSum, RecordRecordDate) values ('A1', '张三', 1, 0.5, 10, 5, '2026-12-10'), "
        u"('A2', '李四', 1, 0.5, 20, 10, '2026-12-10'), ('A3', '张三', 1, 0.5, 30, 15, '2026-12-09'), "
        u"('A4', '外来工', 1, 0.5, 2, 1, '2026-12-08'), ('A5', '李四', 7, 0.5, 1, 1, '2026-12-10')"_s);
    m_boxes = std::make_unique<MessageBoxRecorder>();
    m_form = std::make_unique<TQirvofrm>();
    m_input = std::make_unique<TInputfrm>(m_form.get());
    m_search = std::make_unique<TSearchfrm>(m_form.get());
    m_form->setLoginRunner([] {
        LoginName = u"系统管理员"_s;
        return int(QDialog::Accepted);
    });
    QCOMPARE(m_form->FormShow(), TQirvofrm::StartResult::Ready);
    QVERIFY(Clerk::showActive(m_form.get()));
}

void TestDataCentre::cleanup()
{
    ReportComponent::setPreviewHandler({});
    SetModifyPasswordAsker({});
    m_search.reset();
    m_input.reset();
    m_form.reset();
    m_boxes.reset();
    m_db.reset();
    Clock::setToday(std::nullopt);
}

QStringList TestDataCentre::shownSerials()
{
    Query& center = *m_form->ADOQueryCenter;
    QStringList serials;
    for (int row = 0; center.isActive() && row < center.recordCount(); ++row)
        serials << center.value(row, center.fieldIndex(u"RecordSerial"_s)).toString();
    return serials;
}

void TestDataCentre::copyTemplate(const QString& name)
{
    QDir(m_db->folder()).mkpath(u"frf"_s);
    QVERIFY(QFile::copy(QStringLiteral(QIRVO_FRF_DIR) + u'/' + name, m_db->folder() + u"frf/"_s + name));
}

void TestDataCentre::dayListFollowsTheDate()
{
    QCOMPARE(shownSerials(), (QStringList{u"A1"_s, u"A2"_s}));
    QCOMPARE(m_form->DBGridEh3->footerTexts().mid(7, 2), (QStringList{u"30"_s, u"15"_s}));
    QCOMPARE(m_form->DBGridEh3->footerTexts().first(), u"2"_s);
    m_form->dtRecord->setDate(QDate(2026, 12, 9));
    QCOMPARE(shownSerials(), QStringList{u"A3"_s});
    QCOMPARE(m_form->DBGridEh3->footerTexts().first(), u"1"_s);
}

void TestDataCentre::addedEntryReloadsTheDay()
{
    QTimer::singleShot(0, m_input.get(), [this] {
        QCOMPARE(m_input->edtSerial->text(), u"A6"_s);
        QCOMPARE(m_input->dtDate->date(), QDate(2026, 12, 10));
        m_input->cbxName->setEditText(u"王五"_s);
        m_input->cbxWorkSerial->setEditText(u"01"_s);
        m_input->cbxPrice->setEditText(u"0.5"_s);
        m_input->edtNumber->setText(u"4"_s);
        m_input->btn2->click();
    });
    m_form->btn3->click();
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(shownSerials(), (QStringList{u"A1"_s, u"A2"_s, u"A6"_s}));
    QCOMPARE(m_form->DBGridEh3->footerTexts().at(8), u"17"_s);
}

void TestDataCentre::editAsksForThePasswordFirst_data()
{
    QTest::addColumn<bool>("emptyList");
    QTest::addColumn<bool>("passwordRight");
    QTest::addColumn<int>("asked");
    QTest::addColumn<bool>("opened");
    QTest::newRow("empty list asks nothing") << true << true << 0 << false;
    QTest::newRow("wrong password opens nothing") << false << false << 1 << false;
    QTest::newRow("right password opens the entry") << false << true << 1 << true;
}

void TestDataCentre::editAsksForThePasswordFirst()
{
    QFETCH(bool, emptyList);
    QFETCH(bool, passwordRight);
    QFETCH(int, asked);
    QFETCH(bool, opened);
    if (emptyList)
        m_form->dtRecord->setDate(QDate(2020, 1, 1));
    int questions = 0;
    SetModifyPasswordAsker([&](QWidget*) {
        ++questions;
        return passwordRight ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    bool shown = false;
    QString serial;
    QTimer::singleShot(0, m_input.get(), [&] {
        shown = m_input->isVisible();
        serial = m_input->edtSerial->text();
        m_input->edtNumber->setText(u"11"_s);
        m_input->btn2->click();
    });
    if (!emptyList)
        m_form->ADOQueryCenter->setCurrentRow(1);
    emit m_form->DBGridEh3->dblClick();
    QCOMPARE(questions, asked);
    QCOMPARE(shown, opened);
    if (opened) {
        QCOMPARE(serial, u"A2"_s);
        QCOMPARE(m_db->scalar(u"select RecordSum from RecordTable where RecordSerial='A2'"_s).toDouble(),
                 5.5);
    } else {
        QCoreApplication::processEvents();
    }
}

void TestDataCentre::searchThenStatisticsUseTheLastFilter()
{
    QTimer::singleShot(0, m_search.get(), [this] {
        m_search->cbxName->setEditText(u"张"_s);
        m_search->btn2->click();
    });
    m_form->btn1->click();
    QCOMPARE(shownSerials(), (QStringList{u"A3"_s, u"A1"_s}));

    m_form->dtRecord->setDate(QDate(2026, 12, 8));
    QCOMPARE(shownSerials(), QStringList{u"A4"_s});

    copyTemplate(u"Stat2.frf"_s);
    QString printed;
    ReportComponent::setPreviewHandler(
        [&printed](const ReportComponent& report) { printed = report.preparedPages().page(0).text(); });
    m_form->btn5->click();
    QVERIFY2(printed.contains(u"张三"_s) && printed.contains(u"共 1 人"_s) && !printed.contains(u"外来工"_s),
             qPrintable(printed));
    QVERIFY(printed.contains(u"138"_s));

    QTimer::singleShot(0, m_search.get(), [this] { m_search->btn2->click(); });
    m_form->btn1->click();
    m_form->btn5->click();
    QVERIFY2(printed.contains(u"外来工"_s) && printed.contains(u"共 3 人"_s), qPrintable(printed));
}

void TestDataCentre::managementTabSetsPasswords()
{
    m_form->btn7->click();
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_db->scalar(u"select count(*) from Power"_s).toInt(), 2);

    m_form->cbx1->setCurrentIndex(m_form->cbx1->findText(u"操作员"_s));
    QCOMPARE(m_form->edt2->text(), u"1234"_s);
    m_form->edt2->setText(u"5678"_s);
    m_form->btn7->click();
    QCOMPARE(m_boxes->texts(), QStringList{u"设置成功"_s});
    QCOMPARE(m_db->scalar(u"select PowerKey from Power where PowerName='操作员'"_s).toString(), u"5678"_s);
    QCOMPARE(m_db->scalar(u"select PowerKey from Power where PowerName='系统管理员'"_s).toString(),
             u"admin"_s);

    m_form->edt1->setText(u"mod"_s);
    m_form->btn6->click();
    QCOMPARE(m_boxes->texts().size(), 2);
    QCOMPARE(m_db->scalar(u"select ParameterValue from Parameter where ParameterName='修改'"_s).toString(),
             u"mod"_s);
}

void TestDataCentre::printedListHoldsTheShownRows()
{
    copyTemplate(u"Report.frf"_s);
    const QString pdf = m_db->folder() + u"list.pdf"_s;
    ReportComponent::setPreviewHandler(
        [&pdf](const ReportComponent& report) { ReportPainter::writePdf(report.preparedPages(), pdf); });
    m_form->btn4->click();
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_form->ADOQueryCenter->currentRow(), 1);
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QProcess extract;
    extract.start(pdftotext, {pdf, u"-"_s});
    QVERIFY(extract.waitForFinished(30000));
    const QString text = QString::fromUtf8(extract.readAllStandardOutput()).remove(u' ');
    QVERIFY2(text.contains(u"A1"_s) && text.contains(u"A2"_s) && text.contains(u"共2条"_s), qPrintable(text));
    QVERIFY(!text.contains(u"A3"_s) && !text.contains(u"A5"_s));
}

QTEST_MAIN(TestDataCentre)
#include "tst_DataCentre.moc"
