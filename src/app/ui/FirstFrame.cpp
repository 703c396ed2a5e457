#include "app/ui/FirstFrame.h"

#include "platform/LargeBlocks.h"

#include <QBackingStore>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <memory>

namespace
{

// Holds the window's first paint and the loss of its store until the
// store's pages are ready; then goes.
class StoreGate : public QObject
{
public:
    StoreGate(QWidget *window, void *bits, size_t bytes)
        : QObject(window), window_(window), handle_(window->windowHandle()),
          warmer_(std::make_unique<PageWarmer>(bits, bytes))
    {
        window_->installEventFilter(this);
        if (handle_)
            handle_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Expose: // the first paint follows at once
            if (watched == handle_ && handle_->isExposed())
                done(false);
            break;
        case QEvent::UpdateRequest:
            if (watched == window_ && window_->testAttribute(Qt::WA_Mapped))
                done(false);
            break;
        case QEvent::Hide: // closed or hidden: the store may go
            if (watched == window_)
                done(true);
            break;
        default:
            break;
        }
        return false;
    }

private:
    void done(bool early)
    {
        if (!warmer_)
            return;
        if (early)
            warmer_->stop();
        warmer_.reset(); // waits for the thread
        window_->removeEventFilter(this);
        if (handle_)
            handle_->removeEventFilter(this);
        deleteLater();
    }

    QWidget *window_;
    QPointer<QWindow> handle_;
    std::unique_ptr<PageWarmer> warmer_; // stops and waits when the gate goes
};

} // namespace

void WarmBackingStore(QWidget *window)
{
    QBackingStore *store = window && window->isVisible() ? window->backingStore() : nullptr;
    if (!store || window->size().isEmpty())
        return;
    // The size the first paint asks for: the store is then kept, not made again.
    store->resize(window->size());
    const QRect all(QPoint(), window->size());
    store->beginPaint(all);
    const auto *image = dynamic_cast<const QImage *>(store->paintDevice());
    // Written only as it is: the image stays shared with the window system.
    void *bits = image ? const_cast<uchar *>(image->constBits()) : nullptr;
    const auto bytes = image ? size_t(image->sizeInBytes()) : 0;
    store->endPaint();
    if (bits && bytes)
        new StoreGate(window, bits, bytes);
}
