#pragma once
// Stand-ins the benchmarks build the viewer's logic with: a prompter that
// prints errors and answers yes, and list hooks that do nothing.
#include "app/ListHooks.h"
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

struct NoHooks : ListHooks {
    void Picture() override {}
    void ImageCls() override {}
    void setActivationArmed(bool) override {}
    void refreshToolBox() override {}
    bool toolBoxSort(int) override { return false; }
    void RecordHistory(int, const QStringList &) override {}
    bool ReadListFile(const QString &) override { return false; }
    void listStateChanged() override {}
};
