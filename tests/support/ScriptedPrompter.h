#pragma once
// The one scripted stand-in for the user: records everything logic would
// have shown and answers questions as told.
#include "common/Prompter.h"

#include <QStringList>

class ScriptedPrompter : public Prompter
{
public:
    bool answer = true; // answer to every confirm()
    int beeps = 0;
    QStringList errors, infos, plains, questions, notices, statusHistory;
    QStringList errorCaptions; // captions of errors shown under their own
    QString status;

    void beep() override { ++beeps; }
    void error(const QString &text) override { errors << text; }
    void errorCaptioned(const QString &text, const QString &caption) override
    {
        errorCaptions << caption;
        error(text);
    }
    void info(const QString &text) override { infos << text; }
    void plain(const QString &text) override { plains << text; }
    bool confirm(const QString &text) override
    {
        questions << text;
        return answer;
    }
    void notice(const QString &text) override { notices << text; }
    QString statusText() const override { return status; }
    void setStatusText(const QString &text) override
    {
        status = text;
        statusHistory << text;
    }
    // Everything shown as a box, in any of the three kinds.
    QStringList allBoxes() const { return errors + infos + plains; }
};
