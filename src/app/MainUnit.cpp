#include "MainUnit.h"

#include "Clock.h"
#include "DataGrid.h"
#include "DatabaseCopies.h"
#include "DatabaseFile.h"
#include "FileDialog.h"
#include "HandlerGuard.h"
#include "InputUnit.h"
#include "ListControls.h"
#include "LoginCheck.h"
#include "LoginUnit.h"
#include "MessageBox.h"
#include "PasswordRules.h"
#include "PasswordUnit.h"
#include "PayrollGenerator.h"
#include "QirvoError.h"
#include "Query.h"
#include "ReportComponent.h"
#include "RosterRules.h"
#include "Schema.h"
#include "SearchFilter.h"
#include "SearchUnit.h"
#include "ServerCopies.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"
#include "SpreadsheetExport.h"
#include "StoreChoice.h"
#include "TabIcons.h"
#include "UsergjEditorUnit.h"
#include "WorkTypeStore.h"
#include "gJiSearchUnit.h"
#include "gZhongUnit.h"
#include "jChengUnit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TQirvofrm* Qirvofrm = nullptr;

namespace {

template <typename Widget> Widget* named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QPushButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    return named(new QPushButton(caption, parent), name);
}

// The 129 × 49 buttons of the reward and payroll tabs, picture beside the caption.
QPushButton* pictureButton(const QString& caption, const QString& name, QStyle::StandardPixmap picture,
                           QWidget* parent)
{
    QPushButton* result = button(caption, name, parent);
    result->setIcon(parent->style()->standardIcon(picture));
    result->setIconSize(QSize(24, 24));
    result->setFixedSize(129, 49);
    result->setCursor(Qt::PointingHandCursor);
    return result;
}

// A large button with its picture above the caption.
QToolButton* largeButton(const QString& caption, const QString& name, const QIcon& icon,
                         const QString& colour, QWidget* parent)
{
    auto* large = named(new QToolButton(parent), name);
    large->setText(caption);
    large->setIcon(icon);
    large->setIconSize(QSize(32, 32));
    large->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    large->setStyleSheet(u"color: %1;"_s.arg(colour));
    large->setMinimumSize(120, 72);
    return large;
}

const QString DatabaseFilter = u"Access Database Files (*.mdb *.MDB)"_s;

// Where the backup and restore dialogs start: the folder of the last backup, else the desktop.
QString backupFolder()
{
    const QString saved = ReadSetting(u"SavePath"_s);
    return saved.isEmpty() ? GetDesktopDir() : saved;
}

// The dialogs' default extension.
QString withMdbSuffix(const QString& fileName)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + u".mdb"_s : fileName;
}

const QColor Fuchsia(0xff, 0x00, 0xff);
const QColor Lime(0x00, 0xff, 0x00);
const QColor Green(0x00, 0x80, 0x00);

DataGrid* grid(DataGrid::Kind kind, Query& query, const QList<GridColumn>& columns, const QString& name,
               QWidget* parent)
{
    auto* result = named(new DataGrid(kind, query, parent), name);
    result->setColumns(columns);
    for (const GridColumn& column : columns)
        if (column.footer != GridColumn::Footer::None)
            result->setFooterVisible(true);
    return result;
}

GridColumn column(const QString& field, const QString& title, int width,
                  GridColumn::Footer footer = GridColumn::Footer::None, const QColor& colour = Qt::black)
{
    GridColumn result;
    result.fieldName = field;
    result.title = title;
    result.width = width;
    result.footer = footer;
    result.footerColour = colour;
    return result;
}

GridColumn typedColumn(const QString& field, const QString& title, int width, GridColumn::Value value)
{
    GridColumn result = column(field, title, width);
    result.value = value;
    return result;
}

constexpr auto Sum = GridColumn::Footer::Sum;
constexpr auto Count = GridColumn::Footer::Count;

QHBoxLayout* buttonRow(std::initializer_list<QWidget*> widgets)
{
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    row->addStretch();
    return row;
}

} // namespace

