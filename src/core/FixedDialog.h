#pragma once

#include <QDialog>

// A dialog whose buttons are the only way out besides the close box: Escape does not cancel it
// and Enter presses nothing.
class FixedDialog : public QDialog
{
    Q_OBJECT

public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
