#include "ReportPreview.h"

#include "FileDialog.h"
#include "HandlerGuard.h"
#include "MessageBox.h"
#include "ReportPainter.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ReportPreview::ReportPreview(const QList<ReportPage>& pages, QWidget* parent)
    : QDialog(parent), m_pages(pages), m_printer(QPrinter::HighResolution)
{
    setObjectName(u"ReportPreview"_s);
    setWindowTitle(u"打印预览"_s);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    resize(900, 700);

    m_printer.setFullPage(true);
    const bool landscape = !pages.isEmpty() && pages.first().sizeMm.width() > pages.first().sizeMm.height();
    m_printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                        landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                        QMarginsF(0, 0, 0, 0)));
    m_preview = new QPrintPreviewWidget(&m_printer, this);
    m_preview->setObjectName(u"preview"_s);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        QPainter painter(printer);
        ReportPainter::paint(painter, *printer, m_pages);
    });

    auto* tools = new QToolBar(this);
    tools->addAction(u"放大"_s, m_preview, [this] { m_preview->zoomIn(); });
    tools->addAction(u"缩小"_s, m_preview, [this] { m_preview->zoomOut(); });
    tools->addAction(u"整页"_s, m_preview, [this] { m_preview->fitInView(); });
    tools->addAction(u"页宽"_s, m_preview, [this] { m_preview->fitToWidth(); });
    tools->addSeparator();
    tools->addAction(u"打印…"_s, this, guarded(this, &ReportPreview::print));
    tools->addAction(u"保存为 PDF…"_s, this, guarded(this, &ReportPreview::savePdf));
    tools->addSeparator();
    tools->addAction(u"关闭"_s, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tools);
    layout->addWidget(m_preview);
}

void ReportPreview::print()
{
    QPrintDialog dialog(&m_printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&m_printer);
    ReportPainter::paint(painter, m_printer, m_pages);
}

void ReportPreview::savePdf()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path =
        FileDialog::getSaveFileName(this, u"保存为 PDF"_s, folder + u"/报表.pdf"_s, u"PDF 文件 (*.pdf)"_s);
    if (path.isEmpty())
        return;
    ReportPainter::writePdf(m_pages, path);
    MessageBox::information(this, u"已保存：%1"_s.arg(path));
}
