#pragma once
// Records what logic would have shown the user; answers questions as told.
#include "common/Prompter.h"

#include <QStringList>

class FakePrompter : public Prompter
{
public:
    bool answer = true;
    QStringList errors, infos, questions;

    void beep() override {}
    void error(const QString &text) override { errors << text; }
    void info(const QString &text) override { infos << text; }
    bool confirm(const QString &text) override
    {
        questions << text;
        return answer;
    }
    void notice(const QString &) override {}
    QString statusText() const override { return {}; }
    void setStatusText(const QString &) override {}
};
