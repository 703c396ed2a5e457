#pragma once
// Registry of the picture file types the viewer knows: what Qt reads on this
// machine (the classic Windows types first) and whatever plug-ins add. Extensions
// are kept lower case without the dot; lookups find the newest registration
// first, so a plug-in that registers "tiff" takes precedence.
#include <QList>
#include <QString>

class PictureFormats
{
public:
    struct Format {
        QString extension;   // lower case, no dot
        QString description; // shown in the file dialog
        bool plugin = false; // decoded by a plug-in, not by Qt
    };

    // Seeded with the formats Qt's image readers on this machine decode.
    PictureFormats();
    // Starts empty: asking Qt loads every image plug-in, which start-up
    // does later (addQtFormats), on another core first.
    struct Empty {
    };
    explicit PictureFormats(Empty) {}
    // Adds the formats Qt's image readers decode, ahead of any plug-in's;
    // once only.
    void addQtFormats();

    void addFormat(const QString &extension, const QString &description);
    // Withdraws every plug-in registration (the built-in ones stay).
    void removePluginFormats();

    // Newest registration of an extension ("JPG", ".jpg" and "jpg" alike); null when unknown.
    const Format *find(const QString &extension) const;
    // True when the extension of the file name is registered.
    bool isPictureFile(const QString &path) const;
    const QList<Format> &formats() const { return formats_; }

    // File-dialog filter: "すべての画像 (*.gif *.jpg ...)" followed by one entry
    // per description, separated by ";;". Every extension appears as "*.ext".
    QString filter() const;

private:
    static QString normalise(const QString &extension);
    QList<Format> formats_; // in registration order, oldest first
    bool qtAdded_ = false;
};
