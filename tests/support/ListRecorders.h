#pragma once
// Recording stand-ins for the user, and a file maker.
#include "ScriptedPrompter.h"
#include "common/ViewerState.h"

#include <QFile>
#include <QStringList>

// The list tests start from the idle status text.
struct RecordingPrompter : ScriptedPrompter {
    RecordingPrompter() { status = QStringLiteral("SlideShow OFF"); }
};

inline void touch(const QString &path, const QByteArray &data = {})
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
}
