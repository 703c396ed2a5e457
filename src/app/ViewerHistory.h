#pragma once
// The viewer's history of the last lists: lists noted as they become active
// (held back until the first picture is on screen), the menu's captions,
// read back, and cleared. A part of the viewer.
#include <QString>
#include <QStringList>
#include <memory>

class History;
class Viewer;

class ViewerHistory
{
public:
    ViewerHistory(Viewer &viewer, const QString &folder);
    ~ViewerHistory();

    History &store() { return *history_; }
    // A list became active.
    void record(const QStringList &list);
    // The lists held back at start-up go into the history now.
    void writeHeld();
    // The history menu follows the file.
    void refreshMenu();
    // The commands: an entry of the history menu, and its clearing.
    void read(int tag);
    void clear();

private:
    Viewer &v_;
    std::unique_ptr<History> history_;
};
