#pragma once
// Text encodings of files that Windows programs and hand edits leave behind:
// the Japanese ANSI code page (CP932) and UTF-8 validity.
#include <QByteArray>
#include <QString>

// Decodes CP932 (Shift_JIS with the Windows extensions).
QString decodeCp932(const QByteArray &bytes);
// Encodes to CP932. `lossless`, when given, is set to false if some character
// has no CP932 form (it is then written as a substitute).
QByteArray encodeCp932(const QString &text, bool *lossless = nullptr);
// True when the bytes are well-formed UTF-8 (pure ASCII included).
bool isValidUtf8(const QByteArray &bytes);
