#include "QueryTableModel.h"

#include "Query.h"
#include "ShareDMUnit.h"

#include <QDate>

using namespace Qt::StringLiterals;

QueryTableModel::QueryTableModel(Query& query, QObject* parent) : QAbstractTableModel(parent), m_query(query)
{
    connect(&m_query, &Query::aboutToReset, this, [this] { beginResetModel(); });
    connect(&m_query, &Query::reset, this, [this] {
        endResetModel();
        emit contentChanged();
    });
    connect(&m_query, &Query::aboutToInsertRow, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(&m_query, &Query::rowInserted, this, [this] {
        endInsertRows();
        emit contentChanged();
    });
    connect(&m_query, &Query::aboutToRemoveRow, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(&m_query, &Query::rowRemoved, this, [this] {
        endRemoveRows();
        emit contentChanged();
    });
    connect(&m_query, &Query::rowChanged, this, [this](int row) {
        if (row < 0 || row >= rowCount())
            return;
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, row, row);
        emit contentChanged();
    });
    connect(&m_query, &Query::stateChanged, this, &QueryTableModel::markCurrentRow);
    connect(&m_query, &Query::currentRowChanged, this, &QueryTableModel::markCurrentRow);
}

// Redraws the indicator of the row that was current and of the one that is, so no stale marker stays.
void QueryTableModel::markCurrentRow()
{
    const int rows = rowCount();
    if (m_markedRow >= 0 && m_markedRow < rows)
        emit headerDataChanged(Qt::Vertical, m_markedRow, m_markedRow);
    m_markedRow = m_query.isActive() ? m_query.currentRow() : -1;
    if (m_markedRow >= 0 && m_markedRow < rows)
        emit headerDataChanged(Qt::Vertical, m_markedRow, m_markedRow);
}

void QueryTableModel::setColumns(const QList<GridColumn>& columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
    emit contentChanged();
}

void QueryTableModel::setPickList(int column, const QStringList& pickList)
{
    m_columns[column].pickList = pickList;
}

int QueryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_query.isActive() ? 0 : m_query.recordCount();
}

int QueryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

int QueryTableModel::fieldOf(int column) const
{
    return m_query.isActive() ? m_query.fieldIndex(m_columns.value(column).fieldName) : -1;
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const int field = fieldOf(index.column());
    if (field < 0)
        return {};
    return VariantToText(m_query.value(index.row(), field));
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole)
            return m_columns.value(section).title;
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }
    if (role != Qt::DisplayRole || !m_query.isActive() || section != m_query.currentRow())
        return {};
    // The row indicator: the current row, and whether it is being edited or added.
    switch (m_query.state()) {
    case Query::State::Insert:
        return u"*"_s;
    case Query::State::Edit:
        return u"I"_s;
    default:
        return u"▶"_s;
    }
}

Qt::ItemFlags QueryTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid() && m_query.isUpdatable())
        result |= Qt::ItemIsEditable;
    return result;
}

QString QueryTableModel::refusal(int column, const QString& text) const
{
    const GridColumn& shown = m_columns.at(column);
    if (text.isEmpty())
        return {};
    if (shown.value == GridColumn::Value::Number && !IsFloat(text))
        return u"“%1”必须填写数字，“%2”不是数字，请重新录入。"_s.arg(shown.title, text);
    if (shown.value == GridColumn::Value::Date && !QDate::fromString(text, Qt::ISODate).isValid())
        return u"“%1”必须填写日期，格式如 2026-01-31，“%2”不是日期，请重新录入。"_s.arg(shown.title, text);
    return {};
}

void QueryTableModel::setCellText(const QModelIndex& index, const QString& text)
{
    if (!index.isValid() || !m_editable ||
        VariantToText(m_query.value(index.row(), fieldOf(index.column()))) == text)
        return;
    const GridColumn& column = m_columns.at(index.column());
    QVariant value;
    if (!text.isEmpty()) {
        switch (column.value) {
        case GridColumn::Value::Number:
            value = *ReadNumber(text);
            break;
        case GridColumn::Value::Date:
            value = QDate::fromString(text, Qt::ISODate);
            break;
        case GridColumn::Value::Text:
            value = text;
            break;
        }
    }
    if (index.row() != m_query.currentRow())
        m_query.setCurrentRow(index.row());
    m_query.setValue(column.fieldName, value);
}
