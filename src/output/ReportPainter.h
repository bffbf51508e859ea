#pragma once

#include "ReportPage.h"

#include <QList>
#include <QString>

class QPainter;
class QPagedPaintDevice;

// Draws prepared pages on any paged device: a printer, the preview, a PDF file.
class ReportPainter
{
public:
    static void paint(QPainter& painter, QPagedPaintDevice& device, const QList<ReportPage>& pages);
    // Throws QirvoError when the file cannot be written.
    static void writePdf(const QList<ReportPage>& pages, const QString& path);
};
