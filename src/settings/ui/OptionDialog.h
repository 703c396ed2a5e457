#pragma once
// The options dialog "各種設定": slideshow interval, transfer buttons,
// numbering, plug-in folder, external applications, camera naming rules and
// the file-name label. Nothing changes before OK; Cancel discards every edit.
#include "settings/OptionValues.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

struct Settings;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

class TfOption : public QDialog
{
    Q_OBJECT
public:
    // Edits `settings` on OK; `ruleLines` are the camera naming rules, one
    // rule a line. The confirmed lines come back in changes().ruleLines.
    TfOption(Settings &settings, const QStringList &ruleLines, QWidget *parent = nullptr);

    // Shows the dialog modally; the changes when the user pressed OK.
    static std::optional<OptionResult> run(Settings &settings, const QStringList &ruleLines, QWidget *parent);

    // Asks for a file or folder: (title, start folder) -> path, empty when
    // cancelled. Qt's file dialogs unless replaced (tests script them).
    using Picker = std::function<QString(const QString &title, const QString &startDir)>;
    void setFilePicker(Picker picker) { pickFile_ = std::move(picker); }
    void setFolderPicker(Picker picker) { pickFolder_ = std::move(picker); }

    // What OK changed (valid once the dialog was accepted).
    const OptionResult &changes() const { return result_; }

    void accept() override;

private:
    QWidget *buildIntervalRow();
    QWidget *buildCountsRow();
    QWidget *buildApplications();
    QWidget *buildPluginFolder();
    QWidget *buildRules();
    QWidget *buildLabel();
    void load(const OptionValues &v);
    OptionValues collect() const;

    void showApps(int selected);
    void addApp();
    void deleteApp();
    void moveApp(int delta);
    void pickPluginFolder();
    void addRule();
    void deleteRules();

    Settings &settings_;
    const QStringList oldRuleLines_;
    QStringList apps_; // ListBox1's entries
    QString SetPath;   // start folder of the plug-in folder picker
    Picker pickFile_;
    Picker pickFolder_;
    OptionResult result_;

    QSpinBox *SpinEdit1 = nullptr;
    QSpinBox *SpinEdit3 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QComboBox *ComboBox2 = nullptr;
    QRadioButton *numberingOn = nullptr;
    QRadioButton *numberingOff = nullptr;
    QCheckBox *companions = nullptr;
    QSpinBox *prefetchMiB = nullptr;
    QListWidget *ListBox1 = nullptr;
    QListWidget *ListBox2 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QLineEdit *Edit2 = nullptr;
    std::array<QRadioButton *, OptionValues::kLabelPositions> RadioButton{};
    QButtonGroup *labelGroup = nullptr;
    QComboBox *FontNameBox = nullptr;
    QSpinBox *SpinEdit2 = nullptr;
};
