#include "Query.h"

#include "Connection.h"
#include "DatabaseErrors.h"
#include "QirvoError.h"
#include "RowWindow.h"
#include "TableDefinitions.h"

#include <QDate>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace {

const QString RowIdField = u"__rowid__"_s;

// A select of plain columns from one table can be written back; anything else is read-only.
const QRegularExpression& singleTableSelect()
{
    static const QRegularExpression pattern(
        uR"(^\s*select\s+(?!distinct\b)(.+?)\s+from\s+(\[[^\]]+\]|\w+)(\s*|\s+(?:where|order\s+by)\b.*)$)"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

const QRegularExpression& groupedSelect()
{
    static const QRegularExpression pattern(uR"(\b(sum|max|min|count|avg)\s*\(|\bgroup\s+by\b)"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

const QRegularExpression& orderedSelect()
{
    static const QRegularExpression pattern(uR"(\border\s+by\b)"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

QString unbracketed(const QString& name)
{
    return name.startsWith(u'[') && name.endsWith(u']') ? name.mid(1, name.size() - 2) : name;
}

// Dates are stored as ISO text, booleans as 0/1, and an empty text stays an empty text.
QVariant toSqlValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().date().toString(Qt::ISODate);
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::QString: {
        const QString text = value.toString();
        return text.isNull() ? QVariant(u""_s) : QVariant(text);
    }
    default:
        return value;
    }
}

QVariant fromSqlValue(const QVariant& value)
{
    return value.isNull() ? QVariant() : value;
}

void bindAll(QSqlQuery& statement, const QVariantList& params)
{
    for (const QVariant& param : params)
        statement.addBindValue(toSqlValue(param));
}

QString describe(const QSqlQuery& statement)
{
    return DescribeDatabaseError(statement.lastError());
}

} // namespace

Query::Query(Connection& connection, QObject* parent) : QObject(parent), m_connection(connection) {}

Query::~Query() = default;

void Query::setWindowed(const QString& keyColumn, int pageRows)
{
    m_windowKey = keyColumn;
    m_pageRows = pageRows;
}

std::optional<double> Query::windowTotal(const QString& field) const
{
    return m_window ? m_window->total(field) : std::nullopt;
}

double Query::total(const QString& field) const
{
    // Walking a paged list's rows would read every page again; its totals came with its keys.
    if (const std::optional<double> fromDatabase = windowTotal(field))
        return *fromDatabase;
    const int column = isActive() ? fieldIndex(field) : -1;
    double sum = 0;
    for (int row = 0; column >= 0 && row < recordCount(); ++row) {
        const QVariant cell = value(row, column);
        if (cell.isValid())
            sum += cell.toDouble();
    }
    return sum;
}

bool Query::openWindow()
{
    std::unique_ptr<RowWindow> window;
    try {
        QVariantList params;
        for (const QVariant& param : std::as_const(m_params))
            params << toSqlValue(param);
        const SqlDialect& dialect = m_connection.dialect();
        const QRegularExpressionMatch table = singleTableSelect().match(m_sql);
        const QString key = table.hasMatch() && m_windowKey.compare(u"rowid"_s, Qt::CaseInsensitive) == 0
                                ? dialect.rowKey(unbracketed(table.captured(2)))
                                : m_windowKey;
        window = RowWindow::open(m_connection.database(), dialect, m_sql, params, key, m_totalledFields,
                                 m_pageRows);
    } catch (const QirvoError& error) {
        m_lastError = error.message();
        throw;
    }
    if (!window)
        return false;
    const QRegularExpressionMatch match = singleTableSelect().match(m_sql);
    emit aboutToReset();
    m_table = match.hasMatch() && m_windowKey.compare(u"rowid"_s, Qt::CaseInsensitive) == 0
                  ? unbracketed(match.captured(2))
                  : QString();
    m_fields = window->fields();
    m_window = std::move(window);
    m_current = m_window->size() == 0 ? -1 : 0;
    m_eof = m_window->size() == 0;
    setState(State::Browse);
    emit reset();
    emit currentRowChanged(m_current);
    return true;
}

void Query::setSql(const QString& sql, const QVariantList& params)
{
    close();
    m_sql = sql;
    m_params = params;
}

void Query::open()
{
    close();
    m_lastError.clear();
    if (!m_windowKey.isEmpty() && openWindow())
        return;

    const SqlDialect& dialect = m_connection.dialect();
    QString statementText = m_sql;
    QString table;
    const QRegularExpressionMatch match = singleTableSelect().match(m_sql);
    if (match.hasMatch() && !groupedSelect().match(m_sql).hasMatch()) {
        table = unbracketed(match.captured(2));
        m_selectList = match.captured(1);
        QString rest = match.captured(3);
        // The file gives a table's rows in the order they were added; the server, unless told,
        // in any order.
        if (dialect.isServer() && !orderedSelect().match(rest).hasMatch())
            rest += u" order by "_s + dialect.rowKey(table);
        statementText = u"select %1 as %2, %3 from %4%5"_s.arg(dialect.rowKey(table), RowIdField,
                                                               m_selectList, dialect.table(table), rest);
    }

    QSqlQuery statement(m_connection.database());
    statement.setForwardOnly(true);
    if (!statement.prepare(dialect.translate(statementText)) ||
        (bindAll(statement, m_params), !statement.exec())) {
        m_lastError = describe(statement);
        throw QirvoError(u"数据库查询失败：%1"_s.arg(m_lastError));
    }

    const QSqlRecord record = statement.record();
    const int firstField = table.isEmpty() ? 0 : 1;
    QStringList fields;
    QList<int> shown;
    for (int i = firstField; i < record.count(); ++i) {
        // The server's row number of a table without a key is no field of the table.
        if (record.fieldName(i) == ServerRowColumn)
            continue;
        fields << record.fieldName(i);
        shown << i;
    }
    QVector<Row> rows;
    while (statement.next()) {
        Row row;
        row.values.reserve(fields.size());
        if (firstField == 1)
            row.rowId = statement.value(0).toLongLong();
        for (int i : std::as_const(shown))
            row.values.append(fromSqlValue(statement.value(i)));
        row.loaded = row.values;
        rows.append(std::move(row));
    }
    if (statement.lastError().isValid()) {
        m_lastError = describe(statement);
        throw QirvoError(u"数据库查询失败：%1"_s.arg(m_lastError));
    }

    emit aboutToReset();
    m_table = table;
    m_fields = fields;
    m_rows = std::move(rows);
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_eof = m_rows.isEmpty();
    setState(State::Browse);
    emit reset();
    emit currentRowChanged(m_current);
}

int Query::execute()
{
    close();
    m_lastError.clear();
    QSqlQuery statement(m_connection.database());
    if (!statement.prepare(m_connection.dialect().translate(m_sql)) ||
        (bindAll(statement, m_params), !statement.exec())) {
        m_lastError = describe(statement);
        throw QirvoError(u"数据库操作失败：%1"_s.arg(m_lastError));
    }
    return statement.numRowsAffected();
}

void Query::close()
{
    m_deletedRowIds.clear();
    if (m_state == State::Inactive)
        return;
    emit aboutToReset();
    m_table.clear();
    m_selectList.clear();
    m_fields.clear();
    m_rows.clear();
    m_window.reset();
    m_current = -1;
    m_eof = true;
    m_buffer.clear();
    m_modifiedColumns.clear();
    m_defaultColumns.clear();
    setState(State::Inactive);
    emit reset();
}

void Query::requireActive() const
{
    if (m_state == State::Inactive) {
        QString message = u"无法对已关闭的数据集执行此操作。"_s;
        if (!m_lastError.isEmpty())
            message += u"\n原因：%1"_s.arg(m_lastError);
        throw QirvoError(message);
    }
}

// Editing and adding need the rows held whole; a windowed list only shows and removes them.
void Query::requireWhole() const
{
    if (m_window)
        throw QirvoError(u"该列表只能查看和删除记录，不能在这里修改。"_s);
}

void Query::requireUpdatable() const
{
    requireActive();
    if (m_table.isEmpty())
        throw QirvoError(u"该数据集是只读的，不能修改。"_s);
}

int Query::recordCount() const
{
    requireActive();
    return m_window ? m_window->size() : int(m_rows.size());
}

bool Query::eof() const
{
    requireActive();
    return m_eof;
}

int Query::currentRow() const
{
    requireActive();
    return m_current;
}

void Query::setCurrentRow(int row)
{
    requireActive();
    if (row < 0 || row >= recordCount() || (row == m_current && !m_eof))
        return;
    if (m_state != State::Browse) {
        const bool dropsRowAbove = m_state == State::Insert && m_modifiedColumns.isEmpty() && m_current < row;
        checkBrowseMode();
        if (dropsRowAbove)
            --row;
    }
    m_current = row;
    m_eof = false;
    emit currentRowChanged(m_current);
}

void Query::first()
{
    requireActive();
    if (recordCount() == 0)
        return;
    setCurrentRow(0);
}

void Query::next()
{
    requireActive();
    checkBrowseMode();
    if (m_current + 1 < recordCount())
        setCurrentRow(m_current + 1);
    else
        m_eof = true;
}

void Query::last()
{
    requireActive();
    if (recordCount() == 0)
        return;
    setCurrentRow(recordCount() - 1);
}

int Query::fieldIndex(const QString& field) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Query::column(const QString& field) const
{
    requireActive();
    const int index = fieldIndex(field);
    if (index < 0)
        throw QirvoError(u"数据集中没有字段“%1”。"_s.arg(field));
    return index;
}

QVariant Query::value(const QString& field) const
{
    const int index = column(field);
    if (m_state != State::Browse)
        return m_buffer.value(index);
    if (m_current < 0)
        return {};
    return m_window ? m_window->values(m_current).value(index) : m_rows[m_current].values.value(index);
}

QVariant Query::value(int row, int column) const
{
    if (m_window)
        return row >= 0 && row < m_window->size() ? m_window->values(row).value(column) : QVariant();
    if (row < 0 || row >= m_rows.size())
        return {};
    if (row == m_current && m_state != State::Browse)
        return m_buffer.value(column);
    return m_rows[row].values.value(column);
}

void Query::edit()
{
    requireUpdatable();
    requireWhole();
    if (m_state != State::Browse)
        return;
    if (m_current < 0)
        throw QirvoError(u"数据集中没有记录，无法编辑。"_s);
    if (m_beforeEdit)
        m_beforeEdit(*this);
    m_buffer = m_rows[m_current].values;
    m_modifiedColumns.clear();
    m_defaultColumns.clear();
    setState(State::Edit);
}

void Query::append()
{
    startInsert(true);
}

void Query::insert()
{
    startInsert(false);
}

void Query::startInsert(bool atEnd)
{
    requireUpdatable();
    requireWhole();
    checkBrowseMode();
    const int position = atEnd || m_current < 0 ? int(m_rows.size()) : m_current;
    emit aboutToInsertRow(position);
    m_rows.insert(position, Row{-1, QVector<QVariant>(m_fields.size()), Pending::None, {}, {}});
    m_buffer = QVector<QVariant>(m_fields.size());
    m_modifiedColumns.clear();
    m_defaultColumns.clear();
    m_current = position;
    m_eof = false;
    setState(State::Insert);
    if (m_onNewRecord) {
        // Defaults set here are written with the row but do not count as typed changes.
        m_settingDefaults = true;
        try {
            m_onNewRecord(*this);
        } catch (...) {
            m_settingDefaults = false;
            throw;
        }
        m_settingDefaults = false;
    }
    emit rowInserted(position);
    emit currentRowChanged(position);
}

void Query::setValue(const QString& field, const QVariant& value)
{
    const int index = column(field);
    if (m_state == State::Browse)
        edit();
    tableColumn(index);
    m_buffer[index] = value.isNull() ? QVariant() : value;
    (m_settingDefaults ? m_defaultColumns : m_modifiedColumns).insert(index);
    emit rowChanged(m_current);
}

QString Query::tableColumn(int column) const
{
    const QString& field = m_fields[column];
    for (const QString& name : std::as_const(m_connection.tableColumns(m_table)))
        if (name.compare(field, Qt::CaseInsensitive) == 0)
            return name;
    throw QirvoError(u"字段“%1”不是表 %2 的列，不能修改。"_s.arg(field, m_table));
}

void Query::post()
{
    requireActive();
    if (m_state == State::Browse)
        return;
    emit updateRecordRequested();
    if (m_beforePost)
        m_beforePost(*this);
    Row& row = m_rows[m_current];
    if (m_state == State::Insert) {
        const QSet<int> columns = m_modifiedColumns + m_defaultColumns;
        if (m_cachedUpdates) {
            row.values = m_buffer;
            row.pending = Pending::Inserted;
            row.changedColumns = columns;
        } else {
            row = fetchRow(insertRow(m_buffer, columns));
        }
    } else if (!m_modifiedColumns.isEmpty()) {
        if (m_cachedUpdates) {
            row.values = m_buffer;
            if (row.pending == Pending::None)
                row.pending = Pending::Modified;
            row.changedColumns += m_modifiedColumns;
        } else {
            updateRow(row, m_buffer, m_modifiedColumns);
            row = fetchRow(row.rowId);
        }
    }
    m_buffer.clear();
    m_modifiedColumns.clear();
    m_defaultColumns.clear();
    setState(State::Browse);
    emit rowChanged(m_current);
}

// The changed columns are written only where they still hold what was read: a value another
// workstation changed meanwhile is never written over blindly.
void Query::updateRow(const Row& row, const QVector<QVariant>& values, const QSet<int>& columns) const
{
    const SqlDialect& dialect = m_connection.dialect();
    QStringList assignments;
    QStringList unchanged;
    QVariantList bound;
    QVariantList readBefore;
    for (int index : columns) {
        const QString column = dialect.column(tableColumn(index));
        assignments << u"%1=?"_s.arg(column);
        bound << toSqlValue(values[index]);
        if (index < row.loaded.size()) {
            unchanged << dialect.nullSafeEquals(column);
            readBefore << toSqlValue(row.loaded[index]);
        }
    }
    const QString table = dialect.table(m_table);
    const QString key = dialect.rowKey(m_table);
    QSqlQuery statement(m_connection.database());
    statement.prepare(u"update %1 set %2 where %3=?%4"_s.arg(
        table, assignments.join(u','), key,
        unchanged.isEmpty() ? QString() : u" and "_s + unchanged.join(u" and "_s)));
    bindAll(statement, bound);
    statement.addBindValue(row.rowId);
    bindAll(statement, readBefore);
    if (!statement.exec())
        throw QirvoError(u"保存记录失败：%1"_s.arg(describe(statement)));
    if (statement.numRowsAffected() == 1)
        return;
    QSqlQuery stillThere(m_connection.database());
    stillThere.prepare(u"select count(*) from %1 where %2=?"_s.arg(table, key));
    stillThere.addBindValue(row.rowId);
    if (stillThere.exec() && stillThere.next() && stillThere.value(0).toInt() == 1)
        throw QirvoError(u"保存记录失败：这条记录刚被其他工作站或窗口修改过，您的修改没有保存。"
                         u"请重新打开它，看过新的内容后再修改。"_s);
    throw QirvoError(u"保存记录失败：该记录已不在数据库中。"_s);
}

qint64 Query::insertRow(const QVector<QVariant>& values, const QSet<int>& columns) const
{
    const SqlDialect& dialect = m_connection.dialect();
    QStringList names;
    QStringList placeholders;
    QVariantList bound;
    for (int index : columns) {
        names << dialect.column(tableColumn(index));
        placeholders << u"?"_s;
        bound << toSqlValue(values[index]);
    }
    const QString table = dialect.table(m_table);
    QString sql = names.isEmpty() ? u"insert into %1 default values"_s.arg(table)
                                  : u"insert into %1 (%2) values (%3)"_s.arg(table, names.join(u','),
                                                                             placeholders.join(u','));
    // The server tells the new row's key only when asked for it.
    if (dialect.isServer())
        sql += u" returning "_s + dialect.rowKey(m_table);
    QSqlQuery statement(m_connection.database());
    statement.prepare(sql);
    bindAll(statement, bound);
    if (!statement.exec())
        throw QirvoError(u"保存记录失败：%1"_s.arg(describe(statement)));
    if (dialect.isServer())
        return statement.next() ? statement.value(0).toLongLong() : -1;
    return statement.lastInsertId().toLongLong();
}

void Query::deleteRow(qint64 rowId) const
{
    QSqlQuery statement(m_connection.database());
    const SqlDialect& dialect = m_connection.dialect();
    statement.prepare(u"delete from %1 where %2=?"_s.arg(dialect.table(m_table), dialect.rowKey(m_table)));
    statement.addBindValue(rowId);
    if (!statement.exec())
        throw QirvoError(u"删除记录失败：%1"_s.arg(describe(statement)));
    if (statement.numRowsAffected() != 1)
        throw QirvoError(u"删除记录失败：该记录已不在数据库中。"_s);
}

// Reads a written row back, so that keys and defaults the database assigned show at once.
Query::Row Query::fetchRow(qint64 rowId) const
{
    QSqlQuery statement(m_connection.database());
    const SqlDialect& dialect = m_connection.dialect();
    statement.prepare(dialect.translate(u"select %1 from %2 where %3=?"_s.arg(
        m_selectList, dialect.table(m_table), dialect.rowKey(m_table))));
    statement.addBindValue(rowId);
    if (!statement.exec() || !statement.next())
        throw QirvoError(u"读取刚保存的记录失败：%1"_s.arg(describe(statement)));
    Row row{rowId, {}, Pending::None, {}, {}};
    for (int i = 0; i < m_fields.size(); ++i)
        row.values.append(fromSqlValue(statement.value(i)));
    row.loaded = row.values;
    return row;
}

void Query::cancel()
{
    requireActive();
    if (m_state == State::Browse)
        return;
    const State was = m_state;
    m_buffer.clear();
    m_modifiedColumns.clear();
    m_defaultColumns.clear();
    setState(State::Browse);
    if (was == State::Insert) {
        dropCurrentRow();
    } else {
        emit rowChanged(m_current);
    }
}

void Query::remove()
{
    requireUpdatable();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_current < 0)
        throw QirvoError(u"数据集中没有记录，无法删除。"_s);
    if (m_window) {
        deleteRow(m_window->key(m_current));
        dropCurrentRow();
        return;
    }
    const Row& row = m_rows[m_current];
    if (!m_cachedUpdates)
        deleteRow(row.rowId);
    else if (row.pending != Pending::Inserted)
        m_deletedRowIds << row.rowId;
    m_buffer.clear();
    m_modifiedColumns.clear();
    setState(State::Browse);
    dropCurrentRow();
}

void Query::setCachedUpdates(bool cached)
{
    m_cachedUpdates = cached;
}

bool Query::hasPendingUpdates() const
{
    if (!m_deletedRowIds.isEmpty())
        return true;
    for (const Row& row : m_rows)
        if (row.pending != Pending::None)
            return true;
    return false;
}

void Query::applyUpdates()
{
    requireActive();
    post();
    for (qint64 rowId : std::as_const(m_deletedRowIds))
        deleteRow(rowId);
    for (const Row& row : std::as_const(m_rows)) {
        if (row.pending == Pending::Inserted)
            insertRow(row.values, row.changedColumns);
        else if (row.pending == Pending::Modified)
            updateRow(row, row.values, row.changedColumns);
    }
}

void Query::commitUpdates()
{
    m_deletedRowIds.clear();
    open();
}

void Query::cancelUpdates()
{
    m_deletedRowIds.clear();
    if (isActive())
        open();
}

// Leaving a row posts its changes; a new row nothing was typed into is dropped instead.
void Query::checkBrowseMode()
{
    if (m_state != State::Browse)
        emit updateRecordRequested();
    if (m_state == State::Insert && m_modifiedColumns.isEmpty())
        cancel();
    else if (m_state == State::Edit || m_state == State::Insert)
        post();
}

void Query::dropCurrentRow()
{
    const int removed = m_current;
    emit aboutToRemoveRow(removed);
    if (m_window)
        m_window->removeAt(removed);
    else
        m_rows.remove(removed);
    m_current = std::min(removed, recordCount() - 1);
    m_eof = recordCount() == 0;
    emit rowRemoved(removed);
    emit currentRowChanged(m_current);
}

void Query::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}
