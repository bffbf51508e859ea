#include "PasswordUnit.h"

#include "FormWidgets.h"
#include "HandlerGuard.h"
#include "ListControls.h"
#include "MessageBox.h"
#include "PasswordRules.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

std::function<int(QWidget*)> s_asker;

} // namespace

TPasswordfrm::TPasswordfrm(QWidget* parent) : FixedDialog(parent)
{
    SetUpDialog(this, u"Passwordfrm"_s, u"修改密码"_s, QSize(384, 228));
    SetDialogTitleBar(this);

    auto* picture = new QFrame(this);
    picture->setFixedSize(80, 80);
    picture->setFrameShape(QFrame::StyledPanel);
    auto* image = new QLabel(picture);
    image->setGeometry(24, 24, 32, 32);
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

    lbl1 = new QLabel(u"请输入修改密码"_s, this);
    lbl1->setObjectName(u"lbl1"_s);
    lbl1->setAlignment(Qt::AlignCenter);
    edt1 = new QLineEdit(this);
    edt1->setObjectName(u"edt1"_s);
    edt1->setEchoMode(QLineEdit::Password);
    btn1 = SpeedButton(u"确定"_s, u"btn1"_s, this);
    btn2 = SpeedButton(u"取消"_s, u"btn2"_s, this);

    auto* entry = new QVBoxLayout;
    entry->addStretch();
    entry->addWidget(lbl1);
    entry->addWidget(edt1);
    entry->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(entry, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn1);
    buttons->addWidget(btn2);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(btn1, &QPushButton::clicked, this, guarded(this, &TPasswordfrm::btn1Click));
    connect(btn2, &QPushButton::clicked, this, guarded(this, &TPasswordfrm::btn2Click));
}

void TPasswordfrm::btn1Click()
{
    if (!PasswordRules::modifyPasswordMatches(edt1->text())) {
        MessageBox::information(this, u"密码输入有误，请重新输入"_s);
        edt1->setFocus();
        return;
    }
    accept();
}

void TPasswordfrm::btn2Click()
{
    reject();
}

int AskModifyPassword(QWidget* parent)
{
    if (s_asker)
        return s_asker(parent);
    TPasswordfrm dialog(parent);
    return dialog.exec();
}

void SetModifyPasswordAsker(std::function<int(QWidget*)> asker)
{
    s_asker = std::move(asker);
}
