#pragma once
// Serialises changes to files that several running instances share (the
// settings and history files of one application folder). Readers and
// writers take the lock around their whole read-change-write, so that no
// instance writes from a stale read.
//
// Cross-process through an advisory lock on a lock file (released by the
// system if a process dies); within the process the lock is one recursive
// mutex, so a holder may take it again (a settings save that refreshes the
// history count, say) and other threads wait.
#include <QString>

class FileLock
{
public:
    // Waits up to timeoutMs for the lock on `lockPath` (created when
    // missing). On time-out, or when the lock file cannot be made (a
    // read-only folder), the holder goes ahead unlocked: isLocked() is false.
    explicit FileLock(const QString &lockPath, int timeoutMs = 10000);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool isLocked() const { return locked_; }

    // The lock file that guards the shared files of `folder`.
    static QString forFolder(const QString &folder);

private:
    QString path_;
    bool locked_ = false;
};
