#pragma once

#include <QDate>
#include <QDialog>
#include <QStringList>

class QDateEdit;
class QFrame;
class QListWidget;
class QPushButton;

// gJifrm: chooses the workers and the date range of a payroll.
class TgJifrm : public QDialog
{
    Q_OBJECT

public:
    explicit TgJifrm(QWidget* parent = nullptr);

    // The choice after 确定: the chosen names (every listed name when none is selected) and the
    // range. They travel as values, not as SQL text.
    QStringList NameList;
    QDate StartDate;
    QDate EndDate;

    QDateEdit* DateTimePicker1;
    QDateEdit* DateTimePicker2;
    QListWidget* lbx1;
    QFrame* Shape1;
    QPushButton* btn1;
    QPushButton* btn2;

    void FormShow();
    void btn1Click();
    void btn2Click();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TgJifrm* gJifrm;
