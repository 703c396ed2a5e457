#include "platform/Processes.h"

#include <QProcess>
#include <QStandardPaths>

namespace Processes
{

bool startDetached(const QString &program, const QStringList &args, const QString &workingDir, qint64 *pid)
{
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    return p.startDetached(pid);
}

bool startToolIfInstalled(const QString &name, const QStringList &args)
{
    const QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        return false;
    return startDetached(path, args);
}

} // namespace Processes
