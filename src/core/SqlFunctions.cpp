#include "SqlFunctions.h"

#include "Rounding.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QVariant>

#include <sqlite3.h>

sqlite3* SqliteHandleOf(const QSqlDatabase& database)
{
    const QVariant handle = database.driver()->handle();
    return handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
               ? *static_cast<sqlite3* const*>(handle.constData())
               : nullptr;
}

namespace {

void roundFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL ||
        (argc > 1 && sqlite3_value_type(argv[1]) == SQLITE_NULL)) {
        sqlite3_result_null(context);
        return;
    }
    const int decimals = argc > 1 ? sqlite3_value_int(argv[1]) : 0;
    sqlite3_result_double(context, roundHalfEven(sqlite3_value_double(argv[0]), decimals));
}

QString textOf(sqlite3_value* value)
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(bytes, sqlite3_value_bytes(value));
}

void inStrFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QString haystack = textOf(argv[0]);
    const QString needle = textOf(argv[1]);
    // As in Basic: nothing is found in an empty text, and an empty text is found at the start of any other.
    sqlite3_result_int(context,
                       haystack.isEmpty() ? 0 : int(haystack.indexOf(needle, 0, Qt::CaseInsensitive)) + 1);
}

} // namespace

void registerSqlFunctions(sqlite3* handle)
{
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(handle, "Round", 1, flags, nullptr, roundFunction, nullptr, nullptr);
    sqlite3_create_function(handle, "Round", 2, flags, nullptr, roundFunction, nullptr, nullptr);
    sqlite3_create_function(handle, "InStr", 2, flags, nullptr, inStrFunction, nullptr, nullptr);
}
