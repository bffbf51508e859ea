#include "Clerk.h"
#include "FailedOpening.h"
#include "MessageBoxRecorder.h"
#include "NumberEdit.h"
#include "TestDatabase.h"
#include "UsergjEditorUnit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPayrollRowEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithStoredValuesAndRecomputes();
    void emptiedAmountCountsAndShowsAsZero();
    void cancelWritesNothing();
    void withdrawAsksAndKeepsTheRow();
    void typingKeepsTheDecimalLimitOfALoadedValue();
    void failedOpeningClosesTheEditor();

private:
    void open();
    QString rowDump();

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
    std::unique_ptr<TUserGjEditorfrm> m_form;
};

void TestPayrollRowEditor::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(
        u"insert into Payfor (PayforEnable, payforUser, payforStartDate, payforEndDate, payforBase, "
        u"payforjli, payforcfa, payforjjian, payforSum) values (1, '张三', '2026-11-01', '2026-11-30', "
        u"1000, 150, -50, 200.5, 1300.5)"_s);
    m_boxes = std::make_unique<MessageBoxRecorder>();
    m_form = std::make_unique<TUserGjEditorfrm>();
}

void TestPayrollRowEditor::typingKeepsTheDecimalLimitOfALoadedValue()
{
    m_db->exec(u"update Payfor set payforBase=3.015"_s);
    open();
    QCOMPARE(m_form->dbNum1->text(), u"3.015"_s);
    Clerk::click(m_form->dbNum1);
    Clerk::press(Qt::Key_End);
    Clerk::type(u"1"_s);
    QCOMPARE(m_form->dbNum1->text(), u"3.015"_s);
    Clerk::press(Qt::Key_Backspace);
    Clerk::type(u"9"_s);
    QCOMPARE(m_form->dbNum1->text(), u"3.01"_s);
}

void TestPayrollRowEditor::failedOpeningClosesTheEditor()
{
    const QString before = rowDump();
    m_form->EditMode = 1;
    m_form->EditIndex = 99;
    ExpectFailedOpeningCloses(*m_form, *m_boxes);
    QCOMPARE(rowDump(), before);
}

void TestPayrollRowEditor::cleanup()
{
    m_form.reset();
    m_boxes.reset();
    m_db.reset();
}

void TestPayrollRowEditor::open()
{
    m_form->EditMode = 1;
    m_form->EditIndex = 1;
    QVERIFY(Clerk::showActive(m_form.get()));
}

QString TestPayrollRowEditor::rowDump()
{
    return m_db->rowText(
        u"select PayforEnable, payforUser, payforStartDate, payforEndDate, payforBase, payforjli, "
        u"payforcfa, payforjjian, payforSum from Payfor"_s);
}

void TestPayrollRowEditor::opensWithStoredValuesAndRecomputes()
{
    open();
    QVERIFY(m_form->btn3->isVisible());
    QCOMPARE(m_form->edt1->text(), u"张三"_s);
    const QStringList shown{m_form->dbNum1->text(), m_form->dbNum2->text(), m_form->dbNum3->text(),
                            m_form->dbNum4->text(), m_form->dbNum5->text()};
    QCOMPARE(shown, (QStringList{u"1000"_s, u"150"_s, u"50"_s, u"200.5"_s, u"1300.5"_s}));

    m_form->dbNum3->clear();
    QTest::keyClicks(m_form->dbNum3, u"80"_s);
    QCOMPARE(m_form->dbNum5->text(), u"1270.5"_s);
    m_form->btn1->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(rowDump(), u"1|张三|2026-11-01|2026-11-30|1000|150|-80|200.5|1270.5"_s);
}

void TestPayrollRowEditor::emptiedAmountCountsAndShowsAsZero()
{
    open();
    m_form->dbNum2->setFocus();
    m_form->dbNum2->clear();
    QCOMPARE(m_form->dbNum5->text(), u"1150.5"_s);
    m_form->dbNum4->setFocus();
    QCOMPARE(m_form->dbNum2->text(), u"0"_s);
    m_form->btn1->click();
    QCOMPARE(m_db->rowText(u"select payforjli, payforSum from Payfor"_s), u"0|1150.5"_s);
}

void TestPayrollRowEditor::cancelWritesNothing()
{
    const QString before = rowDump();
    open();
    m_form->edt1->setText(u"李四"_s);
    m_form->dbNum1->setText(u"2000"_s);
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    QCOMPARE(rowDump(), before);
}

void TestPayrollRowEditor::withdrawAsksAndKeepsTheRow()
{
    open();
    m_boxes->queueAnswer(MessageBox::Answer::Cancel);
    m_form->btn3->click();
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_db->scalar(u"select PayforEnable from Payfor"_s).toInt(), 1);

    m_form->btn3->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(m_boxes->texts().first(), u"确定要删除该条记录吗？"_s);
    QCOMPARE(m_db->rowText(u"select count(*), min(PayforEnable) from Payfor"_s), u"1|0"_s);

    // A row already gone is reported, not silently taken as withdrawn.
    m_db->exec(u"delete from Payfor"_s);
    m_boxes->clear();
    m_form->btn3->click();
    QCOMPARE(m_boxes->shown().size(), 2);
    QVERIFY(m_boxes->texts().last().contains(u"不存在"_s));
}

QTEST_MAIN(TestPayrollRowEditor)
#include "tst_PayrollRowEditor.moc"
