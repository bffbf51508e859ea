#pragma once

class ReportLayout;

#include <QDialog>
#include <QPrinter>

class ReportPageView;

// The preview of prepared pages: zoom, print on any printer, save as PDF. Pages are drawn as they
// come into view, and printing and saving show their progress and can be stopped.
class ReportPreview : public QDialog
{
    Q_OBJECT

public:
    explicit ReportPreview(const ReportLayout& pages, QWidget* parent = nullptr);

    ReportPageView* pageView() const { return m_view; }

private:
    void print();
    void savePdf();

    const ReportLayout& m_pages;
    QPrinter m_printer;
    ReportPageView* m_view;
};
