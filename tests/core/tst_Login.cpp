#include "LoginUnit.h"
#include "MessageBoxRecorder.h"
#include "TestDatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void passwordMustMatchExactly_data();
    void passwordMustMatchExactly();
    void firstRowOfSameNameDecides();
    void emptyAccountListOnlyCancels();
    void onlyCancelButtonOrCloseBoxCancel();

private:
    std::unique_ptr<TestDatabase> m_db;
};

void TestLogin::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(u"delete from Power"_s);
    LoginName.clear();
}

void TestLogin::cleanup()
{
    m_db.reset();
}

void TestLogin::passwordMustMatchExactly_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("exact") << QVariant(u"Secret"_s) << u"Secret"_s << true;
    QTest::newRow("letter case") << QVariant(u"Secret"_s) << u"secret"_s << false;
    QTest::newRow("trailing blank") << QVariant(u"Secret"_s) << u"Secret "_s << false;
    QTest::newRow("empty stored, empty typed") << QVariant(u""_s) << QString() << true;
    QTest::newRow("null stored, empty typed") << QVariant() << QString() << true;
    QTest::newRow("null stored, typed") << QVariant() << u"x"_s << false;
}

void TestLogin::passwordMustMatchExactly()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    m_db->exec(u"insert into Power (PowerName, PowerKey, PowerSet) values ('other', 'zz', 0)"_s);
    m_db->exec(u"insert into Power (PowerName, PowerKey, PowerSet) values ('王''会计', ?, 1)"_s, {stored});
    MessageBoxRecorder boxes;
    TLoginfrm login;
    login.show();
    QCOMPARE(login.cbx1->currentIndex(), 0);
    QVERIFY(login.edt1->hasFocus() || !login.isActiveWindow());
    login.cbx1->setCurrentIndex(login.cbx1->findText(u"王'会计"_s));
    login.edt1->setText(typed);
    login.btn2->click();
    if (accepted) {
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(LoginName, u"王'会计"_s);
        QVERIFY(boxes.shown().isEmpty());
    } else {
        QVERIFY(login.isVisible());
        QCOMPARE(boxes.texts(), QStringList{u"密码输入有误"_s});
        QCOMPARE(boxes.shown().first().kind, MessageBox::Kind::Information);
        QCOMPARE(login.edt1->text(), QString());
        QCOMPARE(login.cbx1->currentText(), u"王'会计"_s);
        QVERIFY(LoginName.isEmpty());
    }
}

void TestLogin::firstRowOfSameNameDecides()
{
    m_db->exec(u"insert into Power (PowerName, PowerKey) values ('dup', 'first'), ('DUP', 'second')"_s);
    MessageBoxRecorder boxes;
    TLoginfrm login;
    login.show();
    QCOMPARE(login.cbx1->count(), 1);
    login.edt1->setText(u"second"_s);
    login.btn2->click();
    QCOMPARE(boxes.texts(), QStringList{u"密码输入有误"_s});
    login.edt1->setText(u"first"_s);
    login.btn2->click();
    QCOMPARE(login.result(), int(QDialog::Accepted));
}

void TestLogin::emptyAccountListOnlyCancels()
{
    MessageBoxRecorder boxes;
    TLoginfrm login;
    login.show();
    QCOMPARE(login.cbx1->count(), 0);
    login.btn2->click();
    QVERIFY(login.isVisible());
    QVERIFY(boxes.shown().isEmpty());
    login.btn1->click();
    QCOMPARE(login.result(), int(QDialog::Rejected));
    QVERIFY(LoginName.isEmpty());
}

void TestLogin::onlyCancelButtonOrCloseBoxCancel()
{
    m_db->exec(u"insert into Power (PowerName, PowerKey) values ('a', 'k')"_s);
    MessageBoxRecorder boxes;
    TLoginfrm login;
    login.show();
    QSignalSpy finished(&login, &QDialog::finished);
    login.edt1->setText(u"k"_s);
    QTest::keyClick(login.edt1, Qt::Key_Escape);
    QTest::keyClick(login.edt1, Qt::Key_Return);
    QVERIFY(login.isVisible());
    QCOMPARE(finished.count(), 0);
    QVERIFY(login.btn1->focusPolicy() == Qt::NoFocus && login.btn2->focusPolicy() == Qt::NoFocus);
    login.close();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(login.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestLogin)
#include "tst_Login.moc"
