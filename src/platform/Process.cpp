#include "platform/Process.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace Process
{

namespace
{

// Why the start failed, told from what is on disk: Qt gives only a text.
StartError classify(const QString &program)
{
    QString path = program;
    if (!program.contains(u'/')) {
        path = QStandardPaths::findExecutable(program);
        if (path.isEmpty())
            return StartError::NotFound;
    }
    const QFileInfo fi(path);
    if (!fi.exists())
        return StartError::NotFound;
    if (fi.isDir() || !fi.isExecutable())
        return StartError::NotExecutable;
    return StartError::Other;
}

} // namespace

StartResult startDetached(const QString &program, const QStringList &arguments, const QString &workingFolder)
{
    StartResult r;
    if (program.isEmpty()) {
        r.error = StartError::NotFound;
        return r;
    }
    if (!workingFolder.isEmpty() && !QFileInfo(workingFolder).isDir()) {
        r.error = StartError::WorkingFolder;
        r.detail = workingFolder;
        return r;
    }
    QProcess p;
    p.setProgram(program);
    p.setArguments(arguments);
    if (!workingFolder.isEmpty())
        p.setWorkingDirectory(workingFolder);
    if (p.startDetached(&r.pid))
        return r;
    r.detail = p.errorString();
    r.error = classify(program);
    return r;
}

bool startToolIfInstalled(const QString &name, const QStringList &arguments)
{
    const QString path = QStandardPaths::findExecutable(name);
    return !path.isEmpty() && startDetached(path, arguments, QString()).ok();
}

} // namespace Process
