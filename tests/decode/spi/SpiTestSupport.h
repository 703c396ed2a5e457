#pragma once
// Helpers for the plug-in tests: scripted prompter, plug-in copies, test pictures.
#include "ScriptedPrompter.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <dlfcn.h>


// Path of a test-only plug-in by name ("plain", "archive", ...).
inline QString testPlugin(const QString &name)
{
    return QStringLiteral(GD_TEST_PLUGIN_DIR "/testing/") + name + QStringLiteral(".spi");
}
inline QString shippedPlugin(const QString &name)
{
    return QStringLiteral(GD_TEST_PLUGIN_DIR "/") + name + QStringLiteral(".spi");
}

// Copies plug-ins into `folder` under the given names ("plain" -> folder/plain.spi).
inline void installPlugins(const QString &folder, const QStringList &names)
{
    for (const QString &n : names)
        QFile::copy(testPlugin(n), folder + QLatin1Char('/') + n + QStringLiteral(".spi"));
}

// True while some object in the process holds the library loaded.
inline bool libraryLoaded(const QString &path)
{
    void *h = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!h)
        return false;
    dlclose(h);
    return true;
}

// A picture in the test plug-ins' format, filled with one BGR colour.
inline QByteArray tstPicture(int w, int h, uchar b, uchar g, uchar r)
{
    QByteArray d("TSTP");
    d += char(w & 0xFF);
    d += char(w >> 8);
    d += char(h & 0xFF);
    d += char(h >> 8);
    d += char(b);
    d += char(g);
    d += char(r);
    return d;
}

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}
