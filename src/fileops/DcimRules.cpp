#include "fileops/DcimRules.h"

#include "common/NameParts.h"

namespace
{
constexpr qsizetype kQuotedChars = 40;

QString badLineMessage(int lineNo, const QString &whole)
{
    // A long bad line is quoted by its beginning: the box stays readable.
    const QString line = whole.size() > kQuotedChars ? whole.left(kQuotedChars) + QStringLiteral("…") : whole;
    return QStringLiteral("デジカメファイル名規則の %1 行目「%2」の数字桁数が数値ではありません。\n\n"
                          "この行から後の規則は使われません。\n"
                          "書式：アルファベット, 数字桁数(備考)　例：IMG_,4(canon)")
        .arg(lineNo)
        .arg(line);
}
} // namespace

DcimParseResult DcimRulesParse(const QStringList &DcimRuleLines)
{
    DcimParseResult out;
    out.rules.resize(DcimRuleLines.size());
    for (int i = 0; i < DcimRuleLines.size(); ++i) {
        const QString &line = DcimRuleLines[i];
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        const QString top = comma < 0 ? QString() : line.left(comma);
        const QString rest = comma < 0 ? line : line.mid(comma + 1);
        const qsizetype paren = rest.indexOf(QLatin1Char('('));
        // Without "(" the digit count is empty, which is not a number.
        const QString count = paren < 0 ? QString() : rest.left(paren);
        const std::optional<int> keta = ParseInt(count);
        if (!keta) {
            out.badLine = i + 1;
            out.error = badLineMessage(i + 1, line);
            break;
        }
        TDCIMrule &r = out.rules[i];
        r.TopAlpha = top;
        r.NumKeta = *keta;
        r.Bikou = rest.mid(paren);
    }
    return out;
}

DcimMatch DcimRuleMatch(const DcimRuleTable &rules, const QString &name)
{
    for (const TDCIMrule &r : rules) {
        if (r.TopAlpha.isEmpty())
            continue;
        const qsizetype at = name.indexOf(r.TopAlpha);
        if (at < 0)
            continue;
        const QString digits = name.mid(at + r.TopAlpha.size(), qMax(0, r.NumKeta));
        int value = -1;
        if (!IsDigits(digits, r.NumKeta, &value) || value <= 0)
            continue;
        return {int(at) + 1, value, r.NumKeta, int(r.TopAlpha.size()) + r.NumKeta};
    }
    return {};
}
