#include "ListControls.h"
#include "MessageBoxRecorder.h"
#include "QirvoError.h"
#include "ShareDMUnit.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

class TestShareDMUnit : public QObject
{
    Q_OBJECT

private slots:
    void nextSerial_data();
    void nextSerial();
    void isFloat_data();
    void isFloat();
    void connectionStringNamesPathAndPassword();

    void fillDistinctListFoldsLetterCaseAndSkipsEmpty();
    void fillDistinctListOnEmptyTableSelectsNothing();
    void fillDistinctListWithWhereAndFirstItem();
    void lookupFieldValue();
    void lookupOfBrokenStatementRaises();
    void updateTwoFieldsInsertsWhenMissing();
    void updateTwoFieldsChangesOnlyFirstMatch();
    void updateTwoFieldsReportsFailure();
    void nameWithQuoteIsData();
    void checkRequired();
};

void TestShareDMUnit::nextSerial_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("next");
    QTest::newRow("digit") << u"A001"_s << u"A002"_s;
    QTest::newRow("digit carry") << u"A009"_s << u"A010"_s;
    QTest::newRow("letter and digit carry") << u"A9Z"_s << u"B0A"_s;
    QTest::newRow("all wrap, no growth") << u"999"_s << u"000"_s;
    QTest::newRow("both cases wrap") << u"Zz"_s << u"Aa"_s;
    QTest::newRow("carry over punctuation") << u"12-9"_s << u"13-0"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("Z") << u"Z"_s << u"A"_s;
    QTest::newRow("a9") << u"a9"_s << u"b0"_s;
    QTest::newRow("A-Z") << u"A-Z"_s << u"B-A"_s;
    QTest::newRow("ABC") << u"ABC"_s << u"ABD"_s;
    QTest::newRow("Chinese kept") << u"单9"_s << u"单0"_s;
    QTest::newRow("trailing blank") << u"A1 "_s << u"A2 "_s;
}

void TestShareDMUnit::nextSerial()
{
    QFETCH(QString, serial);
    QFETCH(QString, next);
    QCOMPARE(NextSerial(serial), next);
}

void TestShareDMUnit::isFloat_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::newRow("C: point") << u"C"_s << u"3.25"_s << true;
    QTest::newRow("C: comma") << u"C"_s << u"1,5"_s << false;
    QTest::newRow("C: empty") << u"C"_s << QString() << false;
    QTest::newRow("C: blank") << u"C"_s << u" "_s << false;
    QTest::newRow("C: negative") << u"C"_s << u"-7"_s << true;
    QTest::newRow("C: letters") << u"C"_s << u"12a"_s << false;
    QTest::newRow("zh_CN: point") << u"zh_CN"_s << u"0.5"_s << true;
    // One rule in every locale: what the lists show is what a typed number must look like.
    QTest::newRow("de: comma") << u"de_DE"_s << u"1,5"_s << false;
    QTest::newRow("de: point") << u"de_DE"_s << u"3.25"_s << true;
    QTest::newRow("C: grouped") << u"C"_s << u"1,500"_s << false;
    QTest::newRow("C: as listed, tiny") << u"C"_s << u"1e-05"_s << true;
    QTest::newRow("C: nan") << u"C"_s << u"nan"_s << false;
    QTest::newRow("C: inf") << u"C"_s << u"inf"_s << false;
    QTest::newRow("C: -inf") << u"C"_s << u"-inf"_s << false;
    QTest::newRow("C: overflowing") << u"C"_s << u"1e308"_s << false;
    QTest::newRow("C: beyond the bound") << u"C"_s << u"1000000000000"_s << false;
    QTest::newRow("C: below the bound") << u"C"_s << u"999999999999.99"_s << true;
}

void TestShareDMUnit::isFloat()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    const QLocale previous;
    QLocale::setDefault(QLocale(locale));
    const bool result = IsFloat(text);
    QLocale::setDefault(previous);
    QCOMPARE(result, isNumber);
}

