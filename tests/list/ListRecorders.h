#pragma once
// Recording stand-ins for the user and the main window.
#include "app/ListHooks.h"
#include "app/ViewerState.h"
#include "common/Prompter.h"

#include <QFile>
#include <QStringList>

struct RecordingPrompter : Prompter {
    QStringList errors;
    QStringList statusLog;
    QString status = QStringLiteral("SlideShow OFF");
    int beeps = 0;
    void beep() override { ++beeps; }
    void error(const QString &t) override { errors << t; }
    void info(const QString &) override {}
    bool confirm(const QString &) override { return true; }
    void notice(const QString &) override {}
    QString statusText() const override { return status; }
    void setStatusText(const QString &t) override
    {
        status = t;
        statusLog << t;
    }
};

struct RecordingHooks : ListHooks {
    explicit RecordingHooks(ViewerState &s) : st(s) {}
    ViewerState &st;
    QStringList calls;
    QList<QStringList> history;
    bool toolBoxOpen = false;
    void Picture() override { calls << QStringLiteral("Picture"); }
    void ImageCls() override
    {
        calls << QStringLiteral("ImageCls");
        st.ListActive = false;
    }
    void setActivationArmed(bool armed) override
    {
        calls << (armed ? QStringLiteral("arm") : QStringLiteral("disarm"));
    }
    void refreshToolBox() override { calls << QStringLiteral("Active"); }
    bool toolBoxSort(int order) override
    {
        calls << QStringLiteral("toolBoxSort%1").arg(order);
        return toolBoxOpen;
    }
    void RecordHistory(int, const QStringList &list) override
    {
        calls << QStringLiteral("RecordHistory");
        history << list;
    }
    bool ReadListFile(const QString &path) override
    {
        calls << QStringLiteral("ReadListFile:") + path;
        return false;
    }
    void listStateChanged() override { calls << QStringLiteral("listStateChanged"); }
};

inline void touch(const QString &path, const QByteArray &data = {})
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
}
