#pragma once

#include "GridColumn.h"

#include <QStringList>
#include <QWidget>

class QTableView;

// The footer row under a grid's columns, kept in line with the columns as they are resized or
// scrolled.
class GridFooter : public QWidget
{
    Q_OBJECT

public:
    explicit GridFooter(QTableView& view, QWidget* parent = nullptr);

    void setValues(const QList<GridColumn>& columns, const QStringList& texts);
    const QStringList& texts() const { return m_texts; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTableView& m_view;
    QList<QColor> m_colours;
    QStringList m_texts;
};
