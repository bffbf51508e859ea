#include "Clerk.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

namespace Clerk {

namespace {

QWidget* focused()
{
    QWidget* target = QApplication::focusWidget();
    if (!target)
        QTest::qFail("no widget has the focus", __FILE__, __LINE__);
    return target;
}

QPoint cellCentre(QAbstractItemView* view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    return view->visualRect(index).center();
}

// Between two actions of a person the event loop runs: what a key or click queued is done by then.
void pause()
{
    QCoreApplication::processEvents();
}

// A mouse lands on the innermost widget drawn at the point, as a real one does.
void clickAt(QWidget* widget, QPoint point, bool twice)
{
    QWidget* target = widget->childAt(point);
    if (!target)
        target = widget;
    const QPoint local = target->mapFrom(widget, point);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, local);
    pause();
    if (twice) {
        QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, local);
        pause();
    }
}

} // namespace

bool showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    window->raise();
    return QTest::qWaitForWindowActive(window);
}

void clickCell(QAbstractItemView* view, int row, int column)
{
    clickAt(view->viewport(), cellCentre(view, row, column), false);
}

void doubleClickCell(QAbstractItemView* view, int row, int column)
{
    clickAt(view->viewport(), cellCentre(view, row, column), true);
}

void click(QWidget* button)
{
    clickAt(button, button->rect().center(), false);
}

void type(const QString& text)
{
    for (const QChar character : text) {
        QWidget* target = focused();
        if (!target)
            return;
        if (character.unicode() < 0x80) {
            QTest::keyClick(target, char(character.unicode()));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(character));
            QApplication::sendEvent(target, &commit);
        }
        pause();
    }
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    if (QWidget* target = focused())
        QTest::keyClick(target, key, modifiers);
    pause();
}

void enterCell(QAbstractItemView* view, int row, int column, const QString& text)
{
    clickCell(view, row, column);
    type(text);
    press(Qt::Key_Return);
}

} // namespace Clerk
