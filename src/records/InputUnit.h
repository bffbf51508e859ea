#pragma once

#include "LoadingDialog.h"
#include <QDate>

class NumberEdit;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class ReportComponent;

// 计件录入: records a new piece-work entry, or changes, deletes and prints a stored one.
class TInputfrm : public LoadingDialog
{
    Q_OBJECT

public:
    explicit TInputfrm(QWidget* parent = nullptr);

    // 0: a new entry; 1: the stored entry EditIndex.
    int EditMode = 0;
    int EditIndex = 0;
    // The day a new entry starts on (the main window's date).
    QDate newEntryDate;

    QLineEdit* edtSerial;
    QComboBox* cbxName;
    QComboBox* cbxWorkSerial;
    QComboBox* cbxWorkName;
    QComboBox* cbxPrice;
    NumberEdit* edtNumber;
    NumberEdit* edtAmount;
    QDateEdit* dtDate;
    QLineEdit* edtRemark;
    QLineEdit* cbxWorkUnit;
    QPushButton* btn3;
    QPushButton* btnDel;
    QPushButton* btn2;
    QPushButton* btn1;
    ReportComponent* frReport1;

    void FormShow() override;
    void cbxWorkSerialExit();
    void cbxWorkNameExit();
    void cbxNameExit();
    void cbxPriceChange();
    void btn2Click();
    void btnDelClick();
    void btn3Click();
    void btn1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadPrices(int counterIndex);
    void showWorkType(const struct WorkTypeMatch& match);
};

extern TInputfrm* Inputfrm;
