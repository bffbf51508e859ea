#include "LoadingDialog.h"

#include "HandlerGuard.h"

#include <QShowEvent>

void LoadingDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A window coming back from being minimized keeps what the clerk typed.
    if (event->spontaneous())
        return;
    setEnabled(true);
    if (runHandler(this, [this] { FormShow(); }))
        return;
    setEnabled(false);
    // Closed once it is up: exec() has no loop to end yet while the dialog is still being shown. The
    // base class's done() skips an overridden reject(), which would act on the row.
    QMetaObject::invokeMethod(
        this, [this] { QDialog::done(Rejected); }, Qt::QueuedConnection);
}
