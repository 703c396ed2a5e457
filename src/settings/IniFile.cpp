#include "settings/IniFile.h"

#include "common/TextCodec.h"
#include "platform/SafeOpen.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <utility>

namespace
{

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v';
}

QString trimBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b).toString();
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

void IniFile::reset()
{
    m_lines.clear();
    m_encoding = Encoding::Utf8;
    m_eol = QStringLiteral("\n");
    m_existed = false;
    m_unreadable = false;
    m_modified = false;
}

bool IniFile::load()
{
    reset();
    // A settings file this large is not one we wrote; reading it whole
    // could exhaust memory, and replacing it would destroy whatever it is.
    // A FIFO or device under its name is refused without waiting on it.
    constexpr qint64 kMaxIniBytes = 64ll << 20;
    const SmallFile f = ReadSmallFile(m_path, kMaxIniBytes);
    if (!f.ok && f.errorNumber == ENOENT)
        return true;
    m_existed = true;
    if (!f.ok) {
        m_unreadable = true;
        return false;
    }
    const QByteArray &bytes = f.data;
    loadFromBytes(bytes);
    m_existed = true;
    return true;
}

void IniFile::loadFromBytes(const QByteArray &bytes)
{
    const bool existed = m_existed;
    reset();
    m_existed = existed;
    bool eolSeen = false;
    auto addLine = [&](QString text, QByteArray raw, QString eol) {
        Line line;
        line.text = std::move(text);
        line.raw = std::move(raw);
        line.rawValid = true;
        if (!eol.isEmpty() && !eolSeen) {
            m_eol = eol;
            eolSeen = true;
        }
        line.eol = std::move(eol);
        parse(line);
        m_lines.push_back(std::move(line));
    };

    if (bytes.startsWith("\xFF\xFE")) {
        // UTF-16LE: split on code units, which keeps even stray surrogates.
        m_encoding = Encoding::Utf16LE;
        const qsizetype units = (bytes.size() - 2) / 2;
        auto unit = [&](qsizetype i) {
            const auto *p = reinterpret_cast<const uchar *>(bytes.constData()) + 2 + 2 * i;
            return char16_t(p[0] | (p[1] << 8));
        };
        qsizetype start = 0;
        for (qsizetype i = 0; i < units;) {
            const char16_t c = unit(i);
            if (c != u'\r' && c != u'\n') {
                ++i;
                continue;
            }
            QString text(i - start, Qt::Uninitialized);
            for (qsizetype k = start; k < i; ++k)
                text[k - start] = QChar(unit(k));
            const bool crlf = c == u'\r' && i + 1 < units && unit(i + 1) == u'\n';
            const qsizetype next = i + (crlf ? 2 : 1);
            addLine(text, QByteArray(), crlf ? QStringLiteral("\r\n") : QString(QChar(c)));
            start = i = next;
        }
        if (start < units) {
            QString text(units - start, Qt::Uninitialized);
            for (qsizetype k = start; k < units; ++k)
                text[k - start] = QChar(unit(k));
            addLine(text, QByteArray(), QString());
        }
        for (Line &l : m_lines)
            l.raw = encodeText(l.text); // lossless for UTF-16
        return;
    }

    QByteArray body = bytes;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8Bom;
        body = bytes.mid(3);
    } else if (isValidUtf8(bytes)) {
        m_encoding = Encoding::Utf8;
    } else {
        m_encoding = Encoding::Cp932;
    }
    // CR and LF never occur inside a UTF-8 or CP932 multibyte sequence, so the
    // bytes can be split before decoding; each line keeps its own bytes.
    auto decode = [&](const QByteArray &raw) {
        if (m_encoding == Encoding::Cp932)
            return decodeCp932(raw);
        return QString::fromUtf8(raw);
    };
    qsizetype start = 0;
    const qsizetype n = body.size();
    for (qsizetype i = 0; i < n;) {
        const char c = body[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        const bool crlf = c == '\r' && i + 1 < n && body[i + 1] == '\n';
        const QByteArray raw = body.mid(start, i - start);
        addLine(decode(raw), raw, crlf ? QStringLiteral("\r\n") : QString(QChar::fromLatin1(c)));
        start = i = i + (crlf ? 2 : 1);
    }
    if (start < n) {
        const QByteArray raw = body.mid(start);
        addLine(decode(raw), raw, QString());
    }
}