void TestShareDMUnit::connectionStringNamesPathAndPassword()
{
    QCOMPARE(
        BuildConnectionString(u"/srv/q;x/Qirvo.mdb"_s, DatabasePassword),
        u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/srv/q;x/Qirvo.mdb;Jet OLEDB:Database Password=ValdraKestun"_s);
    Connection connection;
    connection.setConnectionString(BuildConnectionString(u"/srv/q;x/Qirvo.mdb"_s, DatabasePassword));
    QCOMPARE(connection.databasePath(), u"/srv/q;x/Qirvo.mdb"_s);
}

void TestShareDMUnit::fillDistinctListFoldsLetterCaseAndSkipsEmpty()
{
    TestDatabase db;
    for (const QString& name : {u"Wang"_s, u"wang"_s, u"张三"_s, QString(), u"张三"_s})
        db.exec(u"insert into jcheng (jchengUser) values (?)"_s, {name});
    db.exec(u"insert into jcheng (jchengUser) values (null)"_s);
    QComboBox box;
    box.addItem(u"old"_s);
    FillDistinctList(&box, u"jcheng"_s, u"jchengUser"_s, {}, true, true, QString());
    QCOMPARE(box.count(), 2);
    QCOMPARE(box.itemText(0).toLower(), u"wang"_s);
    QCOMPARE(box.itemText(1), u"张三"_s);
    QCOMPARE(box.currentIndex(), -1);
}

void TestShareDMUnit::fillDistinctListOnEmptyTableSelectsNothing()
{
    TestDatabase db;
    QComboBox box;
    FillDistinctList(&box, u"[User]"_s, u"UserName"_s, {}, true, true, QString());
    QCOMPARE(box.count(), 0);
    QCOMPARE(box.currentIndex(), -1);
}

void TestShareDMUnit::fillDistinctListWithWhereAndFirstItem()
{
    TestDatabase db;
    db.exec(u"insert into Price (PriceCounter, PriceValue) values (1, 2.5), (1, 3), (2, 9), (1, 2.5)"_s);
    QComboBox box;
    FillDistinctList(&box, u"Price"_s, u"PriceValue"_s, Condition(u"PriceCounter=?"_s, {1}), true, true,
                     u"所有"_s);
    QCOMPARE(box.count(), 3);
    QCOMPARE(box.itemText(0), u"所有"_s);
    QCOMPARE(box.itemText(1), u"2.5"_s);
    QCOMPARE(box.itemText(2), u"3"_s);
    QCOMPARE(box.currentIndex(), 0);
}

void TestShareDMUnit::lookupFieldValue()
{
    TestDatabase db;
    db.exec(u"insert into [User] (UserName, UserBase, UserPhone) values ('李四', 1500.5, null)"_s);
    const Condition li(u"UserName=?"_s, {u"李四"_s});
    QCOMPARE(LookupFieldValue(u"[User]"_s, u"UserBase"_s, li).toDouble(), 1500.5);
    QVERIFY(!LookupFieldValue(u"[User]"_s, u"UserPhone"_s, li).isValid());
    QVERIFY(!LookupFieldValue(u"[User]"_s, u"UserBase"_s, Condition(u"UserName=?"_s, {u"王五"_s})).isValid());
    QVERIFY(
        !LookupFieldValue(u"Power"_s, u"PowerSet"_s, Condition(u"PowerName=?"_s, {u"nobody"_s})).toBool());
    QCOMPARE(VariantToText(LookupFieldValue(u"[User]"_s, u"UserPhone"_s, li)), QString());
}

void TestShareDMUnit::lookupOfBrokenStatementRaises()
{
    TestDatabase db;
    try {
        LookupFieldValue(u"NoSuchTable"_s, u"x"_s, Condition(u"1=1"_s));
        QFAIL("a failed statement must not look like a missing row");
    } catch (const QirvoError& error) {
        QVERIFY2(error.message().contains(u"NoSuchTable"_s, Qt::CaseInsensitive),
                 qPrintable(error.message()));
    }
}

void TestShareDMUnit::updateTwoFieldsInsertsWhenMissing()
{
    TestDatabase db;
    const Condition modify(u"ParameterName=?"_s, {u"修改"_s});
    QVERIFY(UpdateTwoFields(u"Parameter"_s, modify, u"ParameterName"_s, u"修改"_s, u"ParameterValue"_s,
                            u"abc"_s));
    QCOMPARE(db.scalar(u"select count(*) from Parameter"_s).toInt(), 1);
    QCOMPARE(VariantToText(LookupFieldValue(u"Parameter"_s, u"ParameterValue"_s, modify)), u"abc"_s);
    QVERIFY(UpdateTwoFields(u"Parameter"_s, modify, u"ParameterName"_s, u"修改"_s, u"ParameterValue"_s,
                            QString()));
    QCOMPARE(db.scalar(u"select count(*) from Parameter"_s).toInt(), 1);
    QCOMPARE(db.scalar(u"select ParameterValue from Parameter"_s).toString(), QString());
    QVERIFY(!db.scalar(u"select ParameterValue from Parameter"_s).isNull());
}

void TestShareDMUnit::updateTwoFieldsChangesOnlyFirstMatch()
{
    TestDatabase db;
    db.exec(u"insert into Power (PowerName, PowerKey) values ('dup', 'one'), ('dup', 'two')"_s);
    QVERIFY(UpdateTwoFields(u"Power"_s, Condition(u"PowerName=?"_s, {u"DUP"_s}), u"PowerName"_s, u"dup"_s,
                            u"PowerKey"_s, u"new"_s));
    QCOMPARE(
        db.texts(u"select PowerKey from Power where PowerName='dup' order by "_s + db.rowKey(u"Power"_s)),
        QStringList({u"new"_s, u"two"_s}));
}

void TestShareDMUnit::updateTwoFieldsReportsFailure()
{
    TestDatabase db;
    QVERIFY(!UpdateTwoFields(u"Power"_s, Condition(u"PowerName=?"_s, {u"x"_s}), u"PowerName"_s, u"x"_s,
                             u"NoSuchColumn"_s, u"y"_s));
    QCOMPARE(db.scalar(u"select count(*) from Power where PowerName='x'"_s).toInt(), 0);
    QVERIFY(!UpdateTwoFields(u"NoSuchTable"_s, Condition(u"a=?"_s, {1}), u"a"_s, 1, u"b"_s, 2));
}

void TestShareDMUnit::nameWithQuoteIsData()
{
    TestDatabase db;
    const QString name = u"O'Brien \"张\"; drop table Power; --"_s;
    QVERIFY(UpdateTwoFields(u"Power"_s, Condition(u"PowerName=?"_s, {name}), u"PowerName"_s, name,
                            u"PowerKey"_s, u"k'ey"_s));
    QCOMPARE(VariantToText(LookupFieldValue(u"Power"_s, u"PowerKey"_s, Condition(u"PowerName=?"_s, {name}))),
             u"k'ey"_s);
    QComboBox box;
    FillDistinctList(&box, u"Power"_s, u"PowerName"_s, {}, true, true, QString());
    QVERIFY(box.findText(name) >= 0);
    QCOMPARE(db.scalar(u"select count(*) from Power"_s).toInt(), 3);
}

void TestShareDMUnit::checkRequired()
{
    MessageBoxRecorder boxes;
    QLineEdit blank;
    blank.setText(u" "_s);
    CheckRequired(&blank, u"请输入"_s);
    QVERIFY(boxes.shown().isEmpty());

    QLineEdit empty;
    bool aborted = false;
    try {
        CheckRequired(&empty, u"请输入工种的编号"_s);
    } catch (const SilentAbort&) {
        aborted = true;
    }
    QVERIFY(aborted);
    QCOMPARE(boxes.texts(), QStringList{u"请输入工种的编号"_s});
    QCOMPARE(boxes.shown().first().kind, MessageBox::Kind::Information);
}

QTEST_MAIN(TestShareDMUnit)
#include "tst_ShareDMUnit.moc"
