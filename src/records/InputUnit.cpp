#include "InputUnit.h"

#include "EntryStore.h"
#include "FormWidgets.h"
#include "HandlerGuard.h"
#include "ListControls.h"
#include "MessageBox.h"
#include "NumberEdit.h"
#include "ReportComponent.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString DayTakenMessage = u"该用户今天已经入帐！请选择其它用户"_s;

} // namespace

TInputfrm* Inputfrm = nullptr;

TInputfrm::TInputfrm(QWidget* parent) : LoadingDialog(parent)
{
    Inputfrm = this;
    setObjectName(u"Inputfrm"_s);
    setWindowTitle(u"计件录入"_s);
    SetDialogTitleBar(this);
    QFont font = FormFont();
    font.setPointSize(9);
    setFont(font);
    setFixedSize(603, 320);

    edtSerial = new QLineEdit(this);
    edtSerial->setObjectName(u"edtSerial"_s);
    cbxName = FreeTextCombo(u"cbxName"_s, this);
    cbxWorkSerial = FreeTextCombo(u"cbxWorkSerial"_s, this);
    cbxWorkName = FreeTextCombo(u"cbxWorkName"_s, this);
    cbxPrice = FreeTextCombo(u"cbxPrice"_s, this);
    // The price typed is the price paid: no listed price that starts the same is completed into it.
    cbxPrice->setCompleter(nullptr);
    edtNumber = new NumberEdit(this);
    edtNumber->setObjectName(u"edtNumber"_s);
    edtAmount = new NumberEdit(this);
    edtAmount->setObjectName(u"edtAmount"_s);
    edtAmount->setEnabled(false);
    dtDate = DatePicker(u"dtDate"_s, this);
    edtRemark = new QLineEdit(this);
    edtRemark->setObjectName(u"edtRemark"_s);
    cbxWorkUnit = new QLineEdit(this);
    cbxWorkUnit->setObjectName(u"cbxWorkUnit"_s);

    auto* grid = new QGridLayout;
    grid->addWidget(LabelledInput(u"编号"_s, edtSerial, QStyle::SP_FileIcon, 32, this), 0, 0);
    grid->addWidget(LabelledInput(u"用户名"_s, cbxName, QStyle::SP_DirHomeIcon, 32, this), 0, 1);
    grid->addWidget(LabelledInput(u"工种编号"_s, cbxWorkSerial, QStyle::SP_FileDialogListView, 32, this), 0,
                    2);
    grid->addWidget(LabelledInput(u"工种名称"_s, cbxWorkName, QStyle::SP_FileDialogDetailedView, 32, this), 0,
                    3);
    grid->addWidget(LabelledInput(u"单位"_s, cbxWorkUnit, QStyle::SP_FileDialogInfoView, 32, this), 1, 0);
    grid->addWidget(LabelledInput(u"单价"_s, cbxPrice, QStyle::SP_FileDialogContentsView, 32, this), 1, 1);
    grid->addWidget(LabelledInput(u"件数"_s, edtNumber, QStyle::SP_ArrowUp, 32, this), 1, 2);
    grid->addWidget(LabelledInput(u"金额"_s, edtAmount, QStyle::SP_DialogApplyButton, 32, this), 1, 3);
    grid->addWidget(LabelledInput(u"录入时间"_s, dtDate, QStyle::SP_BrowserReload, 32, this), 2, 0);
    grid->addWidget(LabelledInput(u"备注"_s, edtRemark, QStyle::SP_MessageBoxInformation, 32, this), 2, 1, 1,
                    3);

    btn3 = GlyphButton(u"打印"_s, u"btn3"_s, QStyle::SP_FileDialogStart, this);
    btnDel = GlyphButton(u"删除"_s, u"btnDel"_s, QStyle::SP_TrashIcon, this);
    btn2 = GlyphButton(u"确定"_s, u"btn2"_s, QStyle::SP_DialogApplyButton, this);
    btn1 = GlyphButton(u"取消"_s, u"btn1"_s, QStyle::SP_DialogCancelButton, this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btn3, btnDel, btn2, btn1})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    QWidget* order[] = {edtSerial, cbxName,   cbxWorkSerial, cbxWorkName, cbxPrice,
                        edtNumber, edtAmount, dtDate,        edtRemark,   cbxWorkUnit};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    frReport1 = new ReportComponent(ShareDM->ADOQueryTemp1, u"frDBDataSet1"_s, this);
    frReport1->setObjectName(u"frReport1"_s);

    for (QComboBox* box : {cbxWorkSerial, cbxWorkName, cbxName})
        box->installEventFilter(this);
    connect(cbxPrice, &QComboBox::editTextChanged, this, guarded(this, &TInputfrm::cbxPriceChange));
    connect(edtNumber, &NumberEdit::valueChanged, this, guarded(this, &TInputfrm::cbxPriceChange));
    connect(btn3, &QPushButton::clicked, this, guarded(this, &TInputfrm::btn3Click));
    connect(btnDel, &QPushButton::clicked, this, guarded(this, &TInputfrm::btnDelClick));
    connect(btn2, &QPushButton::clicked, this, guarded(this, &TInputfrm::btn2Click));
    connect(btn1, &QPushButton::clicked, this, guarded(this, &TInputfrm::btn1Click));
}

