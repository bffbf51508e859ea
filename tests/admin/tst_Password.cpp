#include "MessageBoxRecorder.h"
#include "PasswordRules.h"
#include "PasswordUnit.h"
#include "TestDatabase.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPassword : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modifyPasswordMustMatchExactly_data();
    void modifyPasswordMustMatchExactly();
    void onlyTheButtonsEndTheDialog();
    void missingPasswordRowAcceptsOnlyAnEmptyEntry();
    void settingPasswordsWritesOnlyThatRow();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
};

void TestPassword::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_boxes = std::make_unique<MessageBoxRecorder>();
}

void TestPassword::cleanup()
{
    m_boxes.reset();
    m_db.reset();
}

void TestPassword::modifyPasswordMustMatchExactly_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("exact") << u"Kai'8"_s << true;
    QTest::newRow("letter case") << u"kai'8"_s << false;
    QTest::newRow("extra blank") << u"Kai'8 "_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TestPassword::modifyPasswordMustMatchExactly()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    PasswordRules::setModifyPassword(u"Kai'8"_s);
    TPasswordfrm dialog;
    dialog.show();
    QVERIFY(dialog.edt1->text().isEmpty());
    QCOMPARE(dialog.edt1->echoMode(), QLineEdit::Password);
    dialog.edt1->setText(typed);
    dialog.btn1->click();
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(dialog.isVisible(), !accepted);
    if (!accepted) {
        QCOMPARE(m_boxes->texts(), QStringList{u"密码输入有误，请重新输入"_s});
        QCOMPARE(dialog.edt1->text(), typed);
    }
}

void TestPassword::onlyTheButtonsEndTheDialog()
{
    TPasswordfrm dialog;
    dialog.show();
    QSignalSpy finished(&dialog, &QDialog::finished);
    QTest::keyClick(dialog.edt1, Qt::Key_Return);
    QTest::keyClick(dialog.edt1, Qt::Key_Escape);
    QCOMPARE(finished.count(), 0);
    dialog.btn2->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestPassword::missingPasswordRowAcceptsOnlyAnEmptyEntry()
{
    QCOMPARE(m_db->scalar(u"select count(*) from Parameter"_s).toInt(), 0);
    QVERIFY(PasswordRules::modifyPasswordMatches(QString()));
    QVERIFY(!PasswordRules::modifyPasswordMatches(u"x"_s));
}

void TestPassword::settingPasswordsWritesOnlyThatRow()
{
    PasswordRules::setModifyPassword(QString());
    PasswordRules::setModifyPassword(u"新'密码"_s);
    QCOMPARE(m_db->scalar(u"select count(*) || ParameterValue from Parameter where ParameterName='修改'"_s)
                 .toString(),
             u"1新'密码"_s);
    PasswordRules::setLoginPassword(u"操作员"_s, u"Ab 1"_s);
    QCOMPARE(PasswordRules::loginPassword(u"操作员"_s), u"Ab 1"_s);
    QCOMPARE(PasswordRules::loginPassword(u"系统管理员"_s), u"admin"_s);
    QCOMPARE(m_db->scalar(u"select count(*) from Power"_s).toInt(), 2);
}

QTEST_MAIN(TestPassword)
#include "tst_Password.moc"
