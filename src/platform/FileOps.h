#pragma once
// File operations on the user's pictures. None of them ever replaces an
// existing file or leaves a half-written one under a name the user can see;
// each returns what happened, and the caller decides what to show.
#include <QString>

enum class FileOpResult {
    Ok,
    SourceMissing,       // the file to act on is gone
    TargetExists,        // the target name is taken (nothing was replaced)
    TargetFolderMissing, // the folder to write into does not exist
    PermissionDenied,
    ReadOnly,   // read-only file system
    NoSpace,    // disk full or quota exceeded
    InvalidName, // empty, ".", "..", contains "/" or NUL
    Cancelled,
    Failed, // any other failure; see detail
};

struct FileOpOutcome {
    FileOpResult result = FileOpResult::Ok;
    QString detail; // the system's own words, for messages and logs
    bool ok() const { return result == FileOpResult::Ok; }
};

// A short Japanese reason for a failed operation, for message boxes.
QString describeFailure(const FileOpOutcome &outcome);

// Where a trashed file went, enough to put it back.
struct TrashedFile {
    QString originalPath; // absolute path the file had
    QString trashedPath;  // <trash>/files/<unique name>
    QString infoPath;     // <trash>/info/<unique name>.trashinfo
};

// The operations behind one interface, so that tests can inject failures
// (a full disk, a trash that refuses) without a broken machine.
class FileOps
{
public:
    virtual ~FileOps() = default;
    // Copies to a hidden temporary name in the target folder, flushes, then
    // renames without replacing; the modification time is kept.
    virtual FileOpOutcome copyFile(const QString &source, const QString &target);
    // Renames without replacing; across file systems copies, verifies size
    // and content, then removes the source.
    virtual FileOpOutcome moveFile(const QString &source, const QString &target);
    // Renames within one folder (or anywhere on one file system) without
    // replacing; never copies.
    virtual FileOpOutcome renameFile(const QString &source, const QString &target);
    // Moves the file to the freedesktop trash; `where` (when given) says where it went.
    virtual FileOpOutcome moveToTrash(const QString &path, TrashedFile *where = nullptr);
    // Puts a trashed file back at its original path without replacing anything,
    // then removes its .trashinfo.
    virtual FileOpOutcome restoreFromTrash(const TrashedFile &entry);
};

// The real file system.
FileOps &systemFileOps();

// True when anything at all goes by this name, a dangling link included
// (a rename that never replaces would refuse it).
bool NameTaken(const QString &path);
