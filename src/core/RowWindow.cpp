#include "RowWindow.h"

#include "DatabaseErrors.h"
#include "QirvoError.h"
#include "SqlFunctions.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// Pages kept at once: a screen of rows and some either side of it.
constexpr int KeptPages = 8;
const QString KeyField = u"__key__"_s;

const QRegularExpression& plainSelect()
{
    static const QRegularExpression pattern(
        uR"(^\s*select\s+(.+?)\s+from\s+(.+?)(?:\s+where\s+(.+?))?(\s+order\s+by\s+[^()]+)?\s*$)"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

const QString KeysMark = u"@keys@"_s;

// Whether the statement's own level (not a subquery's) groups or folds rows, which keys cannot page.
bool groupsRows(QString sql)
{
    static const QRegularExpression innermost(uR"(\([^()]*\))"_s);
    static const QRegularExpression grouping(
        uR"(\b(sum|max|min|count|avg|total|group_concat)\s*$|\bdistinct\b|\bgroup\s+by\b|\bunion\b)"_s,
        QRegularExpression::CaseInsensitiveOption);
    // What stood in brackets becomes a bare "()", so an aggregate shows as its name before it.
    for (qsizetype before = -1; before != sql.size();) {
        before = sql.size();
        sql.replace(innermost, u" \x01 "_s);
    }
    for (const QString& piece : sql.split(u'\x01'))
        if (grouping.match(piece.trimmed()).hasMatch())
            return true;
    return false;
}

QSqlQuery run(const QSqlDatabase& database, const QString& sql, const QVariantList& params)
{
    QSqlQuery statement(database);
    statement.setForwardOnly(true);
    bool ok = statement.prepare(sql);
    if (ok) {
        for (const QVariant& param : params)
            statement.addBindValue(param);
        ok = statement.exec();
    }
    if (!ok)
        throw QirvoError(u"数据库查询失败：%1"_s.arg(DescribeDatabaseError(statement.lastError())));
    return statement;
}

QVariant fromSql(const QVariant& value)
{
    return value.isNull() ? QVariant() : value;
}

// The key pass steps the library directly: a million rows through QVariant cost more than reading them.
class KeyPass
{
public:
    KeyPass(const QSqlDatabase& database, const QString& sql, const QVariantList& params)
    {
        m_db = SqliteHandleOf(database);
        if (!m_db)
            throw QirvoError(u"数据库驱动不是 SQLite，无法继续。"_s);
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &m_statement, nullptr) != SQLITE_OK)
            fail();
        for (int i = 0; i < params.size(); ++i) {
            const QVariant& value = params[i];
            int bound = SQLITE_OK;
            if (!value.isValid() || value.isNull()) {
                bound = sqlite3_bind_null(m_statement, i + 1);
            } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
                bound = sqlite3_bind_int64(m_statement, i + 1, value.toLongLong());
            } else if (value.typeId() == QMetaType::Double) {
                bound = sqlite3_bind_double(m_statement, i + 1, value.toDouble());
            } else {
                const QByteArray text = value.toString().toUtf8();
                bound = sqlite3_bind_text(m_statement, i + 1, text.constData(), int(text.size()),
                                          SQLITE_TRANSIENT);
            }
            if (bound != SQLITE_OK)
                fail();
        }
    }
    ~KeyPass() { sqlite3_finalize(m_statement); }
    KeyPass(const KeyPass&) = delete;
    KeyPass& operator=(const KeyPass&) = delete;

    bool next()
    {
        const int step = sqlite3_step(m_statement);
        if (step == SQLITE_ROW)
            return true;
        if (step != SQLITE_DONE)
            fail();
        return false;
    }
    qint64 key() const { return sqlite3_column_int64(m_statement, 0); }
    // Empty values count as nothing.
    double number(int column) const
    {
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL
                   ? 0.0
                   : sqlite3_column_double(m_statement, column);
    }

private:
    [[noreturn]] void fail() const
    {
        const int code = sqlite3_extended_errcode(m_db);
        throw QirvoError(u"数据库查询失败：%1"_s.arg(
            DescribeDatabaseError(QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(m_db)),
                                            QSqlError::StatementError, QString::number(code)))));
    }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};

} // namespace

