#include "app/ui/MainWindow.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("glimmerdeck"));
    QApplication::setApplicationDisplayName(kAppTitle);
    MainWindow w;
    w.show();
    return app.exec();
}
