#include "fileops/Journal.h"

#include "common/ReadLimited.h"
#include "platform/FileLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSaveFile>

namespace
{
const char *const kKinds[] = {"copy", "move", "trash", "rename"};
const char *const kCauses[] = {"plain", "numbered", "newname", "trashsource", "trashtarget"};
const char *const kStates[] = {"begun", "done", "undoing", "undone", "redoing"};

template <size_t N> int indexOf(const char *const (&names)[N], const QString &value)
{
    for (size_t i = 0; i < N; ++i)
        if (value == QLatin1String(names[i]))
            return int(i);
    return -1;
}

QString stampText(const FileStamp &s)
{
    return QString::number(s.size) + QLatin1Char(':') + QString::number(s.mtimeNs);
}

bool parseStamp(const QString &text, FileStamp &s)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    bool ok1 = false, ok2 = false;
    s.size = text.left(colon).toLongLong(&ok1);
    s.mtimeNs = text.mid(colon + 1).toLongLong(&ok2);
    return ok1 && ok2;
}
} // namespace

QByteArray JournalLine(const JournalEntry &e)
{
    QJsonArray members;
    for (const JournalMember &m : e.members) {
        QJsonObject o{{QStringLiteral("from"), m.from},
                      {QStringLiteral("to"), m.to},
                      {QStringLiteral("stamp"), stampText(m.stamp)}};
        if (!m.infoPath.isEmpty())
            o.insert(QStringLiteral("info"), m.infoPath);
        if (!m.trashed.isEmpty())
            o.insert(QStringLiteral("trashed"), m.trashed);
        members.append(o);
    }
    const QJsonObject o{{QStringLiteral("id"), QString::number(e.id)},
                        {QStringLiteral("time"), e.time.toUTC().toString(Qt::ISODateWithMs)},
                        {QStringLiteral("kind"), QLatin1String(kKinds[int(e.kind)])},
                        {QStringLiteral("cause"), QLatin1String(kCauses[int(e.cause)])},
                        {QStringLiteral("state"), QLatin1String(kStates[int(e.state)])},
                        {QStringLiteral("members"), members}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

bool ParseJournalLine(const QByteArray &line, JournalEntry &e, bool &dropped)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    bool ok = false;
    e = JournalEntry{};
    e.id = o.value(QStringLiteral("id")).toString().toLongLong(&ok);
    if (!ok || e.id <= 0)
        return false;
    dropped = o.value(QStringLiteral("state")).toString() == QLatin1String("dropped");
    if (dropped)
        return true;
    e.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    const int kind = indexOf(kKinds, o.value(QStringLiteral("kind")).toString());
    const int cause = indexOf(kCauses, o.value(QStringLiteral("cause")).toString());
    const int state = indexOf(kStates, o.value(QStringLiteral("state")).toString());
    if (!e.time.isValid() || kind < 0 || cause < 0 || state < 0)
        return false;
    e.kind = JournalKind(kind);
    e.cause = JournalCause(cause);
    e.state = JournalState(state);
    const QJsonArray members = o.value(QStringLiteral("members")).toArray();
    if (members.isEmpty() || members.size() > 10000)
        return false;
    for (const QJsonValue &v : members) {
        const QJsonObject m = v.toObject();
        JournalMember jm;
        jm.from = m.value(QStringLiteral("from")).toString();
        jm.to = m.value(QStringLiteral("to")).toString();
        jm.infoPath = m.value(QStringLiteral("info")).toString();
        jm.trashed = m.value(QStringLiteral("trashed")).toString();
        if (jm.from.isEmpty() || !parseStamp(m.value(QStringLiteral("stamp")).toString(), jm.stamp))
            return false;
        e.members << jm;
    }
    return true;
}

namespace
{
struct ParsedFile {
    QMap<qint64, JournalEntry> entries; // by id, which is also their order in time
    int lines = 0;
    int damaged = 0;
    bool cut = false;  // too large: only its newest part was read
    bool torn = false; // the last line has no end (a crash while appending)
};

ParsedFile parseFile(const QString &path)
{
    ParsedFile parsed;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return parsed;
    if (f.size() > Journal::kMaxFileBytes) {
        // Keep the newest part; its first line is likely cut and is skipped.
        f.seek(f.size() - Journal::kMaxFileBytes);
        parsed.cut = true;
    }
    QByteArray data;
    if (!ReadAtMost(f, Journal::kMaxFileBytes, data)) {
        ++parsed.damaged;
        return parsed;
    }
    parsed.torn = !data.isEmpty() && !data.endsWith('\n');
    const QList<QByteArray> lines = data.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        ++parsed.lines;
        JournalEntry e;
        bool dropped = false;
        if (!ParseJournalLine(lines[i], e, dropped)) {
            if (!(parsed.cut && i == 0))
                ++parsed.damaged;
            continue;
        }
        if (dropped)
            parsed.entries.remove(e.id);
        else
            parsed.entries.insert(e.id, e);
    }
    return parsed;
}
} // namespace

