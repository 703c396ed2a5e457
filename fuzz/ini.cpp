// The settings reader: any bytes as the settings file, in whatever encoding
// it is taken for (UTF-8 with or without mark, UTF-16LE, CP932).
#include "FuzzSupport.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    IniFile ini(QStringLiteral("/nonexistent/fuzz.ini"));
    ini.loadFromBytes(bytes);
    for (const char *key : {"Left", "ListMax", "LastDir"})
        (void)ini.value(QStringLiteral("Window"), QString::fromLatin1(key));
    (void)ini.toBytes();

    // A value set reads back the same after a trip through the bytes, and
    // the keys around it keep theirs.
    const auto before = ini.value(QStringLiteral("Option"), QStringLiteral("Interval"));
    const QString value = QStringLiteral("C:\\写真\\ \"quoted\" =;");
    ini.setValue(QStringLiteral("Window"), QStringLiteral("LastDir"), value);
    ini.setValue(QStringLiteral("追加"), QStringLiteral("鍵"), QStringLiteral("値"));
    IniFile again(ini.path());
    again.loadFromBytes(ini.toBytes());
    GD_FUZZ_CHECK(again.value(QStringLiteral("Window"), QStringLiteral("LastDir")) == value);
    GD_FUZZ_CHECK(again.value(QStringLiteral("追加"), QStringLiteral("鍵")) == QStringLiteral("値"));
    GD_FUZZ_CHECK(again.value(QStringLiteral("Option"), QStringLiteral("Interval")) == before);

    // The typed reader over the same bytes, read as a file.
    MemoryFile file(data, size);
    if (file.ok()) {
        Settings settings;
        int32_t repeat = 0;
        SettingsStore(file.path()).load(settings, WindowGeometry{1, 2, 3, 4}, repeat);
        GD_FUZZ_CHECK(settings.Window.LastDir.size() <= SettingsStore::kMaxStringLength);
    }
    return 0;
}
