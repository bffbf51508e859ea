#pragma once

#include <QDialog>

// A dialog that fills itself from the database each time it is shown. When filling fails, the error
// box says why and the dialog closes again: none of its buttons may act on a row it did not load,
// nor on the row of an earlier opening.
class LoadingDialog : public QDialog
{
    Q_OBJECT

public:
    using QDialog::QDialog;

    // Fills the dialog for its mode; throws what the error box shows.
    virtual void FormShow() = 0;

protected:
    void showEvent(QShowEvent* event) override;
};
