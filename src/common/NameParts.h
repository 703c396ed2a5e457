#pragma once
// Pieces of file names as the rename dialog and the camera rules see them.
#include <QString>
#include <optional>

struct NameAndExt {
    QString name; // without the extension
    QString ext;  // from the last dot on, dot included; empty without a dot
};

// Splits a file name (no folder) at its last dot: "a.b.jpg" -> "a.b" + ".jpg",
// "photo." -> "photo" + ".", "README" -> "README" + "".
NameAndExt SplitExt(const QString &fileName);

// "0" repeated `width` times + text, of which the last `width` characters
// remain: ("7", 3) -> "007", ("12345", 3) -> "345". Nothing for width <= 0.
QString ZeroPad(const QString &text, int width);
QString ZeroPad(int number, int width);

// A decimal integer with an optional sign, leading and trailing blanks
// allowed; nothing when the text is anything else or out of range.
std::optional<int> ParseInt(const QString &text);
inline int TextToInt(const QString &text, int fallback)
{
    return ParseInt(text).value_or(fallback);
}

// True when each of the first n characters of text is "0".."9" (a shorter
// text fails). `value`, when given, receives the whole text as an integer,
// -1 when it does not convert.
bool IsDigits(const QString &text, int n, int *value = nullptr);
