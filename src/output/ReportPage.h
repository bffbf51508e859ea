#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

// One prepared page: texts placed in millimetres from the page's top left corner.
struct ReportItem
{
    QRectF rectMm;
    QString text;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    double fontPt = 9;
    bool bold = false;
    bool boxed = false;
};

struct ReportPage
{
    QSizeF sizeMm;
    QList<ReportItem> items;

    QString text() const;
};