std::unique_ptr<RowWindow> RowWindow::open(const QSqlDatabase& database, const SqlDialect& dialect,
                                           const QString& sql, const QVariantList& params,
                                           const QString& keyColumn, const QStringList& totalledFields,
                                           int pageRows)
{
    const QRegularExpressionMatch parts = plainSelect().match(sql);
    if (!parts.hasMatch() || groupsRows(sql))
        return nullptr;
    const QString selectList = parts.captured(1);
    const QString tables = parts.captured(2);
    const QString condition = parts.captured(3);
    const QString order = parts.captured(4);
    const QString where = condition.isEmpty() ? QString() : u" where (%1)"_s.arg(condition);

    std::unique_ptr<RowWindow> window(new RowWindow);
    window->m_database = database;
    window->m_params = params;
    window->m_pageRows = std::max(1, pageRows);
    window->m_fetchSql = dialect.translate(u"select %1 as %2, %3 from %4%5%6 %1 in (%7)"_s.arg(
        keyColumn, KeyField, selectList, tables, where, condition.isEmpty() ? u" where"_s : u" and"_s,
        KeysMark));

    // The keys in the result's order, and the totals summed in the same pass.
    QStringList keyPass{keyColumn};
    for (const QString& field : totalledFields)
        keyPass << field;
    // The file gives rows in the order they were added; the server, unless told, in any order.
    const QString keyOrder = order.isEmpty() && dialect.isServer() ? u" order by "_s + keyColumn : order;
    const QString keySql =
        dialect.translate(u"select %1 from %2%3%4"_s.arg(keyPass.join(u", "_s), tables, where, keyOrder));
    QVector<double> sums(totalledFields.size(), 0.0);
    if (dialect.isServer()) {
        QSqlQuery keys = run(database, keySql, params);
        while (keys.next()) {
            window->m_keys.append(keys.value(0).toLongLong());
            for (int i = 0; i < sums.size(); ++i)
                sums[i] += keys.value(i + 1).toDouble();
        }
    } else {
        // The file's keys are read through SQLite itself: a million of them in a fraction of the time.
        KeyPass keys(database, keySql, params);
        while (keys.next()) {
            window->m_keys.append(keys.key());
            for (int i = 0; i < sums.size(); ++i)
                sums[i] += keys.number(i + 1);
        }
    }
    for (int i = 0; i < sums.size(); ++i)
        window->m_totals.insert(totalledFields[i].toLower(), sums[i]);

    // The fields as the full statement names them, from a fetch of no row.
    const QSqlRecord record =
        run(database, QString(window->m_fetchSql).replace(KeysMark, u"null"_s), params).record();
    for (int i = 1; i < record.count(); ++i)
        window->m_fields << record.fieldName(i);
    return window;
}

const QVector<QVariant>& RowWindow::values(int row) const
{
    const int page = row / m_pageRows;
    if (!m_pages.contains(page))
        fetchPage(page);
    m_recentPages.removeOne(page);
    m_recentPages.prepend(page);
    return m_pages[page][row % m_pageRows];
}

void RowWindow::fetchPage(int page) const
{
    const int first = page * m_pageRows;
    const int count = std::min(m_pageRows, size() - first);
    QStringList marks;
    QVariantList params = m_params;
    QHash<qint64, int> places;
    for (int i = 0; i < count; ++i) {
        marks << u"?"_s;
        params << m_keys[first + i];
        places.insert(m_keys[first + i], i);
    }
    QSqlQuery rows = run(m_database, QString(m_fetchSql).replace(KeysMark, marks.join(u',')), params);
    QVector<QVector<QVariant>> values(count, QVector<QVariant>(m_fields.size()));
    while (rows.next()) {
        const auto place = places.constFind(rows.value(0).toLongLong());
        if (place == places.constEnd())
            continue;
        QVector<QVariant>& row = values[*place];
        for (int i = 0; i < m_fields.size(); ++i)
            row[i] = fromSql(rows.value(i + 1));
    }
    while (m_recentPages.size() >= KeptPages)
        m_pages.remove(m_recentPages.takeLast());
    m_pages.insert(page, std::move(values));
}

void RowWindow::removeAt(int row)
{
    const QVector<QVariant> removed = values(row);
    for (int field = 0; field < m_fields.size(); ++field) {
        const auto total = m_totals.find(m_fields[field].toLower());
        if (total != m_totals.end() && removed.value(field).isValid())
            *total -= removed.value(field).toDouble();
    }
    m_keys.remove(row);
    // The rows after it moved up: every page from here on is read again when asked for.
    m_pages.clear();
    m_recentPages.clear();
}

std::optional<double> RowWindow::total(const QString& field) const
{
    const auto found = m_totals.constFind(field.toLower());
    if (found == m_totals.constEnd())
        return std::nullopt;
    return *found;
}