bool TInputfrm::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving a combo looks up what was chosen in it; a popup of the same combo is no leaving.
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        if (watched == cbxWorkSerial)
            runHandler(this, [this] { cbxWorkSerialExit(); });
        else if (watched == cbxWorkName)
            runHandler(this, [this] { cbxWorkNameExit(); });
        else if (watched == cbxName)
            runHandler(this, [this] { cbxNameExit(); });
    }
    return QDialog::eventFilter(watched, event);
}

void TInputfrm::FormShow()
{
    FillDistinctList(cbxWorkSerial, u"[Counter]"_s, u"CounterSerial"_s, {}, true, true, QString());
    FillDistinctList(cbxWorkName, u"[Counter]"_s, u"CounterName"_s, {}, true, true, QString());
    FillDistinctList(cbxName, u"[User]"_s, u"UserName"_s, {}, true, true, QString());
    btnDel->setVisible(EditMode == 1);
    btn3->setVisible(EditMode == 1);
    if (EditMode == 0) {
        edtSerial->setText(EntryStore::proposedSerial());
        edtNumber->setValue(0);
        edtAmount->setValue(0);
        dtDate->setDate(newEntryDate);
        edtRemark->clear();
        edtSerial->setFocus();
        return;
    }
    EntryStore::openEntry(EditIndex);
    Query& entry = ShareDM->ADOQueryTemp1;
    edtSerial->setText(VariantToText(entry.value(u"RecordSerial"_s)));
    cbxName->setEditText(VariantToText(entry.value(u"RecordUser"_s)));
    cbxWorkSerial->setCurrentIndex(cbxWorkSerial->findText(VariantToText(entry.value(u"CounterSerial"_s))));
    cbxWorkName->setCurrentIndex(cbxWorkName->findText(VariantToText(entry.value(u"CounterName"_s))));
    cbxWorkUnit->setText(VariantToText(entry.value(u"CounterUnit"_s)));
    const QString price = VariantToText(entry.value(u"RecordPrice"_s));
    const QString number = VariantToText(entry.value(u"RecordNumber"_s));
    const QString amount = VariantToText(entry.value(u"RecordSum"_s));
    const QDate date = QDate::fromString(VariantToText(entry.value(u"RecordRecordDate"_s)), Qt::ISODate);
    const QString remark = VariantToText(entry.value(u"RecordRemark"_s));
    cbxPrice->setEditText(price);
    edtNumber->setText(number);
    edtAmount->setText(amount);
    dtDate->setDate(date);
    edtRemark->setText(remark);
    edtSerial->setFocus();
}

void TInputfrm::showWorkType(const WorkTypeMatch& match)
{
    cbxWorkSerial->setEditText(match.serial);
    cbxWorkName->setEditText(match.name);
    cbxWorkUnit->setText(match.unit);
    loadPrices(match.index);
}

