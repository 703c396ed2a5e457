#pragma once
// The program's first moments, a part of the viewer: the services (plug-ins,
// picture filter, temporary folder, journal, history menu), the command
// line, the first show, and what waits for the first picture. That picture
// has been decoding on its own thread since the program started: the
// display waits for it rather than decode it twice. Decoding ahead and
// writing the history wait until it is on screen (or a little later when it
// never paints), and archives named on the command line are extracted once
// the window has painted.
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

class Viewer;

class ViewerStartUp : public QObject
{
    Q_OBJECT
public:
    explicit ViewerStartUp(Viewer &viewer);

    // Plug-ins, picture filter, temporary folder, journal, history menu.
    // The picture area is measured first, so the picture decoding since the
    // start is shrunk to it.
    void startServices();
    void applyCommandLine(const QStringList &args);
    // The first show: orders and activates the list (the host restores its
    // geometry in between through `restore`).
    void firstShow(const std::function<void()> &restore);
    // A surface is painting a picture. The first time after the first show,
    // the neighbours and the history follow once that frame is out.
    void pictureOnScreen();

    // True while `path` is still decoding early; the display is asked for
    // again, once, when it is ready.
    bool awaitEarly(const QString &path);
    // Whether the first picture is out: decoding ahead may start.
    bool settled() const { return settled_; }
    // Another window opening at start (the tool box) is still to paint:
    // decoding ahead waits for it too, so that it does not take the
    // processors from that paint. Each hold ends with windowPainted(), or
    // on its own after a moment.
    void holdForWindow();
    void windowPainted();
    bool waitsForWindows() const { return windowsToPaint_ > 0; }

    // A list to write into the history once the first picture is out.
    void holdHistory(const QStringList &list);
    QList<QStringList> takeHeldHistory() { return std::exchange(history_, {}); }

private:
    // The picture area is known: the early decode is shrunk to it.
    void expectFirstPicture();
    // Reads the journal and mends what a crash left half done.
    void openJournal();
    // Archives named on the command line, extracted after the first paint.
    void addHeldArchives();
    void afterFirstPicture();

    Viewer &v_;
    bool settled_ = false;
    bool firstPaintSeen_ = false;
    bool earlyAwaited_ = false;
    int windowsToPaint_ = 0;
    QList<QStringList> history_;
    QStringList archives_;
};
