#pragma once

class MessageBoxRecorder;
class QDialog;

// Shows a dialog whose loading was made to fail and checks what the clerk then sees: one error box,
// and the dialog closed again with Cancel, so none of its buttons can act on any row.
void ExpectFailedOpeningCloses(QDialog& dialog, const MessageBoxRecorder& boxes);
