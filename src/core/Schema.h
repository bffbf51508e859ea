#pragma once

#include <QString>

// The delivered database: its eight tables, the indexes the lists need, and the login accounts.
// Only the build tool and the tests create databases; the program itself never alters a table.
class Schema
{
public:
    struct Account
    {
        const char16_t* name;
        const char16_t* password;
        bool mayManage;
    };
    static const Account DeliveredAccounts[2];

    // Throws QirvoError when the file exists already or cannot be written.
    static void createDatabase(const QString& path);
};
