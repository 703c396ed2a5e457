#pragma once
// The viewer itself, started as a separate program by tests that need a
// whole process: off screen, with its own application and temporary folders.
#include <QProcess>
#include <QString>

inline const QString kViewerProgram = QStringLiteral(GD_BUILD_DIR "/glimmerdeck");

inline void PrepareViewerProcess(QProcess &p, const QString &home, const QString &tmp)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("GLIMMERDECK_HOME", home);
    env.insert("TMPDIR", tmp);
    p.setProcessEnvironment(env);
}
