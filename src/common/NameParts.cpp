#include "common/NameParts.h"

#include <limits>

NameAndExt SplitExt(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {fileName, QString()};
    return {fileName.left(dot), fileName.mid(dot)};
}

QString ZeroPad(const QString &text, int width)
{
    if (width <= 0)
        return {};
    const QString padded = QString(width, QLatin1Char('0')) + text;
    return padded.right(width);
}

QString ZeroPad(int number, int width)
{
    return ZeroPad(QString::number(number), width);
}

std::optional<int> ParseInt(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    if (i == t.size())
        return std::nullopt;
    long long v = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c - u'0');
        if (v > std::numeric_limits<int>::max() + 1LL)
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(v);
}

bool IsDigits(const QString &text, int n, int *value)
{
    if (value)
        *value = TextToInt(text, -1);
    if (text.size() < n)
        return false;
    for (int i = 0; i < n; ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    }
    return true;
}
