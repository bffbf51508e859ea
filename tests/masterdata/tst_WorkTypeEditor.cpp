#include "Clerk.h"
#include "DataGrid.h"
#include "FailedOpening.h"
#include "MessageBoxRecorder.h"
#include "Query.h"
#include "TestDatabase.h"
#include "gZhongUnit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWorkTypeEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addSavesWorkTypeWithItsPrices();
    void saveChecksInOrder_data();
    void saveChecksInOrder();
    void editKeepsOrChangesCode_data();
    void editKeepsOrChangesCode();
    void editDeletesPriceRowOnlyOnSave();
    void editWithoutPricesIsRefused();
    void cancelLeavesNoPlaceholder_data();
    void cancelLeavesNoPlaceholder();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void failedSaveWritesNothingAndCanBeRetried();
    void untypedNewPriceRowIsSavedWithItsWorkType();
    void typedPriceIsSavedByOk_data();
    void typedPriceIsSavedByOk();
    void deleteKeysOnAClickedPriceRow_data();
    void deleteKeysOnAClickedPriceRow();
    void failedOpeningClosesAndTouchesNoRow();

private:
    void open(int mode, int index = 0);
    void fill(const QString& code, const QString& name);
    void addPrice(double price, const QString& remark = {});
    QString tableState();
    // A work type's prices in the order they were added, joined by ','.
    QString priceList(int counter);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<TgZhongfrm> m_form;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
};

void TestWorkTypeEditor::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(
        u"insert into [Counter] (CounterSerial, CounterName, CounterUnit) values ('A1', '车工', '件'), "
        u"('0''2', '包装', '箱')"_s);
    m_db->exec(
        u"insert into Price (PriceCounter, PriceValue, PriceRemark) values (1, 0.35, '新手'), (1, 0.4, ''), "
        u"(2, 1.2, '')"_s);
    m_db->exec(u"insert into RecordTable (RecordUser, RecordCounter, RecordSum) values ('张三', 1, 420)"_s);
    m_boxes = std::make_unique<MessageBoxRecorder>();
    m_form = std::make_unique<TgZhongfrm>();
}

void TestWorkTypeEditor::cleanup()
{
    m_form.reset();
    m_boxes.reset();
    m_db.reset();
}

void TestWorkTypeEditor::open(int mode, int index)
{
    m_form->EditMode = mode;
    m_form->EditIndex = index;
    QVERIFY(Clerk::showActive(m_form.get()));
}

void TestWorkTypeEditor::fill(const QString& code, const QString& name)
{
    m_form->edt1->setText(code);
    m_form->cbx1->setEditText(name);
    m_form->cbx2->setEditText(u"件"_s);
    m_form->edt2->setText(u"备注'甲"_s);
}

void TestWorkTypeEditor::addPrice(double price, const QString& remark)
{
    m_form->ADOQueryPrice->append();
    m_form->ADOQueryPrice->setValue(u"PriceValue"_s, price);
    m_form->ADOQueryPrice->setValue(u"PriceRemark"_s, remark);
    m_form->ADOQueryPrice->post();
}

QString TestWorkTypeEditor::priceList(int counter)
{
    QStringList values;
    for (const QString& value : m_db->texts(u"select PriceValue from Price where PriceCounter=? order by "_s +
                                                m_db->rowKey(u"Price"_s),
                                            {counter}))
        values << QString::number(value.toDouble());
    return values.join(u',');
}

QString TestWorkTypeEditor::tableState()
{
    QStringList types;
    for (const QString& key : m_db->texts(u"select CounterIndex from [Counter] order by CounterIndex"_s))
        types << m_db->rowText(
            u"select CounterIndex, CounterSerial, CounterName from [Counter] where CounterIndex=?"_s, {key});
    QStringList prices;
    for (const QString& row :
         m_db->texts(u"select %1 from Price order by %1"_s.arg(m_db->rowKey(u"Price"_s))))
        prices << m_db->rowText(
            u"select PriceCounter, PriceValue from Price where %1=?"_s.arg(m_db->rowKey(u"Price"_s)), {row});
    return types.join(u';') + u" / "_s + prices.join(u';');
}

