#include "gJiSearchUnit.h"

#include "Clock.h"
#include "FormWidgets.h"
#include "HandlerGuard.h"
#include "ListControls.h"

#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace Qt::StringLiterals;

TgJifrm* gJifrm = nullptr;

TgJifrm::TgJifrm(QWidget* parent) : QDialog(parent)
{
    gJifrm = this;
    SetUpDialog(this, u"gJifrm"_s, u"gJifrm"_s, QSize(487, 322));

    PictureLabel(QStyle::SP_BrowserReload, 32, this)->setGeometry(56, 24, 32, 32);
    auto* lbl2 = new QLabel(u"时间范围"_s, this);
    lbl2->setObjectName(u"lbl2"_s);
    lbl2->setGeometry(97, 31, 150, 20);
    DateTimePicker1 = DatePicker(u"DateTimePicker1"_s, this);
    DateTimePicker1->setGeometry(56, 64, 217, 20);
    DateTimePicker2 = DatePicker(u"DateTimePicker2"_s, this);
    DateTimePicker2->setGeometry(56, 96, 217, 20);
    PictureLabel(QStyle::SP_DirHomeIcon, 32, this)->setGeometry(56, 135, 32, 32);
    auto* lbl1 = new QLabel(u"员工姓名"_s, this);
    lbl1->setObjectName(u"lbl1"_s);
    lbl1->setGeometry(97, 142, 150, 20);
    lbx1 = new QListWidget(this);
    lbx1->setObjectName(u"lbx1"_s);
    lbx1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbx1->setGeometry(56, 176, 217, 113);
    Shape1 = new QFrame(this);
    Shape1->setObjectName(u"Shape1"_s);
    Shape1->setGeometry(327, 40, 81, 81);
    Shape1->setStyleSheet(
        u"#Shape1 { border: 1px solid #808080; border-radius: 12px; background: white; }"_s);
    PictureLabel(QStyle::SP_FileDialogContentsView, 32, Shape1)->setGeometry(24, 24, 32, 32);
    btn1 = GlyphButton(u"确定"_s, u"btn1"_s, QStyle::SP_DialogApplyButton, this);
    btn1->setFixedSize(129, 65);
    btn1->move(304, 144);
    btn2 = GlyphButton(u"取消"_s, u"btn2"_s, QStyle::SP_DialogCancelButton, this);
    btn2->setFixedSize(129, 65);
    btn2->move(304, 224);

    connect(btn1, &QPushButton::clicked, this, guarded(this, &TgJifrm::btn1Click));
    connect(btn2, &QPushButton::clicked, this, guarded(this, &TgJifrm::btn2Click));
}

void TgJifrm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    runHandler(this, [this] { FormShow(); });
}

void TgJifrm::FormShow()
{
    const QDate today = Clock::today();
    DateTimePicker1->setDate(QDate(today.year(), today.month(), 1));
    DateTimePicker2->setDate(QDate(today.year(), today.month(), today.daysInMonth()));
    FillDistinctList(lbx1, u"[User]"_s, u"UserName"_s, {}, true, true, QString());
    lbx1->clearSelection();
}

void TgJifrm::btn1Click()
{
    NameList.clear();
    for (int row = 0; row < lbx1->count(); ++row)
        if (lbx1->item(row)->isSelected())
            NameList << lbx1->item(row)->text();
    if (NameList.isEmpty())
        for (int row = 0; row < lbx1->count(); ++row)
            NameList << lbx1->item(row)->text();
    StartDate = DateTimePicker1->date();
    EndDate = DateTimePicker2->date();
    accept();
}

void TgJifrm::btn2Click()
{
    reject();
}
