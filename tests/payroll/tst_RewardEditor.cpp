#include "Clerk.h"
#include "Clock.h"
#include "FailedOpening.h"
#include "MessageBoxRecorder.h"
#include "NumberEdit.h"
#include "TestDatabase.h"
#include "jChengUnit.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class TestRewardEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void storesTheSignOfTheKind_data();
    void storesTheSignOfTheKind();
    void reopenedRowShowsAmountWithoutSign_data();
    void reopenedRowShowsAmountWithoutSign();
    void newRowStartsEmpty();
    void emptyAmountIsRefused();
    void deleteAsksFirst();
    void failedOpeningClosesTheEditor();

private:
    void open(int mode, int punishFlag, int index = 0);
    double storedAmount(int index);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
    std::unique_ptr<Tjchengfrm> m_form;
};

void TestRewardEditor::init()
{
    Clock::setToday(QDate(2026, 11, 20));
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(u"insert into [User] (UserName) values ('张三'), ('李四')"_s);
    m_db->exec(u"insert into jcheng (jchengUser, jchengDate, jchengReson, jchengSum, jchengRemark) values "
               u"('张三', '2026-11-02', '迟到', -50, '一次'), ('李四', '2026-11-03', '全勤', 0, '')"_s);
    m_boxes = std::make_unique<MessageBoxRecorder>();
    m_form = std::make_unique<Tjchengfrm>();
}

void TestRewardEditor::cleanup()
{
    m_form.reset();
    m_boxes.reset();
    m_db.reset();
    Clock::setToday({});
}

void TestRewardEditor::open(int mode, int punishFlag, int index)
{
    m_form->EditMode = mode;
    m_form->PunishFlag = punishFlag;
    m_form->EditIndex = index;
    QVERIFY(Clerk::showActive(m_form.get()));
}

double TestRewardEditor::storedAmount(int index)
{
    return m_db->scalar(u"select jchengSum from jcheng where jchengIndex=?"_s, {index}).toDouble();
}

void TestRewardEditor::storesTheSignOfTheKind_data()
{
    QTest::addColumn<int>("punishFlag");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("stored");

    QTest::newRow("reward 50") << 0 << u"50"_s << 50.0;
    QTest::newRow("punishment 50") << 1 << u"50"_s << -50.0;
    QTest::newRow("negative reward becomes a punishment") << 0 << u"-50"_s << -50.0;
    QTest::newRow("negative punishment becomes a reward") << 1 << u"-50"_s << 50.0;
}

void TestRewardEditor::storesTheSignOfTheKind()
{
    QFETCH(int, punishFlag);
    QFETCH(QString, typed);
    QFETCH(double, stored);

    open(0, punishFlag);
    m_form->cbx1->setEditText(u"O'Neil"_s);
    m_form->cbx2->setEditText(u"加班"_s);
    m_form->dbNum1->setText(typed);
    m_form->edt2->setText(u"备注"_s);
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QVERIFY(m_boxes->shown().isEmpty());
    const int key = m_db->scalar(u"select max(jchengIndex) from jcheng"_s).toInt();
    QCOMPARE(key, 3);
    QCOMPARE(storedAmount(key), stored);
    QCOMPARE(m_db->scalar(u"select jchengUser || jchengDate || jchengReson || jchengRemark from jcheng where "
                          u"jchengIndex=3"_s)
                 .toString(),
             u"O'Neil2026-11-20加班备注"_s);
}

void TestRewardEditor::reopenedRowShowsAmountWithoutSign_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("punishFlag");
    QTest::addColumn<double>("storedAgain");

    QTest::newRow("punishment -50") << 1 << u"50"_s << 1 << -50.0;
    QTest::newRow("zero reopens as a punishment") << 2 << u"0"_s << 1 << 0.0;
}

void TestRewardEditor::reopenedRowShowsAmountWithoutSign()
{
    QFETCH(int, index);
    QFETCH(QString, shown);
    QFETCH(int, punishFlag);
    QFETCH(double, storedAgain);

    open(1, 0, index);
    QVERIFY(m_form->btn3->isVisible());
    QCOMPARE(m_form->dbNum1->text(), shown);
    QCOMPARE(m_form->PunishFlag, punishFlag);
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(storedAmount(index), storedAgain);
    QCOMPARE(m_db->scalar(u"select count(*) from jcheng"_s).toInt(), 2);
}

void TestRewardEditor::newRowStartsEmpty()
{
    open(1, 0, 1);
    m_form->hide();
    open(0, 0);
    QVERIFY(!m_form->btn3->isVisible());
    QCOMPARE(m_form->cbx1->currentText(), QString());
    QCOMPARE(m_form->cbx1->count(), 2);
    QCOMPARE(m_form->cbx2->count(), 2);
    QCOMPARE(m_form->DateTimePicker1->date(), QDate(2026, 11, 20));
    QCOMPARE(m_form->dbNum1->text(), u"0"_s);
    QCOMPARE(m_form->edt2->text(), QString());
}

void TestRewardEditor::emptyAmountIsRefused()
{
    open(0, 0);
    m_form->dbNum1->clear();
    m_form->btn2->click();
    QCOMPARE(m_boxes->texts(), QStringList{u"请输入金额"_s});
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_db->scalar(u"select count(*) from jcheng"_s).toInt(), 2);
}

void TestRewardEditor::deleteAsksFirst()
{
    open(1, 0, 1);
    m_boxes->queueAnswer(MessageBox::Answer::Cancel);
    m_form->btn3->click();
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_db->scalar(u"select count(*) from jcheng"_s).toInt(), 2);

    m_form->btn3->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(m_boxes->texts(), (QStringList{u"确定要删除该条奖惩吗？"_s, u"确定要删除该条奖惩吗？"_s}));
    QCOMPARE(m_db->scalar(u"select count(*) from jcheng where jchengIndex=1"_s).toInt(), 0);
}

// A row that cannot be loaded is not shown half-filled, where 确定 would write the form's blanks.
void TestRewardEditor::failedOpeningClosesTheEditor()
{
    m_form->EditMode = 1;
    m_form->EditIndex = 99;
    ExpectFailedOpeningCloses(*m_form, *m_boxes);
    QCOMPARE(m_db->scalar(u"select count(*) from jcheng"_s).toInt(), 2);
}

QTEST_MAIN(TestRewardEditor)
#include "tst_RewardEditor.moc"
