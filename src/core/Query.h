#pragma once

#include "Condition.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class Connection;

// A dataset over one statement: it holds the rows of its last select, a current row, and, when
// the statement reads a single table, lets rows be edited, inserted and deleted there. Every
// change is written to the database when it is posted.
class Query : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Inactive,
        Browse,
        Edit,
        Insert
    };
    Q_ENUM(State)

    explicit Query(Connection& connection, QObject* parent = nullptr);

    void setSql(const QString& sql, const QVariantList& params = {});
    const QString& sql() const { return m_sql; }

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
    void post();
    void cancel();
    void remove();

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

private:
    struct Row
    {
        qint64 rowId = -1;
        QVector<QVariant> values;
    };

    void requireActive() const;
    void requireUpdatable() const;
    void setState(State state);
    void startInsert(bool atEnd);
    void checkBrowseMode();
    void dropCurrentRow();
    int column(const QString& field) const;
    QString tableColumn(int column) const;
    Row fetchRow(qint64 rowId) const;
    void writeEdit();
    void writeInsert();

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
};
