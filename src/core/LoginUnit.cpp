#include "LoginUnit.h"

#include "FormWidgets.h"
#include "HandlerGuard.h"
#include "ListControls.h"
#include "LoginCheck.h"
#include "MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

using namespace Qt::StringLiterals;

QString LoginName;

namespace {

QLabel* accountLabel(const QString& text, QWidget* parent, const QString& name)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setStyleSheet(u"color: blue;"_s);
    return label;
}

} // namespace

TLoginfrm::TLoginfrm(QWidget* parent) : FixedDialog(parent)
{
    SetUpDialog(this, u"Loginfrm"_s, u"登录"_s, QSize(398, 207));
    SetDialogTitleBar(this);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(u"Shape1"_s);
    Shape1->setGeometry(24, 40, 81, 81);
    Shape1->setStyleSheet(
        u"#Shape1 { border: 1px solid #808080; border-radius: 12px; background: white; }"_s);
    img1 = new QLabel(Shape1);
    img1->setObjectName(u"img1"_s);
    img1->setGeometry(24, 24, 32, 32);
    img1->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(32, 32));

    lbl2 = accountLabel(u"登录用户："_s, this, u"lbl2"_s);
    lbl2->setGeometry(120, 48, 80, 22);
    cbx1 = new QComboBox(this);
    cbx1->setObjectName(u"cbx1"_s);
    cbx1->setEditable(false);
    cbx1->setGeometry(206, 48, 160, 22);

    lbl1 = accountLabel(u"登录密码："_s, this, u"lbl1"_s);
    lbl1->setGeometry(120, 88, 80, 22);
    edt1 = new QLineEdit(this);
    edt1->setObjectName(u"edt1"_s);
    edt1->setEchoMode(QLineEdit::Password);
    edt1->setGeometry(206, 88, 160, 22);

    btn2 = SpeedButton(u"确定"_s, u"btn2"_s, this);
    btn2->setGeometry(150, 150, 90, 28);
    btn1 = SpeedButton(u"取消"_s, u"btn1"_s, this);
    btn1->setGeometry(270, 150, 90, 28);

    setTabOrder(edt1, cbx1);
    connect(btn2, &QPushButton::clicked, this, guarded(this, &TLoginfrm::btn2Click));
    connect(btn1, &QPushButton::clicked, this, guarded(this, &TLoginfrm::btn1Click));
}

void TLoginfrm::showEvent(QShowEvent* event)
{
    FixedDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    runHandler(this, [this] { FormShow(); });
}

void TLoginfrm::FormShow()
{
    FillDistinctList(cbx1, u"Power"_s, u"PowerName"_s, {}, true, true, QString());
    if (cbx1->count() > 0)
        cbx1->setCurrentIndex(0);
    edt1->setFocus();
}

void TLoginfrm::btn2Click()
{
    switch (CheckLogin(cbx1->currentText(), edt1->text())) {
    case LoginOutcome::NoSuchAccount:
        return;
    case LoginOutcome::WrongPassword:
        MessageBox::information(this, u"密码输入有误"_s);
        edt1->clear();
        edt1->setFocus();
        return;
    case LoginOutcome::Accepted:
        LoginName = cbx1->currentText();
        accept();
        return;
    }
}

void TLoginfrm::btn1Click()
{
    reject();
}

int ShowLogin()
{
    TLoginfrm login;
    return login.exec();
}
