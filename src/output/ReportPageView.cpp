#include "ReportPageView.h"

#include "ReportLayout.h"
#include "ReportPainter.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int Gap = 12;

} // namespace

ReportPageView::ReportPageView(const ReportLayout& pages, QWidget* parent)
    : QAbstractScrollArea(parent), m_pages(pages)
{
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(40);
    updateScrollBars();
}

QSizeF ReportPageView::pageSizeMm() const
{
    return m_pages.pageSizeMm();
}

double ReportPageView::pixelsPerMm() const
{
    return logicalDpiX() / 25.4 * m_zoom;
}

int ReportPageView::pageHeight() const
{
    return int(pageSizeMm().height() * pixelsPerMm());
}

void ReportPageView::zoomIn()
{
    setZoom(m_zoom * 1.25);
}

void ReportPageView::zoomOut()
{
    setZoom(m_zoom / 1.25);
}

void ReportPageView::fitToWidth()
{
    setZoom((viewport()->width() - 2 * Gap) / (pageSizeMm().width() * logicalDpiX() / 25.4));
}

void ReportPageView::fitPage()
{
    const double perMm = logicalDpiX() / 25.4;
    setZoom(std::min((viewport()->width() - 2 * Gap) / (pageSizeMm().width() * perMm),
                     (viewport()->height() - 2 * Gap) / (pageSizeMm().height() * perMm)));
}

void ReportPageView::setZoom(double zoom)
{
    // Keeps the page in view where it was.
    const double at = double(verticalScrollBar()->value()) / std::max(1, pageHeight() + Gap);
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    updateScrollBars();
    verticalScrollBar()->setValue(int(at * (pageHeight() + Gap)));
    viewport()->update();
}

void ReportPageView::updateScrollBars()
{
    const int width = int(pageSizeMm().width() * pixelsPerMm()) + 2 * Gap;
    const qint64 height = qint64(m_pages.pageCount()) * (pageHeight() + Gap) + Gap;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(
        0, int(std::min<qint64>(INT_MAX, std::max<qint64>(0, height - viewport()->height()))));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
}

void ReportPageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

// The pages first show as wide as the window, as a clerk reads them.
void ReportPageView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    if (m_fitted)
        return;
    m_fitted = true;
    fitToWidth();
}

void ReportPageView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int step = pageHeight() + Gap;
    const int top = verticalScrollBar()->value();
    const int first = std::max(0, (top - Gap) / std::max(1, step));
    const int last = std::min(m_pages.pageCount() - 1, (top + viewport()->height()) / std::max(1, step));
    const int pageWidth = int(pageSizeMm().width() * pixelsPerMm());
    const int left = std::max(Gap, (viewport()->width() - pageWidth) / 2) - horizontalScrollBar()->value();
    for (int i = first; i <= last; ++i) {
        const QRect sheet(left, Gap + i * step - top, pageWidth, pageHeight());
        painter.fillRect(sheet, Qt::white);
        painter.save();
        painter.translate(sheet.topLeft());
        painter.setClipRect(QRect(QPoint(0, 0), sheet.size()));
        ReportPainter::paintPage(painter, m_pages.page(i), pixelsPerMm());
        painter.restore();
    }
    m_drawn = {first, last};
}
