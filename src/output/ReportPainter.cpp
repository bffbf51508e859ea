#include "ReportPainter.h"

#include "QirvoError.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace {

void paintPage(QPainter& painter, const ReportPage& page, double dotsPerMm)
{
    // One CJK family for Latin and Chinese alike, so a cell has one baseline. WenQuanYi Micro Hei
    // maps no radical look-alikes (⽇ for 日) onto the ideographs' glyphs, so a saved PDF's text layer
    // names the characters printed and a search for a name finds it.
    QFont font;
    font.setFamilies({u"WenQuanYi Micro Hei"_s, u"Noto Sans CJK SC"_s});
    for (const ReportItem& item : page.items) {
        const QRectF rect(item.rectMm.x() * dotsPerMm, item.rectMm.y() * dotsPerMm,
                          item.rectMm.width() * dotsPerMm, item.rectMm.height() * dotsPerMm);
        if (item.boxed) {
            painter.setPen(QPen(Qt::black, std::max(1.0, 0.2 * dotsPerMm)));
            painter.drawRect(rect);
        }
        font.setPixelSize(std::max(1, int(item.fontPt * 25.4 / 72 * dotsPerMm)));
        font.setBold(item.bold);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const double pad = item.boxed ? 1.0 * dotsPerMm : 0;
        painter.drawText(rect.adjusted(pad, 0, -pad, 0), int(item.align) | Qt::TextSingleLine, item.text);
    }
}

QPageLayout layoutFor(const ReportPage& page)
{
    const bool landscape = page.sizeMm.width() > page.sizeMm.height();
    return QPageLayout(QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

} // namespace

void ReportPainter::paint(QPainter& painter, QPagedPaintDevice& device, const QList<ReportPage>& pages)
{
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        const double dotsPerMm = device.logicalDpiX() / 25.4;
        paintPage(painter, pages[i], dotsPerMm);
    }
}

void ReportPainter::writePdf(const QList<ReportPage>& pages, const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(u"Qirvo计件工资管理软件"_s);
    if (!pages.isEmpty())
        writer.setPageLayout(layoutFor(pages.first()));
    QPainter painter;
    if (!painter.begin(&writer))
        throw QirvoError(u"无法写入文件：%1"_s.arg(path));
    paint(painter, writer, pages);
    painter.end();
    if (!QFile::exists(path))
        throw QirvoError(u"无法写入文件：%1"_s.arg(path));
}
