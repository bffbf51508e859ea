#pragma once

#include "GridColumn.h"

#include <QStyledItemDelegate>

#include <functional>

class QueryTableModel;

// Draws cells with the colours the owning form asks for, offers pick lists while editing, and hands
// typed text to the model itself: a refusal is shown in a box and never travels through Qt's code.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using CellParams =
        std::function<void(const GridColumn& column, int row, QColor& text, QColor& background)>;

    GridDelegate(QueryTableModel& model, QWidget* grid);
    void setCellParams(CellParams cellParams) { m_cellParams = std::move(cellParams); }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    QueryTableModel& m_model;
    QWidget* m_grid;
    CellParams m_cellParams;
    mutable bool m_committing = false;
};
