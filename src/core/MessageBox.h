#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every box the program shows goes through here, so that tests can see which box a step showed
// and answer it without a window.
class MessageBox
{
public:
    enum class Kind { Information, Warning, AskYesCancel, AskOkCancel, AskYesNo, Error };
    enum class Answer { Ok, Yes, Cancel, No };

    struct Shown
    {
        Kind kind;
        QString text;
    };
    using Responder = std::function<Answer(const Shown&)>;

    static void information(QWidget* parent, const QString& text);
    static void warning(QWidget* parent, const QString& text);
    static void error(QWidget* parent, const QString& text);
    // A warning with Yes and Cancel; true for Yes.
    static bool askYesCancel(QWidget* parent, const QString& text);
    // A confirmation with OK and Cancel; true for OK.
    static bool askOkCancel(QWidget* parent, const QString& text);

    // A question under its own caption, without icon, with Yes and No; true for Yes.
    static bool askYesNo(QWidget* parent, const QString& caption, const QString& text);

    // While a responder is set, it answers every box and no window opens.
    static void setResponder(Responder responder);

private:
    static Answer show(QWidget* parent, Kind kind, const QString& text, const QString& caption = {});
    static Responder s_responder;
};
