#include "fileops/Journal.h"

#include "common/ReadLimited.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

Journal::Journal(const QString &folder) : path_(folder + QStringLiteral("/journal.log")) {}

void Journal::load()
{
    entries_.clear();
    nextId_ = 1;
    lines_ = 0;
    damaged_ = 0;
    damageReported_ = false;
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly))
        return;
    bool cut = false;
    if (f.size() > kMaxFileBytes) {
        // Keep the newest part; its first line is likely cut and is skipped.
        f.seek(f.size() - kMaxFileBytes);
        cut = true;
    }
    QByteArray data;
    if (!ReadAtMost(f, kMaxFileBytes, data)) {
        ++damaged_;
        return;
    }
    const bool tornEnd = !data.isEmpty() && !data.endsWith('\n');
    const QList<QByteArray> lines = data.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        if (line.trimmed().isEmpty())
            continue;
        ++lines_;
        JournalEntry e;
        bool dropped = false;
        if (!ParseJournalLine(line, e, dropped)) {
            if (!(cut && i == 0))
                ++damaged_;
            continue;
        }
        nextId_ = qMax(nextId_, e.id + 1);
        qsizetype at = entries_.size() - 1;
        while (at >= 0 && entries_[at].id != e.id)
            --at;
        if (dropped) {
            if (at >= 0)
                entries_.removeAt(at);
        } else if (at >= 0) {
            entries_[at] = e;
        } else {
            entries_ << e;
        }
    }
    const int kept = int(entries_.size());
    trim();
    // Damage, a line cut short by a crash or an overgrown file: write the
    // readable entries back whole, so the next append starts on a clean line.
    if (damaged_ > 0 || tornEnd || cut || kept > entries_.size() || lines_ > 3 * kMaxEntries)
        rewrite();
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
    entry.id = nextId_++;
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
    if (AppendDurably(path_, line, &error_))
        return true;
    return false;
}

bool Journal::rewrite()
{
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
