#include "ReportComponent.h"

#include "MessageBox.h"
#include "ProgressWindow.h"
#include "QirvoError.h"
#include "Query.h"
#include "ReportLayout.h"
#include "ReportPreview.h"
#include "ShareDMUnit.h"

#include <QDateTime>
#include <QFileInfo>

#include <malloc.h>

using namespace Qt::StringLiterals;

std::function<void(const ReportComponent&)> ReportComponent::s_previewHandler;

ReportComponent::ReportComponent(Query& dataset, const QString& datasetName, QObject* parent)
    : QObject(parent), m_dataset(dataset), m_datasetName(datasetName)
{}

void ReportComponent::setPreviewHandler(std::function<void(const ReportComponent&)> handler)
{
    s_previewHandler = std::move(handler);
}

bool ReportComponent::LoadFromFile(const QString& path)
{
    if (!QFileInfo::exists(path))
        return false;
    ReportTemplate loaded = ReportTemplate::load(path);
    if (loaded.dataset.compare(m_datasetName, Qt::CaseInsensitive) != 0)
        throw QirvoError(u"报表模板 %1 有误：它读取数据集 %2，而此处打印的是 %3"_s.arg(
            loaded.name, loaded.dataset, m_datasetName));
    m_definition = std::move(loaded);
    return true;
}

bool ReportComponent::PrepareReport(QWidget* parent)
{
    m_prepared.reset();
    if (!m_definition)
        return false;
    ProgressWindow progressWindow(u"报表"_s, u"正在准备报表……"_s, parent);
    const auto progress = [&progressWindow](int done, int total) {
        return progressWindow.advance(done, total);
    };
    m_prepared = ReportLayout::prepare(*m_definition, m_dataset, QDateTime::currentDateTime(), progress);
    return m_prepared.has_value();
}

void ReportComponent::releasePages()
{
    m_prepared.reset();
    // Hands the freed pages back to the system rather than keeping them for the next report.
    malloc_trim(0);
}

void ReportComponent::ShowPreparedReport(QWidget* parent)
{
    if (!hasPreparedPages())
        return;
    if (s_previewHandler) {
        s_previewHandler(*this);
        return;
    }
    ReportPreview preview(*m_prepared, parent);
    preview.exec();
}

void PrintReport(ReportComponent& report, const QString& templatePath, QWidget* parent)
{
    const QString path = AppDir() + templatePath;
    if (!report.LoadFromFile(path) && !report.hasDefinition()) {
        MessageBox::warning(parent, u"找不到报表模板文件：\n%1"_s.arg(path));
        return;
    }
    if (!report.PrepareReport(parent))
        return;
    report.ShowPreparedReport(parent);
    // A long report's pages are no longer needed once its preview is closed.
    report.releasePages();
}
