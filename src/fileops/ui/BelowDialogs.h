#pragma once
// A window kept "always on top" that must not cover the program's modal
// dialogs: while one is open it is an ordinary window below the dialog.
class QWidget;

// Brings the on-top state of `window` in line with the open modal dialog
// (none: on top again). Call after a modal window was shown or hidden.
void FollowModalDialogs(QWidget &window);
