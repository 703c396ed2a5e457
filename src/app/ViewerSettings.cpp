#include "app/ViewerSettings.h"

#include "app/Viewer.h"
#include "common/Prompter.h"
#include "decode/spi/PluginHost.h"
#include "lists/History.h"

namespace
{
const QString kSettingsNotSaved = QStringLiteral("設定ファイルを保存できませんでした。\n");
const QString kRulesNotSaved = QStringLiteral("命名規則ファイルを保存できませんでした。\n");
const QString kNotWritable =
    QStringLiteral("\n\nファイルまたはフォルダに書き込めません（書き込み禁止、容量不足、またはフォルダがありません）。");
const QString kUnreadableKept =
    QStringLiteral("\n\n読み込めなかったファイルは、内容を失わないように置き換えません。");
} // namespace

ViewerSettings::ViewerSettings(Viewer &viewer, const ViewerFolders &folders)
    : v_(viewer), ruleFile_(folders.application, folders.shippedData)
{
}

void ViewerSettings::readRules()
{
    ruleFile_.load();
    const DcimParseResult parsed = DcimRulesParse(ruleFile_.lines());
    rules_ = parsed.rules;
    if (parsed.badLine > 0)
        v_.prompter_.error(parsed.error);
}

void ViewerSettings::save(const WindowGeometry &geometry, WindowShowState showState)
{
    // The history count is taken again under the lock other instances share.
    const QString &file = v_.folders_.settingsFile;
    if (!SettingsStore(file).save(v_.state_.settings, geometry, showState,
                                  [this](Settings &s) { v_.history_.store().ListCheck(s); })) {
        v_.prompter_.beep();
        v_.prompter_.error(kSettingsNotSaved + file + kNotWritable);
    }
}

bool ViewerSettings::load(const WindowGeometry &windowDefaults)
{
    const bool maximized =
        SettingsStore(v_.folders_.settingsFile).load(v_.state_.settings, windowDefaults, v_.state_.RepeatMode);
    if (v_.state_.settings.fnLabel.flag == 0)
        v_.state_.settings.Window.FileNameShown = false;
    v_.display_.setBudget(v_.state_.settings.Option.PrefetchMiB);
    return maximized;
}

void ViewerSettings::setRuleLines(const QStringList &lines)
{
    const DcimParseResult parsed = DcimRulesParse(lines);
    rules_ = parsed.rules;
    if (parsed.badLine > 0)
        v_.prompter_.error(parsed.error);
    if (!ruleFile_.save(lines)) {
        v_.prompter_.beep();
        v_.prompter_.error(kRulesNotSaved + ruleFile_.path() +
                        (ruleFile_.unreadable() ? kUnreadableKept : kNotWritable));
    }
}

void ViewerSettings::applyDisplayMode()
{
    // A running slideshow keeps the file operations off.
    v_.fileOpsChanged();
    v_.display_.ComputeArea();
    v_.pending_.paint = true;
}

void ViewerSettings::apply()
{
    applyNow();
    v_.refresh();
}

void ViewerSettings::applyNow()
{
    v_.modes_->restartSlideshow();
    if (v_.state_.settings.fnLabel.flag == 0)
        v_.state_.settings.Window.FileNameShown = false;
    v_.display_.updateLabels();
    v_.pending_.commands = true;
    if (v_.state_.ListActive) {
        applyDisplayMode();
    } else {
        v_.fileOpsChanged();
        v_.display_.ComputeArea();
    }
}

void ViewerSettings::applyOptions(const Settings &edited, const OptionResult &changes)
{
    v_.state_.settings = edited;
    v_.apps_.read(v_.state_.settings.AppList);
    v_.host_.appsChanged();
    // The user's plug-in folder (anew), else the program's own as at start.
    const QString &dir = v_.state_.settings.SusieDir.isEmpty() ? v_.folders_.plugins : v_.state_.settings.SusieDir;
    if (!dir.isEmpty())
        v_.plugins_->search(dir);
    v_.state_.PictureFilter = v_.formats_.filter();
    setRuleLines(changes.ruleLines); // at every OK: created when missing
    if (changes.prefetchChanged)
        v_.display_.setBudget(v_.state_.settings.Option.PrefetchMiB);
    v_.pending_.toolBox = true;
    applyNow();
    v_.refresh();
}

void ViewerSettings::keepShortcut(const ShortCutSettings &choices)
{
    v_.state_.settings.ShortCut = choices;
}

void ViewerSettings::toggleLabel()
{
    if (v_.state_.settings.fnLabel.flag == 0)
        return;
    v_.state_.settings.Window.FileNameShown = !v_.state_.settings.Window.FileNameShown;
    v_.display_.updateLabels();
    v_.pending_.commands = true;
    v_.refresh();
}
