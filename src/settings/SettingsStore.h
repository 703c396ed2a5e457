#pragma once
// Loads and saves the settings record from and to the settings INI file.
#include "settings/Settings.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

// Outer geometry of the main window, in screen pixels.
struct WindowGeometry {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

enum class WindowShowState { Normal, Maximized, Minimized };

class SettingsStore
{
public:
    explicit SettingsStore(QString iniPath);

    // Fills the record from the file. A missing file, section or key, or a
    // value that is no integer where one is expected, gives the default.
    // windowDefaults is the main window's geometry at that moment; repeatMode
    // is reset to -1 (not given). Returns true when the window was maximized
    // at the last exit.
    bool load(Settings &settings, const WindowGeometry &windowDefaults, int32_t &repeatMode) const;

    // Writes the record. When the window is in the normal state its current
    // geometry is first copied into Window.Left/Top/Width/Height. The file is
    // written whole or not at all; false when it could not be written.
    // Other instances may share the file: it is re-read and written under
    // the folder's FileLock, and `refresh` runs under that lock first, to
    // bring values that mirror shared files up to date (Window.ListMax
    // from the history: pass History::ListCheck).
    [[nodiscard]] bool save(Settings &settings, const WindowGeometry &current, WindowShowState state,
              const std::function<void(Settings &)> &refresh = {}) const;

    const QString &path() const { return m_path; }

    // Decimal, or hexadecimal after "0x" in any case, with an optional sign.
    static std::optional<int32_t> parseInteger(const QString &text);

    // Longest string value kept from the file, in UTF-16 units.
    static constexpr int kMaxStringLength = 2047;

private:
    QString m_path;
};
