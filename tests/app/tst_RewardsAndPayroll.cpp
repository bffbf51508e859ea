#include "Clerk.h"
#include "Clock.h"
#include "DataGrid.h"
#include "GridColumn.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "MessageBoxRecorder.h"
#include "NumberEdit.h"
#include "Query.h"
#include "ReportComponent.h"
#include "SpreadsheetExport.h"
#include "TestDatabase.h"
#include "UsergjEditorUnit.h"
#include "XlsxSheet.h"
#include "gJiSearchUnit.h"
#include "jChengUnit.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestRewardsAndPayroll : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rewardListShowsKindColourAndSum();
    void addedPunishmentLowersTheSum();
    void doubleClickOnEmptyListsOpensNothing();
    void generatedPayrollIsListedWithFooters();
    void refusedGenerationKeepsTheListedPayroll();
    void adjustedRowReloadsTheList();
    void exportAndPrintNeedRows();

private:
    QStringList column(Query& query, const QString& field);
    // Runs the button with whatever modal dialog it opens answered by answer.
    void clickWithDialog(QPushButton* button, QDialog* dialog, const std::function<void()>& answer);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
    std::unique_ptr<TQirvofrm> m_form;
    std::unique_ptr<Tjchengfrm> m_reward;
    std::unique_ptr<TgJifrm> m_choice;
    std::unique_ptr<TUserGjEditorfrm> m_row;
};

void TestRewardsAndPayroll::init()
{
    Clock::setToday(QDate(2026, 11, 20));
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(u"insert into [User] (UserName, UserBase) values ('张三', 1000), ('李四', 800)"_s);
    m_db->exec(u"insert into RecordTable (RecordUser, RecordCounter, RecordSum, RecordRecordDate) values "
               u"('张三', 1, 200.5, '2026-11-05'), ('李四', 1, 30, '2026-11-30')"_s);
    m_db->exec(u"insert into jcheng (jchengUser, jchengDate, jchengSum) values ('张三', '2026-11-02', 100), "
               u"('张三', '2026-11-03', 50), ('张三', '2026-11-04', -30), ('张三', '2026-11-06', -20), "
               u"('李四', '2026-11-07', 0)"_s);
    m_boxes = std::make_unique<MessageBoxRecorder>();
    m_form = std::make_unique<TQirvofrm>();
    m_reward = std::make_unique<Tjchengfrm>(m_form.get());
    m_choice = std::make_unique<TgJifrm>(m_form.get());
    m_row = std::make_unique<TUserGjEditorfrm>(m_form.get());
    m_form->setLoginRunner([] {
        LoginName = u"系统管理员"_s;
        return int(QDialog::Accepted);
    });
    QCOMPARE(m_form->FormShow(), TQirvofrm::StartResult::Ready);
    QVERIFY(Clerk::showActive(m_form.get()));
}

void TestRewardsAndPayroll::cleanup()
{
    ReportComponent::setPreviewHandler({});
    SpreadsheetExport::setOpener({});
    SpreadsheetExport::setOutputFolder({});
    m_row.reset();
    m_choice.reset();
    m_reward.reset();
    m_form.reset();
    m_boxes.reset();
    m_db.reset();
    Clock::setToday({});
}

QStringList TestRewardsAndPayroll::column(Query& query, const QString& field)
{
    QStringList values;
    for (int row = 0; query.isActive() && row < query.recordCount(); ++row)
        values << query.value(row, query.fieldIndex(field)).toString();
    return values;
}

void TestRewardsAndPayroll::clickWithDialog(QPushButton* button, QDialog* dialog,
                                            const std::function<void()>& answer)
{
    bool answered = false;
    QTimer::singleShot(0, dialog, [&] {
        QVERIFY(dialog->isVisible());
        answered = true;
        answer();
    });
    button->click();
    QVERIFY(answered);
}

