#include "ReportPreview.h"

#include "FileDialog.h"
#include "HandlerGuard.h"
#include "MessageBox.h"
#include "ProgressWindow.h"
#include "ReportLayout.h"
#include "ReportPageView.h"
#include "ReportPainter.h"

#include <QPainter>
#include <QPrintDialog>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ReportPreview::ReportPreview(const ReportLayout& pages, QWidget* parent)
    : QDialog(parent), m_pages(pages), m_printer(QPrinter::HighResolution)
{
    setObjectName(u"ReportPreview"_s);
    setWindowTitle(u"打印预览"_s);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    resize(900, 700);

    m_printer.setFullPage(true);
    const bool landscape = pages.pageSizeMm().width() > pages.pageSizeMm().height();
    m_printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                        landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                        QMarginsF(0, 0, 0, 0)));
    m_view = new ReportPageView(m_pages, this);
    m_view->setObjectName(u"preview"_s);

    auto* tools = new QToolBar(this);
    tools->addAction(u"放大"_s, m_view, [this] { m_view->zoomIn(); });
    tools->addAction(u"缩小"_s, m_view, [this] { m_view->zoomOut(); });
    tools->addAction(u"整页"_s, m_view, [this] { m_view->fitPage(); });
    tools->addAction(u"页宽"_s, m_view, [this] { m_view->fitToWidth(); });
    tools->addSeparator();
    tools->addAction(u"打印…"_s, this, guarded(this, &ReportPreview::print));
    tools->addAction(u"保存为 PDF…"_s, this, guarded(this, &ReportPreview::savePdf));
    tools->addSeparator();
    tools->addAction(u"关闭"_s, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tools);
    layout->addWidget(m_view);
}

void ReportPreview::print()
{
    QPrintDialog dialog(&m_printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ProgressWindow progressWindow(u"打印"_s, u"正在打印……"_s, this);
    QPainter painter(&m_printer);
    // A stopped print job is withdrawn, so the printer gets no half of it.
    if (!ReportPainter::paint(painter, m_printer, m_pages,
                              [&](int done, int total) { return progressWindow.advance(done, total, 8); }))
        m_printer.abort();
}

void ReportPreview::savePdf()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path =
        FileDialog::getSaveFileName(this, u"保存为 PDF"_s, folder + u"/报表.pdf"_s, u"PDF 文件 (*.pdf)"_s);
    if (path.isEmpty())
        return;
    ProgressWindow progressWindow(u"保存为 PDF"_s, u"正在保存 PDF……"_s, this);
    if (ReportPainter::writePdf(m_pages, path,
                                [&](int done, int total) { return progressWindow.advance(done, total, 8); }))
        MessageBox::information(this, u"已保存：%1"_s.arg(path));
}
