// The command line: any arguments (NUL-separated in the input).
#include "FuzzSupport.h"
#include "app/CommandLine.h"
#include "common/ViewerState.h"

#include <QDir>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> raw = bytesOf(data, size).split('\0');
    QStringList args;
    std::vector<const char *> argv{"glimmerdeck"};
    for (const QByteArray &a : raw) {
        args << QString::fromUtf8(a);
        argv.push_back(a.constData());
    }
    const int qt = QtArgumentCount(int(argv.size()), argv.data());
    GD_FUZZ_CHECK(qt >= 1 && qt <= int(argv.size()));
    (void)FindInfoRequest(args);

    ViewerState state;
    CommandLineEnvironment env;
    env.locale = QLocale::c();
    env.exists = [](const QString &p) { return p.endsWith(u'e'); }; // no file system
    env.currentDir = QStringLiteral("/cwd");
    const CommandLineResult result = ApplyCommandLine(args, state, env);
    for (const CommandLineStep &s : result.steps) {
        if (s.kind != CommandLineStep::Kind::AddPath)
            continue;
        GD_FUZZ_CHECK(s.path.startsWith(u'/'));
        GD_FUZZ_CHECK(QDir::cleanPath(s.path) == s.path);
    }
    const OptionSettings &o = state.settings.Option;
    GD_FUZZ_CHECK(qAbs(qint64(o.Interval)) <= 2147483 && qAbs(o.IntervalM) < 1000);
    return 0;
}