void TestRewardsAndPayroll::rewardListShowsKindColourAndSum()
{
    Query& rewards = *m_form->ADOQueryjcheng;
    QCOMPARE(column(rewards, u"jcTypeStr"_s),
             (QStringList{u"奖励"_s, u"奖励"_s, u"惩罚"_s, u"惩罚"_s, u"惩罚"_s}));
    QCOMPARE(m_form->DBGridEh2->footerTexts().at(4), u"100"_s);

    const QList<GridColumn>& columns = m_form->DBGridEh2->columns();
    const auto colour = [&](int column, int row) {
        QColor text = Qt::black;
        QColor background = Qt::white;
        m_form->DBGridEh2GetCellParams(columns.at(column), row, text, background);
        return text;
    };
    QCOMPARE(colour(4, 0), QColor(Qt::blue));
    QCOMPARE(colour(4, 2), QColor(Qt::red));
    // Zero is listed as a punishment but coloured as a reward.
    QCOMPARE(colour(4, 4), QColor(Qt::blue));
    QCOMPARE(colour(0, 2), QColor(Qt::black));
}

void TestRewardsAndPayroll::addedPunishmentLowersTheSum()
{
    clickWithDialog(m_form->btn13, m_reward.get(), [this] {
        QCOMPARE(m_reward->PunishFlag, 1);
        m_reward->cbx1->setEditText(u"李四"_s);
        m_reward->dbNum1->setText(u"50"_s);
        m_reward->btn2->click();
    });
    QCOMPARE(column(*m_form->ADOQueryjcheng, u"jchengSum"_s).last(), u"-50"_s);
    QCOMPARE(column(*m_form->ADOQueryjcheng, u"jcTypeStr"_s).last(), u"惩罚"_s);
    QCOMPARE(m_form->DBGridEh2->footerTexts().at(4), u"50"_s);

    // Opened from the list, the row keeps its kind when saved unchanged.
    m_form->ADOQueryjcheng->last();
    bool opened = false;
    QTimer::singleShot(0, m_reward.get(), [&] {
        opened = true;
        QCOMPARE(m_reward->dbNum1->text(), u"50"_s);
        m_reward->btn2->click();
    });
    emit m_form->DBGridEh2->dblClick();
    QVERIFY(opened);
    QCOMPARE(m_db->scalar(u"select jchengSum from jcheng where jchengIndex=6"_s).toDouble(), -50.0);
}

void TestRewardsAndPayroll::doubleClickOnEmptyListsOpensNothing()
{
    m_db->exec(u"delete from jcheng"_s);
    m_form->RefreshRewardList({});
    QCOMPARE(m_form->ADOQueryjcheng->recordCount(), 0);
    QCOMPARE(m_form->ADOQueryPayfor->recordCount(), 0);
    emit m_form->DBGridEh2->dblClick();
    emit m_form->DBGridEh5->dblClick();
    QVERIFY(!m_reward->isVisible());
    QVERIFY(!m_row->isVisible());
    QVERIFY(m_boxes->shown().isEmpty());
}

void TestRewardsAndPayroll::generatedPayrollIsListedWithFooters()
{
    clickWithDialog(m_form->btn14, m_choice.get(), [this] { m_choice->btn1->click(); });
    QVERIFY(m_boxes->shown().isEmpty());
    Query& payroll = *m_form->ADOQueryPayfor;
    QCOMPARE(column(payroll, u"payforUser"_s), (QStringList{u"张三"_s, u"李四"_s}));
    QCOMPARE(column(payroll, u"PayforSum"_s), (QStringList{u"1300.5"_s, u"830"_s}));
    QCOMPARE(m_form->DBGridEh5->footerTexts().mid(3),
             (QStringList{u"1800"_s, u"150"_s, u"-50"_s, u"230.5"_s, u"2130.5"_s}));

    // Only the chosen worker the second time.
    clickWithDialog(m_form->btn14, m_choice.get(), [this] {
        m_choice->lbx1->item(1)->setSelected(true);
        m_choice->btn1->click();
    });
    QCOMPARE(column(payroll, u"payforUser"_s), QStringList{u"李四"_s});
    QCOMPARE(m_db->scalar(u"select count(*) from Payfor"_s).toInt(), 2);

    // Cancel changes nothing.
    clickWithDialog(m_form->btn14, m_choice.get(), [this] { m_choice->btn2->click(); });
    QCOMPARE(column(payroll, u"payforUser"_s), QStringList{u"李四"_s});
}

