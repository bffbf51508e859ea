#include "jChengUnit.h"

#include "Clock.h"
#include "FormWidgets.h"
#include "HandlerGuard.h"
#include "ListControls.h"
#include "MessageBox.h"
#include "NumberEdit.h"
#include "RewardStore.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

Tjchengfrm* jchengfrm = nullptr;

Tjchengfrm::Tjchengfrm(QWidget* parent) : LoadingDialog(parent)
{
    jchengfrm = this;
    SetUpDialog(this, u"jchengfrm"_s, u"jchengfrm"_s, QSize(453, 245));

    cbx1 = FreeTextCombo(u"cbx1"_s, this);
    DateTimePicker1 = DatePicker(u"DateTimePicker1"_s, this);
    cbx2 = FreeTextCombo(u"cbx2"_s, this);
    dbNum1 = new NumberEdit(this);
    dbNum1->setObjectName(u"dbNum1"_s);
    dbNum1->setAlignment(Qt::AlignCenter);
    edt2 = new QLineEdit(this);
    edt2->setObjectName(u"edt2"_s);
    btn2 = GlyphButton(u"确定"_s, u"btn2"_s, QStyle::SP_DialogApplyButton, this);
    btn3 = GlyphButton(u"删除"_s, u"btn3"_s, QStyle::SP_TrashIcon, this);
    btn1 = GlyphButton(u"取消"_s, u"btn1"_s, QStyle::SP_DialogCancelButton, this);
    for (QPushButton* button : {btn2, btn3, btn1})
        button->setFixedSize(97, 41);

    auto* grid = new QGridLayout;
    grid->addWidget(LabelledInput(u"员工姓名"_s, cbx1, QStyle::SP_FileDialogInfoView, 32, this, u"lbl1"_s), 0,
                    0);
    grid->addWidget(
        LabelledInput(u"日期"_s, DateTimePicker1, QStyle::SP_FileDialogInfoView, 32, this, u"lbl2"_s), 0, 1);
    grid->addWidget(LabelledInput(u"原因"_s, cbx2, QStyle::SP_FileDialogInfoView, 32, this, u"lbl3"_s), 0, 2);
    grid->addWidget(LabelledInput(u"金额"_s, dbNum1, QStyle::SP_FileDialogInfoView, 32, this, u"lbl5"_s), 1,
                    0);
    grid->addWidget(LabelledInput(u"备注"_s, edt2, QStyle::SP_FileDialogInfoView, 32, this, u"lbl4"_s), 1, 1,
                    1, 2);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btn2, btn3, btn1})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(cbx1, DateTimePicker1);
    setTabOrder(DateTimePicker1, cbx2);
    setTabOrder(cbx2, dbNum1);
    setTabOrder(dbNum1, edt2);

    connect(btn2, &QPushButton::clicked, this, guarded(this, &Tjchengfrm::btn2Click));
    connect(btn3, &QPushButton::clicked, this, guarded(this, &Tjchengfrm::btn3Click));
    connect(btn1, &QPushButton::clicked, this, guarded(this, &Tjchengfrm::btn1Click));
}

void Tjchengfrm::FormShow()
{
    btn3->setVisible(EditMode == 1);
    cbx1->setFocus();
    FillDistinctList(cbx1, u"[User]"_s, u"UserName"_s, {}, true, true, QString());
    FillDistinctList(cbx2, u"jcheng"_s, u"jchengReson"_s, {}, true, true, QString());
    dbNum1->setValue(0);
    DateTimePicker1->setDate(Clock::today());
    edt2->clear();
    cbx1->setCurrentIndex(-1);
    cbx1->clearEditText();
    cbx2->setCurrentIndex(-1);
    cbx2->clearEditText();
    if (EditMode != 1)
        return;
    const RewardFields row = RewardStore::load(EditIndex);
    cbx1->setEditText(row.user);
    DateTimePicker1->setDate(row.date);
    cbx2->setEditText(row.reason);
    dbNum1->setValue(row.amount);
    edt2->setText(row.remark);
    PunishFlag = row.punishment ? 1 : 0;
}

void Tjchengfrm::btn2Click()
{
    if (!dbNum1->value().isValid()) {
        MessageBox::information(this, u"请输入金额"_s);
        dbNum1->setFocus();
        return;
    }
    const RewardFields fields{cbx1->currentText(),        DateTimePicker1->date(), cbx2->currentText(),
                              dbNum1->value().toDouble(), PunishFlag != 0,         edt2->text()};
    if (EditMode == 0)
        RewardStore::add(fields);
    else
        RewardStore::change(EditIndex, fields);
    accept();
}

void Tjchengfrm::btn3Click()
{
    if (!MessageBox::askYesCancel(this, u"确定要删除该条奖惩吗？"_s))
        return;
    RewardStore::remove(EditIndex);
    accept();
}

void Tjchengfrm::btn1Click()
{
    reject();
}
