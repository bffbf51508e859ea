#pragma once

#include <QProgressDialog>

// How far a long step has come, with 取消. It shows itself only when the step takes a while, and is
// brought up to date a few hundred steps at a time, which keeps 取消 live for less than the steps cost.
class ProgressWindow
{
public:
    ProgressWindow(const QString& caption, const QString& label, QWidget* parent);

    // For a step's progress callback: false once 取消 was pressed.
    bool advance(int done, int total, int every = 256);

private:
    QProgressDialog m_dialog;
};
