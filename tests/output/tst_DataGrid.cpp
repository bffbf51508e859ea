#include "Clerk.h"
#include "DataGrid.h"
#include "FooterAggregates.h"
#include "MessageBoxRecorder.h"
#include "Query.h"
#include "QueryTableModel.h"
#include "ShareDMUnit.h"
#include "TestDatabase.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDataGrid : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modelPassesTester();
    void footersFollowTheQuery();
    void highlightedRowIsCurrentRow();
    void downOnLastRowAppendsOnlyInEditGrids();
    void homeAndEndInAListGoToFirstAndLastRow();
    void clickingACellOpensNoEditor();
    void insertAndEscape();
    void typedCellIsPostedOnRowChange();
    void ctrlDeleteAsksFirst_data();
    void ctrlDeleteAsksFirst();
    void untouchedNewRowIsDroppedOnExit();
    void doubleClickOnRowOnly();
    void windowedFootersEqualTheDatabase();

private:
    static GridColumn column(const QString& field, GridColumn::Footer footer = GridColumn::Footer::None);
    QList<GridColumn> rewardColumns() const;
    Query& query() { return *m_query; }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Query> m_query;
};

void TestDataGrid::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(u"insert into jcheng (jchengUser, jchengSum) values ('a', 10), ('b', -2.5), ('c', null)"_s);
    m_query = std::make_unique<Query>(m_db->shareDM().ADOConnection1);
}

void TestDataGrid::cleanup()
{
    m_query.reset();
    m_db.reset();
}

GridColumn TestDataGrid::column(const QString& field, GridColumn::Footer footer)
{
    GridColumn result;
    result.fieldName = field;
    result.title = field;
    result.footer = footer;
    return result;
}

QList<GridColumn> TestDataGrid::rewardColumns() const
{
    return {column(u"jchengUser"_s, GridColumn::Footer::Count), column(u"jchengReson"_s),
            column(u"jchengSum"_s, GridColumn::Footer::Sum)};
}

