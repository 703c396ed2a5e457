#pragma once
// Starting other programs. The viewer never waits for them or watches them;
// it only needs to know whether the start worked, and why not.
#include <QString>
#include <QStringList>

namespace Process
{

enum class StartError {
    None,
    NotFound,      // no such file, or not on PATH
    NotExecutable, // a folder, or no permission to run it
    WorkingFolder, // the folder to run in does not exist
    Other,         // anything else; see StartResult::detail
};

struct StartResult {
    StartError error = StartError::None;
    QString detail; // the system's own words
    qint64 pid = 0;
    bool ok() const { return error == StartError::None; }
};

// Starts `program` (a path, or a name looked up on PATH) with exactly these
// arguments (no shell, no quoting) in `workingFolder` (empty: ours). Our own
// current folder is left alone.
StartResult startDetached(const QString &program, const QStringList &arguments, const QString &workingFolder);

// The same for a helper tool looked up on PATH by `name`. A tool that is not
// installed is simply not run (false); that is not an error.
bool startToolIfInstalled(const QString &name, const QStringList &arguments);

} // namespace Process
