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
    void pickListsFollowTheWorkTypes();
    void rosterPrintReachesPreview();

private:
    Query& users() { return *m_form->ADOQueryUser; }
    bool postAborted();
    void typeIntoCell(int row, int column, const QString& text);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
    std::unique_ptr<TQirvofrm> m_form;
};

void TestRoster::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(
        u"insert into [User] (UserName, UserAge, UserBase) values ('张三', 30, 1500), ('O''Neil', 41, 1600)"_s);
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

void TestRoster::typeIntoCell(int row, int column, const QString& text)
{
    QTableView* view = m_form->DBGridEh4->view();
    view->setFocus();
    view->setCurrentIndex(view->model()->index(row, column));
    view->edit(view->currentIndex());
    QLineEdit* editor = nullptr;
    for (QLineEdit* candidate : view->viewport()->findChildren<QLineEdit*>())
        if (candidate->isVisible())
            editor = candidate;
    QVERIFY(editor);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits a confirmed cell once control returns to the event loop.
    QCoreApplication::processEvents();
}

void TestRoster::duplicateNameIsRefused_data()
{
    QTest::addColumn<bool>("rename");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("new, same name") << false << u"张三"_s << true;
    QTest::newRow("new, name with quote") << false << u"O'Neil"_s << true;
    QTest::newRow("new, other letter case") << false << u"o'neil"_s << true;
    QTest::newRow("new, free name") << false << u"李'四"_s << false;
    QTest::newRow("rename to another's name") << true << u"张三"_s << true;
    QTest::newRow("rename to own name in other case") << true << u"O'NEIL"_s << true;
    QTest::newRow("rename to free name") << true << u"王五"_s << false;
}

void TestRoster::duplicateNameIsRefused()
{
    QFETCH(bool, rename);
    QFETCH(QString, name);
    QFETCH(bool, refused);
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
    QCOMPARE(m_db->scalar(u"select count(*) from [User] where UserName=?"_s, {name}).toInt(),
             refused ? 1 : 1);
    QCOMPARE(m_db->scalar(u"select count(*) from [User]"_s).toInt(), rename || refused ? 2 : 3);
}

void TestRoster::otherColumnsSaveFreely()
{
    users().setCurrentRow(0);
    typeIntoCell(0, 8, u"1888.5"_s);
    typeIntoCell(0, 2, u"男"_s);
    users().setCurrentRow(1);
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_db->scalar(u"select UserBase || UserSex from [User] where UserName='张三'"_s).toString(),
             u"1888.5男"_s);
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
    const QString before =
        m_db->scalar(
                u"select group_concat(ifnull(UserAge,'') || ifnull(UserBase,'') || ifnull(UserWorkDate,'')) "
                u"from [User]"_s)
            .toString();
    typeIntoCell(0, column, text);
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().first().kind, MessageBox::Kind::Warning);
    QVERIFY2(m_boxes->texts().first().contains(title), qPrintable(m_boxes->texts().first()));
    users().setCurrentRow(1);
    QCOMPARE(
        m_db->scalar(
                u"select group_concat(ifnull(UserAge,'') || ifnull(UserBase,'') || ifnull(UserWorkDate,'')) "
                u"from [User]"_s)
            .toString(),
        before);
}

void TestRoster::deleteKeyAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("yes") << int(MessageBox::Answer::Yes) << 1;
    QTest::newRow("cancel") << int(MessageBox::Answer::Cancel) << 2;
}

void TestRoster::deleteKeyAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(int, left);
    m_boxes->queueAnswer(MessageBox::Answer(answer));
    users().setCurrentRow(0);
    QTest::keyClick(m_form->DBGridEh4->view(), Qt::Key_Delete);
    QCOMPARE(m_boxes->texts(), QStringList{u"是否确定删除当前记录?删除当前记录将无法恢复"_s});
    QCOMPARE(m_db->scalar(u"select count(*) from [User]"_s).toInt(), left);
    QCOMPARE(m_db->scalar(u"select count(*) from RecordTable where RecordUser='张三'"_s).toInt(), 1);
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
        [&printed](const ReportComponent& report) { printed = report.preparedPages().first().text(); });
    m_form->btn8->click();
    QVERIFY(m_boxes->shown().isEmpty());
    QVERIFY2(printed.contains(u"O'Neil"_s) && printed.contains(u"共 2 人"_s), qPrintable(printed));
}

QTEST_MAIN(TestRoster)
#include "tst_Roster.moc"
