#pragma once
// Prompter on Qt widgets: message boxes owned by a window, the default beep,
// the self-closing notice and the window's status bar.
#include "common/Prompter.h"

#include <QPointer>
#include <functional>

class QWidget;
class QLabel;

class QtPrompter : public Prompter
{
public:
    QtPrompter(QWidget *owner, QLabel *status);
    // The notice window, once one is available; without it a plain box is used.
    void setNoticeHandler(std::function<void(const QString &)> handler) { notice_ = std::move(handler); }

    void beep() override;
    void error(const QString &text) override;
    void errorCaptioned(const QString &text, const QString &caption) override;
    void info(const QString &text) override;
    void plain(const QString &text) override;
    bool confirm(const QString &text) override;
    void notice(const QString &text) override;
    QString statusText() const override;
    void setStatusText(const QString &text) override;

private:
    QWidget *parentWindow() const;

    QPointer<QWidget> owner_;
    QPointer<QLabel> status_;
    std::function<void(const QString &)> notice_;
};
