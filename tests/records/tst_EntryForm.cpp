#include "Clerk.h"
#include "EntryStore.h"
#include "FailedOpening.h"
#include "InputUnit.h"
#include "MessageBoxRecorder.h"
#include "NumberEdit.h"
#include "ReportComponent.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDate Day(2026, 12, 10);

} // namespace

class TestEntryForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void amountFollowsPriceAndPieces_data();
    void amountFollowsPriceAndPieces();
    void badPriceIsWarnedWhileTyping();
    void proposedSerialFollowsLastAdded();
    void leavingCombosLooksUpWorkType_data();
    void leavingCombosLooksUpWorkType();
    void saveChecksInOrder_data();
    void saveChecksInOrder();
    void newEntryIsSaved();
    void secondEntryOfTheDayOnlyThroughEdit();
    void editLoadsAndChangesTheEntry();
    void deleteAsksAndReportsWhatHappened();
    void failedSaveKeepsTheTypedValues();
    void billPrintsTheStoredEntry();
    void priceBoxTakesWhatIsTyped();
    void onlyFiniteNumbersAreSaved_data();
    void onlyFiniteNumbersAreSaved();
    void failedOpeningClosesTheForm();

private:
    void open(int mode, int index = 0);
    void type(const QString& serial, const QString& user, const QString& workSerial, const QString& price,
              const QString& pieces);
    int entries() { return m_db->scalar(u"select count(*) from RecordTable"_s).toInt(); }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
    std::unique_ptr<TInputfrm> m_form;
};

void TestEntryForm::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(
        u"insert into [Counter] (CounterSerial, CounterName, CounterUnit) values ('01', '车工', '件'), "
        u"('0''2', '包''装', '箱')"_s);
    m_db->exec(u"insert into Price (PriceCounter, PriceValue) values (1, 0.35), (1, 0.4), (2, 1.2)"_s);
    m_db->exec(
        u"insert into [User] (UserName, UserCounterName) values ('张三', '车工'), ('O''Neil', '包''装')"_s);
    m_db->exec(
        u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter, RecordPrice, RecordNumber, "
        u"RecordSum, RecordRecordDate, RecordSystemDate) values ('Z-99', '张三', 1, 0.35, 10, 3.5, "
        u"'2026-12-09', '2026-12-09'), ('A009', '张三', 1, 0.35, 100, 35, '2026-12-10', '2026-12-10')"_s);
    m_boxes = std::make_unique<MessageBoxRecorder>();
    m_form = std::make_unique<TInputfrm>();
}

void TestEntryForm::cleanup()
{
    ReportComponent::setPreviewHandler({});
    m_form.reset();
    m_boxes.reset();
    m_db.reset();
}

void TestEntryForm::open(int mode, int index)
{
    m_form->EditMode = mode;
    m_form->EditIndex = index;
    m_form->newEntryDate = Day;
    QVERIFY(Clerk::showActive(m_form.get()));
}

void TestEntryForm::type(const QString& serial, const QString& user, const QString& workSerial,
                         const QString& price, const QString& pieces)
{
    m_form->edtSerial->setText(serial);
    m_form->cbxName->setEditText(user);
    m_form->cbxWorkSerial->setEditText(workSerial);
    m_form->cbxPrice->setEditText(price);
    m_form->edtNumber->setText(pieces);
}

void TestEntryForm::amountFollowsPriceAndPieces_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("pieces");
    QTest::addColumn<double>("amount");
    QTest::newRow("0.3333 × 3 rounds up to 1") << u"0.3333"_s << u"3"_s << 1.0;
    QTest::newRow("2.5 × 4") << u"2.5"_s << u"4"_s << 10.0;
    QTest::newRow("0.05 × 3001") << u"0.05"_s << u"3001"_s << 150.05;
    QTest::newRow("tie 0.0005 goes down to even") << u"0.0005"_s << u"1"_s << 0.0;
    QTest::newRow("tie 0.0015 goes up to even") << u"0.0015"_s << u"1"_s << 0.002;
    QTest::newRow("tie 0.0025 goes down to even") << u"0.0025"_s << u"1"_s << 0.002;
    QTest::newRow("pieces with decimals") << u"1.2"_s << u"2.5"_s << 3.0;
}

