#pragma once
// The dialog "ショートカットの作成": makes a launcher that starts the viewer
// on a picture folder, or on a list file made from a history entry, with
// slideshow switches. Closes with OK only after a launcher was written.
#include "lists/ShortcutPlan.h"

#include <QDialog>
#include <functional>

struct Settings;
class Prompter;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;

class TfShortCut : public QDialog
{
    Q_OBJECT
public:
    // `appFolder` holds the history files (and receives list files);
    // `viewerPath` is the executable the launcher starts; `listShown` is
    // true when pictures are on show (the newest history entry is then
    // preselected). The ShortCut settings are written on success only.
    TfShortCut(Settings &settings, const QString &appFolder, const QString &viewerPath, bool listShown,
               Prompter &prompter, QWidget *parent = nullptr);

    // The whole command: the dialog, then the sample run when a launcher
    // was made. Returns the launcher's path, empty when none was made.
    static QString run(Settings &settings, const QString &appFolder, const QString &viewerPath,
                       bool listShown, Prompter &prompter, QWidget *parent);

    // The launcher written (empty until then).
    QString appName() const { return plan_.appName(); }
    const ShortcutPlan &plan() const { return plan_; }

    // (title, start folder) -> folder, empty when cancelled. Qt's folder
    // dialog unless replaced (tests script it).
    using Picker = std::function<QString(const QString &title, const QString &startDir)>;
    void setFolderPicker(Picker picker) { pickFolder_ = std::move(picker); }
    // Where the desktop, documents and pictures places are.
    void setPlaces(const ShortcutPlaces &places) { places_ = places; }

protected:
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    QWidget *buildSlideshow();
    QWidget *buildTarget();
    void load(const ShortCutSettings &s);
    ShortcutChoices choices() const;
    void showTexts(const ShortcutPlan::Texts &texts);
    void pickFolder();
    void create();

    Settings &settings_;
    Prompter &prompter_;
    ShortcutPlan plan_;
    ShortcutPlaces places_;
    Picker pickFolder_;
    QString SetPath; // start folder of the folder picker

    QSpinBox *SpinEdit1 = nullptr;
    QSpinBox *SpinEdit3 = nullptr;
    QRadioButton *RadioButton[14] = {}; // 1..13 as named
    QButtonGroup *RadioGroup1 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QLineEdit *Edit2 = nullptr;
};
