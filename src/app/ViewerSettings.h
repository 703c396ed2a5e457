#pragma once
// The viewer's settings at work: read at start and saved at the end, the
// camera naming rules, and the one place where changed settings take effect
// (display form and orientation, zoom, label, slideshow interval, file
// operations, what the options dialog changed). A part of the viewer.
#include "fileops/DcimRules.h"
#include "fileops/RuleFile.h"
#include "settings/OptionValues.h"
#include "settings/SettingsStore.h"

#include <QStringList>

class Viewer;
struct ViewerFolders;

class ViewerSettings
{
public:
    ViewerSettings(Viewer &viewer, const ViewerFolders &folders);

    // Reads the settings; true when the window was stored maximised.
    bool load(const WindowGeometry &windowDefaults);
    // Writes them at the end; a failure is reported.
    void save(const WindowGeometry &geometry, WindowShowState showState);

    // The camera naming rules, as read from "DCIM_rule.dat" at start-up.
    void readRules();
    const DcimRuleTable &rules() const { return rules_; }
    const QStringList &ruleLines() const { return ruleFile_.lines(); }
    // New rule lines (the options dialog): parsed, then written back.
    void setRuleLines(const QStringList &lines);

    // Changed settings take effect, and the screen follows.
    void apply();
    // The same without the refresh (inside a command).
    void applyNow();
    // A confirmed options dialog: its edited settings take over, then the
    // applications, the plug-ins and picture filter, the camera rules, the
    // prefetch budget, the display and its label follow.
    void applyOptions(const Settings &edited, const OptionResult &changes);
    // The launcher dialog's choices, kept for its next opening.
    void keepShortcut(const ShortCutSettings &choices);
    // The display form changed: file operations, picture area, a new paint.
    void applyDisplayMode();
    // FileNameVisible1: the file-name label on or off.
    void toggleLabel();

private:
    Viewer &v_;
    DcimRuleFile ruleFile_;
    DcimRuleTable rules_;
};
