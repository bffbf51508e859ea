#include "ReportPainter.h"

#include "QirvoError.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

void ReportPainter::paintPage(QPainter& painter, const ReportPage& page, double dotsPerMm)
{
    // One CJK family for Latin and Chinese alike, so a cell has one baseline. WenQuanYi Micro Hei
    // maps no radical look-alikes (⽇ for 日) onto the ideographs' glyphs, so a saved PDF's text layer
    // names the characters printed and a search for a name finds it.
    QFont font;
    font.setFamilies({u"WenQuanYi Micro Hei"_s, u"Noto Sans CJK SC"_s});
    const QPen frame(Qt::black, std::max(1.0, 0.2 * dotsPerMm));
    const QPen ink(Qt::black);
    painter.setPen(ink);
    // A page holds a few font sizes only; the font is set again only when it changes.
    int shownSize = -1;
    bool shownBold = false;
    for (const ReportItem& item : page.items) {
        const QRectF rect(item.rectMm.x() * dotsPerMm, item.rectMm.y() * dotsPerMm,
                          item.rectMm.width() * dotsPerMm, item.rectMm.height() * dotsPerMm);
        if (item.boxed) {
            painter.setPen(frame);
            painter.drawRect(rect);
            painter.setPen(ink);
        }
        const int size = std::max(1, int(item.fontPt * 25.4 / 72 * dotsPerMm));
        if (size != shownSize || item.bold != shownBold) {
            font.setPixelSize(size);
            font.setBold(item.bold);
            painter.setFont(font);
            shownSize = size;
            shownBold = item.bold;
        }
        const double pad = item.boxed ? 1.0 * dotsPerMm : 0;
        painter.drawText(rect.adjusted(pad, 0, -pad, 0), int(item.align) | Qt::TextSingleLine, item.text);
    }
}

namespace {

QPageLayout layoutFor(const ReportPage& page)
{
    const bool landscape = page.sizeMm.width() > page.sizeMm.height();
    return QPageLayout(QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

} // namespace

bool ReportPainter::paint(QPainter& painter, QPagedPaintDevice& device, const QList<ReportPage>& pages,
                          const Progress& progress)
{
    const double dotsPerMm = device.logicalDpiX() / 25.4;
    for (int i = 0; i < pages.size(); ++i) {
        if (progress && !progress(i, int(pages.size())))
            return false;
        if (i > 0)
            device.newPage();
        paintPage(painter, pages[i], dotsPerMm);
    }
    return true;
}

bool ReportPainter::writePdf(const QList<ReportPage>& pages, const QString& path, const Progress& progress)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(u"Qirvo计件工资管理软件"_s);
    if (!pages.isEmpty())
        writer.setPageLayout(layoutFor(pages.first()));
    QPainter painter;
    if (!painter.begin(&writer))
        throw QirvoError(u"无法写入文件：%1"_s.arg(path));
    const bool finished = paint(painter, writer, pages, progress);
    painter.end();
    if (!finished) {
        // A PDF cut short is no report; the clerk asked for none.
        QFile::remove(path);
        return false;
    }
    if (!QFile::exists(path))
        throw QirvoError(u"无法写入文件：%1"_s.arg(path));
    return true;
}
