#pragma once
// The folder that extracted archives go to while the viewer runs.
//
// Layout: <temp>/glimmerdeck-<uid>/picture/<instance>/, where the per-user
// folder is mode 0700 and must be a real folder owned by the user (a link
// or someone else's folder planted there is refused). Each running viewer
// has its own <instance> folder guarded by a locked "<instance>.lock" file;
// cleaning at start removes only folders whose lock no process holds.
#include <QString>

class TempFolder
{
public:
    // `tempRoot` is the system temporary folder; empty = QDir::tempPath().
    explicit TempFolder(const QString &tempRoot = {});
    ~TempFolder(); // releases the lock; the folder stays unless remove() ran
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    // Creates the private folder, removes what crashed or closed viewers
    // left behind and makes this instance's folder. False with `error` set
    // when no safe folder could be made.
    bool setUp(QString *error = nullptr);
    // This instance's folder (empty before a successful setUp).
    QString path() const { return path_; }
    // The shared "picture" folder holding every instance's folder.
    QString pictureFolder() const { return pictureFolder_; }
    // Deletes this instance's folder and its lock (at exit).
    void remove();

private:
    QString root_;
    QString pictureFolder_;
    QString path_;
    QString lockPath_;
    int lockFd_ = -1;
};
