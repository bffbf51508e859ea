#pragma once

#include "FixedDialog.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The account name of the current login; empty until a login succeeds, then set once per run.
extern QString LoginName;

class TLoginfrm : public FixedDialog
{
    Q_OBJECT

public:
    explicit TLoginfrm(QWidget* parent = nullptr);

    QFrame* Shape1;
    QLabel* img1;
    QLabel* lbl2;
    QComboBox* cbx1;
    QLabel* lbl1;
    QLineEdit* edt1;
    QPushButton* btn2;
    QPushButton* btn1;

    void FormShow();
    void btn2Click();
    void btn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_shown = false;
};

// Runs the login dialog; QDialog::Accepted once an account and its password were confirmed.
int ShowLogin();