void TestWorkTypeEditor::addSavesWorkTypeWithItsPrices()
{
    open(0);
    QVERIFY(!m_form->btn3->isVisible());
    const int key = m_form->EditIndex;
    QCOMPARE(m_db->scalar(u"select CounterSerial from [Counter] where CounterIndex=?"_s, {key}).toString(),
             u"mark"_s);
    fill(u"03"_s, u"质检"_s);
    addPrice(0.05, u"普通"_s);
    QCOMPARE(m_db->scalar(u"select count(*) from Price where PriceCounter=?"_s, {key}).toInt(), 0);
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_db->scalar(u"select count(*) from [Counter]"_s).toInt(), 3);
    QCOMPARE(m_db->rowText(u"select CounterSerial, CounterName, CounterUnit, CounterRemark from [Counter] "
                           u"where CounterIndex=?"_s,
                           {key}),
             u"03|质检|件|备注'甲"_s);
    QCOMPARE(m_db->texts(u"select PriceRemark from Price where PriceCounter=?"_s, {key}),
             QStringList{u"普通"_s});
    QCOMPARE(m_db->scalar(u"select PriceValue from Price where PriceCounter=?"_s, {key}).toDouble(), 0.05);
}

void TestWorkTypeEditor::saveChecksInOrder_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("withPrice");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kind");
    const int information = int(MessageBox::Kind::Information);
    const int warning = int(MessageBox::Kind::Warning);
    QTest::newRow("no code before no name")
        << QString() << QString() << false << u"请输入工种的编号"_s << information;
    QTest::newRow("no name") << u"03"_s << QString() << false << u"请输入工种的名称"_s << information;
    QTest::newRow("code taken before no price")
        << u"A1"_s << u"x"_s << false << u"该工种编号已经存在，请重新录入"_s << warning;
    QTest::newRow("code taken, other case")
        << u"a1"_s << u"x"_s << true << u"该工种编号已经存在，请重新录入"_s << warning;
    QTest::newRow("code with quote taken")
        << u"0'2"_s << u"x"_s << true << u"该工种编号已经存在，请重新录入"_s << warning;
    QTest::newRow("placeholder code")
        << u"MARK"_s << u"x"_s << true << u"该工种编号已经存在，请重新录入"_s << warning;
    QTest::newRow("no price") << u"03"_s << u"质检"_s << false << u"请输入工种的半价项目"_s << warning;
}

void TestWorkTypeEditor::saveChecksInOrder()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(bool, withPrice);
    QFETCH(QString, message);
    QFETCH(int, kind);
    open(0);
    const QString before = tableState();
    fill(code, name);
    if (withPrice)
        addPrice(1);
    m_form->btn2->click();
    QCOMPARE(m_boxes->texts(), QStringList{message});
    QCOMPARE(int(m_boxes->shown().first().kind), kind);
    QVERIFY(m_form->isVisible());
    QCOMPARE(tableState(), before);
    m_form->btn1->click();
}

void TestWorkTypeEditor::editKeepsOrChangesCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("saved");
    QTest::newRow("unchanged") << u"A1"_s << true;
    QTest::newRow("new code") << u"09"_s << true;
    QTest::newRow("another's code with a quote") << u"0'2"_s << false;
    QTest::newRow("own code, other case counts as taken") << u"a1"_s << false;
}

void TestWorkTypeEditor::editKeepsOrChangesCode()
{
    QFETCH(QString, code);
    QFETCH(bool, saved);
    open(1, 1);
    QVERIFY(m_form->btn3->isVisible());
    QCOMPARE(m_form->edt1->text(), u"A1"_s);
    QCOMPARE(m_form->cbx1->currentText(), u"车工"_s);
    m_form->edt1->setText(code);
    m_form->btn2->click();
    QCOMPARE(m_form->result() == QDialog::Accepted && !m_form->isVisible(), saved);
    QCOMPARE(m_db->scalar(u"select CounterSerial from [Counter] where CounterIndex=1"_s).toString(),
             saved ? code : u"A1"_s);
    if (!saved)
        m_form->btn1->click();
}