TQirvofrm::TQirvofrm(QWidget* parent) : QWidget(parent), m_runLogin(ShowLogin)
{
    Qirvofrm = this;
    SettingsIniPath = AppDir() + u"AppSetting.ini"_s;
    setObjectName(u"Qirvofrm"_s);
    setWindowTitle(u"Qirvo计件工资管理软件"_s);
    setFont(FormFont());
    resize(779, 542);

    ADOQueryCenter = ownQuery(u"ADOQueryCenter"_s);
    ADOQueryUser = ownQuery(u"ADOQueryUser"_s);
    ADOQueryCounter = ownQuery(u"ADOQueryCounter"_s);
    ADOQueryStat = ownQuery(u"ADOQueryStat"_s);
    ADOQueryjcheng = ownQuery(u"ADOQueryjcheng"_s);
    ADOQueryjcheng->setSql(u"select * from jcheng"_s);
    ADOQueryPayfor = ownQuery(u"ADOQueryPayfor"_s);
    ADOQueryPayfor->setSql(u"select * from payfor"_s);
    // The lists that grow with the years are read a page at a time; the roster and the work types are
    // short and edited in place, so they are held whole.
    ADOQueryCenter->setWindowed(u"RecordIndex"_s);
    ADOQueryjcheng->setWindowed(u"rowid"_s);
    ADOQueryPayfor->setWindowed(u"rowid"_s);
    frReport1 = ownReport(u"frReport1"_s, *ADOQueryCenter, u"frDBDataSet1"_s);
    frReport2 = ownReport(u"frReport2"_s, *ADOQueryStat, u"frDBDataSet2"_s);
    frReport3 = ownReport(u"frReport3"_s, *ADOQueryUser, u"frDBDataSet3"_s);
    frReport4 = ownReport(u"frReport4"_s, *ADOQueryPayfor, u"frDBDataSet4"_s);

    ImageList1 = BuildImageList();
    pag1 = named(new QTabWidget(this), u"pag1"_s);
    pag1->setIconSize(QSize(32, 32));
    pag1->setStyleSheet(u"QTabBar::tab { height: 40px; }"_s);
    pag1->addTab(buildDataCentreTab(), ImageList1.at(6), u"数据中心"_s);
    pag1->addTab(buildRosterTab(), ImageList1.at(11), u"员工管理"_s);
    pag1->addTab(buildWorkTypeTab(), ImageList1.at(9), u"参数初始化"_s);
    pag1->addTab(buildManagementTab(), ImageList1.at(9), u"管理设置"_s);
    pag1->addTab(buildRewardTab(), ImageList1.at(5), u"奖惩管理"_s);
    pag1->addTab(buildPayrollTab(), ImageList1.at(13), u"工资统计"_s);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pag1);

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    connect(cbx1, &QComboBox::currentIndexChanged, this, guarded(this, &TQirvofrm::cbx1Change));
    connect(dtRecord, &QDateEdit::dateChanged, this, guarded(this, &TQirvofrm::dtRecordChange));
    connect(btn3, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn3Click));
    connect(DBGridEh3, &DataGrid::dblClick, this, guarded(this, &TQirvofrm::DBGridEh3DblClick));
    connect(btn1, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn1Click));
    connect(btn5, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn5Click));
    connect(btn6, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn6Click));
    connect(btn7, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn7Click));
    connect(btn11, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn11Click));
    connect(DBGridEh1, &DataGrid::dblClick, this, guarded(this, &TQirvofrm::DBGridEh1DblClick));
    m_shownPage = pag1->currentWidget();
    connect(pag1, &QTabWidget::currentChanged, this, &TQirvofrm::pag1Change);
    connect(DBGridEh4, &DataGrid::keyDown, this,
            [this](QKeyEvent* event) { runHandler(this, [this, event] { DBGridEh4KeyDown(event); }); });
    connect(DBGridEh4, &DataGrid::exited, this, guarded(this, &TQirvofrm::DBGridEh4Exit));
    ADOQueryUser->setBeforeEdit([this](Query& users) { ADOQueryUserBeforeEdit(users); });
    ADOQueryUser->setBeforePost([this](Query& users) { ADOQueryUserBeforePost(users); });
    connect(btn4, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn4Click));
    connect(btn8, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn8Click));
    connect(btn16, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn16Click));
    connect(btn12, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn12Click));
    connect(btn13, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn13Click));
    connect(DBGridEh2, &DataGrid::dblClick, this, guarded(this, &TQirvofrm::DBGridEh2DblClick));
    DBGridEh2->setCellParams([this](const GridColumn& column, int row, QColor& text, QColor& background) {
        DBGridEh2GetCellParams(column, row, text, background);
    });
    connect(btn14, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn14Click));
    connect(DBGridEh5, &DataGrid::dblClick, this, guarded(this, &TQirvofrm::DBGridEh5DblClick));
    connect(btn15, &QPushButton::clicked, this, guarded(this, &TQirvofrm::btn15Click));
    connect(btn9, &QToolButton::clicked, this, guarded(this, &TQirvofrm::btn9Click));
    connect(btn10, &QToolButton::clicked, this, guarded(this, &TQirvofrm::btn10Click));
}

