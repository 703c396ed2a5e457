#pragma once
// Delivers the keys typed in the viewer's windows to the viewer, whichever
// widget of those windows has the focus after a menu or a dialog closed,
// however it was closed. A menu bar that is being navigated by keyboard and
// text fields keep their keys. Keys arriving while an earlier one is still
// at work are queued, never lost.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

class Viewer;

class KeyRouter : public QObject
{
    Q_OBJECT
public:
    explicit KeyRouter(Viewer &viewer, QObject *parent = nullptr);
    // Keys typed in `window` (a top-level window) go to the viewer.
    void addWindow(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool routes(QWidget *receiver) const;

    struct PendingKey {
        int key;
        QString text;
        bool autoRepeat;
        ulong timestamp;
    };

    Viewer &viewer_;
    // Keys that arrive while the viewer is still busy with an earlier one
    // (a transfer waiting, a notice showing) run after it, in order.
    int depth_ = 0;
    std::vector<PendingKey> pending_;
    std::vector<QPointer<QWidget>> windows_;
};
