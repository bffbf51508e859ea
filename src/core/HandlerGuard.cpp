#include "HandlerGuard.h"

#include "MessageBox.h"
#include "QirvoError.h"
#include "ShareDM.h"

#include <QString>

bool runHandler(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const SilentAbort&) {
        // The handler told the operator already; ending it is all that is left to do.
    } catch (const QirvoError& error) {
        MessageBox::error(parent, error.message());
    } catch (const std::exception& error) {
        MessageBox::error(parent, QString::fromLocal8Bit(error.what()));
    }
    // A failure may have been a broken server connection: the next action gets a new one.
    if (ShareDM)
        ShareDM->ADOConnection1.reconnectIfLost();
    return false;
}