Query* TQirvofrm::ownQuery(const QString& name)
{
    return named(new Query(ShareDM->ADOConnection1, this), name);
}

ReportComponent* TQirvofrm::ownReport(const QString& name, Query& dataset, const QString& datasetName)
{
    return named(new ReportComponent(dataset, datasetName, this), name);
}

QWidget* TQirvofrm::buildDataCentreTab()
{
    tab2 = named(new QWidget, u"tab2"_s);
    pnl1 = named(new QFrame(tab2), u"pnl1"_s);
    lbl1 = named(new QLabel(u"数据录入日期"_s, pnl1), u"lbl1"_s);
    dtRecord = named(new QDateEdit(pnl1), u"dtRecord"_s);
    dtRecord->setCalendarPopup(true);
    dtRecord->setDisplayFormat(u"yyyy-MM-dd"_s);
    btn3 = button(u"添加记录"_s, u"btn3"_s, pnl1);
    btn4 = button(u"打印列表"_s, u"btn4"_s, pnl1);
    btn5 = button(u"统计列表数量"_s, u"btn5"_s, pnl1);
    btn1 = button(u"查找"_s, u"btn1"_s, pnl1);
    pnl1->setLayout(buttonRow({lbl1, dtRecord, btn3, btn4, btn5, btn1}));
    DBGridEh3 = grid(
        DataGrid::Kind::List, *ADOQueryCenter,
        {column(u"RecordSerial"_s, u"编号"_s, 80, Count, Qt::blue), column(u"RecordUser"_s, u"用户名"_s, 80),
         column(u"RecordRecordDate"_s, u"录入时间"_s, 80), column(u"CounterSerial"_s, u"工种编号"_s, 80),
         column(u"CounterName"_s, u"工种名称"_s, 80), column(u"CounterUnit"_s, u"单位"_s, 80),
         column(u"RecordPrice"_s, u"单价"_s, 80), column(u"RecordNumber"_s, u"件数"_s, 80, Sum, Qt::blue),
         column(u"RecordSum"_s, u"总额"_s, 80, Sum, Qt::red), column(u"RecordRemark"_s, u"备注"_s, 160)},
        u"DBGridEh3"_s, tab2);

    auto* layout = new QVBoxLayout(tab2);
    layout->addWidget(pnl1);
    layout->addWidget(DBGridEh3);
    return tab2;
}

QWidget* TQirvofrm::buildRosterTab()
{
    tab1 = named(new QWidget, u"tab1"_s);
    btn8 = button(u"打印花名册"_s, u"btn8"_s, tab1);
    DBGridEh4 = grid(DataGrid::Kind::Edit, *ADOQueryUser,
                     {column(u"UserName"_s, u"姓名"_s, 100),
                      typedColumn(u"UserAge"_s, u"年龄"_s, 40, GridColumn::Value::Number),
                      column(u"UserSex"_s, u"性别"_s, 40), column(u"UserPhone"_s, u"联系电话"_s, 80),
                      typedColumn(u"UserWorkDate"_s, u"入厂时间"_s, 80, GridColumn::Value::Date),
                      column(u"UserCounterName"_s, u"工种"_s, 60), column(u"UserCardID"_s, u"身份证"_s, 130),
                      column(u"UserAddress"_s, u"联系地址"_s, 200),
                      typedColumn(u"UserBase"_s, u"基本工资"_s, 60, GridColumn::Value::Number)},
                     u"DBGridEh4"_s, tab1);
    DBGridEh4->setPickList(2, {u"男"_s, u"女"_s});
    pnl7 = named(new QFrame(tab1), u"pnl7"_s);
    auto* hints = new QVBoxLayout(pnl7);
    for (
        const QString& hint :
        {u"提示：点击单元格开始录入数据，按TAB键移动到下一个单元格。按Delete键删除当前所在单元格的行记录。"_s,
         u"      按向下方向键新增一条行记录。"_s}) {
        auto* line = new QLabel(hint, pnl7);
        line->setStyleSheet(u"color: red;"_s);
        hints->addWidget(line);
    }
    auto* top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(btn8);
    auto* layout = new QVBoxLayout(tab1);
    layout->addLayout(top);
    layout->addWidget(DBGridEh4);
    layout->addWidget(pnl7);
    return tab1;
}

