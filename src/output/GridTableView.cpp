#include "GridTableView.h"

#include <QMouseEvent>
#include <QScrollBar>

GridTableView::GridTableView(bool wholeRows, QWidget* parent) : QTableView(parent), m_wholeRows(wholeRows) {}

void GridTableView::finishEditing()
{
    if (state() != EditingState || m_finishing)
        return;
    QWidget* editor = openEditor();
    if (!editor)
        return;
    m_finishing = true;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    m_finishing = false;
}

// The open editor is the viewport's child that nobody hid; closed ones wait hidden for deletion. It
// counts even while its page is hidden behind another tab.
QWidget* GridTableView::openEditor() const
{
    for (QObject* child : viewport()->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->isVisibleTo(viewport()))
            return widget;
    }
    return nullptr;
}

QModelIndex GridTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    QModelIndex target = QTableView::moveCursor(action, modifiers);
    // In a list Home and End go to the first and the last row rather than along the row.
    if (m_wholeRows && (action == MoveHome || action == MoveEnd) && model()->rowCount() > 0)
        target =
            model()->index(action == MoveHome ? 0 : model()->rowCount() - 1, std::max(0, current.column()));
    if (!m_moveRow || !target.isValid() || !current.isValid() || target.row() == current.row())
        return target;
    const int row = m_moveRow(target.row());
    if (row < 0)
        return {};
    return model()->index(row, row == target.row() ? target.column() : current.column());
}

void GridTableView::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex target = indexAt(event->position().toPoint());
    const QModelIndex current = currentIndex();
    if (m_moveRow && target.isValid() && current.isValid() && target.row() != current.row()) {
        const int across = horizontalScrollBar()->value();
        const int down = verticalScrollBar()->value();
        const int row = m_moveRow(target.row());
        // The view followed the query to the new row's first cell; the pointer still means its cell.
        horizontalScrollBar()->setValue(across);
        verticalScrollBar()->setValue(down);
        if (row != target.row()) {
            // Refused, or a dropped new row moved the rows under the pointer: show where the query is.
            setFocus(Qt::MouseFocusReason);
            if (row >= 0)
                setCurrentIndex(
                    model()->index(row, row == current.row() ? current.column() : target.column()));
            event->accept();
            return;
        }
    }
    QTableView::mousePressEvent(event);
}
