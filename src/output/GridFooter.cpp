#include "GridFooter.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>

using namespace Qt::StringLiterals;

GridFooter::GridFooter(QTableView& view, QWidget* parent) : QWidget(parent), m_view(view)
{
    QFont footerFont;
    footerFont.setFamilies({u"MS Sans Serif"_s, u"Noto Sans CJK SC"_s, u"DejaVu Sans"_s});
    footerFont.setPointSize(8);
    setFont(footerFont);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    connect(m_view.horizontalHeader(), &QHeaderView::sectionResized, this, qOverload<>(&QWidget::update));
    connect(m_view.horizontalHeader(), &QHeaderView::sectionMoved, this, qOverload<>(&QWidget::update));
    connect(m_view.horizontalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
}

void GridFooter::setValues(const QList<GridColumn>& columns, const QStringList& texts)
{
    m_colours.clear();
    for (const GridColumn& column : columns)
        m_colours << column.footerColour;
    m_texts = texts;
    update();
}

QSize GridFooter::sizeHint() const
{
    return {100, fontMetrics().height() + 8};
}

void GridFooter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QHeaderView* header = m_view.horizontalHeader();
    const int offset = m_view.frameWidth() + m_view.verticalHeader()->width();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, width(), 0);
    for (int column = 0; column < m_texts.size(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        const QRect cell(offset + header->sectionViewportPosition(column), 1, header->sectionSize(column),
                         height() - 1);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        if (m_texts[column].isEmpty())
            continue;
        painter.setPen(m_colours.value(column, Qt::black));
        painter.drawText(cell, Qt::AlignCenter, m_texts[column]);
    }
}