void TestWorkTypeEditor::editDeletesPriceRowOnlyOnSave()
{
    open(1, 1);
    QCOMPARE(m_form->ADOQueryPrice->recordCount(), 2);
    Clerk::clickCell(m_form->DBGridEh1->view(), 0, 1);
    Clerk::press(Qt::Key_Delete);
    QCOMPARE(m_form->ADOQueryPrice->recordCount(), 1);
    QCOMPARE(m_db->scalar(u"select count(*) from Price where PriceCounter=1"_s).toInt(), 2);
    m_form->ADOQueryPrice->edit();
    m_form->ADOQueryPrice->setValue(u"PriceValue"_s, 0.45);
    m_form->cbx1->setEditText(u"车工二"_s);
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(priceList(1), u"0.45"_s);
    QCOMPARE(m_db->scalar(u"select CounterName from [Counter] where CounterIndex=1"_s).toString(),
             u"车工二"_s);
}

void TestWorkTypeEditor::editWithoutPricesIsRefused()
{
    open(1, 1);
    const QString before = tableState();
    while (m_form->ADOQueryPrice->recordCount() > 0)
        QTest::keyClick(m_form->DBGridEh1->view(), Qt::Key_Delete);
    m_form->btn2->click();
    QCOMPARE(m_boxes->texts(), QStringList{u"请输入工种的半价项目"_s});
    QCOMPARE(tableState(), before);
    m_form->btn1->click();
    QCOMPARE(tableState(), before);
}

void TestWorkTypeEditor::cancelLeavesNoPlaceholder_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("how");
    for (const int mode : {0, 1})
        for (const QString& how : {u"button"_s, u"close box"_s, u"escape"_s})
            QTest::newRow(qPrintable(u"%1 mode, %2"_s.arg(mode ? u"edit"_s : u"add"_s, how))) << mode << how;
}

void TestWorkTypeEditor::cancelLeavesNoPlaceholder()
{
    QFETCH(int, mode);
    QFETCH(QString, how);
    const QString before = tableState();
    open(mode, 1);
    addPrice(9.5);
    fill(u"07"_s, u"x"_s);
    if (how == u"button")
        m_form->btn1->click();
    else if (how == u"close box")
        m_form->close();
    else
        QTest::keyClick(m_form->edt1, Qt::Key_Escape);
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    QCOMPARE(tableState(), before);
}

void TestWorkTypeEditor::deleteAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("yes") << int(MessageBox::Answer::Yes) << true;
    QTest::newRow("cancel") << int(MessageBox::Answer::Cancel) << false;
}

void TestWorkTypeEditor::deleteAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(bool, deleted);
    m_boxes->queueAnswer(MessageBox::Answer(answer));
    open(1, 1);
    m_form->btn3->click();
    QCOMPARE(m_boxes->texts(), QStringList{u"确定要删除该工种及其单据项？"_s});
    QCOMPARE(m_boxes->shown().first().kind, MessageBox::Kind::AskYesCancel);
    QCOMPARE(m_db->scalar(u"select count(*) from [Counter] where CounterIndex=1"_s).toInt(), deleted ? 0 : 1);
    QCOMPARE(m_db->scalar(u"select count(*) from Price where PriceCounter=1"_s).toInt(), deleted ? 0 : 2);
    QCOMPARE(m_db->scalar(u"select count(*) from RecordTable where RecordCounter=1"_s).toInt(), 1);
    QCOMPARE(m_form->isVisible(), !deleted);
    if (!deleted)
        m_form->btn1->click();
}

