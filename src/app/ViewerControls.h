#pragma once
// The tool box's controls as rows of the viewer's command table: each runs
// with its argument and ends in the viewer's one refresh.
class Viewer;

class ViewerControls
{
public:
    static void add(Viewer &viewer);
};
