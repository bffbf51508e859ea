#include "DataGrid.h"

#include "FooterAggregates.h"
#include "GridFooter.h"
#include "GridTableView.h"
#include "HandlerGuard.h"
#include "MessageBox.h"
#include "Query.h"
#include "QueryTableModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

bool isWithin(const QWidget* widget, const QWidget* container)
{
    return widget && (widget == container || container->isAncestorOf(widget));
}

} // namespace

DataGrid::DataGrid(Kind kind, Query& query, QWidget* parent) : QWidget(parent), m_kind(kind)
{
    m_model = new QueryTableModel(query, this);
    m_model->setEditable(kind == Kind::Edit);

    m_view = new GridTableView(kind == Kind::List, this);
    m_view->setRowMover([this](int row) { return moveQueryTo(row); });
    m_view->setObjectName(u"view"_s);
    m_view->setModel(m_model);
    m_delegate = new GridDelegate(*m_model, this);
    m_view->setItemDelegate(m_delegate);
    m_view->setTabKeyNavigation(true);
    m_view->setWordWrap(false);
    m_view->setShowGrid(true);
    m_view->setCornerButtonEnabled(false);
    if (kind == Kind::List) {
        m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_view->setSelectionMode(QAbstractItemView::SingleSelection);
        m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    } else {
        m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
        m_view->setSelectionMode(QAbstractItemView::SingleSelection);
        // A click only makes a cell current, so that Delete and Ctrl+Delete reach the grid; typing,
        // F2 or a double click open the cell's editor.
        m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    }

    QFont titleFont;
    titleFont.setFamilies({u"宋体"_s, u"SimSun"_s, u"Noto Sans CJK SC"_s});
    titleFont.setPointSize(9);
    m_view->horizontalHeader()->setFont(titleFont);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_view->horizontalHeader()->setHighlightSections(false);
    // Fixed row heights and a fixed indicator column keep long lists quick to lay out.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 8);
    m_view->verticalHeader()->setFixedWidth(18);
    m_view->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);

    m_footer = new GridFooter(*m_view, this);
    m_footer->setObjectName(u"footer"_s);
    m_footer->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    layout->addWidget(m_footer);

    m_view->installEventFilter(this);
    connect(m_model, &QueryTableModel::contentChanged, this, &DataGrid::refreshFooter);
    connect(&query, &Query::currentRowChanged, this, &DataGrid::followQueryRow);
    connect(&query, &Query::updateRecordRequested, this, &DataGrid::finishEditing);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    followViewRow(current.row());
            });
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit dblClick();
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        // Only a move to another control of this window leaves the grid; a box or dialog does not,
        // and a grid being hidden with its tab is left by the form that switches the tab.
        if (isWithin(old, this) && now && !isWithin(now, this) && now->window() == window() && isVisible())
            leave();
    });
    followQueryRow(query.isActive() ? query.currentRow() : -1);
}

Query& DataGrid::query() const
{
    return m_model->query();
}

QTableView* DataGrid::view() const
{
    return m_view;
}

void DataGrid::setColumns(const QList<GridColumn>& columns)
{
    QStringList totalled;
    for (const GridColumn& column : columns)
        if (column.footer == GridColumn::Footer::Sum)
            totalled << column.fieldName;
    query().setTotalledFields(totalled);
    m_model->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i) {
        m_view->setColumnWidth(i, columns[i].width);
        m_view->setColumnHidden(i, !columns[i].visible);
    }
}

const QList<GridColumn>& DataGrid::columns() const
{
    return m_model->columns();
}

void DataGrid::setPickList(int column, const QStringList& pickList)
{
    m_model->setPickList(column, pickList);
}

void DataGrid::setColumnVisible(int column, bool visible)
{
    QList<GridColumn> columns = m_model->columns();
    columns[column].visible = visible;
    m_model->setColumns(columns);
    m_view->setColumnHidden(column, !visible);
}

void DataGrid::setFooterVisible(bool visible)
{
    m_footer->setVisible(visible);
    refreshFooter();
}

QStringList DataGrid::footerTexts() const
{
    return m_footer->texts();
}

void DataGrid::setCellParams(GridDelegate::CellParams cellParams)
{
    m_delegate->setCellParams(std::move(cellParams));
    m_view->viewport()->update();
}

void DataGrid::refreshFooter()
{
    if (m_footer->isHidden())
        return;
    m_footer->setValues(m_model->columns(), FooterAggregates::compute(query(), m_model->columns()));
}

void DataGrid::followQueryRow(int row)
{
    if (m_following)
        return;
    m_following = true;
    if (row >= 0 && row < m_model->rowCount()) {
        const int column = std::max(0, m_view->currentIndex().column());
        const auto rows = m_kind == Kind::List ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate;
        m_view->selectionModel()->setCurrentIndex(m_model->index(row, column),
                                                  QItemSelectionModel::ClearAndSelect | rows);
    }
    m_following = false;
}

int DataGrid::moveQueryTo(int row)
{
    runHandler(this, [&] {
        // The text still in a cell editor belongs to the row being left.
        finishEditing();
        query().setCurrentRow(row);
    });
    return query().isActive() ? query().currentRow() : -1;
}

// Keys and clicks ask before they move; this follows the other ways the view's row changes.
void DataGrid::followViewRow(int row)
{
    if (m_following)
        return;
    if (moveQueryTo(row) == row)
        return;
    // The view is still in the middle of its own move; put it back once that is done.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (query().isActive())
                followQueryRow(query().currentRow());
        },
        Qt::QueuedConnection);
}

void DataGrid::finishEditing()
{
    m_view->finishEditing();
}

void DataGrid::leave()
{
    runHandler(this, [this] {
        finishEditing();
        Query& rows = query();
        if (rows.isActive() && rows.state() == Query::State::Insert && !rows.isModified())
            rows.cancel();
        emit exited();
    });
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        bool handled = false;
        runHandler(this, [&] { handled = handleKey(static_cast<QKeyEvent*>(event)); });
        return handled;
    }
    return QWidget::eventFilter(watched, event);
}

bool DataGrid::handleKey(QKeyEvent* event)
{
    event->ignore();
    emit keyDown(event);
    if (event->isAccepted())
        return true;
    event->accept();

    Query& rows = query();
    if (!rows.isActive())
        return false;
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
        if (rows.isUpdatable() && rows.recordCount() > 0 &&
            MessageBox::askOkCancel(this, u"Delete record?"_s)) {
            finishEditing();
            rows.remove();
        }
        return true;
    }
    if (m_kind != Kind::Edit || event->modifiers() != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Down:
        if (rows.currentRow() != rows.recordCount() - 1 && rows.recordCount() > 0)
            return false;
        finishEditing();
        if (!(rows.state() == Query::State::Insert && !rows.isModified()))
            rows.append();
        return true;
    case Qt::Key_Insert:
        finishEditing();
        rows.insert();
        return true;
    case Qt::Key_Escape:
        if (rows.state() == Query::State::Browse)
            return false;
        rows.cancel();
        return true;
    default:
        return false;
    }
}
