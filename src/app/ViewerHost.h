#pragma once
// What the viewer needs from the windows: a surface to paint frames on, and
// the main window's few window-level services.
#include "app/Frame.h"

#include <QSize>
#include <QStringList>

// A display surface: the main window's or the full-screen window's.
class DisplayTarget
{
public:
    virtual ~DisplayTarget() = default;
    // Size of the whole display area (both slots of a spread).
    virtual QSize surfaceSize() const = 0;
    virtual qreal surfacePixelRatio() const = 0;
    // Pixel height and width of the "表示不可" text.
    virtual QSize errorTextSize() const = 0;
    virtual void paintFrame(const Frame &frame, const LabelStyle &label) = 0;
    // Empty slot 0 after a single page failed to load.
    virtual void blankFrame() = 0;
    // Nothing shown: slots, error labels and the file-name label cleared.
    virtual void clearFrame() = 0;
    // Puts `name` on the file-name label (after a rename).
    virtual void showName(const QString &name, const LabelStyle &label) = 0;
    // Shows or hides the file-name label as the style says.
    virtual void updateLabel(const LabelStyle &label) = 0;
};

// The main window, as the viewer sees it.
class ViewerHost
{
public:
    virtual ~ViewerHost() = default;
    virtual void setCaption(const QString &caption) = 0;
    // Enabled and checked states may have changed: bring the actions in line.
    virtual void commandsChanged() = 0;
    virtual void historyChanged(const QStringList &captions) = 0;
    // Opens or closes the full-screen window; returns its surface (or null).
    virtual DisplayTarget *setFullScreen(bool on) = 0;
    virtual void requestClose() = 0;
    // The main window's geometry as stored (RestoreWindow without the list).
    virtual void restoreGeometry() = 0;
    virtual bool windowVisible() const = 0;
    virtual void hideWindow() = 0;
    // The list of external applications changed: rebuild their menus.
    virtual void appsChanged() {}
    // Opens the applications' pop-up menu at the centre of the window.
    virtual void showAppMenu() {}
};
