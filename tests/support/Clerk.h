#pragma once

#include <Qt>

class QAbstractItemView;
class QString;
class QWidget;

// Acts on the program as a person does: clicks where a cell or a button is drawn, and types and
// presses keys into whatever widget has the focus, so that a test takes the same path through
// editors, delegates and focus changes that a clerk's hands take.
namespace Clerk {

// Shows the window and makes it the active one; focus and keys then behave alike on every platform.
bool showActive(QWidget* window);
void clickCell(QAbstractItemView* view, int row, int column);
void doubleClickCell(QAbstractItemView* view, int row, int column);
void click(QWidget* button);
// Latin text arrives as key presses, Chinese text as an input method commits it.
void type(const QString& text);
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Clicks the cell, types the text and confirms it with Return.
void enterCell(QAbstractItemView* view, int row, int column, const QString& text);

} // namespace Clerk
