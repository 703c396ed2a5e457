#pragma once
// Recording stand-ins for the user and the main window.
#include "app/ListHooks.h"
#include "app/ViewerState.h"
#include "ScriptedPrompter.h"

#include <QFile>
#include <QStringList>

// The list tests start from the idle status text.
struct RecordingPrompter : ScriptedPrompter {
    RecordingPrompter() { status = QStringLiteral("SlideShow OFF"); }
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
