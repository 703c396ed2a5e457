#pragma once
// Brings a top-level window within the desktop (all screens together):
// shrunk to the desktop when larger, then moved inside it.
class QWidget;

void FitToDesktop(QWidget &window);
