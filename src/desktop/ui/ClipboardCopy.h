#pragma once
// Copying the shown picture: the picture for programs that paste pictures
// and its file for file managers, in one clipboard entry.
#include <QString>

class QImage;
class Prompter;

// Puts `image` and the URL of `path` on the clipboard. A null image (nothing
// shown, or a picture that cannot be had as an image) only beeps. Returns
// whether anything was copied.
bool CopyPictureToClipboard(const QImage &image, const QString &path, Prompter &prompter);
