#pragma once

#include <QStyle>

class QComboBox;
class QDialog;
class QSize;
class QDateEdit;
class QLabel;
class QPushButton;
class QString;
class QWidget;

// The controls the dialogs are built from, each named with its objectName.

// A button that takes no keyboard focus and that neither Enter nor Escape can press.
QPushButton* SpeedButton(const QString& caption, const QString& name, QWidget* parent);
// A 105 × 41 button with a picture, which Enter does not press.
QPushButton* GlyphButton(const QString& caption, const QString& name, QStyle::StandardPixmap picture,
                         QWidget* parent);
// A combo box whose list offers values while any text may be typed.
QComboBox* FreeTextCombo(const QString& name, QWidget* parent);
QDateEdit* DatePicker(const QString& name, QWidget* parent);
// A picture of the given size.
QLabel* PictureLabel(QStyle::StandardPixmap picture, int size, QWidget* parent);
// A caption with a small picture to its left, above its input; the caption's label gets labelName.
QWidget* LabelledInput(const QString& caption, QWidget* input, QStyle::StandardPixmap picture,
                       int pictureSize, QWidget* parent, const QString& labelName = {});
// A fixed-size dialog in the program's font, named and captioned.
void SetUpDialog(QDialog* dialog, const QString& name, const QString& caption, const QSize& clientSize);
// The title bar of the program's own windows: system menu, minimize and close boxes.
void SetDialogTitleBar(QWidget* window);
