#include "MessageBox.h"

#include <QAbstractButton>
#include <QMessageBox>

using namespace Qt::StringLiterals;

MessageBox::Responder MessageBox::s_responder;

void MessageBox::setResponder(Responder responder)
{
    s_responder = std::move(responder);
}

MessageBox::Answer MessageBox::show(QWidget* parent, Kind kind, const QString& text, const QString& caption)
{
    if (s_responder)
        return s_responder(Shown{kind, text});

    QMessageBox box(parent);
    box.setText(text);
    switch (kind) {
    case Kind::Information:
        box.setWindowTitle(u"提示"_s);
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Kind::Warning:
        box.setWindowTitle(u"警告"_s);
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Kind::Error:
        box.setWindowTitle(u"错误"_s);
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Kind::AskYesCancel:
        box.setWindowTitle(u"警告"_s);
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        break;
    case Kind::AskOkCancel:
        box.setWindowTitle(u"确认"_s);
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        break;
    case Kind::AskYesNo:
        box.setWindowTitle(caption);
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    const std::pair<QMessageBox::StandardButton, QString> captions[] = {{QMessageBox::Ok, u"确定"_s},
                                                                        {QMessageBox::Yes, u"是"_s},
                                                                        {QMessageBox::Cancel, u"取消"_s},
                                                                        {QMessageBox::No, u"否"_s}};
    for (const auto& [button, caption] : captions)
        if (QAbstractButton* shown = box.button(button))
            shown->setText(caption);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void MessageBox::information(QWidget* parent, const QString& text)
{
    show(parent, Kind::Information, text);
}

void MessageBox::warning(QWidget* parent, const QString& text)
{
    show(parent, Kind::Warning, text);
}

void MessageBox::error(QWidget* parent, const QString& text)
{
    show(parent, Kind::Error, text);
}

bool MessageBox::askYesCancel(QWidget* parent, const QString& text)
{
    return show(parent, Kind::AskYesCancel, text) == Answer::Yes;
}

bool MessageBox::askOkCancel(QWidget* parent, const QString& text)
{
    return show(parent, Kind::AskOkCancel, text) == Answer::Ok;
}

bool MessageBox::askYesNo(QWidget* parent, const QString& caption, const QString& text)
{
    return show(parent, Kind::AskYesNo, text, caption) == Answer::Yes;
}
