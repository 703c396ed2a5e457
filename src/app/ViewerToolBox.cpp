// The viewer's side of the tool box: what an open tool box is told.
#include "app/Viewer.h"

void Viewer::refreshToolBox()
{
    if (toolBox_)
        toolBox_->Active();
}

bool Viewer::toolBoxSort(int order)
{
    if (!toolBox_)
        return false;
    state_.SortOrder = playOrderFrom(order);
    listOps_->SortList(state_.SortOrder);
    toolBox_->showState(); // the order button shows the new order
    return true;
}

void Viewer::choosingFolder()
{
    if (toolBox_)
        toolBox_->choosingFolder();
}
