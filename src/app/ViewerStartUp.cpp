#include "app/ViewerStartUp.h"

#include "decode/EarlyPicture.h"

#include <QPointer>
#include <QTimer>

ViewerStartUp::ViewerStartUp(Hooks hooks, QObject *parent) : QObject(parent), hooks_(std::move(hooks)) {}

void ViewerStartUp::expect(const LoadOptions &options)
{
    EarlyPicture::expect(options);
}

bool ViewerStartUp::awaitEarly(const QString &path)
{
    if (!EarlyPicture::busy(path))
        return false;
    // Displays asked for meanwhile (command line, first show) wait for the
    // same call back.
    if (!earlyAwaited_) {
        earlyAwaited_ = true;
        EarlyPicture::whenReady([self = QPointer<ViewerStartUp>(this)] {
            if (!self)
                return;
            self->earlyAwaited_ = false;
            self->hooks_.earlyReady();
        });
    }
    return true;
}

void ViewerStartUp::firstShowDone()
{
    if (!archives_.isEmpty())
        QTimer::singleShot(0, this, [this] { hooks_.openArchives(); });
    // Neighbours are decoded once the first picture is on screen, so they do
    // not compete with it for the processor (pictureOnScreen); a start whose
    // first picture never paints gets them a little later.
    QTimer::singleShot(200, this, &ViewerStartUp::afterFirstPicture);
}

void ViewerStartUp::pictureOnScreen(bool firstFlag)
{
    if (settled_ || firstFlag || firstPaintSeen_)
        return;
    firstPaintSeen_ = true;
    // Queued: runs once the paint under way has been put on screen.
    QTimer::singleShot(0, this, &ViewerStartUp::afterFirstPicture);
}

void ViewerStartUp::holdForWindow()
{
    if (settled_)
        return;
    ++windowsToPaint_;
    // A window that never paints (hidden at once, say) holds nothing for long.
    QTimer::singleShot(500, this, [this] {
        if (windowsToPaint_ > 0) {
            windowsToPaint_ = 1;
            windowPainted();
        }
    });
}

void ViewerStartUp::windowPainted()
{
    if (windowsToPaint_ == 0)
        return;
    if (--windowsToPaint_ == 0 && firstPaintSeen_)
        QTimer::singleShot(0, this, &ViewerStartUp::afterFirstPicture);
}

void ViewerStartUp::afterFirstPicture()
{
    if (settled_)
        return; // already done, by the first paint or by the timer
    if (windowsToPaint_ > 0 && firstPaintSeen_)
        return; // once the other windows have painted (windowPainted)
    // A slow first picture still decoding early: wait for it rather than
    // decode it a second time.
    if (EarlyPicture::working()) {
        QTimer::singleShot(100, this, &ViewerStartUp::afterFirstPicture);
        return;
    }
    EarlyPicture::release(); // a first picture decoded early and not shown after all
    settled_ = true;
    hooks_.settled();
}

void ViewerStartUp::holdHistory(const QStringList &list)
{
    if (history_.isEmpty() || history_.constLast() != list)
        history_.append(list);
}