QWidget* TQirvofrm::buildWorkTypeTab()
{
    tab3 = named(new QWidget, u"tab3"_s);
    btn11 = button(u"添加工种"_s, u"btn11"_s, tab3);
    DBGridEh1 =
        grid(DataGrid::Kind::List, *ADOQueryCounter,
             {column(u"CounterSerial"_s, u"编号"_s, 80), column(u"CounterName"_s, u"工种名称"_s, 100),
              column(u"CounterUnit"_s, u"工种单位"_s, 70), column(u"CounterRemark"_s, u"备注"_s, 250)},
             u"DBGridEh1"_s, tab3);
    auto* layout = new QVBoxLayout(tab3);
    layout->addLayout(buttonRow({btn11}));
    layout->addWidget(DBGridEh1);
    return tab3;
}

QWidget* TQirvofrm::buildManagementTab()
{
    tab4 = named(new QWidget, u"tab4"_s);

    gbx1 = named(new QGroupBox(u"登录设置"_s, tab4), u"gbx1"_s);
    cbx1 = named(new QComboBox(gbx1), u"cbx1"_s);
    cbx1->setEditable(false);
    cbx1->setMinimumWidth(160);
    edt2 = named(new QLineEdit(gbx1), u"edt2"_s);
    btn7 = button(u"设定"_s, u"btn7"_s, gbx1);
    auto* loginRow =
        buttonRow({new QLabel(u"登录用户："_s, gbx1), cbx1, new QLabel(u"登录密码："_s, gbx1), edt2, btn7});
    gbx1->setLayout(loginRow);

    pnl8 = named(new QFrame(tab4), u"pnl8"_s);
    pnl8->setFrameShape(QFrame::StyledPanel);
    edt1 = named(new QLineEdit(pnl8), u"edt1"_s);
    btn6 = button(u"设定"_s, u"btn6"_s, pnl8);
    pnl8->setLayout(buttonRow({new QLabel(u"单据修改密码："_s, pnl8), edt1, btn6}));

    gbx2 = named(new QGroupBox(tab4), u"gbx2"_s);
    btn9 = largeButton(u"备份数据"_s, u"btn9"_s, ImageList1.at(10), u"blue"_s, gbx2);
    btn10 = largeButton(u"恢复数据"_s, u"btn10"_s, ImageList1.at(12), u"red"_s, gbx2);
    gbx2->setLayout(buttonRow({btn9, btn10}));

    auto* layout = new QVBoxLayout(tab4);
    layout->addStretch();
    for (QWidget* block : std::initializer_list<QWidget*>{gbx1, pnl8, gbx2}) {
        auto* centred = new QHBoxLayout;
        centred->addStretch();
        centred->addWidget(block);
        centred->addStretch();
        layout->addLayout(centred);
    }
    layout->addStretch();
    return tab4;
}

QWidget* TQirvofrm::buildRewardTab()
{
    tab5 = named(new QWidget, u"tab5"_s);
    btn12 = pictureButton(u"添加奖励"_s, u"btn12"_s, QStyle::SP_DialogYesButton, tab5);
    btn13 = pictureButton(u"添加惩罚"_s, u"btn13"_s, QStyle::SP_DialogNoButton, tab5);
    DBGridEh2 = grid(DataGrid::Kind::List, *ADOQueryjcheng,
                     {column(u"jchengUser"_s, u"员工姓名"_s, 100), column(u"jcTypeStr"_s, u"类型"_s, 60),
                      column(u"jchengDate"_s, u"日期"_s, 120), column(u"jchengReson"_s, u"原因"_s, 100),
                      column(u"jchengSum"_s, u"金额"_s, 100, Sum, Fuchsia),
                      column(u"jchengRemark"_s, u"备注"_s, 250)},
                     u"DBGridEh2"_s, tab5);
    auto* layout = new QVBoxLayout(tab5);
    layout->addLayout(buttonRow({btn12, btn13}));
    layout->addWidget(DBGridEh2);
    return tab5;
}

