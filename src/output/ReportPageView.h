#pragma once

class ReportLayout;

#include <QAbstractScrollArea>
#include <QList>

// Prepared pages one below the other, drawn only where they are in view: the first page shows at
// once however long the report, and drawing costs the pages on the screen.
class ReportPageView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    ReportPageView(const ReportLayout& pages, QWidget* parent = nullptr);

    void zoomIn();
    void zoomOut();
    void fitToWidth();
    void fitPage();
    // The pages drawn by the last paint, first to last.
    QPair<int, int> pagesDrawn() const { return m_drawn; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    double pixelsPerMm() const;
    QSizeF pageSizeMm() const;
    int pageHeight() const;
    void setZoom(double zoom);
    void updateScrollBars();

    const ReportLayout& m_pages;
    double m_zoom = 1.0;
    bool m_fitted = false;
    QPair<int, int> m_drawn{-1, -1};
};