void TestRewardsAndPayroll::refusedGenerationKeepsTheListedPayroll()
{
    clickWithDialog(m_form->btn14, m_choice.get(), [this] { m_choice->btn1->click(); });
    clickWithDialog(m_form->btn14, m_choice.get(), [this] {
        m_choice->DateTimePicker1->setDate(QDate(2026, 12, 1));
        m_choice->btn1->click();
    });
    QCOMPARE(m_boxes->shown().size(), 1);
    QVERIFY(m_boxes->texts().first().contains(u"开始日期不能晚于结束日期"_s));
    QCOMPARE(column(*m_form->ADOQueryPayfor, u"payforUser"_s), (QStringList{u"张三"_s, u"李四"_s}));
    QCOMPARE(m_db->scalar(u"select count(*) from Payfor where PayforEnable=1"_s).toInt(), 2);
}

void TestRewardsAndPayroll::adjustedRowReloadsTheList()
{
    clickWithDialog(m_form->btn14, m_choice.get(), [this] { m_choice->btn1->click(); });
    m_form->ADOQueryPayfor->first();
    bool opened = false;
    QTimer::singleShot(0, m_row.get(), [&] {
        opened = true;
        m_row->dbNum3->setText(u"80"_s);
        QCOMPARE(m_row->dbNum5->text(), u"1270.5"_s);
        m_row->btn1->click();
    });
    emit m_form->DBGridEh5->dblClick();
    QVERIFY(opened);
    QCOMPARE(m_form->DBGridEh5->footerTexts().mid(5), (QStringList{u"-80"_s, u"230.5"_s, u"2100.5"_s}));

    m_form->ADOQueryPayfor->first();
    QTimer::singleShot(0, m_row.get(), [this] { m_row->btn3->click(); });
    emit m_form->DBGridEh5->dblClick();
    QCOMPARE(column(*m_form->ADOQueryPayfor, u"payforUser"_s), QStringList{u"李四"_s});
    QCOMPARE(m_form->DBGridEh5->footerTexts().last(), u"830"_s);
    QCOMPARE(m_db->scalar(u"select count(*) from Payfor"_s).toInt(), 2);
}

void TestRewardsAndPayroll::exportAndPrintNeedRows()
{
    QTemporaryDir out;
    SpreadsheetExport::setOutputFolder(out.path());
    int opened = 0;
    SpreadsheetExport::setOpener([&](const QString&) { return ++opened, true; });
    int previews = 0;
    ReportComponent::setPreviewHandler([&](const ReportComponent&) { ++previews; });

    m_form->btn15->click();
    m_form->btn16->click();
    QCOMPARE(opened, 0);
    QCOMPARE(previews, 0);
    QVERIFY(QDir(out.path()).isEmpty());

    clickWithDialog(m_form->btn14, m_choice.get(), [this] { m_choice->btn1->click(); });
    m_form->btn15->click();
    QCOMPARE(opened, 1);
    const QStringList written = QDir(out.path()).entryList({u"*.xlsx"_s});
    QCOMPARE(written.size(), 1);
    const XlsxSheet sheet = ReadXlsxSheet(QDir(out.path()).filePath(written.first()));
    QCOMPARE(sheet.value(u"A1"_s), u"s:日期:2026年11月20日"_s);
    QCOMPARE(sheet.value(u"B3"_s), u"s:开始日期"_s);
    QCOMPARE(sheet.value(u"B4"_s), u"s:2026.11.01"_s);
    QCOMPARE(sheet.value(u"C5"_s), u"s:2026.11.30"_s);
    QCOMPARE(sheet.value(u"H4"_s), u"n:1300.5"_s);

    QDir(m_db->folder()).mkpath(u"frf"_s);
    QVERIFY(
        QFile::copy(QStringLiteral(QIRVO_FRF_DIR) + u"/gjList.frf"_s, m_db->folder() + u"frf/gjList.frf"_s));
    m_form->btn16->click();
    QCOMPARE(previews, 1);
    QVERIFY2(m_boxes->shown().isEmpty(), qPrintable(m_boxes->texts().join(u'\n')));
}

QTEST_MAIN(TestRewardsAndPayroll)
#include "tst_RewardsAndPayroll.moc"