void TestDataGrid::modelPassesTester()
{
    QueryTableModel model(query());
    model.setColumns(rewardColumns());
    model.setEditable(true);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    OpenQuery(query(), u"select * from jcheng"_s);
    QCOMPARE(model.rowCount(), 3);
    query().append();
    QCOMPARE(model.rowCount(), 4);
    query().setValue(u"jchengUser"_s, u"d"_s);
    query().post();
    query().remove();
    QCOMPARE(model.rowCount(), 3);
    OpenQuery(query(), u"select * from jcheng where jchengSum>0"_s);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(model.index(0, 2)).toString(), u"10"_s);
    QCOMPARE(model.data(model.index(0, 2), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    query().close();
    QCOMPARE(model.rowCount(), 0);
}

void TestDataGrid::footersFollowTheQuery()
{
    MessageBoxRecorder boxes;
    DataGrid grid(DataGrid::Kind::List, query());
    grid.setColumns(rewardColumns());
    grid.setFooterVisible(true);
    OpenQuery(query(), u"select * from jcheng"_s);
    QCOMPARE(grid.footerTexts(), (QStringList{u"3"_s, QString(), u"7.5"_s}));

    OpenQuery(query(), u"select * from jcheng where jchengSum<0"_s);
    QCOMPARE(grid.footerTexts(), (QStringList{u"1"_s, QString(), u"-2.5"_s}));
    OpenQuery(query(), u"select * from jcheng where 0=1"_s);
    QCOMPARE(grid.footerTexts(), (QStringList{u"0"_s, QString(), u"0"_s}));

    OpenQuery(query(), u"select * from jcheng"_s);
    query().append();
    query().setValue(u"jchengSum"_s, 0.25);
    QCOMPARE(grid.footerTexts().last(), u"7.75"_s);
    query().post();
    QCOMPARE(grid.footerTexts().first(), u"4"_s);
    query().first();
    query().edit();
    query().setValue(u"jchengSum"_s, 100);
    query().post();
    QCOMPARE(grid.footerTexts().last(), u"97.75"_s);
    query().remove();
    QCOMPARE(grid.footerTexts(), (QStringList{u"3"_s, QString(), u"-2.25"_s}));
}

void TestDataGrid::highlightedRowIsCurrentRow()
{
    DataGrid grid(DataGrid::Kind::List, query());
    grid.setColumns(rewardColumns());
    OpenQuery(query(), u"select * from jcheng"_s);
    QCOMPARE(grid.view()->currentIndex().row(), 0);
    query().last();
    QCOMPARE(grid.view()->currentIndex().row(), 2);
    grid.view()->setCurrentIndex(grid.view()->model()->index(1, 0));
    QCOMPARE(query().currentRow(), 1);
    QVERIFY(grid.view()->selectionModel()->isRowSelected(1, {}));
}

void TestDataGrid::downOnLastRowAppendsOnlyInEditGrids()
{
    for (const DataGrid::Kind kind : {DataGrid::Kind::List, DataGrid::Kind::Edit}) {
        DataGrid grid(kind, query());
        grid.setColumns(rewardColumns());
        OpenQuery(query(), u"select * from jcheng"_s);
        query().last();
        QTest::keyClick(grid.view(), Qt::Key_Down);
        const bool appends = kind == DataGrid::Kind::Edit;
        QCOMPARE(query().recordCount(), appends ? 4 : 3);
        QCOMPARE(query().state(), appends ? Query::State::Insert : Query::State::Browse);
        // A second press on the untouched new row adds no further row.
        QTest::keyClick(grid.view(), Qt::Key_Down);
        QCOMPARE(query().recordCount(), appends ? 4 : 3);
        query().cancel();
    }
}

void TestDataGrid::homeAndEndInAListGoToFirstAndLastRow()
{
    DataGrid grid(DataGrid::Kind::List, query());
    grid.setColumns(rewardColumns());
    QVERIFY(Clerk::showActive(&grid));
    OpenQuery(query(), u"select * from jcheng"_s);
    Clerk::clickCell(grid.view(), 1, 1);
    Clerk::press(Qt::Key_End);
    QCOMPARE(query().currentRow(), 2);
    QVERIFY(grid.view()->selectionModel()->isRowSelected(2, {}));
    Clerk::press(Qt::Key_Home);
    QCOMPARE(query().currentRow(), 0);
    QVERIFY(grid.view()->selectionModel()->isRowSelected(0, {}));
}

// A click only makes the cell current; typing, F2 or a double click open its editor.
void TestDataGrid::clickingACellOpensNoEditor()
{
    DataGrid grid(DataGrid::Kind::Edit, query());
    grid.setColumns(rewardColumns());
    QVERIFY(Clerk::showActive(&grid));
    OpenQuery(query(), u"select * from jcheng"_s);
    QTableView* view = grid.view();
    Clerk::clickCell(view, 1, 1);
    QCOMPARE(QApplication::focusWidget(), view);
    Clerk::press(Qt::Key_F2);
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    Clerk::press(Qt::Key_Escape);
    Clerk::clickCell(view, 2, 0);
    QCOMPARE(QApplication::focusWidget(), view);
    Clerk::type(u"x"_s);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->text(), u"x"_s);
    Clerk::press(Qt::Key_Escape);
    Clerk::doubleClickCell(view, 0, 0);
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
}

void TestDataGrid::insertAndEscape()
{
    DataGrid grid(DataGrid::Kind::Edit, query());
    grid.setColumns(rewardColumns());
    OpenQuery(query(), u"select * from jcheng"_s);
    query().setCurrentRow(1);
    QTest::keyClick(grid.view(), Qt::Key_Insert);
    QCOMPARE(query().state(), Query::State::Insert);
    QCOMPARE(query().currentRow(), 1);
    QCOMPARE(query().recordCount(), 4);
    QTest::keyClick(grid.view(), Qt::Key_Escape);
    QCOMPARE(query().state(), Query::State::Browse);
    QCOMPARE(query().recordCount(), 3);
    QCOMPARE(m_db->scalar(u"select count(*) from jcheng"_s).toInt(), 3);
}

void TestDataGrid::typedCellIsPostedOnRowChange()
{
    DataGrid grid(DataGrid::Kind::Edit, query());
    grid.setColumns(rewardColumns());
    QVERIFY(Clerk::showActive(&grid));
    OpenQuery(query(), u"select * from jcheng"_s);
    Clerk::clickCell(grid.view(), 0, 1);
    Clerk::press(Qt::Key_F2);
    Clerk::type(u"全勤'奖"_s);
    Clerk::press(Qt::Key_Down);
    QCOMPARE(query().currentRow(), 1);
    QCOMPARE(query().state(), Query::State::Browse);
    QCOMPARE(m_db->scalar(u"select jchengReson from jcheng where jchengUser='a'"_s).toString(), u"全勤'奖"_s);
}

void TestDataGrid::ctrlDeleteAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("rowsLeft");
    QTest::newRow("OK deletes") << int(MessageBox::Answer::Ok) << 2;
    QTest::newRow("Cancel keeps") << int(MessageBox::Answer::Cancel) << 3;
}

