#include "SearchUnit.h"

#include "Clock.h"
#include "FormWidgets.h"
#include "HandlerGuard.h"
#include "ListControls.h"
#include "SearchFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TSearchfrm* Searchfrm = nullptr;

namespace {

void fillWithAll(QComboBox* box, const QString& table, const QString& column)
{
    FillDistinctList(box, table, column, {}, true, true, QString());
    box->addItem(AllChoice);
    box->setCurrentIndex(box->count() - 1);
}

} // namespace

TSearchfrm::TSearchfrm(QWidget* parent) : QDialog(parent)
{
    Searchfrm = this;
    SetUpDialog(this, u"Searchfrm"_s, u"查询"_s, QSize(495, 271));
    SetDialogTitleBar(this);

    lbl1 = new QLabel(u"员工姓名"_s, this);
    lbl1->setObjectName(u"lbl1"_s);
    cbxName = FreeTextCombo(u"cbxName"_s, this);
    chk1 = new QCheckBox(u"时间范围"_s, this);
    chk1->setObjectName(u"chk1"_s);
    chk1->setLayoutDirection(Qt::RightToLeft);
    dtDateStart = DatePicker(u"dtDateStart"_s, this);
    dtDateEnd = DatePicker(u"dtDateEnd"_s, this);
    dtDateStart->setMinimumWidth(110);
    dtDateEnd->setMinimumWidth(110);
    lbl3 = new QLabel(u"单据编号"_s, this);
    lbl3->setObjectName(u"lbl3"_s);
    edtSerial = new QLineEdit(this);
    edtSerial->setObjectName(u"edtSerial"_s);
    lbl2 = new QLabel(u"工种名称"_s, this);
    lbl2->setObjectName(u"lbl2"_s);
    cbxWorkName = FreeTextCombo(u"cbxWorkName"_s, this);
    btn2 = GlyphButton(u"确定"_s, u"btn2"_s, QStyle::SP_DialogApplyButton, this);
    btn1 = GlyphButton(u"取消"_s, u"btn1"_s, QStyle::SP_DialogCancelButton, this);

    auto* grid = new QGridLayout;
    grid->addWidget(PictureLabel(QStyle::SP_DirHomeIcon, 32, this), 0, 0, 2, 1);
    grid->addWidget(lbl1, 0, 1);
    grid->addWidget(cbxName, 1, 1);
    grid->addWidget(PictureLabel(QStyle::SP_BrowserReload, 32, this), 0, 2, 2, 1);
    grid->addWidget(chk1, 0, 3, 1, 2, Qt::AlignLeft);
    grid->addWidget(dtDateStart, 1, 3);
    grid->addWidget(dtDateEnd, 1, 4);
    grid->addWidget(PictureLabel(QStyle::SP_FileIcon, 32, this), 2, 0, 2, 1);
    grid->addWidget(lbl3, 2, 1);
    grid->addWidget(edtSerial, 3, 1);
    grid->addWidget(PictureLabel(QStyle::SP_FileDialogDetailedView, 32, this), 2, 2, 2, 1);
    grid->addWidget(lbl2, 2, 3);
    grid->addWidget(cbxWorkName, 3, 3, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn2);
    buttons->addWidget(btn1);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    setTabOrder(cbxName, dtDateStart);
    setTabOrder(dtDateStart, dtDateEnd);
    setTabOrder(dtDateEnd, chk1);
    setTabOrder(chk1, edtSerial);
    setTabOrder(edtSerial, cbxWorkName);

    connect(chk1, &QCheckBox::toggled, this, guarded(this, &TSearchfrm::chk1Click));
    connect(btn2, &QPushButton::clicked, this, guarded(this, &TSearchfrm::btn2Click));
    connect(btn1, &QPushButton::clicked, this, guarded(this, &TSearchfrm::btn1Click));
}

void TSearchfrm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    runHandler(this, [this] { FormShow(); });
}

void TSearchfrm::FormShow()
{
    fillWithAll(cbxWorkName, u"[Counter]"_s, u"CounterName"_s);
    fillWithAll(cbxName, u"[User]"_s, u"UserName"_s);
    const QDate today = Clock::today();
    dtDateStart->setDate(QDate(today.year(), today.month(), 1));
    dtDateEnd->setDate(QDate(today.year(), today.month(), today.daysInMonth()));
    edtSerial->clear();
    chk1Click();
    cbxName->setFocus();
}

void TSearchfrm::chk1Click()
{
    dtDateStart->setEnabled(chk1->isChecked());
    dtDateEnd->setEnabled(chk1->isChecked());
}

void TSearchfrm::btn2Click()
{
    FilterText = BuildFilter({cbxName->currentText(), chk1->isChecked(), dtDateStart->date(),
                              dtDateEnd->date(), edtSerial->text(), cbxWorkName->currentText()});
    accept();
}

void TSearchfrm::btn1Click()
{
    reject();
}
