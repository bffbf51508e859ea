#pragma once

#include <QTableView>

#include <functional>

// The table a data grid draws. Before the current row changes, by key or by mouse, it asks the grid
// to move the query there; a row the query may not leave (a post refused) keeps the cursor and the
// highlight where they are.
class GridTableView : public QTableView
{
    Q_OBJECT

public:
    // Tries to move the query to the row; returns the row the query is on afterwards, -1 for none.
    using RowMover = std::function<int(int row)>;

    GridTableView(bool wholeRows, QWidget* parent = nullptr);
    void setRowMover(RowMover mover) { m_moveRow = std::move(mover); }

    // Hands the open cell editor's text to the model and closes the editor.
    void finishEditing();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QWidget* openEditor() const;

    bool m_wholeRows;
    RowMover m_moveRow;
    bool m_finishing = false;
};
