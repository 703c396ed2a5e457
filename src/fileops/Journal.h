#pragma once
// The journal of file operations: one entry per operation the viewer made
// (a transfer, a same-name outcome, a trash, a rename), each over a whole
// group of files, with what it takes to reverse it. Kept in the application
// folder as one line per change of an entry, flushed to the disk before and
// after each operation, so that a crash in between is seen at the next start.
#include "platform/FileStamp.h"

#include <QDateTime>
#include <QList>
#include <QString>

enum class JournalKind { Copy, Move, Trash, Rename };
// Why the operation was made, for its description.
enum class JournalCause {
    Plain,
    Numbered,    // transfer under a numbered name
    NewName,     // transfer under a name given in the same-name dialog
    TrashSource, // same-name dialog: the picture itself to the trash
    TrashTarget, // same-name dialog: the file already there to the trash
};
enum class JournalState {
    Begun,   // written before the operation; still so after a crash
    Done,    // made and standing
    Undoing, // being reversed
    Undone,  // reversed; may be made again (redo)
    Redoing, // being made again
};

struct JournalMember {
    QString from;     // where the file was before the operation
    QString to;       // where it is after it (trash: inside the trash; copy: the copy)
    QString infoPath; // its .trashinfo while the member (trash) or its copy (undone copy) is in the trash
    QString trashed;  // undone copy: where the copy went in the trash
    FileStamp stamp;  // of the file at `to` after the operation (trash: of the file trashed)
};

struct JournalEntry {
    qint64 id = 0;
    QDateTime time;
    JournalKind kind = JournalKind::Move;
    JournalCause cause = JournalCause::Plain;
    JournalState state = JournalState::Begun;
    QList<JournalMember> members; // the picture first
};

class Journal
{
public:
    static constexpr int kMaxEntries = 1000;
    static constexpr qint64 kMaxFileBytes = 16 << 20;

    // The journal file lives in `folder` (the application folder).
    explicit Journal(const QString &folder);

    // Reads the file. Damaged lines are skipped and counted; a file past the
    // size cap is read from its newest part. Never fails.
    void load();
    // What load() could not read, as one message; empty when all was well.
    // Given once: the file is rewritten without the damage.
    QString takeDamageReport();

    // Oldest first.
    const QList<JournalEntry> &entries() const { return entries_; }
    const JournalEntry *find(qint64 id) const;

    // A new operation is about to be made: entries undone so far are
    // forgotten (no redo past a new operation), `entry` gets an id, the time
    // and the state Begun, and is written. Returns the id.
    qint64 begin(JournalEntry entry);
    // Writes the entry's new state (and members). False when the file could
    // not be written (see lastError()); the entry is still updated in memory.
    bool update(const JournalEntry &entry);
    // Forgets an entry whose operation did not happen (nothing changed).
    bool drop(qint64 id);

    // Writes the file anew with one line per entry (the entries another
    // viewer on the same folder added meanwhile are kept).
    bool compact() { return rewrite(); }

    QString path() const { return path_; }
    QString lastError() const { return error_; }

private:
    bool append(const QByteArray &line);
    bool rewrite();
    void trim();
    qint64 newId();

    QString folder_;
    QString path_;
    QList<JournalEntry> entries_;
    qint64 counter_ = 0;
    int lines_ = 0; // lines in the file, to know when to compact it
    int damaged_ = 0;
    bool damageReported_ = false;
    QString error_;
};

// Entry <-> one line of the file (a JSON object, no line break in it).
QByteArray JournalLine(const JournalEntry &entry);
bool ParseJournalLine(const QByteArray &line, JournalEntry &entry, bool &dropped);
