#pragma once

#include "LoadingDialog.h"

class NumberEdit;
class QLineEdit;
class QPushButton;

// UserGjEditorfrm: adjusts one payroll row by hand, or withdraws it.
class TUserGjEditorfrm : public LoadingDialog
{
    Q_OBJECT

public:
    explicit TUserGjEditorfrm(QWidget* parent = nullptr);

    // 1: work on the stored row EditIndex (the only mode the main window uses).
    int EditMode = 1;
    int EditIndex = 0;

    QLineEdit* edt1;
    NumberEdit* dbNum1;
    NumberEdit* dbNum2;
    NumberEdit* dbNum3;
    NumberEdit* dbNum4;
    NumberEdit* dbNum5;
    QPushButton* btn1;
    QPushButton* btn3;
    QPushButton* btn2;

    void FormShow() override;
    void dbNum1Change();
    void btn1Click();
    void btn3Click();
    void btn2Click();

private:
    bool m_loading = false;
};

extern TUserGjEditorfrm* UserGjEditorfrm;
