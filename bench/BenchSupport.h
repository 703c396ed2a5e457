#pragma once
// Stand-ins the benchmarks build the viewer's logic with: a prompter that
// prints errors and answers yes, and list hooks that do nothing.
#include "common/Prompter.h"

#include <cstdio>

struct QuietPrompter : Prompter {
    void beep() override {}
    void error(const QString &t) override { std::printf("error: %s\n", qPrintable(t)); }
    void info(const QString &) override {}
    bool confirm(const QString &) override { return true; }
    void notice(const QString &) override {}
    QString statusText() const override { return {}; }
    void setStatusText(const QString &) override {}
};