void TestWorkTypeEditor::failedSaveWritesNothingAndCanBeRetried()
{
    open(0);
    const int key = m_form->EditIndex;
    fill(u"05"_s, u"烫平"_s);
    addPrice(0.8);
    addPrice(0.9);
    const QString before = tableState();
    m_db->refuse(u"refuse"_s, u"update"_s, u"Counter"_s, u"disk full"_s);
    m_form->btn2->click();
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().first().kind, MessageBox::Kind::Error);
    QVERIFY2(m_boxes->texts().first().contains(u"disk full"_s), qPrintable(m_boxes->texts().first()));
    QVERIFY(m_form->isVisible());
    QCOMPARE(tableState(), before);

    m_db->stopRefusing(u"refuse"_s, u"Counter"_s);
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(m_db->scalar(u"select count(*) from Price where PriceCounter=?"_s, {key}).toInt(), 2);
    QCOMPARE(m_db->scalar(u"select CounterName from [Counter] where CounterIndex=?"_s, {key}).toString(),
             u"烫平"_s);
}

void TestWorkTypeEditor::untypedNewPriceRowIsSavedWithItsWorkType()
{
    open(0);
    const int key = m_form->EditIndex;
    fill(u"06"_s, u"缝纫"_s);
    m_form->ADOQueryPrice->append();
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(m_db->scalar(u"select count(*) from Price where PriceCounter=? and PriceValue is null"_s, {key})
                 .toInt(),
             1);
}

void TestWorkTypeEditor::typedPriceIsSavedByOk_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("prices");
    QTest::newRow("edit, first price") << 1 << 0 << u"0.77,0.4"_s;
    QTest::newRow("edit, second price") << 1 << 1 << u"0.35,0.77"_s;
    QTest::newRow("add, new row") << 0 << 0 << u"0.77"_s;
}

// The clerk types into a price cell and clicks 确定 straight away: the typed price is the one stored.
void TestWorkTypeEditor::typedPriceIsSavedByOk()
{
    QFETCH(int, mode);
    QFETCH(int, row);
    QFETCH(QString, prices);
    open(mode, 1);
    if (mode == 0) {
        fill(u"08"_s, u"熨烫"_s);
        m_form->DBGridEh1->view()->setFocus();
        Clerk::press(Qt::Key_Down);
    }
    Clerk::clickCell(m_form->DBGridEh1->view(), row, 0);
    Clerk::type(u"0.77"_s);
    Clerk::click(m_form->btn2);
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(priceList(m_form->EditIndex), prices);
}

void TestWorkTypeEditor::deleteKeysOnAClickedPriceRow_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("Delete") << int(Qt::NoModifier) << QStringList();
    QTest::newRow("Ctrl+Delete") << int(Qt::ControlModifier) << QStringList{u"Delete record?"_s};
}

// The click moves the current cell to the second price; the key deletes that row, not its text.
void TestWorkTypeEditor::deleteKeysOnAClickedPriceRow()
{
    QFETCH(int, modifiers);
    QFETCH(QStringList, boxes);
    open(1, 1);
    Clerk::clickCell(m_form->DBGridEh1->view(), 1, 0);
    Clerk::press(Qt::Key_Delete, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_boxes->texts(), boxes);
    QCOMPARE(m_form->ADOQueryPrice->recordCount(), 1);
    QCOMPARE(m_db->scalar(u"select count(*) from Price where PriceCounter=1"_s).toInt(), 2);
    Clerk::click(m_form->btn2);
    QCOMPARE(priceList(1), u"0.35"_s);
}

// After editing A1, an add whose placeholder cannot be written shows why and closes: no button is
// left that could delete or overwrite A1.
void TestWorkTypeEditor::failedOpeningClosesAndTouchesNoRow()
{
    open(1, 1);
    Clerk::click(m_form->btn1);
    const QString before = tableState();
    m_db->refuse(u"locked"_s, u"insert"_s, u"Counter"_s, u"database is locked"_s);
    m_form->EditMode = 0;
    ExpectFailedOpeningCloses(*m_form, *m_boxes);
    QCOMPARE(tableState(), before);
}

QTEST_MAIN(TestWorkTypeEditor)
#include "tst_WorkTypeEditor.moc"
