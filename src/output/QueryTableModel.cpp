#include "QueryTableModel.h"

#include "MessageBox.h"
#include "QirvoError.h"
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
    connect(&m_query, &Query::stateChanged, this, [this] {
        if (m_query.isActive() && m_query.currentRow() >= 0)
            emit headerDataChanged(Qt::Vertical, m_query.currentRow(), m_query.currentRow());
    });
}

void QueryTableModel::setColumns(const QList<GridColumn>& columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
    emit contentChanged();
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

bool QueryTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !m_editable)
        return false;
    if (VariantToText(m_query.value(index.row(), fieldOf(index.column()))) == value.toString())
        return false;
    const GridColumn& column = m_columns.at(index.column());
    const QString text = value.toString();
    refuseUnlessFits(column, text);
    if (index.row() != m_query.currentRow())
        m_query.setCurrentRow(index.row());
    m_query.setValue(column.fieldName, text.isEmpty() ? QVariant() : QVariant(text));
    return true;
}

void QueryTableModel::refuseUnlessFits(const GridColumn& column, const QString& text) const
{
    if (text.isEmpty())
        return;
    QString problem;
    if (column.value == GridColumn::Value::Number && !IsFloat(text))
        problem = u"“%1”必须填写数字，“%2”不是数字，请重新录入。"_s.arg(column.title, text);
    else if (column.value == GridColumn::Value::Date && !QDate::fromString(text, Qt::ISODate).isValid())
        problem =
            u"“%1”必须填写日期，格式如 2026-01-31，“%2”不是日期，请重新录入。"_s.arg(column.title, text);
    if (problem.isEmpty())
        return;
    MessageBox::warning(nullptr, problem);
    throw SilentAbort{};
}
