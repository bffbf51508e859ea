#pragma once

#include "Condition.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class Query;

// The password of the delivered database. SQLite keeps the file unencrypted: the folder's file
// permissions protect it, and the constant only completes the connection string.
inline const QString DatabasePassword = QStringLiteral("ValdraKestun");
inline const QString DatabaseFileName = QStringLiteral("Qirvo.mdb");

QString BuildConnectionString(const QString& databasePath, const QString& password);

// Opens a select; a failure leaves the query closed, and its next read reports the cause.
void OpenQuery(Query& query, const QString& sql, const QVariantList& params = {});
// Runs a statement and returns the rows it changed; 0 after an error, whose text the query keeps
// in lastError().
int ExecSQLText(Query& query, const QString& sql, const QVariantList& params = {});

// The distinct non-empty values of a column as text, each letter-case variant once, in the order
// the database returns them. Throws QirvoError when the statement fails.
QStringList DistinctValues(const QString& table, const QString& column, const Condition& where = {});

// The column's value in the first matching row, or an invalid QVariant when there is no such
// row or the value is null or empty. Throws QirvoError when the statement fails.
QVariant LookupFieldValue(const QString& table, const QString& column, const Condition& where);

// Sets two columns of the first matching row, inserting the row when none matches; false when the
// row could not be written, with the reason in failure when one is given.
bool UpdateTwoFields(const QString& table, const Condition& where, const QString& firstColumn,
                     const QVariant& firstValue, const QString& secondColumn, const QVariant& secondValue,
                     QString* failure = nullptr);

// The bill serial after the given one, counted like an odometer over letters and digits.
QString NextSerial(const QString& serial);

// The one way the program reads a typed number, in every locale: plain digits with "." before the
// decimals (as the lists show numbers), finite and below a bound that keeps products and totals
// finite. Empty when the text is no such number.
std::optional<double> ReadNumber(const QString& text);
// Whether ReadNumber takes the text.
bool IsFloat(const QString& text);

// Text of a database value: empty for null, numbers without trailing noise.
QString VariantToText(const QVariant& value);

// The running program's folder, with a trailing separator.
QString AppDir();
// Tests run against a program folder of their own.
void SetAppDirForTesting(const QString& folder);
// The database file in the program folder.
QString DatabasePath();

// Where the machine keeps the program's settings, as a path of keys.
inline const QString SettingsKey = QStringLiteral("SoftWare\\Qirvo计件统计\\v1.0");
// The settings file beside the program, written when the machine-wide store cannot be; set by the
// main window when it is created.
extern QString SettingsIniPath;

// Writes a setting to the machine-wide store, or to SettingsIniPath when that store cannot be
// written. Throws QirvoError naming the file when neither can.
void WriteSetting(const QString& name, const QString& value);
// The setting from the machine-wide store; from SettingsIniPath when the store has none.
QString ReadSetting(const QString& name);
// The user's desktop folder, without a trailing separator; the home folder when there is no
// desktop folder.
QString GetDesktopDir();
