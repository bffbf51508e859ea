#pragma once

#include <QString>

// The modification password that guards stored entries, and the accounts' login passwords.
class PasswordRules
{
public:
    static QString modifyPassword();
    // Exact: letter case and blanks count. With no password stored, only an empty entry matches.
    static bool modifyPasswordMatches(const QString& typed);
    // Both throw QirvoError, saying why, when the password could not be written.
    static void setModifyPassword(const QString& password);
    static void setLoginPassword(const QString& account, const QString& password);
    static QString loginPassword(const QString& account);
};
