#pragma once

#include <QString>

#include <QSqlDatabase>

#include <functional>

// The delivered database: its eight tables, the indexes the lists need, and the login accounts.
// Only the build tool and the tests create databases; the program itself alters a file only to
// bring it to the newest version (its user_version), never its rows.
class Schema
{
public:
    static const int CurrentVersion;

    struct Account
    {
        const char16_t* name;
        const char16_t* password;
        bool mayManage;
    };
    static const Account DeliveredAccounts[2];
    // Writes the delivered accounts into the named Power table. Throws QirvoError when it cannot.
    static void addDeliveredAccounts(const QSqlDatabase& database, const QString& powerTable);

    // Throws QirvoError when the file exists already or cannot be written.
    static void createDatabase(const QString& path);
    // Brings an open database of an earlier version to the newest, all steps in one transaction,
    // after keepCopy has put the file as it was aside. Returns the version it was of. Throws
    // QirvoError, changing nothing, when that fails or the file is of a newer version.
    static int upgrade(const QSqlDatabase& database, const std::function<void()>& keepCopy);
};