Journal::Journal(const QString &folder) : folder_(folder), path_(folder + QStringLiteral("/journal.log")) {}

void Journal::load()
{
    const FileLock lock(FileLock::forFolder(folder_));
    const ParsedFile parsed = parseFile(path_);
    entries_ = parsed.entries.values();
    lines_ = parsed.lines;
    damaged_ = parsed.damaged;
    damageReported_ = false;
    const int kept = int(entries_.size());
    trim();
    // Damage, a line cut short by a crash or an overgrown file: write the
    // readable entries back whole, so the next append starts on a clean line.
    if (damaged_ > 0 || parsed.torn || parsed.cut || kept > entries_.size() || lines_ > 3 * kMaxEntries)
        rewrite();
}

qint64 Journal::newId()
{
    // Unique across viewers running at once on one application folder, and
    // growing with time, so that their entries merge in order.
    qint64 id = QDateTime::currentMSecsSinceEpoch() * 1000000 +
                (QCoreApplication::applicationPid() % 1000) * 1000 + (counter_++ % 1000);
    if (!entries_.isEmpty() && id <= entries_.last().id)
        id = entries_.last().id + 1;
    return id;
}

QString Journal::takeDamageReport()
{
    if (damaged_ == 0 || damageReported_)
        return {};
    damageReported_ = true;
    return QStringLiteral("操作履歴の %1 行が壊れていたため読み飛ばしました。\n\n%2")
        .arg(damaged_)
        .arg(path_);
}

const JournalEntry *Journal::find(qint64 id) const
{
    for (const JournalEntry &e : entries_)
        if (e.id == id)
            return &e;
    return nullptr;
}

qint64 Journal::begin(JournalEntry entry)
{
    // No redo past a new operation.
    while (!entries_.isEmpty() && entries_.last().state == JournalState::Undone) {
        const qint64 id = entries_.last().id;
        entries_.removeLast();
        append(QByteArrayLiteral("{\"id\":\"") + QByteArray::number(id) +
               QByteArrayLiteral("\",\"state\":\"dropped\"}\n"));
    }
    entry.id = newId();
    entry.time = QDateTime::currentDateTimeUtc();
    entry.state = JournalState::Begun;
    entries_ << entry;
    trim();
    append(JournalLine(entry));
    // The file keeps the older lines until it has grown well past the
    // bound; then it is written anew with the entries alone.
    if (lines_ > 3 * kMaxEntries)
        rewrite();
    return entry.id;
}

bool Journal::update(const JournalEntry &entry)
{
    for (JournalEntry &e : entries_) {
        if (e.id == entry.id) {
            e = entry;
            return append(JournalLine(entry));
        }
    }
    return false;
}

bool Journal::drop(qint64 id)
{
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_[i].id == id) {
            entries_.removeAt(i);
            return append(QByteArrayLiteral("{\"id\":\"") + QByteArray::number(id) +
                          QByteArrayLiteral("\",\"state\":\"dropped\"}\n"));
        }
    }
    return false;
}

bool Journal::append(const QByteArray &line)
{
    ++lines_;
    const FileLock lock(FileLock::forFolder(folder_));
    return AppendDurably(path_, line, &error_);
}

bool Journal::rewrite()
{
    const FileLock lock(FileLock::forFolder(folder_));
    // Another viewer on the same folder may have added entries since we
    // read the file: they are kept, ours win where both have one.
    QMap<qint64, JournalEntry> merged = parseFile(path_).entries;
    for (const JournalEntry &e : entries_)
        merged.insert(e.id, e);
    entries_ = merged.values();
    trim();
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly)) {
        error_ = f.errorString();
        return false;
    }
    QByteArray all;
    for (const JournalEntry &e : entries_)
        all += JournalLine(e);
    if (f.write(all) != all.size() || !f.commit()) {
        error_ = f.errorString();
        return false;
    }
    lines_ = int(entries_.size());
    return true;
}

void Journal::trim()
{
    // The oldest go first.
    while (entries_.size() > kMaxEntries)
        entries_.removeFirst();
}
