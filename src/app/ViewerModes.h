#pragma once
// The viewer's two modes: the slideshow (its timer, switching it on and off,
// one step) and full screen (switching surfaces, the window closed by the
// window manager, files dropped on it). A part of the viewer: it works on
// the viewer's state and leaves the refresh to the viewer's one path.
#include <QObject>
#include <QStringList>
#include <functional>

class SlideshowTimer;
class Viewer;

class ViewerModes : public QObject
{
    Q_OBJECT
public:
    explicit ViewerModes(Viewer &viewer);

    bool slideshowOn() const;
    void toggleSlideshow();
    // Switches the show on or off; the caller refreshes.
    void setSlideshow(bool on);
    // A running show takes a changed interval and says so.
    void restartSlideshow();
    // The program closes: the timer stops, nothing else changes.
    void stopTimer();

    void toggleFullScreen();
    // Flips FullScreen and brings the surfaces in line; the caller refreshes.
    void switchFullScreen();
    // The full-screen window went away without Max1 (window manager);
    // `showMain` shows the main window again before the redisplay.
    void fullScreenClosed(const std::function<void()> &showMain);
    // Files dropped on the full-screen window: they become the set.
    void dropOnFullScreen(const QStringList &paths);

private:
    void step();
    void MaxNormal();

    Viewer &v_;
    SlideshowTimer *timer_;
};
