// The viewer's side of the tool box: what an open tool box is told.
#include "app/Viewer.h"

void Viewer::choosingFolder()
{
    if (toolBox_)
        toolBox_->choosingFolder();
}
