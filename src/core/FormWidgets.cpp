#include "FormWidgets.h"

#include "ListControls.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

QPushButton* SpeedButton(const QString& caption, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QPushButton* GlyphButton(const QString& caption, const QString& name, QStyle::StandardPixmap picture,
                         QWidget* parent)
{
    auto* button = new QPushButton(parent->style()->standardIcon(picture), caption, parent);
    button->setObjectName(name);
    button->setFixedSize(105, 41);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QComboBox* FreeTextCombo(const QString& name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QDateEdit* DatePicker(const QString& name, QWidget* parent)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(u"yyyy-MM-dd"_s);
    return picker;
}

QLabel* PictureLabel(QStyle::StandardPixmap picture, int size, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setPixmap(parent->style()->standardIcon(picture).pixmap(size, size));
    return label;
}

QWidget* LabelledInput(const QString& caption, QWidget* input, QStyle::StandardPixmap picture,
                       int pictureSize, QWidget* parent, const QString& labelName)
{
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* title = new QHBoxLayout;
    title->addWidget(PictureLabel(picture, pictureSize, box));
    auto* label = new QLabel(caption, box);
    label->setObjectName(labelName);
    title->addWidget(label, 1);
    layout->addLayout(title);
    layout->addWidget(input);
    return box;
}

void SetUpDialog(QDialog* dialog, const QString& name, const QString& caption, const QSize& clientSize)
{
    dialog->setObjectName(name);
    dialog->setWindowTitle(caption);
    dialog->setFont(FormFont());
    dialog->setFixedSize(clientSize);
}

void SetDialogTitleBar(QWidget* window)
{
    window->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}
