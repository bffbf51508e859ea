#include "gZhongUnit.h"

#include "DataGrid.h"
#include "FormWidgets.h"
#include "HandlerGuard.h"
#include "ListControls.h"
#include "MessageBox.h"
#include "Query.h"
#include "ShareDM.h"
#include "WorkTypeStore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TgZhongfrm* gZhongfrm = nullptr;

TgZhongfrm::TgZhongfrm(QWidget* parent) : LoadingDialog(parent)
{
    gZhongfrm = this;
    setObjectName(u"gZhongfrm"_s);
    setWindowTitle(u"gZhongfrm"_s);
    QFont font = FormFont();
    font.setPointSize(9);
    setFont(font);
    setFixedSize(451, 360);

    edt1 = new QLineEdit(this);
    edt1->setObjectName(u"edt1"_s);
    cbx1 = FreeTextCombo(u"cbx1"_s, this);
    cbx2 = FreeTextCombo(u"cbx2"_s, this);
    edt2 = new QLineEdit(this);
    edt2->setObjectName(u"edt2"_s);

    ADOQueryPrice = new Query(ShareDM->ADOConnection1, this);
    ADOQueryPrice->setObjectName(u"ADOQueryPrice"_s);
    ADOQueryPrice->setCachedUpdates(true);
    ADOQueryPrice->setOnNewRecord([this](Query& prices) { prices.setValue(u"PriceCounter"_s, EditIndex); });
    DBGridEh1 = new DataGrid(DataGrid::Kind::Edit, *ADOQueryPrice, this);
    DBGridEh1->setObjectName(u"DBGridEh1"_s);
    GridColumn price{
        u"PriceValue"_s,          u"计件单价"_s, 120, GridColumn::Footer::None, Qt::black, {}, true,
        GridColumn::Value::Number};
    GridColumn remark{u"PriceRemark"_s, u"备注"_s, 200,  GridColumn::Footer::None,
                      Qt::black,        {},        true, GridColumn::Value::Text};
    DBGridEh1->setColumns({price, remark});

    btn2 = SpeedButton(u"确定"_s, u"btn2"_s, this);
    btn3 = SpeedButton(u"删除"_s, u"btn3"_s, this);
    btn1 = SpeedButton(u"取消"_s, u"btn1"_s, this);
    const std::pair<QPushButton*, QStyle::StandardPixmap> pictures[] = {
        {btn2, QStyle::SP_DialogApplyButton},
        {btn3, QStyle::SP_TrashIcon},
        {btn1, QStyle::SP_DialogCancelButton}};
    for (const auto& [button, picture] : pictures) {
        button->setIcon(style()->standardIcon(picture));
        button->setFlat(true);
    }

    auto* inputs = new QGridLayout;
    inputs->addWidget(LabelledInput(u"工种编号"_s, edt1, QStyle::SP_FileDialogDetailedView, 16, this), 0, 0);
    inputs->addWidget(LabelledInput(u"工种名称"_s, cbx1, QStyle::SP_FileDialogDetailedView, 16, this), 0, 1);
    inputs->addWidget(LabelledInput(u"工种单位"_s, cbx2, QStyle::SP_FileDialogDetailedView, 16, this), 0, 2);
    inputs->addWidget(LabelledInput(u"备注"_s, edt2, QStyle::SP_FileDialogDetailedView, 16, this), 1, 0, 1,
                      3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btn2);
    buttons->addStretch();
    buttons->addWidget(btn3);
    buttons->addStretch();
    buttons->addWidget(btn1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addWidget(DBGridEh1, 1);
    layout->addLayout(buttons);

    setTabOrder(edt1, cbx1);
    setTabOrder(cbx1, cbx2);
    setTabOrder(cbx2, edt2);
    setTabOrder(edt2, DBGridEh1->view());

    connect(btn2, &QPushButton::clicked, this, guarded(this, &TgZhongfrm::btn2Click));
    connect(btn3, &QPushButton::clicked, this, guarded(this, &TgZhongfrm::btn3Click));
    connect(btn1, &QPushButton::clicked, this, guarded(this, &TgZhongfrm::btn1Click));
    connect(DBGridEh1, &DataGrid::keyDown, this, [this](QKeyEvent* event) { DBGridEh1KeyDown(event); });
}

void TgZhongfrm::FormShow()
{
    btn3->setVisible(EditMode == 1);
    edt1->clear();
    edt2->clear();
    cbx1->setCurrentIndex(-1);
    cbx1->clearEditText();
    cbx2->setCurrentIndex(-1);
    cbx2->clearEditText();
    if (EditMode == 0) {
        EditIndex = WorkTypeStore::createPlaceholder();
    } else {
        const WorkTypeFields fields = WorkTypeStore::load(EditIndex);
        edt1->setText(fields.serial);
        cbx1->setEditText(fields.name);
        cbx2->setEditText(fields.unit);
        edt2->setText(fields.remark);
    }
    ADOQueryPrice->setSql(u"select * from Price where PriceCounter=?"_s, {EditIndex});
    ADOQueryPrice->open();
    edt1->setFocus();
}

void TgZhongfrm::DBGridEh1KeyDown(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Delete || event->modifiers() != Qt::NoModifier || !ADOQueryPrice->hasRows())
        return;
    event->accept();
    runHandler(this, [this] { ADOQueryPrice->remove(); });
}

void TgZhongfrm::btn2Click()
{
    // The buttons take no focus, so a price still in its cell editor is handed over here.
    DBGridEh1->finishEditing();
    if (ADOQueryPrice->state() != Query::State::Browse)
        ADOQueryPrice->post();
    CheckRequired(edt1, u"请输入工种的编号"_s);
    CheckRequired(cbx1, u"请输入工种的名称"_s);
    const bool codeChanged = EditMode == 0 || WorkTypeStore::storedSerial(EditIndex) != edt1->text();
    if (codeChanged && WorkTypeStore::serialTaken(edt1->text())) {
        MessageBox::warning(this, u"该工种编号已经存在，请重新录入"_s);
        edt1->setFocus();
        edt1->selectAll();
        return;
    }
    if (ADOQueryPrice->recordCount() == 0) {
        MessageBox::warning(this, u"请输入工种的半价项目"_s);
        DBGridEh1->view()->setFocus();
        return;
    }
    WorkTypeStore::save(EditIndex, {edt1->text(), cbx1->currentText(), cbx2->currentText(), edt2->text()},
                        *ADOQueryPrice);
    accept();
}

void TgZhongfrm::btn3Click()
{
    if (!MessageBox::askYesCancel(this, u"确定要删除该工种及其单据项？"_s))
        return;
    WorkTypeStore::remove(EditIndex);
    accept();
}

void TgZhongfrm::btn1Click()
{
    ADOQueryPrice->cancel();
    ADOQueryPrice->cancelUpdates();
    if (EditMode == 0)
        WorkTypeStore::discardPlaceholder(EditIndex);
    m_cancelling = true;
    QDialog::reject();
    m_cancelling = false;
}

void TgZhongfrm::reject()
{
    // A dialog that failed to load has no row of its own to cancel.
    if (m_cancelling || !isVisible() || !isEnabled()) {
        QDialog::reject();
        return;
    }
    runHandler(this, [this] { btn1Click(); });
}
