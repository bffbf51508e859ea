#include "Clerk.h"
#include "DataGrid.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "MessageBoxRecorder.h"
#include "QirvoError.h"
#include "Query.h"
#include "QueryTableModel.h"
#include "ReportComponent.h"
#include "TestDatabase.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

class TestRoster : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void duplicateNameIsRefused_data();
    void duplicateNameIsRefused();
    void otherColumnsSaveFreely();
    void badNumberOrDateIsRefusedInTheCell_data();
    void badNumberOrDateIsRefusedInTheCell();
    void deleteKeyAsksFirst_data();
    void deleteKeyAsksFirst();
    void typedCellSurvivesLeaving_data();
    void typedCellSurvivesLeaving();
    void refusedRenameStaysOnItsRow();
    void enteringTheTabKeepsTheCurrentRow();
    void numberCellStoresANumberInEveryLocale_data();
    void numberCellStoresANumberInEveryLocale();
    void namesAreTrimmedAndRequired_data();
    void namesAreTrimmedAndRequired();
    void pickListsFollowTheWorkTypes();
    void rosterPrintReachesPreview();

private:
    Query& users() { return *m_form->ADOQueryUser; }
    bool postAborted();
    QTableView* view() { return m_form->DBGridEh4->view(); }
    QString names();
    // The age, base pay and starting day of every worker, in roster order.
    QString enteredValues();

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
    std::unique_ptr<TQirvofrm> m_form;
};

void TestRoster::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(
        u"insert into [User] (UserName, UserAge, UserBase, UserPhone) values ('张三', 30, 1500, '0571'), "
        u"('O''Neil', 41, 1600, '13800000000')"_s);
    m_db->exec(u"insert into RecordTable (RecordUser, RecordCounter) values ('张三', 1)"_s);
    m_boxes = std::make_unique<MessageBoxRecorder>();
    m_form = std::make_unique<TQirvofrm>();
    m_form->setLoginRunner([] {
        LoginName = u"系统管理员"_s;
        return int(QDialog::Accepted);
    });
    QCOMPARE(m_form->FormShow(), TQirvofrm::StartResult::Ready);
    QVERIFY(Clerk::showActive(m_form.get()));
    m_form->pag1->setCurrentWidget(m_form->tab1);
}

void TestRoster::cleanup()
{
    ReportComponent::setPreviewHandler({});
    m_form.reset();
    m_boxes.reset();
    m_db.reset();
}

bool TestRoster::postAborted()
{
    try {
        users().post();
        return false;
    } catch (const SilentAbort&) {
        return true;
    }
}

QString TestRoster::enteredValues()
{
    const QString key = m_db->rowKey(u"User"_s);
    QStringList rows;
    for (const QString& row : m_db->texts(u"select %1 from [User] order by %1"_s.arg(key)))
        rows << m_db->rowText(u"select UserAge, UserBase, UserWorkDate from [User] where %1=?"_s.arg(key),
                              {row});
    return rows.join(u';');
}

QString TestRoster::names()
{
    return m_db->texts(u"select UserName from [User] order by "_s + m_db->rowKey(u"User"_s)).join(u',');
}

void TestRoster::duplicateNameIsRefused_data()
{
    QTest::addColumn<bool>("rename");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("stored");
    const QString before = u"张三,O'Neil"_s;
    QTest::newRow("new, same name") << false << u"张三"_s << true << before;
    QTest::newRow("new, name with quote") << false << u"O'Neil"_s << true << before;
    QTest::newRow("new, other letter case") << false << u"o'neil"_s << true << before;
    QTest::newRow("new, free name") << false << u"李'四"_s << false << u"张三,O'Neil,李'四"_s;
    QTest::newRow("rename to another's name") << true << u"张三"_s << true << before;
    QTest::newRow("rename to own name in other case") << true << u"O'NEIL"_s << true << before;
    QTest::newRow("rename to free name") << true << u"王五"_s << false << u"张三,王五"_s;
}

