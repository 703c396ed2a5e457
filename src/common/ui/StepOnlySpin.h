#pragma once
// A spin box whose value is stepped with its arrows and keys only; it
// cannot be typed into (the dialogs that use it show fixed steps).
class QSpinBox;
class QWidget;

QSpinBox *stepOnlySpin(QWidget *parent, const char *name, int max, int step);
