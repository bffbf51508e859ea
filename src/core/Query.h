#pragma once

#include "Condition.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

class Connection;
class RowWindow;

// A dataset over one statement: it holds the rows of its last select, a current row, and, when
// the statement reads a single table, lets rows be edited, inserted and deleted there. Every
// change is written to the database when it is posted.
class Query : public QObject
{
    Q_OBJECT

public:
    enum class State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    explicit Query(Connection& connection, QObject* parent = nullptr);
    ~Query() override;

    void setSql(const QString& sql, const QVariantList& params = {});
    const QString& sql() const { return m_sql; }

    // A list for looking at: from the next open on, only the keys of its rows are read (keyColumn,
    // unique per row, "rowid" for a single table), the rows a page at a time as they are read, and
    // the totals of the totalled fields in the same pass, so a long result costs what is shown.
    // Its rows can be removed, not edited or added. A statement it cannot page is read whole.
    void setWindowed(const QString& keyColumn, int pageRows = 256);
    void setTotalledFields(const QStringList& fields) { m_totalledFields = fields; }
    // The sum of a totalled field over every row as the database gave it; empty when the rows are
    // held whole, and the sum is then the caller's to take.
    std::optional<double> windowTotal(const QString& field) const;
    // The sum of a field over every row, empty values skipped: the database's total where the list
    // has one, else the rows' own sum. 0 for a closed dataset or a field it lacks.
    double total(const QString& field) const;

    // Both throw QirvoError; a failed open leaves the dataset closed.
    void open();
    int execute();
    void close();

    bool isActive() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isUpdatable() const { return !m_table.isEmpty(); }
    // Why the last open or execute failed; empty after a success.
    const QString& lastError() const { return m_lastError; }

    // Reading a closed dataset throws QirvoError.
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    // Open and holding at least one row; never throws.
    bool hasRows() const { return isActive() && recordCount() > 0; }
    bool eof() const;
    int currentRow() const;
    void first();
    void next();
    void last();
    void setCurrentRow(int row);

    int fieldCount() const { return int(m_fields.size()); }
    QString fieldName(int column) const { return m_fields.value(column); }
    int fieldIndex(const QString& field) const;
    // The current row's value, with the pending changes while it is being edited.
    QVariant value(const QString& field) const;
    QVariant value(int row, int column) const;

    void edit();
    // A new row at the end, or before the current row; a pending change is posted first.
    void append();
    void insert();
    void setValue(const QString& field, const QVariant& value);
    bool isModified() const { return !m_modifiedColumns.isEmpty(); }
    // Runs the before-post hook, then writes the row (or, with cached updates, keeps it).
    void post();
    void cancel();
    void remove();

    // With cached updates, posts and deletes stay in memory until applyUpdates() writes them all.
    // A failed apply changes nothing here, so it can be tried again; commitUpdates() then reloads
    // the rows from the database, cancelUpdates() drops every pending change.
    void setCachedUpdates(bool cached);
    bool hasPendingUpdates() const;
    void applyUpdates();
    void commitUpdates();
    void cancelUpdates();

    // Hooks: before a row is put into edit mode, before it is posted (throwing aborts either),
    // and when a new row is started (values set then are defaults, not typed changes).
    using Hook = std::function<void(Query&)>;
    void setBeforeEdit(Hook hook) { m_beforeEdit = std::move(hook); }
    void setBeforePost(Hook hook) { m_beforePost = std::move(hook); }
    void setOnNewRecord(Hook hook) { m_onNewRecord = std::move(hook); }

signals:
    void aboutToReset();
    void reset();
    void aboutToInsertRow(int row);
    void rowInserted(int row);
    void rowChanged(int row);
    void aboutToRemoveRow(int row);
    void rowRemoved(int row);
    void currentRowChanged(int row);
    void stateChanged(Query::State state);
    // The row being edited is about to be posted or left: an open cell editor should hand over its text.
    void updateRecordRequested();

private:
    enum class Pending { None, Inserted, Modified };
    struct Row
    {
        qint64 rowId = -1;
        QVector<QVariant> values;
        Pending pending = Pending::None;
        QSet<int> changedColumns;
        // The values as last read from the database: a change is written only over these.
        QVector<QVariant> loaded;
    };

    void requireActive() const;
    void requireUpdatable() const;
    void requireWhole() const;
    bool openWindow();
    void setState(State state);
    void startInsert(bool atEnd);
    void checkBrowseMode();
    void dropCurrentRow();
    int column(const QString& field) const;
    QString tableColumn(int column) const;
    Row fetchRow(qint64 rowId) const;
    qint64 insertRow(const QVector<QVariant>& values, const QSet<int>& columns) const;
    void updateRow(const Row& row, const QVector<QVariant>& values, const QSet<int>& columns) const;
    void deleteRow(qint64 rowId) const;

    Connection& m_connection;
    QString m_sql;
    QVariantList m_params;
    QString m_table;
    QString m_selectList;
    QString m_lastError;

    State m_state = State::Inactive;
    QStringList m_fields;
    QVector<Row> m_rows;
    int m_current = -1;
    bool m_eof = true;
    QVector<QVariant> m_buffer;
    QSet<int> m_modifiedColumns;
    QSet<int> m_defaultColumns;
    bool m_settingDefaults = false;

    bool m_cachedUpdates = false;
    QVector<qint64> m_deletedRowIds;
    Hook m_beforeEdit;
    Hook m_beforePost;
    Hook m_onNewRecord;

    QString m_windowKey;
    int m_pageRows = 256;
    QStringList m_totalledFields;
    std::unique_ptr<RowWindow> m_window;
};