QWidget* TQirvofrm::buildPayrollTab()
{
    tab6 = named(new QWidget, u"tab6"_s);
    btn14 = pictureButton(u"重新生成工资"_s, u"btn14"_s, QStyle::SP_BrowserReload, tab6);
    btn15 = pictureButton(u"导出Excel"_s, u"btn15"_s, QStyle::SP_DialogSaveButton, tab6);
    btn16 = pictureButton(u"打印列表"_s, u"btn16"_s, QStyle::SP_FileDialogContentsView, tab6);
    DBGridEh5 = grid(DataGrid::Kind::List, *ADOQueryPayfor,
                     {column(u"payforUser"_s, u"员工姓名"_s, 100),
                      typedColumn(u"payforStartDate"_s, u"开始日期"_s, 100, GridColumn::Value::Date),
                      typedColumn(u"payforEndDate"_s, u"结束日期"_s, 100, GridColumn::Value::Date),
                      column(u"payforBase"_s, u"基本工资"_s, 80, Sum, Qt::red),
                      column(u"payforjli"_s, u"奖励"_s, 80, Sum, Qt::blue),
                      column(u"payforcfa"_s, u"惩罚"_s, 80, Sum, Lime),
                      column(u"payforjjian"_s, u"计件工资"_s, 80, Sum, Fuchsia),
                      column(u"PayforSum"_s, u"合计"_s, 100, Sum, Green)},
                     u"DBGridEh5"_s, tab6);
    auto* layout = new QVBoxLayout(tab6);
    layout->addLayout(buttonRow({btn14, btn15, btn16}));
    layout->addWidget(DBGridEh5);
    return tab6;
}

void TQirvofrm::openDatabaseFile(Connection& connection)
{
    const QString databasePath = DatabasePath();
    // A restore killed halfway leaves its partial copy here.
    DatabaseCopies::removeStalePartials(AppDir());
    connection.setConnectionString(BuildConnectionString(databasePath, DatabasePassword));
    connection.open();
    QString upgradeCopy;
    int upgradedFrom = Schema::CurrentVersion;
    try {
        DatabaseFile::verifyWritable(databasePath);
        upgradedFrom = Schema::upgrade(connection.database(), [&] {
            upgradeCopy = DatabaseCopies::upgradeCopyName(databasePath, QDateTime::currentDateTime());
            if (const int error = DatabaseCopies::backup(connection, upgradeCopy))
                throw QirvoError(u"数据库文件需要升级，但无法先保存它的副本（失败号为：%1）：\n%2\n"
                                 u"数据库未作改动。请确认程序目录有足够的空间并可以写入。"_s.arg(uint(error))
                                     .arg(QDir::toNativeSeparators(upgradeCopy)));
        });
    } catch (const QirvoError&) {
        connection.close();
        throw;
    }
    if (upgradedFrom < Schema::CurrentVersion)
        MessageBox::information(
            this, u"数据库文件已从第 %1 版升级到第 %2 版。\n升级前的文件已保存为：\n%3"_s.arg(upgradedFrom)
                      .arg(Schema::CurrentVersion)
                      .arg(QDir::toNativeSeparators(upgradeCopy)));
}

TQirvofrm::StartResult TQirvofrm::FormShow()
{
    {
        // Setting the day is no change by the operator; the list is loaded after the login.
        const QSignalBlocker quiet(dtRecord);
        dtRecord->setDate(Clock::today());
    }
    Connection& connection = ShareDM->ADOConnection1;
    connection.close();
    if (const std::optional<ServerAddress>& server = StoreChoice::server()) {
        connection.setServer(*server);
        connection.open();
    } else {
        openDatabaseFile(connection);
    }
    // A clerk sees where the work goes: the file beside the program or the shared server.
    setWindowTitle(u"Qirvo计件工资管理软件 - "_s + connection.shownStore());

    if (m_runLogin() != QDialog::Accepted)
        return StartResult::LoginCancelled;

    const bool mayManage = AccountMayManage(LoginName);
    if (!mayManage) {
        // A hidden tab can still be reached by keys; a page taken out of the page control cannot.
        pag1->removeTab(pag1->indexOf(tab4));
        tab4->setEnabled(false);
    }
    WorkTypeStore::removeStrayPlaceholders();
    OpenQuery(*ADOQueryCounter, u"Select * from [Counter]"_s);
    RefreshDayList();
    OpenQuery(*ADOQueryUser, u"Select * from [User]"_s);
    RefreshRewardList({});
    pag1->setCurrentIndex(0);
    // The passwords are loaded only for an account that may see them.
    if (mayManage) {
        edt1->setText(VariantToText(LookupFieldValue(u"Parameter"_s, u"ParameterValue"_s,
                                                     Condition(u"ParameterName=?"_s, {u"修改"_s}))));
        FillDistinctList(cbx1, u"Power"_s, u"PowerName"_s, {}, true, true, QString());
        cbx1Change();
    }
    RefreshPayrollList();
    return StartResult::Ready;
}