void TestRoster::duplicateNameIsRefused()
{
    QFETCH(bool, rename);
    QFETCH(QString, name);
    QFETCH(bool, refused);
    QFETCH(QString, stored);
    if (rename) {
        users().setCurrentRow(1);
        users().edit();
    } else {
        users().append();
    }
    users().setValue(u"UserName"_s, name);
    QCOMPARE(postAborted(), refused);
    QCOMPARE(m_boxes->texts(), refused ? QStringList{u"该用户记录已经存在，请重新录入"_s} : QStringList());
    if (refused) {
        QCOMPARE(users().state(), rename ? Query::State::Edit : Query::State::Insert);
        QCOMPARE(users().value(u"UserName"_s).toString(), name);
        users().cancel();
    }
    QCOMPARE(names(), stored);
}

void TestRoster::otherColumnsSaveFreely()
{
    Clerk::enterCell(view(), 0, 8, u"1888.5"_s);
    Clerk::clickCell(view(), 0, 2);
    Clerk::press(Qt::Key_F2);
    Clerk::type(u"男"_s);
    Clerk::clickCell(view(), 1, 0);
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_db->rowText(u"select UserBase, UserSex from [User] where UserName='张三'"_s), u"1888.5|男"_s);
    // The file keeps what a column is given; the number must arrive as a number.
    if (!m_db->onServer())
        QCOMPARE(m_db->scalar(u"select typeof(UserBase) from [User] where UserName='张三'"_s).toString(),
                 u"real"_s);
}

void TestRoster::badNumberOrDateIsRefusedInTheCell_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("age") << 1 << u"三十"_s << u"年龄"_s;
    QTest::newRow("base wage") << 8 << u"1,500"_s << u"基本工资"_s;
    QTest::newRow("joining date") << 4 << u"2020/3/1"_s << u"入厂时间"_s;
}

void TestRoster::badNumberOrDateIsRefusedInTheCell()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, title);
    const QString before = enteredValues();
    Clerk::enterCell(view(), 0, column, text);
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().first().kind, MessageBox::Kind::Warning);
    QVERIFY2(m_boxes->texts().first().contains(title), qPrintable(m_boxes->texts().first()));
    Clerk::clickCell(view(), 1, 0);
    QCOMPARE(enteredValues(), before);
}

void TestRoster::deleteKeyAsksFirst_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("left");
    const QString roster = u"是否确定删除当前记录?删除当前记录将无法恢复"_s;
    const QString grid = u"Delete record?"_s;
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Delete, yes") << none << int(MessageBox::Answer::Yes) << roster << u"张三"_s;
    QTest::newRow("Delete, cancel") << none << int(MessageBox::Answer::Cancel) << roster << u"张三,O'Neil"_s;
    QTest::newRow("Ctrl+Delete, OK") << ctrl << int(MessageBox::Answer::Ok) << grid << u"张三"_s;
    QTest::newRow("Ctrl+Delete, cancel")
        << ctrl << int(MessageBox::Answer::Cancel) << grid << u"张三,O'Neil"_s;
}

// The clerk clicks O'Neil's phone and presses the key: the row goes, never the phone's text.
void TestRoster::deleteKeyAsksFirst()
{
    QFETCH(int, modifiers);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(QString, left);
    m_boxes->queueAnswer(MessageBox::Answer(answer));
    Clerk::clickCell(view(), 1, 3);
    Clerk::press(Qt::Key_Delete, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_boxes->texts(), QStringList{question});
    Clerk::clickCell(view(), 0, 3);
    QCOMPARE(names(), left);
    QCOMPARE(m_db->texts(u"select UserPhone from [User] order by "_s + m_db->rowKey(u"User"_s)).join(u','),
             left.contains(u"O'Neil"_s) ? u"0571,13800000000"_s : u"0571"_s);
    QCOMPARE(m_db->scalar(u"select count(*) from RecordTable where RecordUser='张三'"_s).toInt(), 1);
}

