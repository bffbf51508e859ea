#include "UsergjEditorUnit.h"

#include "FormWidgets.h"
#include "HandlerGuard.h"
#include "ListControls.h"
#include "MessageBox.h"
#include "NumberEdit.h"
#include "PayrollRowStore.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TUserGjEditorfrm* UserGjEditorfrm = nullptr;

namespace {

NumberEdit* amountEdit(const QString& name, QWidget* parent)
{
    auto* edit = new NumberEdit(parent);
    edit->setObjectName(name);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}

} // namespace

TUserGjEditorfrm::TUserGjEditorfrm(QWidget* parent) : LoadingDialog(parent)
{
    UserGjEditorfrm = this;
    SetUpDialog(this, u"UserGjEditorfrm"_s, u"UserGjEditorfrm"_s, QSize(465, 265));

    edt1 = new QLineEdit(this);
    edt1->setObjectName(u"edt1"_s);
    dbNum1 = amountEdit(u"dbNum1"_s, this);
    dbNum2 = amountEdit(u"dbNum2"_s, this);
    dbNum3 = amountEdit(u"dbNum3"_s, this);
    dbNum4 = amountEdit(u"dbNum4"_s, this);
    dbNum5 = amountEdit(u"dbNum5"_s, this);
    // An emptied amount counts as 0, so it shows as 0.
    for (NumberEdit* amount : {dbNum1, dbNum2, dbNum3, dbNum4})
        amount->setEmptyShownAsZero(true);
    dbNum5->setEnabled(false);
    dbNum5->setReadOnly(true);
    btn1 = GlyphButton(u"确定"_s, u"btn1"_s, QStyle::SP_DialogApplyButton, this);
    btn3 = GlyphButton(u"删除"_s, u"btn3"_s, QStyle::SP_TrashIcon, this);
    btn2 = GlyphButton(u"取消"_s, u"btn2"_s, QStyle::SP_DialogCancelButton, this);
    for (QPushButton* button : {btn1, btn3, btn2})
        button->setFixedSize(121, 65);

    auto* grid = new QGridLayout;
    grid->addWidget(LabelledInput(u"员工名称"_s, edt1, QStyle::SP_FileDialogInfoView, 32, this, u"lbl2"_s), 0,
                    0);
    grid->addWidget(LabelledInput(u"基本工资"_s, dbNum1, QStyle::SP_FileDialogInfoView, 32, this, u"lbl1"_s),
                    0, 1);
    grid->addWidget(LabelledInput(u"奖励"_s, dbNum2, QStyle::SP_FileDialogInfoView, 32, this, u"lbl3"_s), 0,
                    2);
    grid->addWidget(LabelledInput(u"惩罚"_s, dbNum3, QStyle::SP_FileDialogInfoView, 32, this, u"lbl4"_s), 1,
                    0);
    grid->addWidget(LabelledInput(u"计件工资"_s, dbNum4, QStyle::SP_FileDialogInfoView, 32, this, u"lbl5"_s),
                    1, 1);
    grid->addWidget(LabelledInput(u"合计"_s, dbNum5, QStyle::SP_FileDialogInfoView, 32, this, u"lbl6"_s), 1,
                    2);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btn1, btn3, btn2})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    QWidget* order[] = {edt1, dbNum1, dbNum2, dbNum3, dbNum4, dbNum5};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (NumberEdit* amount : {dbNum1, dbNum2, dbNum3, dbNum4})
        connect(amount, &NumberEdit::valueChanged, this, guarded(this, &TUserGjEditorfrm::dbNum1Change));
    connect(btn1, &QPushButton::clicked, this, guarded(this, &TUserGjEditorfrm::btn1Click));
    connect(btn3, &QPushButton::clicked, this, guarded(this, &TUserGjEditorfrm::btn3Click));
    connect(btn2, &QPushButton::clicked, this, guarded(this, &TUserGjEditorfrm::btn2Click));
}

void TUserGjEditorfrm::FormShow()
{
    btn3->setVisible(EditMode == 1);
    const PayrollRowFields row = PayrollRowStore::load(EditIndex);
    // The total shows what is stored, even where it differs from the sum of the parts.
    m_loading = true;
    edt1->setText(row.user);
    dbNum1->setValue(row.base);
    dbNum2->setValue(row.rewards);
    dbNum3->setValue(row.punishments);
    dbNum4->setValue(row.pieceWork);
    m_loading = false;
    dbNum5->setValue(row.total);
    edt1->setFocus();
}

void TUserGjEditorfrm::dbNum1Change()
{
    if (m_loading)
        return;
    dbNum5->setValue(PayrollRowStore::total(ValueOrZero(dbNum1->value()), ValueOrZero(dbNum2->value()),
                                            ValueOrZero(dbNum4->value()), ValueOrZero(dbNum3->value())));
}

void TUserGjEditorfrm::btn1Click()
{
    PayrollRowStore::save(EditIndex, {edt1->text(), ValueOrZero(dbNum1->value()),
                                      ValueOrZero(dbNum2->value()), ValueOrZero(dbNum3->value()),
                                      ValueOrZero(dbNum4->value()), ValueOrZero(dbNum5->value())});
    accept();
}

void TUserGjEditorfrm::btn3Click()
{
    if (!MessageBox::askYesCancel(this, u"确定要删除该条记录吗？"_s))
        return;
    PayrollRowStore::withdraw(EditIndex);
    accept();
}

void TUserGjEditorfrm::btn2Click()
{
    reject();
}
