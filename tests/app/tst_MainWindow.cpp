#include "Clerk.h"
#include "Clock.h"
#include "FileDigest.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "MessageBoxRecorder.h"
#include "QirvoError.h"
#include "Query.h"
#include "Schema.h"
#include "TestDatabase.h"
#include "WithoutRoot.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabBar>
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
    void refusesWhatCannotBeWritten_data();
    void refusesWhatCannotBeWritten();
    void olderFileIsUpgradedNewerRefused_data();
    void olderFileIsUpgradedNewerRefused();
    void operatorNeverReachesManagement_data();
    void operatorNeverReachesManagement();
    void failedPasswordWriteIsShown_data();
    void failedPasswordWriteIsShown();

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
    QCOMPARE(m_db->texts(u"select CounterIndex from [Counter] order by 1"_s), QStringList({u"3"_s, u"4"_s}));
    QCOMPARE(m_db->texts(u"select PriceCounter from Price order by 1"_s), QStringList({u"3"_s, u"4"_s}));
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
    if (m_db->onServer())
        QSKIP("the file beside the program is not used with a server");
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

void TestMainWindow::refusesWhatCannotBeWritten_data()
{
    QTest::addColumn<bool>("folderReadOnly");
    QTest::addColumn<QString>("message");
    QTest::newRow("read-only file") << false << u"数据库文件是只读的"_s;
    QTest::newRow("read-only folder") << true << u"数据库文件所在的文件夹不能写入"_s;
}

// Said at start-up, before anything is written, rather than at the clerk's first save.
void TestMainWindow::refusesWhatCannotBeWritten()
{
    if (m_db->onServer())
        QSKIP("the file beside the program is not used with a server");
    QFETCH(bool, folderReadOnly);
    QFETCH(QString, message);
    const QString path = m_db->path();
    const QString folder = m_db->folder();
    m_db->shareDM().ADOConnection1.close();
    const QFile::Permissions readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther |
                                        QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(folder,
                                  readable | (folderReadOnly ? QFile::Permissions() : QFile::WriteOther)));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther |
                                            (folderReadOnly ? QFile::WriteOther : QFile::Permissions())));
    const QByteArray before = FileDigest(path);
    {
        WithoutRoot unprivileged;
        TQirvofrm form;
        bool loginRan = false;
        form.setLoginRunner([&loginRan] {
            loginRan = true;
            return int(QDialog::Accepted);
        });
        try {
            form.FormShow();
            QFAIL("a database that cannot be written must be refused");
        } catch (const QirvoError& error) {
            QVERIFY2(error.message().contains(message), qPrintable(error.message()));
        }
        QVERIFY(!loginRan);
    }
    QCOMPARE(FileDigest(path), before);
    QFile::setPermissions(folder, readable | QFile::WriteOwner);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{u"Qirvo.mdb"_s});
}

void TestMainWindow::olderFileIsUpgradedNewerRefused_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("first version") << 1;
    QTest::newRow("a newer program's file") << 99;
}

// A file of the first version gets the indexes of today's at start-up and keeps every row, after a
// copy of it as it was is kept beside it; one of a version this program does not know is refused and
// left as it was.
void TestMainWindow::olderFileIsUpgradedNewerRefused()
{
    if (m_db->onServer())
        QSKIP("the file's own schema versions");
    QFETCH(int, version);
    const QString path = m_db->path();
    m_db->shareDM().ADOConnection1.close();
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::copy(QStringLiteral(QIRVO_FIRST_VERSION_DATABASE), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"old"_s);
        old.setDatabaseName(path);
        QVERIFY(old.open());
        QSqlQuery query(old);
        QVERIFY(query.exec(
            u"insert into RecordTable (RecordSerial, RecordRecordDate) values ('A1', '2026-12-10'), "
            u"('A2', '2026-12-10')"_s));
        QVERIFY(query.exec(u"pragma user_version = %1"_s.arg(version)));
        old.close();
    }
    QSqlDatabase::removeDatabase(u"old"_s);
    const QByteArray before = FileDigest(path);
    TQirvofrm form;
    form.setLoginRunner([] { return loginAs(u"系统管理员"_s); });
    if (version == 99) {
        try {
            form.FormShow();
            QFAIL("a file of a newer version must be refused");
        } catch (const QirvoError& error) {
            QVERIFY2(error.message().contains(u"更新版本"_s), qPrintable(error.message()));
        }
        QCOMPARE(FileDigest(path), before);
        return;
    }
    MessageBoxRecorder boxes;
    QCOMPARE(form.FormShow(), TQirvofrm::StartResult::Ready);
    QCOMPARE(m_db->scalar(u"pragma user_version"_s).toInt(), Schema::CurrentVersion);
    // The file as it was is kept beside it, and the clerk is told where.
    const QStringList copies = QDir(m_db->folder()).entryList({u"Qirvo升级前备份*.mdb"_s}, QDir::Files);
    QCOMPARE(copies.size(), 1);
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY2(boxes.texts().first().contains(copies.first()), qPrintable(boxes.texts().first()));
    {
        QSqlDatabase kept = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"kept"_s);
        kept.setDatabaseName(m_db->folder() + copies.first());
        QVERIFY(kept.open());
        QSqlQuery query(kept);
        QVERIFY(query.exec(u"pragma user_version"_s) && query.next());
        QCOMPARE(query.value(0).toInt(), 1);
        QVERIFY(query.exec(u"select group_concat(RecordSerial) from RecordTable"_s) && query.next());
        QCOMPARE(query.value(0).toString(), u"A1,A2"_s);
        kept.close();
    }
    QSqlDatabase::removeDatabase(u"kept"_s);
    QCOMPARE(m_db->scalar(u"select count(*) from sqlite_master where name='RecordByDateCovered'"_s).toInt(),
             1);
    QCOMPARE(m_db->scalar(u"select group_concat(RecordSerial) from RecordTable"_s).toString(), u"A1,A2"_s);
    QCOMPARE(m_db->scalar(u"select count(*) from Power"_s).toInt(), 2);
}

