#pragma once

#include <functional>

class QWidget;

// Runs one event handler. An error that escapes it ends the handler and is shown in the standard
// error box; a silent abort just ends it. Either way the program goes on. True when the handler ran to
// its end.
bool runHandler(QWidget* parent, const std::function<void()>& handler);

// A slot that runs a member handler through runHandler.
template <typename Form> auto guarded(Form* form, void (Form::*handler)())
{
    return [form, handler] {
        runHandler(form, [form, handler] { (form->*handler)(); });
    };
}