void TestEntryForm::amountFollowsPriceAndPieces()
{
    QFETCH(QString, price);
    QFETCH(QString, pieces);
    QFETCH(double, amount);
    open(0);
    m_form->cbxPrice->setEditText(price);
    QTest::keyClicks(m_form->edtNumber, pieces);
    QCOMPARE(m_form->edtAmount->text(), QString::number(amount));
    QCOMPARE(EntryStore::amount(price.toDouble(), pieces.toDouble()), amount);
    // Emptying the pieces keeps the last amount.
    m_form->edtNumber->clear();
    QCOMPARE(m_form->edtAmount->value().toDouble(), amount);
    QVERIFY(m_boxes->shown().isEmpty());
}

void TestEntryForm::badPriceIsWarnedWhileTyping()
{
    open(0);
    m_form->cbxPrice->setEditText(u"1.2x"_s);
    QCOMPARE(m_boxes->texts(), QStringList{u"输入的单价格式有误，请重新录入"_s});
    QCOMPARE(m_boxes->shown().first().kind, MessageBox::Kind::Warning);
}

void TestEntryForm::proposedSerialFollowsLastAdded()
{
    open(0);
    QCOMPARE(m_form->edtSerial->text(), u"A010"_s);
    QCOMPARE(m_form->dtDate->date(), Day);
    QCOMPARE(m_form->edtNumber->text(), u"0"_s);
    m_form->btn1->click();
    m_db->exec(u"delete from RecordTable where RecordSerial='A009'"_s);
    open(0);
    QCOMPARE(m_form->edtSerial->text(), u"A-00"_s);
    m_form->btn1->click();
    m_db->exec(u"delete from RecordTable"_s);
    open(0);
    QCOMPARE(m_form->edtSerial->text(), QString());
}

void TestEntryForm::leavingCombosLooksUpWorkType_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("prices");
    QTest::newRow("work-type code") << u"cbxWorkSerial"_s << u"0'2"_s << u"0'2"_s << u"包'装"_s
                                    << QStringList{u"1.2"_s};
    QTest::newRow("work-type name") << u"cbxWorkName"_s << u"车工"_s << u"01"_s << u"车工"_s
                                    << QStringList{u"0.35"_s, u"0.4"_s};
    QTest::newRow("worker") << u"cbxName"_s << u"o'neil"_s << u"0'2"_s << u"包'装"_s << QStringList{u"1.2"_s};
    QTest::newRow("unknown worker changes nothing")
        << u"cbxName"_s << u"新人"_s << QString() << QString() << QStringList{u"9.9"_s};
}

void TestEntryForm::leavingCombosLooksUpWorkType()
{
    QFETCH(QString, combo);
    QFETCH(QString, text);
    QFETCH(QString, serial);
    QFETCH(QString, name);
    QFETCH(QStringList, prices);
    open(0);
    m_form->cbxPrice->addItem(u"9.9"_s);
    auto* box = m_form->findChild<QComboBox*>(combo);
    box->setFocus();
    box->setEditText(text);
    m_form->edtRemark->setFocus();
    QCOMPARE(m_form->cbxWorkSerial->currentText(), serial);
    QCOMPARE(m_form->cbxWorkName->currentText(), name);
    QStringList listed;
    for (int i = 0; i < m_form->cbxPrice->count(); ++i)
        listed << m_form->cbxPrice->itemText(i);
    QCOMPARE(listed, prices);
    QVERIFY(m_boxes->shown().isEmpty());
}

void TestEntryForm::saveChecksInOrder_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kind");
    const int information = int(MessageBox::Kind::Information);
    const int warning = int(MessageBox::Kind::Warning);
    QTest::newRow("bill number first") << QStringList{QString(), QString(), QString(), QString(), QString()}
                                       << u"请录入计件单据编号"_s << information;
    QTest::newRow("worker") << QStringList{u"B1"_s, QString(), QString(), QString(), QString()}
                            << u"请录入计件的属主"_s << information;
    QTest::newRow("work-type code") << QStringList{u"B1"_s, u"李四"_s, QString(), QString(), QString()}
                                    << u"请输入工种编号"_s << information;
    QTest::newRow("price") << QStringList{u"B1"_s, u"李四"_s, u"01"_s, QString(), QString()}
                           << u"请输入计算的单价"_s << information;
    QTest::newRow("pieces") << QStringList{u"B1"_s, u"李四"_s, u"01"_s, u"0.35"_s, QString()}
                            << u"请输入计算的件数"_s << information;
    QTest::newRow("price format") << QStringList{u"B1"_s, u"李四"_s, u"01"_s, u"1,5"_s, u"3"_s}
                                  << u"输入的单价格式有误，请重新录入"_s << warning;
    QTest::newRow("unknown work type") << QStringList{u"B1"_s, u"李四"_s, u"09"_s, u"0.35"_s, u"3"_s}
                                       << u"工种编号“09”不存在，请选择已有的工种"_s << warning;
    QTest::newRow("worker already entered today")
        << QStringList{u"B1"_s, u"张三"_s, u"01"_s, u"0.35"_s, u"3"_s}
        << u"该用户今天已经入帐！请选择其它用户"_s << information;
}

