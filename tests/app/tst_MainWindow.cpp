#include "Clock.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "MessageBoxRecorder.h"
#include "QirvoError.h"
#include "Query.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void managementTabFollowsRight_data();
    void managementTabFollowsRight();
    void startUpLoadsTheLists();
    void startUpRemovesStrayPlaceholders();
    void cancelledLoginEndsStartUp();
    void unusableDatabaseStopsBeforeLogin();

private:
    static int loginAs(const QString& account);
    std::unique_ptr<TestDatabase> m_db;
};

void TestMainWindow::init()
{
    Clock::setToday(QDate(2026, 12, 10));
    m_db = std::make_unique<TestDatabase>();
}

void TestMainWindow::cleanup()
{
    m_db.reset();
    Clock::setToday(std::nullopt);
}

int TestMainWindow::loginAs(const QString& account)
{
    LoginName = account;
    return QDialog::Accepted;
}

void TestMainWindow::managementTabFollowsRight_data()
{
    QTest::addColumn<QVariant>("right");
    QTest::addColumn<QStringList>("shownTabs");
    const QStringList all{u"数据中心"_s, u"员工管理"_s, u"参数初始化"_s,
                          u"管理设置"_s, u"奖惩管理"_s, u"工资统计"_s};
    QStringList withoutManagement = all;
    withoutManagement.removeAll(u"管理设置"_s);
    QTest::newRow("true") << QVariant(1) << all;
    QTest::newRow("false") << QVariant(0) << withoutManagement;
    QTest::newRow("null") << QVariant() << withoutManagement;
}

void TestMainWindow::managementTabFollowsRight()
{
    QFETCH(QVariant, right);
    QFETCH(QStringList, shownTabs);
    m_db->exec(u"insert into Power (PowerName, PowerKey, PowerSet) values ('clerk', '', ?)"_s, {right});
    TQirvofrm form;
    form.setLoginRunner([] { return loginAs(u"clerk"_s); });
    QCOMPARE(form.FormShow(), TQirvofrm::StartResult::Ready);
    QStringList shown;
    for (int i = 0; i < form.pag1->count(); ++i)
        if (form.pag1->isTabVisible(i))
            shown << form.pag1->tabText(i);
    QCOMPARE(shown, shownTabs);
}

void TestMainWindow::startUpLoadsTheLists()
{
    m_db->exec(u"insert into [Counter] (CounterSerial, CounterName) values ('01', '车工')"_s);
    m_db->exec(u"insert into RecordTable (RecordUser, RecordCounter, RecordRecordDate) values "
               u"('a', 1, '2026-12-10'), ('b', 1, '2026-12-09'), ('c', 99, '2026-12-10')"_s);
    m_db->exec(u"insert into Payfor (PayforEnable, payforUser) values (1, 'a'), (0, 'b')"_s);
    TQirvofrm form;
    form.setLoginRunner([] { return loginAs(u"系统管理员"_s); });
    QCOMPARE(form.FormShow(), TQirvofrm::StartResult::Ready);
    QCOMPARE(form.dtRecord->date(), QDate(2026, 12, 10));
    QCOMPARE(form.ADOQueryCenter->recordCount(), 1);
    QCOMPARE(form.ADOQueryCounter->recordCount(), 1);
    QCOMPARE(form.ADOQueryPayfor->recordCount(), 1);
    QCOMPARE(form.ADOQueryjcheng->recordCount(), 0);
    QVERIFY(form.ADOQueryUser->isActive());
    QCOMPARE(form.pag1->currentIndex(), 0);
    QCOMPARE(form.cbx1->currentIndex(), -1);
    QCOMPARE(form.cbx1->count(), 2);
    QCOMPARE(form.edt2->text(), QString());
    QCOMPARE(form.edt1->text(), QString());

    form.cbx1->setCurrentIndex(form.cbx1->findText(u"操作员"_s));
    QCOMPARE(form.edt2->text(), u"1234"_s);
}

// An add killed with its editor open leaves a placeholder; the next start removes it and its prices,
// and nothing else.
void TestMainWindow::startUpRemovesStrayPlaceholders()
{
    m_db->exec(u"insert into [Counter] (CounterIndex, CounterSerial, CounterName) values (1, 'mark', null), "
               u"(2, 'MARK', ''), (3, 'mark', '标记'), (4, '01', '车工')"_s);
    m_db->exec(u"insert into Price (PriceCounter, PriceValue) values (1, 0.1), (3, 0.3), (4, 0.4)"_s);
    TQirvofrm form;
    form.setLoginRunner([] { return loginAs(u"系统管理员"_s); });
    QCOMPARE(form.FormShow(), TQirvofrm::StartResult::Ready);
    QCOMPARE(
        m_db->scalar(
                u"select group_concat(CounterIndex) from (select CounterIndex from [Counter] order by 1)"_s)
            .toString(),
        u"3,4"_s);
    QCOMPARE(
        m_db->scalar(u"select group_concat(PriceCounter) from (select PriceCounter from Price order by 1)"_s)
            .toString(),
        u"3,4"_s);
    QCOMPARE(form.ADOQueryCounter->recordCount(), 2);
}

void TestMainWindow::cancelledLoginEndsStartUp()
{
    TQirvofrm form;
    form.setLoginRunner([] { return int(QDialog::Rejected); });
    QCOMPARE(form.FormShow(), TQirvofrm::StartResult::LoginCancelled);
    QVERIFY(!form.ADOQueryCenter->isActive());
}

void TestMainWindow::unusableDatabaseStopsBeforeLogin()
{
    QFile::remove(m_db->path());
    bool loginRan = false;
    TQirvofrm form;
    form.setLoginRunner([&loginRan] {
        loginRan = true;
        return int(QDialog::Accepted);
    });
    QVERIFY_THROWS_EXCEPTION(QirvoError, form.FormShow());
    QVERIFY(!loginRan);
    QVERIFY(!QFile::exists(m_db->path()));
}

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
