#pragma once

#include "ReportLayout.h"
#include "ReportTemplate.h"

#include <QObject>

#include <functional>
#include <optional>

class Query;
class QWidget;

// A form's report: the template last loaded into it, the query its dataset reads, and the pages
// prepared from them.
class ReportComponent : public QObject
{
    Q_OBJECT

public:
    ReportComponent(Query& dataset, const QString& datasetName, QObject* parent = nullptr);

    const QString& datasetName() const { return m_datasetName; }
    bool hasDefinition() const { return m_definition.has_value(); }
    bool hasPreparedPages() const { return m_prepared && m_prepared->pageCount() > 0; }
    // Only while hasPreparedPages().
    const ReportLayout& preparedPages() const { return *m_prepared; }

    // False, with the definition kept, when the file does not exist. Throws QirvoError when it
    // exists but cannot be read or is not a valid template.
    bool LoadFromFile(const QString& path);
    // Shows a progress window with a Cancel button; false when cancelled or nothing is defined.
    // Throws QirvoError when the template does not fit the query.
    bool PrepareReport(QWidget* parent);
    // Opens the preview of the prepared pages; nothing when there are none.
    void ShowPreparedReport(QWidget* parent);
    // Forgets the prepared pages and gives their memory back.
    void releasePages();

    // While set, the preview is handed to this instead of opening a window.
    static void setPreviewHandler(std::function<void(const ReportComponent&)> handler);

private:
    Query& m_dataset;
    QString m_datasetName;
    std::optional<ReportTemplate> m_definition;
    std::optional<ReportLayout> m_prepared;
    static std::function<void(const ReportComponent&)> s_previewHandler;
};

// The print action every document shares: load AppDir + the template's path, prepare, preview.
// A missing template that was never loaded is named in a warning rather than passed over.
void PrintReport(ReportComponent& report, const QString& templatePath, QWidget* parent);
