#pragma once
// What the list operations need from outside the list: the display, the
// tool box, the history and the main window's actions. The main window
// implements it; tests record the calls.
#include <QString>
#include <QStringList>

class ListHooks
{
public:
    virtual ~ListHooks() = default;
    // The display step: prunes, normalises and shows the current picture.
    virtual void Picture() = 0;
    // Clears the display; also clears ListActive.
    virtual void ImageCls() = 0;
    // Arms or disarms the handler that redisplays on application activation.
    virtual void setActivationArmed(bool armed) = 0;
    // The tool box, when open, refreshes its controls.
    virtual void refreshToolBox() = 0;
    // The tool box, when open, takes over an order choice (sets SortOrder,
    // applies it, updates its order button). False when it is closed.
    virtual bool toolBoxSort(int order) = 0;
    virtual void RecordHistory(int listMax, const QStringList &list) = 0;
    // Reads a list file; true when it replaced the picture list.
    virtual bool ReadListFile(const QString &path) = 0;
    // After (de)activating a list: MoveUndo1 disabled, slideshow1 enabled
    // exactly when ListActive, MenuCheck(ListActive), history menu refreshed.
    virtual void listStateChanged() = 0;
};
