#pragma once

#include <QString>

enum class LoginOutcome { NoSuchAccount, WrongPassword, Accepted };

// Compares the typed password with the account's stored one, exactly: letter case and blanks count.
// The first row of that name decides. Throws QirvoError when the accounts cannot be read.
LoginOutcome CheckLogin(const QString& account, const QString& password);

// Whether the account may see the management tab; an unknown account or a null right may not.
bool AccountMayManage(const QString& account);
