#pragma once

#include "Condition.h"

#include <QIcon>
#include <QList>
#include <QWidget>

#include <functional>

class DataGrid;
struct GridColumn;
class QColor;
class QDateEdit;
class QComboBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class Connection;
class Query;
class ReportComponent;

// The main window: six tabs over the shared connection, and the start-up that connects, logs in
// and loads every list.
class TQirvofrm : public QWidget
{
    Q_OBJECT

public:
    explicit TQirvofrm(QWidget* parent = nullptr);

    enum class StartResult { Ready, LoginCancelled };
    // The start-up steps, run once right before the window is first shown. Throws QirvoError when
    // the database cannot be opened or read; the window then must not be shown.
    StartResult FormShow();
    // Tests answer the login themselves.
    void setLoginRunner(std::function<int()> runLogin) { m_runLogin = std::move(runLogin); }

    QTabWidget* pag1;
    QList<QIcon> ImageList1;

    // 数据中心
    QWidget* tab2;
    QFrame* pnl1;
    QLabel* lbl1;
    QDateEdit* dtRecord;
    QPushButton* btn3;
    QPushButton* btn4;
    QPushButton* btn5;
    QPushButton* btn1;
    DataGrid* DBGridEh3;

    // 员工管理
    QWidget* tab1;
    QPushButton* btn8;
    DataGrid* DBGridEh4;
    QFrame* pnl7;

    // 参数初始化
    QWidget* tab3;
    QPushButton* btn11;
    DataGrid* DBGridEh1;

    // 管理设置
    QWidget* tab4;
    QGroupBox* gbx1;
    QComboBox* cbx1;
    QLineEdit* edt2;
    QPushButton* btn7;
    QFrame* pnl8;
    QLineEdit* edt1;
    QPushButton* btn6;
    QGroupBox* gbx2;
    QToolButton* btn9;
    QToolButton* btn10;

    // 奖惩管理
    QWidget* tab5;
    QPushButton* btn12;
    QPushButton* btn13;
    DataGrid* DBGridEh2;

    // 工资统计
    QWidget* tab6;
    QPushButton* btn14;
    QPushButton* btn15;
    QPushButton* btn16;
    DataGrid* DBGridEh5;

    Query* ADOQueryCenter;
    Query* ADOQueryUser;
    Query* ADOQueryCounter;
    Query* ADOQueryStat;
    Query* ADOQueryjcheng;
    Query* ADOQueryPayfor;

    ReportComponent* frReport1;
    ReportComponent* frReport2;
    ReportComponent* frReport3;
    ReportComponent* frReport4;

    void RefreshDayList();
    void SearchRecords();
    // The entries, and the per-worker totals, that the search filter selects.
    void OpenSearchResult(const Condition& filter);
    void OpenStatistics(const Condition& filter);
    void dtRecordChange();
    void btn3Click();
    void DBGridEh3DblClick();
    void btn1Click();
    void btn5Click();
    void btn6Click();
    void btn7Click();
    void RefreshRewardList(const Condition& filter);
    void RefreshPayrollList();
    void cbx1Change();
    void RefreshCounterList(const Condition& condition);
    void btn11Click();
    void DBGridEh1DblClick();
    void tab1Enter();
    void DBGridEh4KeyDown(QKeyEvent* event);
    void DBGridEh4Exit();
    void ADOQueryUserBeforeEdit(Query& users);
    void ADOQueryUserBeforePost(Query& users);
    void btn4Click();
    void btn8Click();
    void btn16Click();
    void btn12Click();
    void btn13Click();
    void DBGridEh2DblClick();
    void DBGridEh2GetCellParams(const GridColumn& column, int row, QColor& text, QColor& background);
    void btn14Click();
    void DBGridEh5DblClick();
    void btn15Click();
    void btn9Click();
    void btn10Click();

protected:
    // Typed roster text is saved first; a row the roster refuses keeps the window open.
    void closeEvent(QCloseEvent* event) override;

private:
    // The Qirvo.mdb beside the program, checked and brought to this version. Throws QirvoError.
    void openDatabaseFile(Connection& connection);
    QWidget* buildDataCentreTab();
    QWidget* buildRosterTab();
    QWidget* buildWorkTypeTab();
    QWidget* buildManagementTab();
    QWidget* buildRewardTab();
    QWidget* buildPayrollTab();
    Query* ownQuery(const QString& name);
    ReportComponent* ownReport(const QString& name, Query& dataset, const QString& datasetName);
    void editReward();
    void pag1Change(int index);
    // Leaves the roster grid as a row change would: true when nothing is left unsaved there.
    bool leaveRoster();

    std::function<int()> m_runLogin;
    // The stored payroll's version when this window last listed it.
    qint64 m_payrollVersion = 0;
    // The roster row's name as it was when its editing began.
    QString OldUserName;
    QWidget* m_shownPage = nullptr;
};

extern TQirvofrm* Qirvofrm;
