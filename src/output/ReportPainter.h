#pragma once

#include "ReportPage.h"

class ReportLayout;

#include <QList>
#include <QString>

#include <functional>

class QPainter;
class QPagedPaintDevice;

// Draws prepared pages on any paged device: a printer, the preview, a PDF file.
class ReportPainter
{
public:
    // Told the pages done so far and all the pages; false stops the drawing.
    using Progress = std::function<bool(int done, int total)>;

    // One page at the given resolution, its top left corner at the painter's origin.
    static void paintPage(QPainter& painter, const ReportPage& page, double dotsPerMm);
    // False when progress stopped it.
    static bool paint(QPainter& painter, QPagedPaintDevice& device, const ReportLayout& pages,
                      const Progress& progress = {});
    // Throws QirvoError when the file cannot be written. False, with no file left, when progress
    // stopped it.
    static bool writePdf(const ReportLayout& pages, const QString& path, const Progress& progress = {});
};
