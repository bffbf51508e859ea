#include "Clerk.h"
#include "NumberEdit.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestNumberEdit : public QObject
{
    Q_OBJECT

private slots:
    void typing_data();
    void typing();
    void setValueReplacesTextAndSignals();
    void showsPlainValueWithoutFocus();
};

void TestNumberEdit::typing_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("empty is null") << QString() << QString() << QVariant();
    QTest::newRow("integer") << u"125"_s << u"125"_s << QVariant(125.0);
    QTest::newRow("two decimals") << u"3.25"_s << u"3.25"_s << QVariant(3.25);
    QTest::newRow("third decimal refused") << u"3.251"_s << u"3.25"_s << QVariant(3.25);
    QTest::newRow("letters refused") << u"1a2"_s << u"12"_s << QVariant(12.0);
    QTest::newRow("second point refused") << u"1.2.3"_s << u"1.23"_s << QVariant(1.23);
    QTest::newRow("lone minus is 0") << u"-"_s << u"-"_s << QVariant(0.0);
    QTest::newRow("lone plus is 0") << u"+"_s << u"+"_s << QVariant(0.0);
    QTest::newRow("negative") << u"-7.5"_s << u"-7.5"_s << QVariant(-7.5);
    QTest::newRow("sign inside refused") << u"5-"_s << u"5"_s << QVariant(5.0);
    QTest::newRow("comma refused") << u"1,5"_s << u"15"_s << QVariant(15.0);
}

void TestNumberEdit::typing()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    NumberEdit edit;
    QTest::keyClicks(&edit, keys);
    QCOMPARE(edit.text(), text);
    QCOMPARE(edit.value(), value);
}

void TestNumberEdit::setValueReplacesTextAndSignals()
{
    NumberEdit edit;
    QSignalSpy changed(&edit, &NumberEdit::valueChanged);
    edit.setValue(1300.5);
    QCOMPARE(edit.text(), u"1300.5"_s);
    edit.setValue(QVariant());
    QCOMPARE(edit.text(), QString());
    QVERIFY(!edit.value().isValid());
    QTest::keyClick(&edit, Qt::Key_7);
    QCOMPARE(changed.count(), 3);
}

void TestNumberEdit::showsPlainValueWithoutFocus()
{
    QWidget window;
    auto* edit = new NumberEdit(&window);
    auto* other = new NumberEdit(&window);
    QVERIFY(Clerk::showActive(&window));
    edit->setFocus();
    QTest::keyClicks(edit, u"1.50"_s);
    other->setFocus();
    QTRY_COMPARE(edit->text(), u"1.5"_s);
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, u"-"_s);
    other->setFocus();
    QTRY_COMPARE(edit->text(), u"0"_s);
}

QTEST_MAIN(TestNumberEdit)
#include "tst_NumberEdit.moc"
