// The least a Qt Widgets picture viewer does before its first picture is on
// screen: a main window with the same four Japanese menus and a status bar
// line, the picture decoded by Qt at the size it is shown and painted once;
// the right arrow key steps through the folder. No tool box, no settings, no
// history, no threads. Run by bench_compare beside feh and the viewer
// (floor=<this program>), it shows how much of the start-up any Qt Widgets
// window costs on the machine at hand.
// Usage: bench_qt_floor FOLDER
#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <cstdio>

namespace
{

class Canvas : public QWidget
{
public:
    explicit Canvas(QStringList files) : files_(std::move(files))
    {
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        if (files_.isEmpty())
            return;
        if (shown_ != index_ || shownSize_ != size()) {
            QImageReader reader(files_[index_]);
            QSize s = reader.size();
            if (s.width() > width() || s.height() > height())
                s.scale(size(), Qt::KeepAspectRatio);
            reader.setScaledSize(s);
            picture_ = reader.read();
            shown_ = index_;
            shownSize_ = size();
        }
        p.drawImage((width() - picture_.width()) / 2, (height() - picture_.height()) / 2, picture_);
    }

    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_Right && !files_.isEmpty()) {
            index_ = (index_ + 1) % files_.size();
            update();
        }
    }

private:
    QStringList files_;
    int index_ = 0, shown_ = -1;
    QSize shownSize_;
    QImage picture_;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        // ./bench.sh runs every benchmark without arguments: this one is
        // a stand-in viewer that bench/compare.sh starts and measures.
        std::puts("bench_qt_floor FOLDER: a bare Qt Widgets viewer, measured by bench/compare.sh");
        return 0;
    }
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QStringList files;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        files << QDir(folder).filePath(name);

    QMainWindow w;
    w.setWindowTitle(QStringLiteral("floor"));
    for (const char *title : {"ファイル(&F)", "編集(&E)", "ツール(&T)", "ヘルプ(&H)"})
        w.menuBar()->addMenu(QString::fromUtf8(title))->addAction(QStringLiteral("…"));
    w.statusBar()->showMessage(QStringLiteral("SlideShow OFF"));
    auto *canvas = new Canvas(files);
    w.setCentralWidget(canvas);
    w.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    w.show();
    canvas->setFocus();
    return app.exec();
}
