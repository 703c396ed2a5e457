#pragma once
// Starting other programs. Every process the viewer starts goes through here.
#include <QString>
#include <QStringList>

namespace Processes
{

// Starts `program` with `args` as a process of its own that outlives the
// viewer; its output is discarded. `workingDir` empty keeps ours. Returns
// false when it could not be started; `pid` receives its process id.
bool startDetached(const QString &program, const QStringList &args, const QString &workingDir = {},
                   qint64 *pid = nullptr);

// The same for a helper tool found on PATH by `name`. A tool that is not
// installed is simply not run (returns false); that is not an error.
bool startToolIfInstalled(const QString &name, const QStringList &args);

} // namespace Processes
