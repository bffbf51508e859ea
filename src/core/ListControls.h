#pragma once

#include "Condition.h"

#include <QString>

class QComboBox;
class QFont;
class QListWidget;
class QWidget;

// Fills a list with the distinct non-empty values of a column; an equal text in another letter
// case is not added twice. Item 0 is selected when a first item is given, otherwise none.
void FillDistinctList(QComboBox* box, const QString& table, const QString& column, const Condition& where,
                      bool clearFirst, bool addFirstItem, const QString& firstItem);
void FillDistinctList(QListWidget* list, const QString& table, const QString& column, const Condition& where,
                      bool clearFirst, bool addFirstItem, const QString& firstItem);

// When the control's text is empty, says so, puts the focus there and ends the calling handler.
// A text of blanks counts as filled.
void CheckRequired(QWidget* control, const QString& message);

// The forms' font: 宋体 at 12 pixels, or the CJK font the desktop offers in its place.
QFont FormFont();
