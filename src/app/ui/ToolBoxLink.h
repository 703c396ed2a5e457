#pragma once
// The main window's side of the tool box: opens and closes it (ToolBox1),
// and gives it the viewer's state to read and the viewer's commands to run.
#include "fileops/ui/ToolBoxHost.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class KeyRouter;
class MainWindow;
class TToolBox;
class Viewer;

class ToolBoxLink : public QObject, public ToolBoxHost
{
    Q_OBJECT
public:
    // `refocus` gives the keyboard focus back to the pictures.
    ToolBoxLink(MainWindow &main, Viewer &viewer, Prompter &prompter, KeyRouter &keys, std::function<void()> refocus);
    ~ToolBoxLink() override;

    TToolBox *window() const { return box_; }
    bool isOpen() const { return box_ != nullptr || making_; }
    // ToolBox1: closes the tool box when open, else opens it.
    void ToolBox1Execute();
    void open(std::optional<int> stayBelow = std::nullopt);
    void close();
    // The viewer's state changed: the tool box shows it, and stays above
    // whichever of the viewer's windows is up (the full-screen one too).
    void stateChanged();
    // The main window closes: Tool.Left and Tool.Top := the tool box's
    // position (when open), before the settings are saved ...
    void keepPosition();
    // ... and after that the window goes.
    void closeForExit();

    // ---- ToolBoxHost ----
    const ViewerState &model() const override;
    const CommandTable &commands() const override;
    Prompter &prompter() override;
    QMenu *renameModeMenu() override;
    void returnFocus() override;

private:
    void make();
    void show(std::optional<int> stayBelow);
    void showAtStart(std::optional<int> stayBelow);
    void forget();
    void stayAbove(QWidget *window);
    // Decoding ahead waits until the tool box opening at start has painted.
    void holdStartUp();
    void watchFirstPaint();

    MainWindow &main_;
    Viewer &viewer_;
    Prompter &prompter_;
    KeyRouter &keys_;
    std::function<void()> refocus_;
    QPointer<TToolBox> box_;
    QPointer<QWidget> above_; // the full-screen window it is kept above
    bool making_ = false;     // opened at start: built once the main window's map request is out
    bool startUpHeld_ = false; // the start-up waits for its first paint
    bool shown_ = false;       // the tool box made last has been on screen
};
