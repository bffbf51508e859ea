#include "XlsxSheet.h"

#include <QProcess>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

XlsxSheet ReadXlsxSheet(const QString& path)
{
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, path, u"xl/worksheets/sheet1.xml"_s});
    if (!unzip.waitForFinished(10000) || unzip.exitCode() != 0)
        qFatal("unzip failed: %s", unzip.readAllStandardError().constData());
    XlsxSheet cells;
    QXmlStreamReader xml(unzip.readAllStandardOutput());
    QString ref;
    QString type;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"c") {
            ref = xml.attributes().value(u"r"_s).toString();
            type = xml.attributes().value(u"t"_s).toString();
        } else if (xml.name() == u"v") {
            cells[ref] = (type.isEmpty() || type == u"n" ? u"n:"_s : type + u':') + xml.readElementText();
        } else if (xml.name() == u"t") {
            cells[ref] = u"s:"_s + xml.readElementText();
        }
    }
    if (xml.hasError())
        qFatal("bad sheet XML: %s", qPrintable(xml.errorString()));
    return cells;
}
