#include "ShareDMUnit.h"

#include "QirvoError.h"
#include "Query.h"
#include "ShareDM.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString s_appDirOverride;

QString withWhere(const QString& sql, const Condition& where)
{
    return where.isEmpty() ? sql : sql + u" where "_s + where.text;
}

QChar nextSerialChar(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= u'A' && u < u'Z') || (u >= u'a' && u < u'z') || (u >= u'0' && u < u'9'))
        return QChar(char16_t(u + 1));
    if (u == u'Z')
        return u'A';
    if (u == u'z')
        return u'a';
    if (u == u'9')
        return u'0';
    return c;
}

} // namespace

QString BuildConnectionString(const QString& databasePath, const QString& password)
{
    return u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source="_s + databasePath +
           u";Jet OLEDB:Database Password="_s + password;
}

void OpenQuery(Query& query, const QString& sql, const QVariantList& params)
{
    query.setSql(sql, params);
    try {
        query.open();
    } catch (const QirvoError&) {
        // Callers learn of the failure when they read the closed query, whose error names the cause.
    }
}

int ExecSQLText(Query& query, const QString& sql, const QVariantList& params)
{
    query.setSql(sql, params);
    try {
        return query.execute();
    } catch (const QirvoError&) {
        // A result of 0 is the report; the cause stays in query.lastError() for callers that show it.
        return 0;
    }
}

QStringList DistinctValues(const QString& table, const QString& column, const Condition& where)
{
    Query& lookup = ShareDM->ADOQueryLookup;
    // Each value once, in the order it first appears, in either store: a plain distinct comes in the
    // file's scan order but in any order from the server.
    const QString firstRow = ShareDM->ADOConnection1.dialect().rowKey(table);
    OpenQuery(lookup,
              withWhere(u"Select "_s + column + u" from "_s + table, where) +
                  u" group by %1 order by min(%2)"_s.arg(column, firstRow),
              where.params);
    QStringList values;
    QSet<QString> seen;
    for (int row = 0; row < lookup.recordCount(); ++row) {
        const QString text = VariantToText(lookup.value(row, 0));
        if (text.isEmpty())
            continue;
        const QString key = text.toCaseFolded();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        values << text;
    }
    return values;
}

QVariant LookupFieldValue(const QString& table, const QString& column, const Condition& where)
{
    Query& lookup = ShareDM->ADOQueryLookup;
    OpenQuery(lookup, u"Select * from "_s + table + u" where "_s + where.text, where.params);
    if (lookup.recordCount() == 0)
        return {};
    const QVariant value = lookup.value(column);
    if (!value.isValid() || value.isNull() ||
        (value.typeId() == QMetaType::QString && value.toString().isEmpty()))
        return {};
    return value;
}

bool UpdateTwoFields(const QString& table, const Condition& where, const QString& firstColumn,
                     const QVariant& firstValue, const QString& secondColumn, const QVariant& secondValue,
                     QString* failure)
{
    Query& lookup = ShareDM->ADOQueryLookup;
    try {
        lookup.setSql(u"Select * from "_s + table + u" where "_s + where.text, where.params);
        lookup.open();
        if (lookup.recordCount() == 0)
            lookup.append();
        else
            lookup.edit();
        lookup.setValue(secondColumn, secondValue);
        lookup.setValue(firstColumn, firstValue);
        lookup.post();
        return true;
    } catch (const QirvoError& error) {
        // The result is the report; the callers that tell the operator take the reason along.
        if (lookup.isActive())
            lookup.cancel();
        if (failure)
            *failure = error.message();
        return false;
    }
}

QString NextSerial(const QString& serial)
{
    QString next = serial;
    for (qsizetype i = next.size() - 1; i >= 0; --i) {
        const QChar before = next[i];
        next[i] = nextSerialChar(before);
        if (next[i] > before)
            break;
    }
    return next;
}

std::optional<double> ReadNumber(const QString& text)
{
    // No amount, price or count of a workshop comes near this; beyond it sums lose their cents.
    constexpr double Bound = 1e12;
    static const QRegularExpression plain(uR"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"_s);
    const QString trimmed = text.trimmed();
    if (!plain.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double number = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(number) || std::abs(number) >= Bound)
        return std::nullopt;
    return number;
}

bool IsFloat(const QString& text)
{
    return ReadNumber(text).has_value();
}

QString VariantToText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

QString AppDir()
{
    if (!s_appDirOverride.isEmpty())
        return s_appDirOverride;
    return QCoreApplication::applicationDirPath() + u'/';
}

QString DatabasePath()
{
    return AppDir() + DatabaseFileName;
}

void SetAppDirForTesting(const QString& folder)
{
    s_appDirOverride = folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}
