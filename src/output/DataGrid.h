#pragma once

#include "GridColumn.h"
#include "GridDelegate.h"

#include <QList>
#include <QWidget>

class GridFooter;
class GridTableView;
class Query;
class QueryTableModel;
class QTableView;

// A grid bound to a query: titled, centred columns, an optional footer row with sums and
// counts over all rows, and the keyboard behaviour of the program's lists and edit grids.
class DataGrid : public QWidget
{
    Q_OBJECT

public:
    enum class Kind { List, Edit };

    DataGrid(Kind kind, Query& query, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    Query& query() const;
    QTableView* view() const;

    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const;
    void setPickList(int column, const QStringList& pickList);
    void setColumnVisible(int column, bool visible);
    // One footer row, or none.
    void setFooterVisible(bool visible);
    QStringList footerTexts() const;
    void setCellParams(GridDelegate::CellParams cellParams);

    // Hands the text of an open cell editor to the query, as moving to another cell would.
    void finishEditing();
    // What leaving the grid does: the open editor's text is handed over, an untouched new row is
    // dropped, and exited() is emitted for the form to post the row.
    void leave();

signals:
    void dblClick();
    // Before the grid acts on a key; a handler that accepts the event keeps the grid from acting.
    void keyDown(QKeyEvent* event);
    // The input focus left the grid.
    void exited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(QKeyEvent* event);
    int moveQueryTo(int row);
    void followQueryRow(int row);
    void followViewRow(int row);
    void refreshFooter();

    Kind m_kind;
    QueryTableModel* m_model;
    GridTableView* m_view;
    GridDelegate* m_delegate;
    GridFooter* m_footer;
    bool m_following = false;
};
