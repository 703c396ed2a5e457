#pragma once
// The program's name and version as the windows and the command line show them.
#include <QString>

inline const QString kAppTitle = QStringLiteral("グリマーデック");
inline const QString kVersionText = QStringLiteral("Ver 5.5");
inline const QString kIdleCaption = kAppTitle + QStringLiteral(" ") + kVersionText + QStringLiteral(" by ☆Orvane☆");
// Extensions that are never pictures, even when a decoder claims them.
inline const QString kMediaExtensions =
    QStringLiteral("*.wav,*.mid,*.mp3,*.avi,*.mov,*.au,*.asf,*.mpg,*.wma,*.aif");
