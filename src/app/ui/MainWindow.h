#pragma once
#include "app/ViewerState.h"

#include <QMainWindow>

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

private:
    ViewerState state_;
};
