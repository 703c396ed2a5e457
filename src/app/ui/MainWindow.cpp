#include "app/ui/MainWindow.h"

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(kIdleCaption);
    resize(620, 463);
}
