#pragma once
// An INI document that reads and writes like the Windows profile-string
// functions, so files written by the Windows program or by hand load the same
// way and files we write stay readable there.
//
// Lines we do not change are written back byte for byte; a save writes the
// whole file to a temporary file beside it and renames it over the old one.
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

class IniFile
{
public:
    enum class Encoding { Utf8, Utf8Bom, Utf16LE, Cp932 };

    explicit IniFile(QString path);

    // Reads the file afresh. A missing file is an empty document (true); a
    // file that exists but cannot be read (or is over 64 MiB, which no
    // settings file is) gives false, and such a document refuses to save so
    // that the unread file is never replaced.
    bool load();
    // Parses bytes as if read from the file (the path is kept for save()).
    void loadFromBytes(const QByteArray &bytes);

    // The value of the first key of that name in the first section of that
    // name, with one pair of matching outer quotes removed; nullopt when the
    // section or key is missing.
    std::optional<QString> value(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QString &defaultValue) const;

    // Changes the key's line in place, or adds the key after the last key of
    // its section, or adds the section at the end. Line breaks in the value
    // are replaced by spaces: they would split the line and corrupt the file.
    void setValue(const QString &section, const QString &key, const QString &value);

    // Writes the document atomically. False when the file could not be
    // written; the old file is then left as it was.
    [[nodiscard]] bool save();

    // The bytes save() would write.
    QByteArray toBytes() const;

    const QString &path() const { return m_path; }
    Encoding encoding() const { return m_encoding; }
    bool isModified() const { return m_modified; }

private:
    enum class Kind { Blank, Comment, Section, Key, Other };
    struct Line {
        QString text;          // decoded, without the terminator
        QString eol;           // "\r\n", "\r", "\n" or empty (last line)
        QByteArray raw;        // the line's bytes as read, without the terminator
        bool rawValid = false; // false once the line is rewritten or re-encoded
        Kind kind = Kind::Other;
        QString name;  // section or key name, trimmed
        QString value; // value as stored (trimmed, quotes kept)
    };

    static void parse(Line &line);
    int findSection(const QString &section) const;
    int findKey(int sectionLine, const QString &key) const;
    QByteArray encodeText(const QString &text) const;
    void insertLine(int at, const QString &text);
    void reset();

    QString m_path;
    Encoding m_encoding = Encoding::Utf8;
    QString m_eol = QStringLiteral("\n"); // line style used for added lines
    std::vector<Line> m_lines;
    bool m_existed = false;
    bool m_unreadable = false;
    bool m_modified = false;
};
