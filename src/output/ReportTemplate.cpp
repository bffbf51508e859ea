#include "ReportTemplate.h"

#include "QirvoError.h"
#include "ReportExpression.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

class TemplateParser
{
public:
    TemplateParser(ReportTemplate& result) : m_result(result) {}

    void parseLine(const QString& raw, int number)
    {
        m_number = number;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            return;
        if (line.startsWith(u'[') && line.endsWith(u']') && !line.contains(u'=') && !line.contains(u'|')) {
            m_section = line.mid(1, line.size() - 2).trimmed().toLower();
            if (!QStringList{u"report"_s, u"header"_s, u"title"_s, u"columns"_s, u"record"_s, u"summary"_s,
                             u"footer"_s}
                     .contains(m_section))
                fail(u"未知的段“%1”"_s.arg(m_section));
            return;
        }
        if (m_section.isEmpty())
            fail(u"内容必须写在某个段之内，例如 [report]"_s);
        if (m_section == u"columns")
            parseColumn(line);
        else
            parseEntry(line);
    }

private:
    [[noreturn]] void fail(const QString& problem) const
    {
        throw QirvoError(u"报表模板 %1 第 %2 行有误：%3"_s.arg(m_result.name).arg(m_number).arg(problem));
    }

    void checkExpressions(const QString& text) const
    {
        try {
            ReportExpression::checkSyntax(text);
        } catch (const QirvoError& error) {
            fail(error.message());
        }
    }

    void parseColumn(const QString& line)
    {
        const QStringList parts = line.split(u'|');
        if (parts.size() < 3 || parts.size() > 5)
            fail(u"列的写法是“字段 | 标题 | 宽度 | 对齐 | 格式”"_s);
        ReportTemplate::Column column;
        column.field = parts[0].trimmed();
        column.title = parts[1].trimmed();
        bool ok = false;
        column.widthMm = parts[2].trimmed().toDouble(&ok);
        if (!ok || column.widthMm <= 0)
            fail(u"列宽“%1”不是正数"_s.arg(parts[2].trimmed()));
        if (parts.size() > 3)
            column.align = alignment(parts[3].trimmed());
        if (parts.size() > 4) {
            column.format = parts[4].trimmed();
            if (!ReportExpression::isValidFormat(column.format))
                fail(u"未知的数字格式“%1”"_s.arg(column.format));
        }
        if (column.field.isEmpty())
            fail(u"列缺少字段名"_s);
        m_result.columns << column;
    }

    Qt::Alignment alignment(const QString& word) const
    {
        if (word == u"left")
            return Qt::AlignLeft;
        if (word == u"right")
            return Qt::AlignRight;
        if (word == u"center")
            return Qt::AlignHCenter;
        fail(u"对齐方式只能是 left、center 或 right，而不是“%1”"_s.arg(word));
    }

    void parseEntry(const QString& line)
    {
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            fail(u"缺少“=”"_s);
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (m_section == u"report") {
            parseSetting(key, value);
            return;
        }
        checkExpressions(value);
        if (m_section == u"summary" && key.startsWith(u'@')) {
            m_result.summaryCells.insert(key.mid(1).trimmed().toLower(), value);
            return;
        }
        const bool sharesRow = key.startsWith(u'+');
        const ReportTemplate::Line entry{alignment(sharesRow ? key.mid(1).trimmed() : key), value, sharesRow};
        if (m_section == u"header")
            m_result.header << entry;
        else if (m_section == u"title")
            m_result.titleLines << entry;
        else if (m_section == u"record")
            m_result.record << entry;
        else if (m_section == u"summary")
            m_result.summary << entry;
        else
            m_result.footer << entry;
    }

    void parseSetting(const QString& key, const QString& value)
    {
        if (key == u"dataset") {
            m_result.dataset = value;
        } else if (key == u"title") {
            checkExpressions(value);
            m_result.title = value;
        } else if (key == u"orientation") {
            if (value != u"portrait" && value != u"landscape")
                fail(u"纸张方向只能是 portrait 或 landscape"_s);
            m_result.landscape = value == u"landscape";
        } else if (key == u"font-size") {
            bool ok = false;
            m_result.fontPt = value.toDouble(&ok);
            if (!ok || m_result.fontPt < 4 || m_result.fontPt > 40)
                fail(u"字号“%1”不在 4 到 40 之间"_s.arg(value));
        } else {
            fail(u"未知的设置“%1”"_s.arg(key));
        }
    }

    ReportTemplate& m_result;
    QString m_section;
    int m_number = 0;
};

} // namespace

ReportTemplate ReportTemplate::parse(const QString& text, const QString& name)
{
    ReportTemplate result;
    result.name = name;
    TemplateParser parser(result);
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i)
        parser.parseLine(lines[i], i + 1);
    if (result.dataset.isEmpty())
        throw QirvoError(u"报表模板 %1 有误：[report] 段没有写明数据集（dataset）"_s.arg(name));
    if (result.columns.isEmpty() && result.record.isEmpty())
        throw QirvoError(
            u"报表模板 %1 有误：既没有 [columns] 段也没有 [record] 段，无内容可打印"_s.arg(name));
    return result;
}

ReportTemplate ReportTemplate::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw QirvoError(u"无法读取报表模板文件：\n%1\n%2"_s.arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw QirvoError(u"无法读取报表模板文件：\n%1\n%2"_s.arg(path, file.errorString()));
    return parse(QString::fromUtf8(bytes), QFileInfo(path).fileName());
}

QStringList ReportTemplate::expressionTexts() const
{
    QStringList texts{title};
    for (const QList<Line>* lines : {&header, &titleLines, &record, &summary, &footer})
        for (const Line& line : *lines)
            texts << line.text;
    texts << summaryCells.values();
    return texts;
}