void TInputfrm::loadPrices(int counterIndex)
{
    FillDistinctList(cbxPrice, u"Price"_s, u"PriceValue"_s, Condition(u"PriceCounter=?"_s, {counterIndex}),
                     true, true, QString());
}

void TInputfrm::cbxWorkSerialExit()
{
    if (cbxWorkSerial->currentText().isEmpty())
        return;
    if (const auto match = EntryStore::workTypeBySerial(cbxWorkSerial->currentText()))
        showWorkType(*match);
}

void TInputfrm::cbxWorkNameExit()
{
    if (cbxWorkName->currentText().isEmpty())
        return;
    if (const auto match = EntryStore::workTypeByName(cbxWorkName->currentText()))
        showWorkType(*match);
}

void TInputfrm::cbxNameExit()
{
    if (cbxName->currentText().isEmpty())
        return;
    if (const auto match = EntryStore::workTypeOfWorker(cbxName->currentText()))
        showWorkType(*match);
}

void TInputfrm::cbxPriceChange()
{
    const QString price = cbxPrice->currentText();
    const std::optional<double> number = ReadNumber(price);
    // No amount is shown for a price that is not in the price box.
    if (!number)
        edtAmount->setValue({});
    if (!price.isEmpty() && !number) {
        MessageBox::warning(this, u"输入的单价格式有误，请重新录入"_s);
        cbxPrice->lineEdit()->selectAll();
        return;
    }
    if (edtNumber->text().isEmpty() || !number)
        return;
    edtAmount->setValue(EntryStore::amount(*number, edtNumber->value().toDouble()));
}

void TInputfrm::btn2Click()
{
    CheckRequired(edtSerial, u"请录入计件单据编号"_s);
    CheckRequired(cbxName, u"请录入计件的属主"_s);
    CheckRequired(cbxWorkSerial, u"请输入工种编号"_s);
    CheckRequired(cbxPrice, u"请输入计算的单价"_s);
    CheckRequired(edtNumber, u"请输入计算的件数"_s);
    if (!IsFloat(cbxPrice->currentText())) {
        MessageBox::warning(this, u"输入的单价格式有误，请重新录入"_s);
        cbxPrice->setFocus();
        cbxPrice->lineEdit()->selectAll();
        return;
    }
    // An entry must name a work type that exists: one that matches none would vanish from every list
    // while still counting in the payroll.
    const auto workType = EntryStore::workTypeBySerial(cbxWorkSerial->currentText());
    if (!workType) {
        MessageBox::warning(this,
                            u"工种编号“%1”不存在，请选择已有的工种"_s.arg(cbxWorkSerial->currentText()));
        cbxWorkSerial->setFocus();
        return;
    }
    if (EditMode == 0 && EntryStore::hasEntryOn(cbxName->currentText(), dtDate->date())) {
        MessageBox::information(this, DayTakenMessage);
        cbxName->setFocus();
        return;
    }
    const EntryFields fields{edtSerial->text(),
                             cbxName->currentText(),
                             workType->index,
                             *ReadNumber(cbxPrice->currentText()),
                             edtNumber->value().toDouble(),
                             edtAmount->value().toDouble(),
                             dtDate->date(),
                             edtRemark->text()};
    if (EditMode != 0) {
        EntryStore::change(EditIndex, fields);
    } else if (!EntryStore::addIfDayFree(fields)) {
        // Another workstation saved an entry for this worker and day since the check above.
        MessageBox::information(this, DayTakenMessage);
        cbxName->setFocus();
        return;
    }
    accept();
}

void TInputfrm::btnDelClick()
{
    if (!MessageBox::askYesCancel(this, u"确定删除本记录？删除后无法恢复!"_s))
        return;
    EntryStore::remove(EditIndex);
    accept();
}

void TInputfrm::btn3Click()
{
    EntryStore::openEntry(EditIndex);
    PrintReport(*frReport1, u"frf/Bill.frf"_s, this);
}

void TInputfrm::btn1Click()
{
    reject();
}
