#pragma once

#include "LoadingDialog.h"

class DataGrid;
class QComboBox;
class QLineEdit;
class QPushButton;
class Query;

// The work-type editor: one work type and its prices, added or changed together.
class TgZhongfrm : public LoadingDialog
{
    Q_OBJECT

public:
    explicit TgZhongfrm(QWidget* parent = nullptr);

    // 0: add a work type; 1: change the work type EditIndex.
    int EditMode = 0;
    int EditIndex = 0;

    QLineEdit* edt1;
    QComboBox* cbx1;
    QComboBox* cbx2;
    QLineEdit* edt2;
    Query* ADOQueryPrice;
    DataGrid* DBGridEh1;
    QPushButton* btn2;
    QPushButton* btn3;
    QPushButton* btn1;

    void FormShow() override;
    void btn2Click();
    void btn3Click();
    void btn1Click();

    // The close box and Escape do what 取消 does, so an add never leaves its placeholder behind.
    void reject() override;

private:
    void DBGridEh1KeyDown(QKeyEvent* event);
    bool m_cancelling = false;
};

extern TgZhongfrm* gZhongfrm;
