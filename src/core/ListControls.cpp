#include "ListControls.h"

#include "MessageBox.h"
#include "QirvoError.h"
#include "ShareDMUnit.h"

#include <QComboBox>
#include <QFont>
#include <QLineEdit>
#include <QListWidget>

using namespace Qt::StringLiterals;

void FillDistinctList(QComboBox* box, const QString& table, const QString& column, const Condition& where,
                      bool clearFirst, bool addFirstItem, const QString& firstItem)
{
    if (clearFirst)
        box->clear();
    if (addFirstItem && !firstItem.isEmpty())
        box->addItem(firstItem);
    for (const QString& value : DistinctValues(table, column, where))
        if (box->findText(value, Qt::MatchFixedString) < 0)
            box->addItem(value);
    box->setCurrentIndex(firstItem.isEmpty() ? -1 : 0);
}

void FillDistinctList(QListWidget* list, const QString& table, const QString& column, const Condition& where,
                      bool clearFirst, bool addFirstItem, const QString& firstItem)
{
    if (clearFirst)
        list->clear();
    if (addFirstItem && !firstItem.isEmpty())
        list->addItem(firstItem);
    for (const QString& value : DistinctValues(table, column, where))
        if (list->findItems(value, Qt::MatchFixedString).isEmpty())
            list->addItem(value);
    list->setCurrentRow(firstItem.isEmpty() ? -1 : 0);
}

void CheckRequired(QWidget* control, const QString& message)
{
    QString text;
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        text = edit->text();
    else if (const auto* box = qobject_cast<const QComboBox*>(control))
        text = box->currentText();
    else
        text = control->property("text").toString();
    if (!text.isEmpty())
        return;
    MessageBox::information(control->window(), message);
    control->setFocus();
    throw SilentAbort{};
}

QFont FormFont()
{
    QFont font;
    font.setFamilies({u"宋体"_s, u"SimSun"_s, u"Noto Sans CJK SC"_s, u"Noto Serif CJK SC"_s});
    font.setPixelSize(12);
    return font;
}
