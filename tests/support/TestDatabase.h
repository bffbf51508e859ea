#pragma once

#include "ServerAddress.h"
#include "ShareDM.h"

#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

#include <memory>
#include <optional>

// A fresh delivered database in a temporary program folder, opened through a ShareDM of its own;
// with QIRVO_TEST_STORE=server, a fresh Qirvo database on the test server instead.
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();

    QString folder() const;
    QString path() const;
    TShareDM& shareDM() { return *m_shareDM; }

    // Runs a statement directly on the open connection; fails the test on error.
    void exec(const QString& sql, const QVariantList& params = {});
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    // The first column of every row, as text.
    QStringList texts(const QString& sql, const QVariantList& params = {});
    // The first row's columns joined by '|', alike in both stores: numbers as QString::number writes
    // them (85, 1.2), days as yyyy-MM-dd, empty values as nothing.
    QString rowText(const QString& sql, const QVariantList& params = {});
    // From now on the store refuses every event ("insert", "update") on the table with the
    // message, as a full disk would; when, a condition on new, narrows it to some rows.
    void refuse(const QString& name, const QString& event, const QString& table, const QString& message,
                const QString& when = {});
    void stopRefusing(const QString& name, const QString& table);
    bool onServer() const { return m_server.has_value(); }
    // How another program reaches this database: the server address, or the file's path.
    QString address() const;
    // What names a row of the table in this store: rowid on the file.
    QString rowKey(const QString& table) { return m_shareDM->ADOConnection1.dialect().rowKey(table); }

private:
    QSqlQuery run(const QString& sql, const QVariantList& params);

    QTemporaryDir m_dir;
    std::optional<ServerAddress> m_server;
    QString m_serverDatabase;
    std::unique_ptr<TShareDM> m_shareDM;
};
