// Start-up search of a plug-in folder holding 20 import filters: time from
// the search call until every plug-in is loaded and its extensions registered.
#include "BenchSupport.h"
#include "decode/PictureFormats.h"
#include "decode/spi/PluginHost.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString src = QStringLiteral(GD_BUILD_DIR "/plugins/");
    for (int i = 0; i < 20; ++i) {
        const QString from = src + (i % 2 ? "pcx.spi" : "sunras.spi");
        if (!QFile::copy(from, dir.filePath(QStringLiteral("p%1.spi").arg(i, 2, 10, QLatin1Char('0'))))) {
            std::printf("missing %s (build the plug-ins first)\n", qPrintable(from));
            return 1;
        }
    }
    std::vector<double> ms;
    int loaded = 0;
    for (int run = 0; run < 7; ++run) {
        QuietPrompter prompter;
        PictureFormats formats;
        PluginHost host(prompter, formats);
        QElapsedTimer t;
        t.start();
        host.search(dir.path());
        ms.push_back(t.nsecsElapsed() / 1e6);
        loaded = host.SPIs1().Count();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("plug-in search, %d plug-ins loaded: median %.2f ms, best %.2f ms, worst %.2f ms (7 runs)\n",
                loaded, ms[ms.size() / 2], ms.front(), ms.back());
    return 0;
}
