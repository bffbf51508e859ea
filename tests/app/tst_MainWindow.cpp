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
    QTest::addColumn<int>("visibleTabs");
    QTest::newRow("true") << QVariant(1) << 6;
    QTest::newRow("false") << QVariant(0) << 5;
    QTest::newRow("null") << QVariant() << 5;
}

void TestMainWindow::managementTabFollowsRight()
{
    QFETCH(QVariant, right);
    QFETCH(int, visibleTabs);
    m_db->exec(u"insert into Power (PowerName, PowerKey, PowerSet) values ('clerk', '', ?)"_s, {right});
    TQirvofrm form;
    form.setLoginRunner([] { return loginAs(u"clerk"_s); });
    QCOMPARE(form.FormShow(), TQirvofrm::StartResult::Ready);
    int visible = 0;
    for (int i = 0; i < form.pag1->count(); ++i)
        visible += form.pag1->isTabVisible(i) ? 1 : 0;
    QCOMPARE(visible, visibleTabs);
    QCOMPARE(form.pag1->isTabVisible(3), visibleTabs == 6);
    QCOMPARE(form.pag1->tabText(4), u"奖惩管理"_s);
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
