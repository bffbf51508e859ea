#include "ProgressWindow.h"

#include <QApplication>

using namespace Qt::StringLiterals;

ProgressWindow::ProgressWindow(const QString& caption, const QString& label, QWidget* parent)
    : m_dialog(label, u"取消"_s, 0, 0, parent)
{
    m_dialog.setWindowTitle(caption);
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(400);
}

bool ProgressWindow::advance(int done, int total, int every)
{
    if (done % every == 0 || done == total) {
        m_dialog.setMaximum(total);
        m_dialog.setValue(done);
        QApplication::processEvents();
    }
    return !m_dialog.wasCanceled();
}
