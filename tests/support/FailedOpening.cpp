#include "FailedOpening.h"

#include "MessageBoxRecorder.h"

#include <QDialog>
#include <QTest>

void ExpectFailedOpeningCloses(QDialog& dialog, const MessageBoxRecorder& boxes)
{
    dialog.show();
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().kind, MessageBox::Kind::Error);
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}