void TestEntryForm::saveChecksInOrder()
{
    QFETCH(QStringList, inputs);
    QFETCH(QString, message);
    QFETCH(int, kind);
    open(0);
    type(inputs[0], inputs[1], inputs[2], inputs[3], inputs[4]);
    m_boxes->clear();
    m_form->btn2->click();
    QCOMPARE(m_boxes->texts().last(), message);
    QCOMPARE(int(m_boxes->shown().last().kind), kind);
    QVERIFY(m_form->isVisible());
    QCOMPARE(entries(), 2);
}

void TestEntryForm::newEntryIsSaved()
{
    open(0);
    type(u"A010"_s, u"O'Neil"_s, u"0'2"_s, u"1.2"_s, u"85"_s);
    m_form->edtRemark->setText(u"加急'单"_s);
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(m_db->rowText(
                 u"select RecordSerial, RecordUser, RecordCounter, RecordPrice, RecordNumber, RecordSum, "
                 u"RecordRecordDate, RecordSystemDate, RecordRemark from RecordTable "
                 u"where RecordSerial='A010'"_s),
             u"A010|O'Neil|2|1.2|85|102|2026-12-10|2026-12-10|加急'单"_s);
}

void TestEntryForm::secondEntryOfTheDayOnlyThroughEdit()
{
    open(0);
    type(u"B1"_s, u"张三"_s, u"01"_s, u"0.4"_s, u"5"_s);
    m_form->dtDate->setDate(Day.addDays(1));
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(entries(), 3);

    const int index =
        m_db->scalar(u"select RecordIndex from RecordTable where RecordSerial='Z-99'"_s).toInt();
    open(1, index);
    m_form->dtDate->setDate(Day);
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(
        m_db->scalar(u"select count(*) from RecordTable where RecordUser='张三' and RecordRecordDate=?"_s,
                     {Day.toString(Qt::ISODate)})
            .toInt(),
        2);
}

void TestEntryForm::editLoadsAndChangesTheEntry()
{
    const int index =
        m_db->scalar(u"select RecordIndex from RecordTable where RecordSerial='A009'"_s).toInt();
    open(1, index);
    QVERIFY(m_form->btnDel->isVisible() && m_form->btn3->isVisible());
    QCOMPARE(m_form->edtSerial->text(), u"A009"_s);
    QCOMPARE(m_form->cbxName->currentText(), u"张三"_s);
    QCOMPARE(m_form->cbxWorkSerial->currentText(), u"01"_s);
    QCOMPARE(m_form->cbxWorkName->currentText(), u"车工"_s);
    QCOMPARE(m_form->cbxWorkUnit->text(), u"件"_s);
    QCOMPARE(m_form->cbxPrice->currentText(), u"0.35"_s);
    QCOMPARE(m_form->edtNumber->text(), u"100"_s);
    QCOMPARE(m_form->edtAmount->text(), u"35"_s);
    QCOMPARE(m_form->dtDate->date(), Day);
    m_form->edtNumber->setText(u"120"_s);
    QCOMPARE(m_form->edtAmount->value().toDouble(), 42.0);
    m_form->btn2->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(m_db->rowText(u"select RecordNumber, RecordSum from RecordTable where RecordIndex=?"_s, {index}),
             u"120|42"_s);
    QCOMPARE(entries(), 2);
    m_form->EditMode = 0;
    m_form->hide();
    open(0);
    QVERIFY(!m_form->btnDel->isVisible() && !m_form->btn3->isVisible());
}

void TestEntryForm::deleteAsksAndReportsWhatHappened()
{
    const int index =
        m_db->scalar(u"select RecordIndex from RecordTable where RecordSerial='A009'"_s).toInt();
    m_boxes->queueAnswer(MessageBox::Answer::Cancel);
    open(1, index);
    m_form->btnDel->click();
    QCOMPARE(m_boxes->texts(), QStringList{u"确定删除本记录？删除后无法恢复!"_s});
    QCOMPARE(entries(), 2);
    QVERIFY(m_form->isVisible());

    m_db->exec(u"delete from RecordTable where RecordIndex=?"_s, {index});
    m_boxes->clear();
    m_form->btnDel->click();
    QCOMPARE(m_boxes->shown().size(), 2);
    QCOMPARE(m_boxes->shown().last().kind, MessageBox::Kind::Error);
    QVERIFY2(m_boxes->texts().last().contains(u"没有删除"_s), qPrintable(m_boxes->texts().last()));
    QVERIFY(m_form->isVisible());

    const int other = m_db->scalar(u"select RecordIndex from RecordTable"_s).toInt();
    m_form->hide();
    open(1, other);
    m_form->btnDel->click();
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(entries(), 0);
}

