#include "ReportExpression.h"

#include "QirvoError.h"
#include "Query.h"
#include "Rounding.h"
#include "ShareDMUnit.h"

#include <QRegularExpression>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct Term
{
    QString name;
    QString argument;
    QString format;
};

const QStringList& builtins()
{
    static const QStringList names{u"date"_s, u"time"_s, u"page"_s, u"pages"_s, u"count"_s};
    return names;
}

Term parseTerm(const QString& expression)
{
    static const QRegularExpression pattern(uR"(^\s*(\w+)\s*(?:\(\s*(\w+)\s*\))?\s*$)"_s);
    const qsizetype bar = expression.indexOf(u'|');
    const QString body = bar < 0 ? expression : expression.left(bar);
    Term term;
    term.format = bar < 0 ? QString() : expression.mid(bar + 1).trimmed();
    const QRegularExpressionMatch match = pattern.match(body);
    if (!match.hasMatch())
        throw QirvoError(u"无法识别的表达式“[%1]”"_s.arg(expression));
    term.name = match.captured(1);
    term.argument = match.captured(2);
    if (!term.argument.isEmpty() && term.name.compare(u"Sum"_s, Qt::CaseInsensitive) != 0)
        throw QirvoError(u"未知的函数“%1”，只能使用 Sum"_s.arg(term.name));
    if (term.argument.isEmpty() && term.name.compare(u"Sum"_s, Qt::CaseInsensitive) == 0)
        throw QirvoError(u"Sum 需要一个字段，例如 [Sum(RecordSum)]"_s);
    if (!ReportExpression::isValidFormat(term.format))
        throw QirvoError(u"未知的数字格式“%1”"_s.arg(term.format));
    return term;
}

// Calls onText for literal pieces and onTerm for each [expression], in order.
void walk(const QString& text, const std::function<void(const QString&)>& onText,
          const std::function<void(const QString&)>& onTerm)
{
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype open = text.indexOf(u'[', from);
        if (open < 0) {
            onText(text.mid(from));
            return;
        }
        onText(text.mid(from, open - from));
        const qsizetype close = text.indexOf(u']', open + 1);
        const qsizetype nested = text.indexOf(u'[', open + 1);
        if (close < 0 || (nested >= 0 && nested < close))
            throw QirvoError(u"表达式缺少右括号“]”：%1"_s.arg(text.mid(open)));
        onTerm(text.mid(open + 1, close - open - 1));
        from = close + 1;
    }
}

bool isBuiltin(const Term& term)
{
    return term.argument.isEmpty() && builtins().contains(term.name.toLower());
}

void requireField(const Query& query, const QString& field)
{
    if (query.fieldIndex(field) < 0)
        throw QirvoError(u"数据集中没有字段“%1”"_s.arg(field));
}

QVariant valueOf(const Term& term, const ReportExpression::Context& context)
{
    const QString name = term.name.toLower();
    if (!term.argument.isEmpty())
        return context.query->total(term.argument);
    if (name == u"date")
        return context.date.toString(u"yyyy-MM-dd"_s);
    if (name == u"time")
        return context.time.toString(u"HH:mm"_s);
    if (name == u"page")
        return context.page;
    if (name == u"pages")
        return context.pages;
    if (name == u"count")
        return context.query->recordCount();
    if (context.row < 0)
        return {};
    return context.query->value(context.row, context.query->fieldIndex(term.name));
}

} // namespace

void ReportExpression::checkSyntax(const QString& text)
{
    walk(
        text, [](const QString&) {}, [](const QString& expression) { parseTerm(expression); });
}

void ReportExpression::checkFields(const QString& text, const Query& query)
{
    walk(
        text, [](const QString&) {},
        [&query](const QString& expression) {
            const Term term = parseTerm(expression);
            if (!term.argument.isEmpty())
                requireField(query, term.argument);
            else if (!isBuiltin(term))
                requireField(query, term.name);
        });
}

QString ReportExpression::evaluate(const QString& text, const Context& context)
{
    QString result;
    walk(
        text, [&result](const QString& literal) { result += literal; },
        [&](const QString& expression) {
            const Term term = parseTerm(expression);
            result += formatValue(valueOf(term, context), term.format);
        });
    return result;
}

bool ReportExpression::isValidFormat(const QString& format)
{
    static const QRegularExpression pattern(uR"(^(0(\.(0+|#+))?)?$)"_s);
    return pattern.match(format).hasMatch();
}

QString ReportExpression::formatValue(const QVariant& value, const QString& format)
{
    if (format.isEmpty() || !value.isValid())
        return VariantToText(value);
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return VariantToText(value);
    const qsizetype point = format.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(format.size() - point - 1);
    QString text = QString::number(roundHalfEven(number, decimals) + 0.0, 'f', decimals);
    if (format.endsWith(u'#') && text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}