void TQirvofrm::RefreshDayList()
{
    OpenQuery(*ADOQueryCenter, DayListSql(), {dtRecord->date()});
}

void TQirvofrm::RefreshRewardList(const Condition& filter)
{
    OpenQuery(*ADOQueryjcheng,
              u"select *,iif(jchengSum>0,'奖励','惩罚') as jcTypeStr from jcheng where 0=0"_s + filter.text,
              filter.params);
}

void TQirvofrm::RefreshPayrollList()
{
    // The version first: a payroll written between the two reads counts as unseen.
    m_payrollVersion = PayrollGenerator::storedVersion();
    OpenQuery(*ADOQueryPayfor, u"select * from  payfor where PayforEnable=True"_s);
}

void TQirvofrm::cbx1Change()
{
    edt2->setText(PasswordRules::loginPassword(cbx1->currentText()));
}

void TQirvofrm::btn6Click()
{
    PasswordRules::setModifyPassword(edt1->text());
    MessageBox::information(this, u"设置成功"_s);
}

void TQirvofrm::btn7Click()
{
    // With no account chosen there is nobody to set a password for.
    if (cbx1->currentIndex() < 0 || cbx1->currentText().isEmpty())
        return;
    PasswordRules::setLoginPassword(cbx1->currentText(), edt2->text());
    MessageBox::information(this, u"设置成功"_s);
}

void TQirvofrm::dtRecordChange()
{
    RefreshDayList();
}

void TQirvofrm::btn3Click()
{
    Inputfrm->EditMode = 0;
    Inputfrm->newEntryDate = dtRecord->date();
    if (Inputfrm->exec() == QDialog::Accepted)
        RefreshDayList();
}

void TQirvofrm::DBGridEh3DblClick()
{
    if (!ADOQueryCenter->hasRows())
        return;
    if (AskModifyPassword(this) != QDialog::Accepted)
        return;
    Inputfrm->EditMode = 1;
    Inputfrm->EditIndex = ADOQueryCenter->value(u"RecordIndex"_s).toInt();
    if (Inputfrm->exec() == QDialog::Accepted)
        RefreshDayList();
}

void TQirvofrm::btn1Click()
{
    SearchRecords();
}

void TQirvofrm::SearchRecords()
{
    if (Searchfrm->exec() != QDialog::Accepted)
        return;
    OpenSearchResult(Searchfrm->FilterText);
}

void TQirvofrm::OpenSearchResult(const Condition& filter)
{
    OpenQuery(*ADOQueryCenter, SearchResultSql(filter), filter.params);
}

void TQirvofrm::btn5Click()
{
    OpenStatistics(Searchfrm->FilterText);
    PrintReport(*frReport2, u"frf/Stat2.frf"_s, this);
}

void TQirvofrm::OpenStatistics(const Condition& filter)
{
    OpenQuery(*ADOQueryStat, StatisticsSql(filter), filter.params);
}

void TQirvofrm::RefreshCounterList(const Condition& condition)
{
    OpenQuery(*ADOQueryCounter, u"select * from [Counter] where 0=0"_s + condition.text, condition.params);
}

void TQirvofrm::btn11Click()
{
    gZhongfrm->EditMode = 0;
    if (gZhongfrm->exec() == QDialog::Accepted)
        RefreshCounterList({});
}

void TQirvofrm::DBGridEh1DblClick()
{
    if (!ADOQueryCounter->hasRows())
        return;
    gZhongfrm->EditMode = 1;
    gZhongfrm->EditIndex = ADOQueryCounter->value(u"CounterIndex"_s).toInt();
    if (gZhongfrm->exec() == QDialog::Accepted)
        RefreshCounterList({});
}