void TestDataGrid::ctrlDeleteAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(int, rowsLeft);
    MessageBoxRecorder boxes;
    boxes.queueAnswer(MessageBox::Answer(answer));
    DataGrid grid(DataGrid::Kind::List, query());
    grid.setColumns(rewardColumns());
    OpenQuery(query(), u"select * from jcheng"_s);
    QTest::keyClick(grid.view(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(boxes.texts(), QStringList{u"Delete record?"_s});
    QCOMPARE(boxes.shown().first().kind, MessageBox::Kind::AskOkCancel);
    QCOMPARE(query().recordCount(), rowsLeft);
    QCOMPARE(m_db->scalar(u"select count(*) from jcheng"_s).toInt(), rowsLeft);
}

void TestDataGrid::untouchedNewRowIsDroppedOnExit()
{
    QWidget window;
    auto* grid = new DataGrid(DataGrid::Kind::Edit, query(), &window);
    grid->setColumns(rewardColumns());
    auto* elsewhere = new QLineEdit(&window);
    QVERIFY(Clerk::showActive(&window));
    QSignalSpy exited(grid, &DataGrid::exited);
    OpenQuery(query(), u"select * from jcheng"_s);
    Clerk::clickCell(grid->view(), 2, 0);
    Clerk::press(Qt::Key_Down);
    QCOMPARE(query().state(), Query::State::Insert);
    Clerk::click(elsewhere);
    QTRY_COMPARE(exited.count(), 1);
    QCOMPARE(query().state(), Query::State::Browse);
    QCOMPARE(query().recordCount(), 3);
}

void TestDataGrid::doubleClickOnRowOnly()
{
    DataGrid grid(DataGrid::Kind::List, query());
    grid.setColumns(rewardColumns());
    grid.resize(400, 300);
    QVERIFY(Clerk::showActive(&grid));
    QSignalSpy clicks(&grid, &DataGrid::dblClick);
    OpenQuery(query(), u"select * from jcheng"_s);
    QTableView* view = grid.view();
    const QRect second = view->visualRect(view->model()->index(1, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(query().currentRow(), 1);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, view->viewport()->height() - 5));
    QCOMPARE(clicks.count(), 1);
}

// A list far longer than its window of rows: its footers are the database's own count and sum after
// it opens, after the clerk deletes a row far down, and after rows were added and changed elsewhere.
void TestDataGrid::windowedFootersEqualTheDatabase()
{
    for (int i = 0; i < 300; ++i)
        m_db->exec(u"insert into jcheng (jchengUser, jchengSum) values (?, ?)"_s,
                   {u"w%1"_s.arg(i), i * 0.7 - 50});
    const auto database = [this] {
        return QStringList{
            m_db->scalar(u"select count(*) from jcheng"_s).toString(), QString(),
            FooterAggregates::formatSum(m_db->scalar(u"select total(jchengSum) from jcheng"_s).toDouble())};
    };
    MessageBoxRecorder boxes;
    query().setWindowed(u"rowid"_s, 16);
    DataGrid grid(DataGrid::Kind::List, query());
    grid.setColumns(rewardColumns());
    grid.setFooterVisible(true);
    QVERIFY(Clerk::showActive(&grid));
    OpenQuery(query(), u"select * from jcheng"_s);
    QCOMPARE(grid.footerTexts(), database());

    Clerk::clickCell(grid.view(), 250, 0);
    const QString doomed = query().value(u"jchengUser"_s).toString();
    Clerk::press(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(boxes.texts(), QStringList{u"Delete record?"_s});
    QCOMPARE(m_db->scalar(u"select count(*) from jcheng where jchengUser=?"_s, {doomed}).toInt(), 0);
    QCOMPARE(grid.footerTexts(), database());

    m_db->exec(u"insert into jcheng (jchengUser, jchengSum) values ('new', 12.125)"_s);
    m_db->exec(u"update jcheng set jchengSum=jchengSum+1 where jchengUser like 'w1%'"_s);
    OpenQuery(query(), u"select * from jcheng"_s);
    QCOMPARE(grid.footerTexts(), database());
    Clerk::clickCell(grid.view(), 1, 0);
    Clerk::press(Qt::Key_End);
    QCOMPARE(query().value(u"jchengUser"_s).toString(), u"new"_s);
}

QTEST_MAIN(TestDataGrid)
#include "tst_DataGrid.moc"