void TestRoster::typedCellSurvivesLeaving_data()
{
    QTest::addColumn<QString>("leaving");
    QTest::newRow("another tab") << u"tab"_s;
    QTest::newRow("a button") << u"button"_s;
    QTest::newRow("closing the window") << u"close"_s;
}

// Text typed into a cell and not yet confirmed is saved whichever way the clerk leaves it.
void TestRoster::typedCellSurvivesLeaving()
{
    QFETCH(QString, leaving);
    ReportComponent::setPreviewHandler([](const ReportComponent&) {});
    Clerk::clickCell(view(), 1, 3);
    Clerk::type(u"021-555"_s);
    if (leaving == u"tab"_s) {
        QTabBar* tabs = m_form->pag1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCOMPARE(m_form->pag1->currentIndex(), 0);
    } else if (leaving == u"button"_s) {
        Clerk::click(m_form->btn8);
    } else {
        QVERIFY(m_form->close());
    }
    QCOMPARE(m_db->scalar(u"select UserPhone from [User] where UserName='O''Neil'"_s).toString(),
             u"021-555"_s);
    QCOMPARE(users().state(), Query::State::Browse);
}

// A rename refused as a duplicate keeps the clerk on that row, still editing, so Escape undoes it.
void TestRoster::refusedRenameStaysOnItsRow()
{
    Clerk::clickCell(view(), 0, 0);
    Clerk::type(u"O'NEIL"_s);
    Clerk::press(Qt::Key_Down);
    QCOMPARE(m_boxes->texts(), QStringList{u"该用户记录已经存在，请重新录入"_s});
    QCOMPARE(users().currentRow(), 0);
    QCOMPARE(users().state(), Query::State::Edit);
    QCOMPARE(view()->currentIndex().row(), 0);
    QVERIFY(view()->selectionModel()->isSelected(view()->model()->index(0, 0)));
    QVERIFY(!view()->selectionModel()->isSelected(view()->model()->index(1, 0)));
    Clerk::press(Qt::Key_Escape);
    QCOMPARE(users().state(), Query::State::Browse);
    QCOMPARE(users().value(u"UserName"_s).toString(), u"张三"_s);
    QCOMPARE(names(), u"张三,O'Neil"_s);
}

void TestRoster::enteringTheTabKeepsTheCurrentRow()
{
    Clerk::clickCell(view(), 1, 2);
    m_form->pag1->setCurrentIndex(0);
    m_form->pag1->setCurrentWidget(m_form->tab1);
    QCOMPARE(users().currentRow(), 1);
    QCOMPARE(view()->currentIndex(), view()->model()->index(1, 2));
    QVERIFY(view()->selectionModel()->isSelected(view()->currentIndex()));
    QCOMPARE(view()->model()->headerData(0, Qt::Vertical).toString(), QString());
    QCOMPARE(view()->model()->headerData(1, Qt::Vertical).toString(), u"▶"_s);
}

void TestRoster::numberCellStoresANumberInEveryLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("zh_CN, point") << u"zh_CN"_s << u"12.5"_s << u"real 12.5"_s;
    QTest::newRow("de_DE, point") << u"de_DE"_s << u"12.5"_s << u"real 12.5"_s;
    QTest::newRow("de_DE, comma refused") << u"de_DE"_s << u"12,5"_s << u"real 1600.0"_s;
    QTest::newRow("infinity refused") << u"C"_s << u"inf"_s << u"real 1600.0"_s;
    QTest::newRow("not a number refused") << u"C"_s << u"nan"_s << u"real 1600.0"_s;
    QTest::newRow("overflowing refused") << u"C"_s << u"1e308"_s << u"real 1600.0"_s;
    QTest::newRow("emptied") << u"C"_s << QString() << u"null "_s;
}

