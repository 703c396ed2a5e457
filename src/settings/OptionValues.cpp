#include "settings/OptionValues.h"

#include "settings/Settings.h"

#include <algorithm>

OptionValues LoadOptionValues(const Settings &s, const QStringList &ruleLines)
{
    OptionValues v;
    v.seconds = std::clamp(int(s.Option.Interval), 0, OptionValues::kMaxSeconds);
    v.milliseconds = std::clamp(int(s.Option.IntervalM), 0, OptionValues::kMaxMilliseconds);
    v.nButton = std::clamp(int(s.Option.nButton), 1, OptionValues::kMaxButtons);
    v.seqDigits = std::clamp(int(s.Option.SeqDigits), 1, OptionValues::kMaxSeqDigits);
    v.numbering = s.Option.Numbering;
    v.companions = s.Option.Companions;
    v.prefetchMiB =
        std::clamp(int(s.Option.PrefetchMiB), OptionValues::kMinPrefetchMiB, OptionValues::kMaxPrefetchMiB);
    v.pluginDir = s.SusieDir;
    v.apps = s.AppList.mid(0, kMaxApps);
    v.ruleLines = ruleLines;
    const int flag = s.fnLabel.flag;
    v.labelFlag = flag >= 0 && flag < OptionValues::kLabelPositions ? flag : -1;
    v.fontName = s.fnLabel.fnlFontName;
    // 0 means "not set"; a negative size means nothing either.
    const int size = s.fnLabel.fnlFontSize;
    v.fontSize = size <= 0 ? OptionValues::kDefaultFontSize : std::min(size, OptionValues::kMaxFontSize);
    return v;
}

OptionResult StoreOptionValues(const OptionValues &v, Settings &s, const QStringList &oldRuleLines)
{
    OptionResult r;
    OptionSettings &o = s.Option;

    const int ms = v.seconds == 0 && v.milliseconds == 0 ? 100 : v.milliseconds;
    r.intervalChanged = o.Interval != v.seconds || o.IntervalM != ms;
    o.Interval = v.seconds;
    o.IntervalM = ms;

    if (o.nButton != v.nButton) {
        o.nButton = uint8_t(v.nButton);
        r.nButtonChanged = true;
    }
    o.SeqDigits = uint8_t(v.seqDigits);
    o.Numbering = v.numbering;
    o.Companions = v.companions;
    const int prefetch =
        std::clamp(v.prefetchMiB, OptionValues::kMinPrefetchMiB, OptionValues::kMaxPrefetchMiB);
    r.prefetchChanged = o.PrefetchMiB != prefetch;
    o.PrefetchMiB = prefetch;

    r.pluginDirChanged = s.SusieDir != v.pluginDir;
    s.SusieDir = v.pluginDir;

    const QStringList apps = v.apps.mid(0, kMaxApps);
    r.appsChanged = s.AppList != apps;
    s.AppList = apps;

    r.ruleLines = v.ruleLines;
    r.rulesChanged = v.ruleLines != oldRuleLines;

    TfnLabel &l = s.fnLabel;
    const bool wasShown = s.Window.FileNameShown;
    const TfnLabel before = l;
    if (v.labelFlag >= 0)
        l.flag = v.labelFlag;
    l.fnlFontName = v.fontName;
    l.fnlFontSize = v.fontSize;
    if (l.flag == 0)
        s.Window.FileNameShown = false;
    r.labelChanged = l.flag != before.flag || l.fnlFontName != before.fnlFontName ||
                     l.fnlFontSize != before.fnlFontSize || s.Window.FileNameShown != wasShown;
    return r;
}

void AddApplication(QStringList &apps, const QString &path)
{
    while (apps.size() >= kMaxApps)
        apps.removeFirst();
    apps.append(path);
}

QStringList LabelFontFamilies(const QStringList &families)
{
    QStringList out;
    for (const QString &f : families) {
        if (!f.startsWith(u'@'))
            out << f;
    }
    std::sort(out.begin(), out.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return out;
}

int MillisecondsAfterSecondsChange(int seconds, int milliseconds)
{
    return seconds == 0 && milliseconds == 0 ? 100 : milliseconds;
}