void TestMainWindow::operatorNeverReachesManagement_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("Ctrl+PgDown") << int(Qt::Key_PageDown) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+PgUp") << int(Qt::Key_PageUp) << int(Qt::ControlModifier);
    QTest::newRow("Right on the tabs") << int(Qt::Key_Right) << int(Qt::NoModifier);
    QTest::newRow("Left on the tabs") << int(Qt::Key_Left) << int(Qt::NoModifier);
}

// 操作员 may not see the passwords nor back up or restore: no key or click shows that page.
void TestMainWindow::operatorNeverReachesManagement()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    MessageBoxRecorder boxes;
    TQirvofrm form;
    form.setLoginRunner([] { return loginAs(u"操作员"_s); });
    QCOMPARE(form.FormShow(), TQirvofrm::StartResult::Ready);
    QVERIFY(Clerk::showActive(&form));
    QTabBar* tabs = form.pag1->tabBar();
    for (int start = 0; start < tabs->count(); ++start) {
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(start).center());
        QVERIFY(form.pag1->currentWidget() != form.tab4);
        // Arrows act on the tab row once the clerk has tabbed to it.
        if (modifiers == Qt::NoModifier)
            tabs->setFocus(Qt::TabFocusReason);
        for (int press = 0; press < 2 * tabs->count(); ++press) {
            Clerk::press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QVERIFY2(form.pag1->currentWidget() != form.tab4,
                     qPrintable(form.pag1->tabText(form.pag1->currentIndex())));
            QVERIFY(!form.tab4->isVisible());
        }
    }
    QCOMPARE(form.edt2->text(), QString());
    QCOMPARE(form.edt1->text(), QString());
}

void TestMainWindow::failedPasswordWriteIsShown_data()
{
    QTest::addColumn<bool>("login");
    QTest::newRow("modification password") << false;
    QTest::newRow("login password") << true;
}

// Another program holds the database: the administrator is told the password was not set, and why.
void TestMainWindow::failedPasswordWriteIsShown()
{
    QFETCH(bool, login);
    MessageBoxRecorder boxes;
    if (m_db->onServer())
        QSKIP("a lock on the file held by another program");
    TQirvofrm form;
    form.setLoginRunner([] { return loginAs(u"系统管理员"_s); });
    QCOMPARE(form.FormShow(), TQirvofrm::StartResult::Ready);
    if (login)
        form.cbx1->setCurrentIndex(form.cbx1->findText(u"操作员"_s));
    (login ? form.edt2 : form.edt1)->setText(u"new'one"_s);
    {
        QSqlDatabase holder = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"holder"_s);
        holder.setDatabaseName(m_db->path());
        QVERIFY(holder.open());
        QSqlQuery lock(holder);
        QVERIFY(lock.exec(u"begin exclusive"_s));
        (login ? form.btn7 : form.btn6)->click();
        QVERIFY(lock.exec(u"rollback"_s));
        holder.close();
    }
    QSqlDatabase::removeDatabase(u"holder"_s);
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().kind, MessageBox::Kind::Error);
    const QString text = boxes.texts().first();
    QVERIFY2(text.contains(u"没有设置成功"_s) && text.contains(u"数据库正被另一个窗口或程序写入"_s) &&
                 text.contains(u"database is locked"_s),
             qPrintable(text));
    QCOMPARE(m_db->scalar(u"select count(*) from Power where PowerKey='new''one'"_s).toInt(), 0);
    QCOMPARE(m_db->scalar(u"select count(*) from Parameter where ParameterValue='new''one'"_s).toInt(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
