#pragma once
// Prompter on Qt widgets: message boxes, pickers and the same-name dialog
// above whichever window is active (the full-screen one included), the
// default beep, the self-closing notice and the window's status bar.
#include "common/Prompter.h"

#include <QPointer>
#include <functional>

class QWidget;
class QLabel;
class QProgressDialog;
struct Settings;

class QtPrompter : public Prompter
{
public:
    QtPrompter(QWidget *owner, QLabel *status);
    // The notice window, once one is available; without it a plain box is used.
    void setNoticeHandler(std::function<void(const QString &)> handler) { notice_ = std::move(handler); }
    // What the same-name dialog reads: its stored geometry (SameBox.*), the
    // enlargement switch (Option.Zoom), and whether pictures are turned upright.
    void setSameDialogContext(Settings *settings, std::function<bool()> autoRotate)
    {
        settings_ = settings;
        autoRotate_ = std::move(autoRotate);
    }

    void beep() override;
    void error(const QString &text) override;
    void captionedError(const QString &caption, const QString &text) override;
    void info(const QString &text) override;
    void plain(const QString &text) override;
    bool confirm(const QString &text) override;
    void notice(const QString &text) override;
    bool progress(const QString &text, qint64 done, qint64 total) override;
    void progressDone() override;
    QString statusText() const override;
    void setStatusText(const QString &text) override;
    QString chooseFolder(const QString &title, const QString &startFolder) override;
    SameNameChoice compareSameName(const QString &source, const QString &target) override;
    QString askNewName(const QString &folder, const QString &takenName) override;

    // The window dialogs are shown over: the active modal dialog or window,
    // else the owner.
    QWidget *dialogParent() const;

private:
    QPointer<QWidget> owner_;
    QPointer<QProgressDialog> progress_;
    QPointer<QLabel> status_;
    std::function<void(const QString &)> notice_;
    Settings *settings_ = nullptr;
    std::function<bool()> autoRotate_;
};
