#pragma once

#include "LoadingDialog.h"

class NumberEdit;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

// jchengfrm: records or changes one reward or punishment.
class Tjchengfrm : public LoadingDialog
{
    Q_OBJECT

public:
    explicit Tjchengfrm(QWidget* parent = nullptr);

    // 0: a new row; 1: the row EditIndex.
    int EditMode = 0;
    int EditIndex = 0;
    // 1: the amount is a punishment and is stored negated.
    int PunishFlag = 0;

    QComboBox* cbx1;
    QDateEdit* DateTimePicker1;
    QComboBox* cbx2;
    NumberEdit* dbNum1;
    QLineEdit* edt2;
    QPushButton* btn2;
    QPushButton* btn3;
    QPushButton* btn1;

    void FormShow() override;
    void btn2Click();
    void btn3Click();
    void btn1Click();
};

extern Tjchengfrm* jchengfrm;
