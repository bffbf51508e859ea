#include "GridDelegate.h"

#include "HandlerGuard.h"
#include "MessageBox.h"
#include "QueryTableModel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMetaProperty>
#include <QScopeGuard>

GridDelegate::GridDelegate(QueryTableModel& model, QWidget* grid)
    : QStyledItemDelegate(grid), m_model(model), m_grid(grid)
{}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    const QStringList& pickList = m_model.columns().at(index.column()).pickList;
    if (pickList.isEmpty())
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->addItems(pickList);
    return box;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        box->setCurrentText(index.data(Qt::EditRole).toString());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    // A refusal box takes the focus from the editor, which would commit the same text again.
    if (m_committing)
        return;
    m_committing = true;
    const auto done = qScopeGuard([this] { m_committing = false; });
    QString text;
    if (auto* box = qobject_cast<QComboBox*>(editor))
        text = box->currentText();
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        text = line->text();
    else
        text = editor->metaObject()->userProperty().read(editor).toString();
    if (const QString problem = m_model.refusal(index.column(), text); !problem.isEmpty()) {
        MessageBox::warning(m_grid, problem);
        return;
    }
    runHandler(m_grid, [&] { m_model.setCellText(index, text); });
}

void GridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!m_cellParams)
        return;
    QColor text = option->palette.color(QPalette::Text);
    QColor background;
    m_cellParams(m_model.columns().at(index.column()), index.row(), text, background);
    option->palette.setColor(QPalette::Text, text);
    if (background.isValid())
        option->backgroundBrush = background;
}
