#pragma once

#include "GridColumn.h"

#include <QAbstractTableModel>
#include <QList>

class Query;

// The rows of a query as a table, one model column per grid column. Edits go to the query's
// current row; the query posts them when the row is left.
class QueryTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    QueryTableModel(Query& query, QObject* parent = nullptr);

    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return m_columns; }
    void setEditable(bool editable) { m_editable = editable; }
    Query& query() const { return m_query; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // Rows were opened, changed, added or removed: the footers need computing again.
    void contentChanged();

private:
    int fieldOf(int column) const;
    // A number or date column takes only a number or a date; anything else is refused with a box.
    void refuseUnlessFits(const GridColumn& column, const QString& text) const;

    Query& m_query;
    QList<GridColumn> m_columns;
    bool m_editable = false;
};
