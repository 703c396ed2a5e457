#include "app/ui/FirstFrame.h"

#include "platform/LargeBlocks.h"

#include <QBackingStore>
#include <QImage>
#include <QWidget>

void WarmBackingStore(QWidget *window)
{
    QBackingStore *store = window && window->isVisible() ? window->backingStore() : nullptr;
    if (!store || window->size().isEmpty())
        return;
    // The size the first paint asks for: the store is then kept, not made again.
    store->resize(window->size());
    const QRect all(QPoint(), window->size());
    store->beginPaint(all);
    if (const auto *image = dynamic_cast<const QImage *>(store->paintDevice()))
        PrefaultInBackground(image->constBits(), size_t(image->sizeInBytes()));
    store->endPaint();
}
