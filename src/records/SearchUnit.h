#pragma once

#include "Condition.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// 查询: turns the operator's choices into the filter of the data-centre list and its statistics.
class TSearchfrm : public QDialog
{
    Q_OBJECT

public:
    explicit TSearchfrm(QWidget* parent = nullptr);

    // The clauses of the last search confirmed with 确定, with their values; empty before the first.
    Condition FilterText;

    QLabel* lbl1;
    QComboBox* cbxName;
    QDateEdit* dtDateStart;
    QDateEdit* dtDateEnd;
    QCheckBox* chk1;
    QLabel* lbl3;
    QLineEdit* edtSerial;
    QLabel* lbl2;
    QComboBox* cbxWorkName;
    QPushButton* btn2;
    QPushButton* btn1;

    void FormShow();
    void chk1Click();
    void btn2Click();
    void btn1Click();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TSearchfrm* Searchfrm;
