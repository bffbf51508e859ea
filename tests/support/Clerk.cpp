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
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(view, row, column));
}

void doubleClickCell(QAbstractItemView* view, int row, int column)
{
    const QPoint centre = cellCentre(view, row, column);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

void click(QWidget* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
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
    }
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    if (QWidget* target = focused())
        QTest::keyClick(target, key, modifiers);
}

void enterCell(QAbstractItemView* view, int row, int column, const QString& text)
{
    clickCell(view, row, column);
    type(text);
    press(Qt::Key_Return);
}

} // namespace Clerk
