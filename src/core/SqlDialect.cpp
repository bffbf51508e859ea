#include "SqlDialect.h"

#include "TableDefinitions.h"

#include <QRegularExpression>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

QString quoted(const QString& name)
{
    return u"\"%1\""_s.arg(QString(name).replace(u'"', u"\"\""_s));
}

// The parts outside string literals, rewritten; a literal such as '[a]' is data and stays.
QString outsideLiterals(const QString& sql, const std::function<QString(const QString&)>& rewrite)
{
    QString result;
    qsizetype start = 0;
    while (start < sql.size()) {
        const qsizetype quote = sql.indexOf(u'\'', start);
        if (quote < 0) {
            result += rewrite(sql.mid(start));
            break;
        }
        result += rewrite(sql.mid(start, quote - start));
        qsizetype end = quote + 1;
        // Inside a literal, '' is a quote character.
        while (end < sql.size() && !(sql[end] == u'\'' && (end + 1 >= sql.size() || sql[end + 1] != u'\'')))
            end += sql[end] == u'\'' ? 2 : 1;
        result += sql.mid(quote, end + 1 - quote);
        start = end + 1;
    }
    return result;
}

} // namespace

QString SqlDialect::translate(const QString& sql) const
{
    if (!isServer())
        return sql;
    static const QRegularExpression bracketed(uR"(\[([^\]]+)\])"_s);
    static const QRegularExpression hint(uR"(\s+indexed\s+by\s+\w+)"_s,
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression truth(uR"(\btrue\b)"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression falsehood(uR"(\bfalse\b)"_s, QRegularExpression::CaseInsensitiveOption);
    return outsideLiterals(sql, [](const QString& part) {
        QString text = part;
        text.replace(hint, QString());
        // Flags are 0 and 1 in both stores; the file reads True and False as those numbers.
        text.replace(truth, u"1"_s);
        text.replace(falsehood, u"0"_s);
        QString result;
        qsizetype last = 0;
        for (const QRegularExpressionMatch& match : bracketed.globalMatch(text)) {
            result += text.mid(last, match.capturedStart() - last) + quoted(match.captured(1).toLower());
            last = match.capturedEnd();
        }
        return result + text.mid(last);
    });
}

QString SqlDialect::table(const QString& name) const
{
    return isServer() ? ServerTableName(name) : quoted(name);
}

QString SqlDialect::column(const QString& name) const
{
    return quoted(isServer() ? name.toLower() : name);
}

QString SqlDialect::nullSafeEquals(const QString& column) const
{
    return isServer() ? column + u" is not distinct from ?"_s : column + u" is ?"_s;
}

QString SqlDialect::rowKey(const QString& table) const
{
    if (!isServer())
        return u"rowid"_s;
    QString name = table;
    name.remove(u'[').remove(u']');
    for (const TableDefinition& definition : QirvoTables())
        if (definition.name.compare(name, Qt::CaseInsensitive) == 0 && !KeyColumn(definition).isEmpty())
            return KeyColumn(definition).toLower();
    return ServerRowColumn;
}
