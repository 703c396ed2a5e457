#pragma once
// The first picture, decoded while the program is still starting up: begun
// on a thread of its own at the top of main(), before the window system,
// fonts and windows are ready, and handed to the picture cache when the
// display first asks for it.
//
// The early decode stops at the JPEG's DCT-reduced size covering `bound` (an
// upper bound on the area it is shown in); the exact final size is known only
// once the window is laid out, and take() scales to it then.
#include "decode/LoadPicture.h"

#include <QSize>
#include <QString>
#include <functional>

namespace EarlyPicture
{

struct Request {
    QString path; // empty: nothing to decode early
    QSize bound;  // device pixels; empty: the screen's, given by applicationReady()
    bool autoRotate = true;
};

// Runs `choose` on a new thread, then decodes the picture it names. JPEGs are
// decoded at once; other formats wait for applicationReady() (Qt's image
// plug-ins are not loaded before the application object exists).
void begin(std::function<Request()> choose);

// The application object exists. `screen` is the size of the screen in
// device pixels, the bound for a request that had none.
void applicationReady(QSize screen);

// The display's options for the first picture, once the window is laid
// out: the early thread shrinks the picture to its final size as soon as it
// is decoded.
void expect(const LoadOptions &options);

// True while the early decode of `path`, or its shrink to the window's
// size, is under way: the display can show the window first, and the
// picture once whenReady() calls back.
bool busy(const QString &path);

// True while the early thread still works (choosing, decoding, shrinking).
bool working();

// Calls `done` on the main thread (queued) once the early picture is ready,
// failed or released; at once (queued) when there is nothing to wait for.
void whenReady(std::function<void()> done);

// Runs now, on the main thread, the whenReady() calls already due, and
// nothing else that waits in the event queue: the window just shown then
// gets the picture in its first frame.
void deliverReady();

// When the early decode is of `path`, for the same orientation choice, the
// file is unchanged since and the decode covers options.maxSize: waits for
// it and gives the picture as LoadPictureFile would, scaled to its final
// size. False otherwise, at once, and the caller decodes as usual. Hands the
// picture over only once.
bool take(const QString &path, const LoadOptions &options, PictureData &out);

// Waits for the thread and drops whatever was not taken; begin() may then
// start again.
void release();

} // namespace EarlyPicture