void TQirvofrm::pag1Change(int index)
{
    QWidget* left = m_shownPage;
    m_shownPage = pag1->widget(index);
    if (left == tab1 && m_shownPage != tab1 && !leaveRoster()) {
        pag1->setCurrentWidget(tab1);
        return;
    }
    if (m_shownPage == tab1)
        runHandler(this, [this] { tab1Enter(); });
}

bool TQirvofrm::leaveRoster()
{
    if (!ADOQueryUser->isActive())
        return true;
    DBGridEh4->leave();
    return ADOQueryUser->state() == Query::State::Browse;
}

void TQirvofrm::closeEvent(QCloseEvent* event)
{
    if (!leaveRoster()) {
        pag1->setCurrentWidget(tab1);
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TQirvofrm::tab1Enter()
{
    DBGridEh4->setPickList(2, {u"男"_s, u"女"_s});
    DBGridEh4->setPickList(5, RosterRules::workTypeNames());
}

void TQirvofrm::DBGridEh4KeyDown(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Delete || event->modifiers() != Qt::NoModifier)
        return;
    event->accept();
    if (!ADOQueryUser->hasRows())
        return;
    if (MessageBox::askYesCancel(this, u"是否确定删除当前记录?删除当前记录将无法恢复"_s))
        ADOQueryUser->remove();
}

void TQirvofrm::DBGridEh4Exit()
{
    if (ADOQueryUser->state() == Query::State::Edit || ADOQueryUser->state() == Query::State::Insert)
        ADOQueryUser->post();
}

void TQirvofrm::ADOQueryUserBeforeEdit(Query& users)
{
    OldUserName = VariantToText(users.value(u"UserName"_s));
}

void TQirvofrm::ADOQueryUserBeforePost(Query& users)
{
    // Blanks around a name are never part of it: " 张三 " is 张三.
    const QString typed = VariantToText(users.value(u"UserName"_s));
    const QString name = typed.trimmed();
    if (users.state() == Query::State::Insert || name != OldUserName) {
        if (name.isEmpty()) {
            MessageBox::warning(this, u"员工姓名不能为空，请输入姓名"_s);
            throw SilentAbort{};
        }
        if (RosterRules::nameTaken(name)) {
            MessageBox::warning(this, u"该用户记录已经存在，请重新录入"_s);
            throw SilentAbort{};
        }
    }
    if (typed != name)
        users.setValue(u"UserName"_s, name);
}

void TQirvofrm::btn4Click()
{
    PrintReport(*frReport1, u"frf/Report.frf"_s, this);
}

void TQirvofrm::btn8Click()
{
    PrintReport(*frReport3, u"frf/UserReport.frf"_s, this);
}

void TQirvofrm::btn16Click()
{
    if (!ADOQueryPayfor->hasRows())
        return;
    PrintReport(*frReport4, u"frf/gjList.frf"_s, this);
}

void TQirvofrm::editReward()
{
    if (jchengfrm->exec() == QDialog::Accepted)
        RefreshRewardList({});
}

void TQirvofrm::btn12Click()
{
    jchengfrm->EditMode = 0;
    jchengfrm->PunishFlag = 0;
    editReward();
}

void TQirvofrm::btn13Click()
{
    jchengfrm->EditMode = 0;
    jchengfrm->PunishFlag = 1;
    editReward();
}

void TQirvofrm::DBGridEh2DblClick()
{
    if (!ADOQueryjcheng->hasRows())
        return;
    jchengfrm->EditMode = 1;
    jchengfrm->EditIndex = ADOQueryjcheng->value(u"jchengIndex"_s).toInt();
    editReward();
}

void TQirvofrm::DBGridEh2GetCellParams(const GridColumn& column, int row, QColor& text, QColor&)
{
    if (column.fieldName != u"jchengSum"_s)
        return;
    const double amount = ADOQueryjcheng->value(row, ADOQueryjcheng->fieldIndex(u"jchengSum"_s)).toDouble();
    text = amount >= 0 ? Qt::blue : Qt::red;
}

void TQirvofrm::btn14Click()
{
    if (gJifrm->exec() != QDialog::Accepted)
        return;
    const PayrollGenerator::Written written = PayrollGenerator::generateOver(
        gJifrm->NameList, gJifrm->StartDate, gJifrm->EndDate, m_payrollVersion);
    RefreshPayrollList();
    if (written.replacedAnother)
        MessageBox::information(this, u"在您打开这份工资表之后，另一台电脑也生成过工资表。"
                                      u"现在列出的是您刚才生成的结果，那一份已被替换。"_s);
}

void TQirvofrm::DBGridEh5DblClick()
{
    if (!ADOQueryPayfor->hasRows())
        return;
    UserGjEditorfrm->EditMode = 1;
    UserGjEditorfrm->EditIndex = ADOQueryPayfor->value(u"PayforIndex"_s).toInt();
    if (UserGjEditorfrm->exec() == QDialog::Accepted)
        RefreshPayrollList();
}

void TQirvofrm::btn15Click()
{
    if (!ADOQueryPayfor->hasRows())
        return;
    ExportGridToExcel(DBGridEh5, this);
}

void TQirvofrm::btn9Click()
{
    const QString proposed =
        QDir(backupFolder()).filePath(DatabaseCopies::proposedBackupName(Clock::today()));
    Connection& connection = ShareDM->ADOConnection1;
    const bool onServer = connection.server().has_value();
    const QString databasePath = DatabasePath();
    if (!onServer && !QFile::exists(databasePath)) {
        MessageBox::information(this, u"数据库文件不存在！"_s);
        return;
    }
    const QString chosen = FileDialog::getSaveFileName(this, u"备份数据"_s, proposed, DatabaseFilter);
    if (chosen.isEmpty())
        return;
    const QString target = withMdbSuffix(chosen);
    if (onServer) {
        ServerCopies::backup(connection, target);
    } else if (DatabaseCopies::isSameFile(target, databasePath)) {
        MessageBox::warning(this,
                            u"不能备份到正在使用的数据库文件本身（%1），请另选一个文件名或文件夹。"_s.arg(
                                QDir::toNativeSeparators(databasePath)));
        return;
    } else if (const int error = DatabaseCopies::backup(connection, target)) {
        MessageBox::information(this, u"数据库备份失败，失败号为：%1"_s.arg(uint(error)));
        return;
    }
    MessageBox::information(this, u"恭喜您，数据库备份成功"_s);
    WriteSetting(u"SavePath"_s, QFileInfo(target).absolutePath() + u'/');
    WriteSetting(u"SaveLast"_s, QFileInfo(target).absoluteFilePath());
}

void TQirvofrm::btn10Click()
{
    if (!MessageBox::askYesNo(this, u"恢复警告"_s, u"数据库恢复将导致当前数据全部丢失，是否继续？"_s))
        return;
    const QString chosen = FileDialog::getOpenFileName(
        this, u"恢复数据"_s, QDir(backupFolder()).filePath(u"*.mdb"_s), DatabaseFilter);
    if (chosen.isEmpty())
        return;
    const QString backup = QFileInfo::exists(chosen) ? chosen : withMdbSuffix(chosen);
    if (!QFileInfo::exists(backup)) {
        MessageBox::information(this, u"数据库恢复失败，失败号为：%1"_s.arg(uint(ENOENT)));
        return;
    }
    // The chosen file is examined before anything is closed, so a wrong choice costs nothing.
    try {
        DatabaseCopies::examineBackup(backup);
    } catch (const QirvoError& refusal) {
        MessageBox::warning(this, u"恢复已取消，当前数据库没有任何改动。\n\n"_s + refusal.message());
        return;
    }
    Connection& connection = ShareDM->ADOConnection1;
    if (connection.server()) {
        // What the server held is kept beside the backups, as a restore of the file keeps it.
        const QString safetyCopy = DatabaseCopies::safetyCopyName(
            QDir(backupFolder()).filePath(DatabaseFileName), QDateTime::currentDateTime());
        ServerCopies::restore(connection, backup, safetyCopy);
        MessageBox::information(
            this, u"恭喜您，数据库恢复成功。恢复前服务器上的数据已保存为：\n%1\n请重新启动软件"_s.arg(
                      QDir::toNativeSeparators(safetyCopy)));
        close();
        return;
    }
    const QString databasePath = DatabasePath();
    connection.close();
    if (const int error = DatabaseCopies::restore(backup, databasePath, QDateTime::currentDateTime())) {
        MessageBox::information(this, u"数据库恢复失败，失败号为：%1"_s.arg(uint(error)));
        // The database file is unchanged; the program goes on working on it.
        connection.open();
        return;
    }
    MessageBox::information(this, u"恭喜您，数据库恢复成功，请重新启动软件"_s);
    close();
}
