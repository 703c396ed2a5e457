#pragma once
// The one way logic talks to the user: message boxes, beeps, notices and the
// status bar. The main window implements it with Qt; tests script it.
#include <QString>

class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual void beep() = 0;
    // Error box: error icon, one OK button.
    virtual void error(const QString &text) = 0;
    // Error box under its own caption instead of the program's title.
    virtual void errorCaptioned(const QString &text, const QString &caption)
    {
        (void)caption;
        error(text);
    }
    // Information box with one OK button.
    virtual void info(const QString &text) = 0;
    // Plain box: no icon, one OK button.
    virtual void plain(const QString &text) { info(text); }
    // Question with OK and Cancel; true for OK.
    virtual bool confirm(const QString &text) = 0;
    // Self-closing notice window.
    virtual void notice(const QString &text) = 0;
    virtual QString statusText() const = 0;
    // Sets the status bar text and paints it at once.
    virtual void setStatusText(const QString &text) = 0;
};
