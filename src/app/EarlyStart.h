#pragma once
// The first thing main() does: on a thread of its own, read the command line
// and the settings file (microseconds), find the picture the viewer will show
// first and start decoding it, while the window system, fonts, windows and
// menus are brought up. The picture cache takes the result (EarlyPicture).
//
// Only a guess: the list is still built and ordered as always, and when its
// first picture is another one (a plug-in format, a picture inside an
// archive), the early decode is simply not used.
#include "decode/EarlyPicture.h"

#include <QStringList>

namespace EarlyStart
{

// The early request for these arguments (the program's, without its name,
// Qt's own options not yet taken out), the settings file and its defaults:
// the first picture of the first path, the window's outer size as bound, or
// no bound when the window was maximised. Nothing (an empty path) for a
// spread display, full screen from the command line, a list file or an
// archive first. Reads the disk; runs on the early thread.
EarlyPicture::Request chooseFirstPicture(const QStringList &args, const QString &settingsFile);

// The settings file as the viewer will find it once the application object
// exists, worked out without one.
QString settingsFileBeforeApplication();

// Starts the early thread for main()'s arguments.
void begin(int argc, char **argv);

// Right after the application object is made: gives the early decode the
// screen's size and loads the fonts on another core while the windows are
// being built.
void applicationReady();

} // namespace EarlyStart