void TestRoster::numberCellStoresANumberInEveryLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    const QLocale previous;
    QLocale::setDefault(QLocale(locale));
    Clerk::clickCell(view(), 1, 8);
    if (typed.isEmpty())
        Clerk::press(Qt::Key_F2);
    else
        Clerk::type(typed);
    if (typed.isEmpty())
        Clerk::press(Qt::Key_Backspace);
    Clerk::press(Qt::Key_Return);
    Clerk::clickCell(view(), 0, 0);
    QLocale::setDefault(previous);
    const QString kind = stored.section(u' ', 0, 0);
    const QString value = stored.section(u' ', 1);
    QCOMPARE(m_db->rowText(u"select UserBase from [User] where UserName='O''Neil'"_s),
             value.isEmpty() ? value : QString::number(value.toDouble()));
    if (!m_db->onServer())
        QCOMPARE(m_db->scalar(u"select typeof(UserBase) from [User] where UserName='O''Neil'"_s).toString(),
                 kind);
    QCOMPARE(m_boxes->shown().size(), stored == u"real 1600.0"_s ? 1 : 0);
}

void TestRoster::namesAreTrimmedAndRequired_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("boxes");
    const QStringList none;
    const QStringList required{u"员工姓名不能为空，请输入姓名"_s};
    const QStringList taken{u"该用户记录已经存在，请重新录入"_s};
    QTest::newRow("new, blanks") << 2 << u"   "_s << u"张三,O'Neil"_s << required;
    QTest::newRow("new, padded") << 2 << u" Wang "_s << u"张三,O'Neil,Wang"_s << none;
    QTest::newRow("new, padded duplicate") << 2 << u" o'neil "_s << u"张三,O'Neil"_s << taken;
    QTest::newRow("rename to blanks") << 1 << u"  "_s << u"张三,O'Neil"_s << required;
    QTest::newRow("rename, own name padded") << 1 << u" O'Neil "_s << u"张三,O'Neil"_s << none;
}

void TestRoster::namesAreTrimmedAndRequired()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QStringList, boxes);
    if (row == 2) {
        Clerk::clickCell(view(), 1, 0);
        Clerk::press(Qt::Key_Down);
        QCOMPARE(users().state(), Query::State::Insert);
    }
    Clerk::clickCell(view(), row, 0);
    Clerk::type(typed);
    Clerk::press(Qt::Key_Return);
    Clerk::clickCell(view(), 0, 1);
    QCOMPARE(m_boxes->texts(), boxes);
    if (!boxes.isEmpty())
        Clerk::press(Qt::Key_Escape);
    QCOMPARE(names(), stored);
}

void TestRoster::pickListsFollowTheWorkTypes()
{
    const auto pickList = [this](int column) {
        return m_form->DBGridEh4->columns().at(column).pickList;
    };
    QCOMPARE(pickList(2), (QStringList{u"男"_s, u"女"_s}));
    QVERIFY(pickList(5).isEmpty());
    m_db->exec(u"insert into [Counter] (CounterSerial, CounterName) values ('01', '车工'), ('02', '包装'), "
               u"('03', '车工')"_s);
    m_form->pag1->setCurrentIndex(0);
    m_form->pag1->setCurrentWidget(m_form->tab1);
    QCOMPARE(pickList(5), (QStringList{u"车工"_s, u"包装"_s}));
    QCOMPARE(pickList(2), (QStringList{u"男"_s, u"女"_s}));
}

void TestRoster::rosterPrintReachesPreview()
{
    QVERIFY(QDir(m_db->folder()).mkdir(u"frf"_s));
    QVERIFY(QFile::copy(QStringLiteral(QIRVO_FRF_DIR) + u"/UserReport.frf"_s,
                        m_db->folder() + u"frf/UserReport.frf"_s));
    QString printed;
    ReportComponent::setPreviewHandler(
        [&printed](const ReportComponent& report) { printed = report.preparedPages().page(0).text(); });
    m_form->btn8->click();
    QVERIFY(m_boxes->shown().isEmpty());
    QVERIFY2(printed.contains(u"O'Neil"_s) && printed.contains(u"共 2 人"_s), qPrintable(printed));
}

QTEST_MAIN(TestRoster)
#include "tst_Roster.moc"
