#pragma once

#include "ReportPage.h"

#include <QDialog>
#include <QPrinter>

class QPrintPreviewWidget;

// The preview of prepared pages: zoom, print on any printer, save as PDF.
class ReportPreview : public QDialog
{
    Q_OBJECT

public:
    explicit ReportPreview(const QList<ReportPage>& pages, QWidget* parent = nullptr);

private:
    void print();
    void savePdf();

    QList<ReportPage> m_pages;
    QPrinter m_printer;
    QPrintPreviewWidget* m_preview;
};
