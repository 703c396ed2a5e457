// History and list files: any bytes as a file of paths.
#include "lists/ListFile.h"

#include "FuzzSupport.h"
#include "common/PictureList.h"
#include "common/Prompter.h"

namespace
{
class SilentPrompter : public Prompter
{
public:
    void beep() override {}
    void error(const QString &) override {}
    void info(const QString &) override {}
    bool confirm(const QString &) override { return false; }
    void notice(const QString &) override {}
    QString statusText() const override { return {}; }
    void setStatusText(const QString &) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = parseListBytes(bytesOf(data, size));
    for (const QString &line : lines)
        GD_FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));

    // What is read, written again, reads back the same.
    QStringList valid;
    for (const QString &line : lines)
        if (line.isValidUtf16())
            valid << line;
    GD_FUZZ_CHECK(parseListBytes(listFileBytes(valid)) == valid);

    MemoryFile file(data, size);
    if (file.ok()) {
        PictureList list;
        SilentPrompter prompter;
        ReadListFile(file.path(), list, prompter);
        QStringList again;
        GD_FUZZ_CHECK(readListLines(file.path(), again) && again == lines);
    }
    return 0;
}
