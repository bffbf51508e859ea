#pragma once

#include "FixedDialog.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// 修改密码: asks for the modification password before a stored entry is opened for change.
class TPasswordfrm : public FixedDialog
{
    Q_OBJECT

public:
    explicit TPasswordfrm(QWidget* parent = nullptr);

    QLabel* lbl1;
    QLineEdit* edt1;
    QPushButton* btn1;
    QPushButton* btn2;

    void btn1Click();
    void btn2Click();
};

// QDialog::Accepted only when the modification password was typed correctly.
int AskModifyPassword(QWidget* parent);
// Tests answer the question themselves.
void SetModifyPasswordAsker(std::function<int(QWidget*)> asker);
