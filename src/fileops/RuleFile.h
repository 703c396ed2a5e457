#pragma once
// The camera rule file "DCIM_rule.dat": one rule per line, in whatever
// encoding it was made (a byte-order mark says which; without one CP932,
// or UTF-8 when the bytes are valid UTF-8), lines ending in CR, LF or CR LF.
// It is written back in the encoding it was read in, with CR LF, whole or
// not at all; a new file is CP932.
#include <QByteArray>
#include <QString>
#include <QStringList>

class DcimRuleFile
{
public:
    enum class Encoding { Cp932, Utf8, Utf8Bom, Utf16LE, Utf16BE };

    static inline const QString kFileName = QStringLiteral("DCIM_rule.dat");

    // appFolder: where the file lives and is written. shippedFolders: where
    // the copy that ships with the program is looked for, in order, while
    // appFolder has no file of its own.
    explicit DcimRuleFile(QString appFolder, QStringList shippedFolders = {});

    // Reads the application folder's file, else the first shipped copy.
    // No file at all gives no lines (true). A file that exists but cannot be
    // read gives false and no lines; save() then refuses to replace it.
    bool load();
    const QStringList &lines() const { return m_lines; }
    // The file the lines came from; empty when none was found.
    const QString &loadedFrom() const { return m_loadedFrom; }
    Encoding encoding() const { return m_encoding; }

    // Writes the lines to the application folder's file atomically. False
    // when it could not be written; the old file is then left as it was.
    [[nodiscard]] bool save(const QStringList &lines);
    // The file exists but could not be read: save() will not replace it.
    bool unreadable() const { return m_unreadable; }

    QString path() const;

    struct Decoded {
        QStringList lines;
        Encoding encoding = Encoding::Cp932;
    };
    static Decoded decode(const QByteArray &bytes);
    // Text CP932 cannot hold is written as UTF-8 with a mark instead, so
    // nothing the user typed turns into "?"; `used` tells which was written.
    static QByteArray encode(const QStringList &lines, Encoding encoding, Encoding *used = nullptr);

private:
    QString m_appFolder;
    QStringList m_shipped;
    QStringList m_lines;
    QString m_loadedFrom;
    Encoding m_encoding = Encoding::Cp932;
    bool m_unreadable = false;
};