void IniFile::parse(Line &line)
{
    line.name.clear();
    line.value.clear();
    const QString t = trimBlanks(line.text);
    if (t.isEmpty()) {
        line.kind = Kind::Blank;
    } else if (t.front() == u';') {
        line.kind = Kind::Comment;
    } else if (t.front() == u'[') {
        line.kind = Kind::Section;
        const qsizetype close = t.indexOf(u']');
        line.name = trimBlanks(QStringView(t).mid(1, close < 0 ? -1 : close - 1));
    } else if (const qsizetype eq = t.indexOf(u'='); eq >= 0) {
        line.kind = Kind::Key;
        line.name = trimBlanks(QStringView(t).left(eq));
        line.value = trimBlanks(QStringView(t).mid(eq + 1));
    } else {
        line.kind = Kind::Other;
    }
}

int IniFile::findSection(const QString &section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, section))
            return int(i);
    }
    return -1;
}

int IniFile::findKey(int sectionLine, const QString &key) const
{
    for (size_t i = size_t(sectionLine) + 1; i < m_lines.size(); ++i) {
        const Line &l = m_lines[i];
        if (l.kind == Kind::Section)
            break;
        if (l.kind == Kind::Key && sameName(l.name, key))
            return int(i);
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const int s = findSection(section.trimmed());
    if (s < 0)
        return std::nullopt;
    const int k = findKey(s, key.trimmed());
    if (k < 0)
        return std::nullopt;
    QString v = m_lines[size_t(k)].value;
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

QString IniFile::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

QByteArray IniFile::encodeText(const QString &text) const
{
    switch (m_encoding) {
    case Encoding::Utf16LE: {
        QByteArray out(text.size() * 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            out[2 * i] = char(u & 0xFF);
            out[2 * i + 1] = char(u >> 8);
        }
        return out;
    }
    case Encoding::Cp932:
        return encodeCp932(text);
    case Encoding::Utf8:
    case Encoding::Utf8Bom:
        break;
    }
    return text.toUtf8();
}

void IniFile::insertLine(int at, const QString &text)
{
    Line line;
    line.text = text;
    line.eol = m_eol;
    parse(line);
    // The line before an insertion at the end may lack its terminator.
    if (at > 0 && m_lines[size_t(at - 1)].eol.isEmpty())
        m_lines[size_t(at - 1)].eol = m_eol;
    m_lines.insert(m_lines.begin() + at, std::move(line));
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString sec = section.trimmed();
    const QString name = key.trimmed();
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');

    const int s = findSection(sec);
    if (s < 0) {
        insertLine(int(m_lines.size()), u'[' + sec + u']');
        insertLine(int(m_lines.size()), name + u'=' + v);
    } else if (const int k = findKey(s, name); k >= 0) {
        Line &l = m_lines[size_t(k)];
        if (l.value == v)
            return; // unchanged: keep the line exactly as it is
        l.text = l.name + u'=' + v;
        l.rawValid = false;
        parse(l);
    } else {
        int after = s;
        for (size_t i = size_t(s) + 1; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
            if (m_lines[i].kind == Kind::Key)
                after = int(i);
        }
        insertLine(after + 1, name + u'=' + v);
    }
    m_modified = true;

    // Text the ANSI code page cannot hold would turn into "?" and be lost;
    // UTF-16LE with a byte-order mark holds everything and Windows reads it.
    if (m_encoding == Encoding::Cp932) {
        bool lossless = true;
        encodeCp932(sec + name + v, &lossless);
        if (!lossless) {
            m_encoding = Encoding::Utf16LE;
            for (Line &l : m_lines)
                l.rawValid = false;
        }
    }
}

QByteArray IniFile::toBytes() const
{
    QByteArray out;
    if (m_encoding == Encoding::Utf16LE)
        out += "\xFF\xFE";
    else if (m_encoding == Encoding::Utf8Bom)
        out += "\xEF\xBB\xBF";
    for (const Line &l : m_lines) {
        out += l.rawValid ? l.raw : encodeText(l.text);
        out += encodeText(l.eol);
    }
    return out;
}

bool IniFile::save()
{
    // Never replace a file whose contents we could not read.
    if (m_unreadable)
        return false;
    if (!m_modified && m_existed)
        return true;
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = toBytes();
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    if (!f.commit())
        return false;
    m_existed = true;
    m_modified = false;
    return true;
}
