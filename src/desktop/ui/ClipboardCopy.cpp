#include "desktop/ui/ClipboardCopy.h"

#include "common/Prompter.h"
#include "desktop/FileMime.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

bool CopyPictureToClipboard(const QImage &image, const QString &path, Prompter &prompter)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (image.isNull() || !clipboard) {
        prompter.beep();
        return false;
    }
    clipboard->setMimeData(FileMimeData(path, &image));
    return true;
}
