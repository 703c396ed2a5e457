#include "desktop/DesktopEntry.h"

#include <QHash>

namespace
{

// The escapes every string value may hold. Others stay as written so that
// the Exec quoting rules see them.
QString unescapeValue(const QString &v)
{
    QString out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        const QChar c = v.at(i);
        if (c == u'\\' && i + 1 < v.size()) {
            const QChar n = v.at(i + 1);
            QChar r;
            if (n == u's')
                r = u' ';
            else if (n == u'n')
                r = u'\n';
            else if (n == u't')
                r = u'\t';
            else if (n == u'r')
                r = u'\r';
            else if (n == u'\\')
                r = u'\\';
            if (!r.isNull()) {
                out += r;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// Locale keys to try, best first: lang_COUNTRY@MODIFIER, lang_COUNTRY,
// lang@MODIFIER, lang.
QStringList localeCandidates(QString locale)
{
    QString modifier;
    const qsizetype at = locale.indexOf(u'@');
    if (at >= 0) {
        modifier = locale.mid(at + 1);
        locale.truncate(at);
    }
    const qsizetype dot = locale.indexOf(u'.');
    if (dot >= 0)
        locale.truncate(dot);
    if (locale.isEmpty() || locale == u"C" || locale == u"POSIX")
        return {};
    QString lang = locale, country;
    const qsizetype us = locale.indexOf(u'_');
    if (us >= 0) {
        lang = locale.left(us);
        country = locale.mid(us + 1);
    }
    QStringList c;
    if (!country.isEmpty() && !modifier.isEmpty())
        c << lang + u'_' + country + u'@' + modifier;
    if (!country.isEmpty())
        c << lang + u'_' + country;
    if (!modifier.isEmpty())
        c << lang + u'@' + modifier;
    c << lang;
    return c;
}

} // namespace

DesktopEntry ParseDesktopEntry(const QByteArray &content, const QString &locale)
{
    DesktopEntry e;
    QHash<QString, QString> keys; // first occurrence wins
    bool inGroup = false;
    const QStringList lines = QString::fromUtf8(content).split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(u'#'))
            continue;
        if (t.startsWith(u'[')) {
            if (inGroup)
                break; // only the main group matters
            inGroup = t == u"[Desktop Entry]";
            e.found = e.found || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        if (!keys.contains(key))
            keys.insert(key, line.mid(eq + 1).trimmed());
    }
    e.type = unescapeValue(keys.value(QStringLiteral("Type")));
    e.exec = unescapeValue(keys.value(QStringLiteral("Exec")));
    e.icon = unescapeValue(keys.value(QStringLiteral("Icon")));
    e.path = unescapeValue(keys.value(QStringLiteral("Path")));
    QString name = keys.value(QStringLiteral("Name"));
    for (const QString &c : localeCandidates(locale)) {
        const auto it = keys.constFind(QStringLiteral("Name[") + c + u']');
        if (it != keys.constEnd()) {
            name = *it;
            break;
        }
    }
    e.name = unescapeValue(name);
    return e;
}

QString MessagesLocale()
{
    for (const char *var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString v = qEnvironmentVariable(var);
        if (!v.isEmpty())
            return v;
    }
    return QStringLiteral("C");
}

namespace
{

// One argument as written: literal text and field codes, in order.
struct RawArg {
    struct Piece {
        QChar code; // null for literal text
        QString text;
    };
    QList<Piece> pieces;
    bool quoted = false;

    void literal(QChar c)
    {
        if (pieces.isEmpty() || !pieces.last().code.isNull())
            pieces.append({QChar(), QString()});
        pieces.last().text += c;
    }
    void code(QChar c) { pieces.append({c, QString()}); }
    bool loneCode() const { return !quoted && pieces.size() == 1 && !pieces.first().code.isNull(); }
    bool onlyCodes() const
    {
        if (quoted)
            return false;
        for (const Piece &p : pieces)
            if (p.code.isNull())
                return false;
        return true;
    }
};

bool isFileCode(QChar c)
{
    return c == u'f' || c == u'F' || c == u'u' || c == u'U';
}

} // namespace

std::optional<QStringList> ExpandExec(const QString &exec, const ExecFields &fields)
{
    // Split first, so that what the codes stand for (a path with spaces or
    // quotes) is never split or unquoted again.
    QList<RawArg> raw;
    RawArg cur;
    bool inArg = false, quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c == u'%') {
            if (i + 1 >= exec.size())
                break; // a lone trailing '%' means nothing
            const QChar code = exec.at(++i);
            inArg = true;
            if (code == u'%')
                cur.literal(u'%');
            else
                cur.code(code);
            continue;
        }
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else if (c == u'\\' && i + 1 < exec.size() && QStringView(u"\"`$\\").contains(exec.at(i + 1)))
                cur.literal(exec.at(++i));
            else
                cur.literal(c);
            continue;
        }
        if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inArg)
                raw << cur;
            cur = {};
            inArg = false;
        } else if (c == u'"') {
            quoted = inArg = cur.quoted = true;
        } else if (c == u'\\' && i + 1 < exec.size()) {
            cur.literal(exec.at(++i)); // lenient: an escaped character outside quotes
            inArg = true;
        } else {
            cur.literal(c);
            inArg = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inArg)
        raw << cur;

    QStringList argv;
    bool hadFile = false;
    for (const RawArg &a : raw) {
        if (a.loneCode()) {
            // A code standing alone may give no argument, or two (%i).
            const QChar code = a.pieces.first().code;
            if (isFileCode(code)) {
                if (!fields.file.isEmpty())
                    argv << fields.file;
                hadFile = true;
            } else if (code == u'i') {
                if (!fields.icon.isEmpty())
                    argv << QStringLiteral("--icon") << fields.icon;
            } else if (code == u'c') {
                argv << fields.name;
            } else if (code == u'k') {
                argv << fields.location;
            }
            continue;
        }
        QString out;
        for (const RawArg::Piece &p : a.pieces) {
            if (p.code.isNull()) {
                out += p.text;
            } else if (isFileCode(p.code)) {
                out += fields.file;
                hadFile = true;
            } else if (p.code == u'c') {
                out += fields.name;
            } else if (p.code == u'k') {
                out += fields.location;
            } else if (p.code == u'i') {
                out += fields.icon;
            }
        }
        if (out.isEmpty() && a.onlyCodes())
            continue; // codes that vanished leave no empty argument behind
        argv << out;
    }
    if (argv.isEmpty() || argv.first().isEmpty())
        return std::nullopt;
    if (!hadFile && !fields.file.isEmpty())
        argv << fields.file;
    return argv;
}
