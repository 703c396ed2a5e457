// A 4000x3000 24-bit picture decoded from file to a displayable image: PCX
// through the plug-in path against the same picture as PNG through Qt.
#include "BenchSupport.h"
#include "decode/PictureFormats.h"
#include "decode/spi/PluginHost.h"
#include "decode/spi/SpiGraphic.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

// Photo-like content: smooth gradients with a little noise.
QImage makePicture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(3);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = int(rng.bounded(4));
            line[x] = qRgb((x / 16 + n) & 0xFF, (y / 12 + n) & 0xFF, ((x + y) / 28) & 0xFF);
        }
    }
    return img;
}

// 24-bit PCX: three 8-bit planes per row, run-length encoded.
QByteArray encodePcx(const QImage &img)
{
    const int w = img.width(), h = img.height(), bpl = (w + 1) & ~1;
    QByteArray out(128, '\0');
    auto put16 = [&](int at, int v) {
        out[at] = char(v & 0xFF);
        out[at + 1] = char(v >> 8);
    };
    out[0] = 0x0A, out[1] = 5, out[2] = 1, out[3] = 8;
    put16(8, w - 1), put16(10, h - 1), put16(12, 72), put16(14, 72);
    out[65] = 3;
    put16(66, bpl), put16(68, 1);
    QByteArray plane(bpl, '\0');
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int p = 0; p < 3; ++p) {
            for (int x = 0; x < w; ++x)
                plane[x] = char(p == 0 ? qRed(line[x]) : p == 1 ? qGreen(line[x]) : qBlue(line[x]));
            for (int x = 0; x < bpl;) {
                int run = 1;
                while (x + run < bpl && run < 63 && plane[x + run] == plane[x])
                    ++run;
                if (run > 1 || uchar(plane[x]) >= 0xC0)
                    out += char(0xC0 | run);
                out += plane[x];
                x += run;
            }
        }
    }
    return out;
}

double medianMs(const std::function<bool()> &job)
{
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        if (!job())
            return -1;
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QImage picture = makePicture(4000, 3000);
    const QString png = dir.filePath("p.png"), pcx = dir.filePath("p.pcx");
    picture.save(png);
    {
        QFile f(pcx);
        f.open(QIODevice::WriteOnly);
        f.write(encodePcx(picture));
    }
    QuietPrompter prompter;
    PictureFormats formats;
    PluginHost host(prompter, formats);
    host.search(QStringLiteral(GD_BUILD_DIR "/plugins"));

    const double viaQt = medianMs([&] {
        QImage img;
        if (!QImageReader(png).read(&img))
            return false;
        return !QPixmap::fromImage(img).isNull();
    });
    const double viaPlugin = medianMs([&] {
        QImage img;
        if (!DecodeWithPlugins(pcx, img))
            return false;
        return !QPixmap::fromImage(img).isNull();
    });
    std::printf(
        "4000x3000 24-bit, file to pixmap (median of 5): PNG via Qt %.1f ms, PCX via plug-in %.1f ms, "
        "ratio %.2f (PNG %lld bytes, PCX %lld bytes)\n",
        viaQt, viaPlugin, viaPlugin / viaQt, QFileInfo(png).size(), QFileInfo(pcx).size());
    return 0;
}