void TestEntryForm::failedSaveKeepsTheTypedValues()
{
    m_db->refuse(u"refuse"_s, u"insert"_s, u"RecordTable"_s, u"disk full"_s);
    open(0);
    type(u"B7"_s, u"李四"_s, u"01"_s, u"0.4"_s, u"5"_s);
    m_form->btn2->click();
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().first().kind, MessageBox::Kind::Error);
    QVERIFY(m_boxes->texts().first().contains(u"disk full"_s));
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_form->edtSerial->text(), u"B7"_s);
    QCOMPARE(m_form->edtAmount->value().toDouble(), 2.0);
    QCOMPARE(entries(), 2);
}

void TestEntryForm::billPrintsTheStoredEntry()
{
    QVERIFY(QDir(m_db->folder()).mkdir(u"frf"_s));
    QVERIFY(QFile::copy(QStringLiteral(QIRVO_FRF_DIR) + u"/Bill.frf"_s, m_db->folder() + u"frf/Bill.frf"_s));
    QString printed;
    ReportComponent::setPreviewHandler(
        [&printed](const ReportComponent& report) { printed = report.preparedPages().page(0).text(); });
    const int index =
        m_db->scalar(u"select RecordIndex from RecordTable where RecordSerial='A009'"_s).toInt();
    open(1, index);
    m_form->edtNumber->setText(u"999"_s);
    m_form->btn3->click();
    QVERIFY(m_boxes->shown().isEmpty());
    QVERIFY2(printed.contains(u"单据编号：A009"_s) && printed.contains(u"件    数：100"_s),
             qPrintable(printed));
    QVERIFY(m_form->isVisible());
}

// A clerk who types 2 into the price box is paid at 2, not at a listed 2.675 that starts the same, and
// no amount stays on show once the price box is emptied.
void TestEntryForm::priceBoxTakesWhatIsTyped()
{
    m_db->exec(u"insert into Price (PriceCounter, PriceValue) values (1, 2.675)"_s);
    open(0);
    Clerk::click(m_form->cbxName);
    Clerk::type(u"张三"_s);
    Clerk::click(m_form->cbxPrice);
    QCOMPARE(m_form->cbxPrice->count(), 3);
    Clerk::type(u"2"_s);
    Clerk::press(Qt::Key_Tab);
    QCOMPARE(m_form->cbxPrice->currentText(), u"2"_s);
    QCOMPARE(QApplication::focusWidget(), m_form->edtNumber);
    Clerk::press(Qt::Key_Backspace);
    Clerk::type(u"3"_s);
    QCOMPARE(m_form->edtAmount->text(), u"6"_s);

    Clerk::click(m_form->cbxName);
    Clerk::click(m_form->edtRemark);
    QCOMPARE(m_form->cbxPrice->currentText(), QString());
    QCOMPARE(m_form->edtAmount->text(), QString());
    QVERIFY(m_boxes->shown().isEmpty());
}

void TestEntryForm::onlyFiniteNumbersAreSaved_data()
{
    QTest::addColumn<QString>("price");
    QTest::newRow("nan") << u"nan"_s;
    QTest::newRow("inf") << u"inf"_s;
    QTest::newRow("-inf") << u"-inf"_s;
    QTest::newRow("1e308") << u"1e308"_s;
}

void TestEntryForm::onlyFiniteNumbersAreSaved()
{
    QFETCH(QString, price);
    open(0);
    type(u"B8"_s, u"李四"_s, u"01"_s, price, u"5"_s);
    m_form->btn2->click();
    QVERIFY(m_boxes->texts().contains(u"输入的单价格式有误，请重新录入"_s));
    QVERIFY(m_form->isVisible());
    QCOMPARE(entries(), 2);
}

void TestEntryForm::failedOpeningClosesTheForm()
{
    m_form->EditMode = 1;
    m_form->EditIndex = 999;
    ExpectFailedOpeningCloses(*m_form, *m_boxes);
    QCOMPARE(entries(), 2);
}

QTEST_MAIN(TestEntryForm)
#include "tst_EntryForm.moc"
