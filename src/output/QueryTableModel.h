#pragma once

#include "GridColumn.h"

#include <QAbstractTableModel>
#include <QList>

class Query;

// The rows of a query as a table, one model column per grid column. Typed cells go to the query's
// current row; the query posts them when the row is left.
class QueryTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    QueryTableModel(Query& query, QObject* parent = nullptr);

    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return m_columns; }
    // Only an editor opened later reads a pick list, so the rows and the current cell stay.
    void setPickList(int column, const QStringList& pickList);
    void setEditable(bool editable) { m_editable = editable; }
    Query& query() const { return m_query; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Why a number or date column cannot take the typed text, in the operator's words; empty when it can.
    QString refusal(int column, const QString& text) const;
    // Puts a typed text that refusal() accepts into the cell: a number as a number, a date as a date,
    // an empty text as null. Throws QirvoError when the query cannot take it.
    void setCellText(const QModelIndex& index, const QString& text);

signals:
    // Rows were opened, changed, added or removed: the footers need computing again.
    void contentChanged();

private:
    int fieldOf(int column) const;
    void markCurrentRow();

    Query& m_query;
    QList<GridColumn> m_columns;
    bool m_editable = false;
    // The row whose indicator shows the current row.
    int m_markedRow = -1;
};
