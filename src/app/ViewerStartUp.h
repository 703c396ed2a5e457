#pragma once
// The program's first moments. The first picture has been decoding on its
// own thread since the program started: the display waits for it rather
// than decode it twice. Decoding ahead and writing the history wait until it
// is on screen (or a little later when it never paints), and archives named
// on the command line are extracted once the window has painted.
#include "decode/LoadPicture.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

class ViewerStartUp : public QObject
{
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> settled;      // the first picture is out: decode ahead, write the history
        std::function<void()> earlyReady;   // the early picture is ready: show it
        std::function<void()> openArchives; // the window painted: extract the archives held back
    };
    explicit ViewerStartUp(Hooks hooks, QObject *parent = nullptr);

    // The picture area is known: the early decode is shrunk to it.
    static void expect(const LoadOptions &options);
    // True while `path` is still decoding early; the display is asked for
    // again, once, when it is ready.
    bool awaitEarly(const QString &path);
    // The first show is done (FirstFlag is off).
    void firstShowDone();
    // A surface painted a picture; `firstFlag` while the first show runs.
    void pictureOnScreen(bool firstFlag);
    // Whether the first picture is out.
    bool settled() const { return settled_; }
    // Another window opening at start (the tool box) is still to paint:
    // decoding ahead waits for it too, so that it does not take the
    // processors from that paint. Each hold ends with windowPainted(), or
    // on its own after a moment.
    void holdForWindow();
    void windowPainted();

    // A list to write into the history once the first picture is out.
    void holdHistory(const QStringList &list);
    QList<QStringList> takeHeldHistory() { return std::exchange(history_, {}); }
    // An archive named on the command line, extracted after the first paint.
    void holdArchive(const QString &path) { archives_ << path; }
    QStringList takeHeldArchives() { return std::exchange(archives_, {}); }

private:
    void afterFirstPicture();

    Hooks hooks_;
    bool settled_ = false;
    bool firstPaintSeen_ = false;
    bool earlyAwaited_ = false;
    int windowsToPaint_ = 0;
    QList<QStringList> history_;
    QStringList archives_;
};
