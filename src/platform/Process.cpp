#include "platform/Process.h"

#include "platform/SystemError.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstring>

namespace
{
// QProcess reports "execve: <the system's text>"; the interface speaks Japanese.
QString inOurWords(const QString &text)
{
    for (int err = 1; err < 134; ++err) {
        const QString system = QString::fromLocal8Bit(std::strerror(err));
        if (!system.isEmpty() && text.endsWith(system))
            return SystemErrorText(err);
    }
    return text;
}
} // namespace

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
    r.detail = inOurWords(p.errorString());
    r.error = classify(program);
    return r;
}

bool startToolIfInstalled(const QString &name, const QStringList &arguments)
{
    const QString path = QStandardPaths::findExecutable(name);
    return !path.isEmpty() && startDetached(path, arguments, QString()).ok();
}

} // namespace Process
