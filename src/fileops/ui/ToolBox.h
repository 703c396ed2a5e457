#pragma once
// The tool box "Tool Box": a small window kept above the viewer with the
// controls for sorting pictures: stepping, slideshow, a position slider,
// display switches, the order, rename, delete and, below the divider, the
// transfer area with one numbered button per transfer slot. It exists only
// while shown; the viewer tells it when its state changed.
#include "fileops/ToolBoxView.h"

#include <QWidget>
#include <array>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QMenu;
class QScrollArea;
class QSlider;
class QToolButton;
class ToolBoxHost;
class ToolBoxTransferArea;

class TToolBox : public QWidget, public ToolBoxView
{
    Q_OBJECT
public:
    explicit TToolBox(ToolBoxHost &host, QWidget *parent = nullptr);
    ~TToolBox() override;

    // Shows the window where the settings put it, kept on the desktop;
    // `stayBelow`: a line on the screen it keeps below while it is placed,
    // shorter if need be.
    void open(std::optional<int> stayBelow = std::nullopt);
    // Does ahead what showing needs but the map itself: styles, fonts and
    // layout of the controls, and the native window.
    void prepare();
    // Tool.Left and Tool.Top := where the window is.
    void storePosition();
    // Closes without telling anyone (the main window is closing).
    void closeQuietly();

    // ---- ToolBoxView ----
    void Active() override;
    void showState() override;
    void choosingFolder() override;

    // The rename button shows the rename mode's name.
    void setRenameCaption(const QString &name);
    // Opens or closes the transfer area as Option.Open says (rebuilt only
    // when it or the number of buttons changed, unless `force`).
    void Panel(bool force = false);

    ToolBoxTransferArea *transferArea() const { return area_; }
    int DivideTop() const { return divideTop_; }

signals:
    // The user closed the window (close box, F3 is the owner's own).
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createSwitches();
    void createSplitButtons();
    QToolButton *glyphButton(const char *name, const QString &glyph, int glyphSize, QRect bounds);
    void enableControls();
    void watchPointer(QWidget *w);
    // FitToDesktop, and again once a scroll bar made it wider.
    void fitToDesktop();

    void BtnClick(int tag);
    void TrackBarChange(int position);
    void CheckBox1Click(bool on);
    void CheckBox2Click(bool on);
    void CheckBox3Click(bool on);
    void rgStateClick(int index);
    void rgOrientClick(int index);
    void Button1Click();
    void list_click(int tag);
    void SortCaptionSet(int order);
    void BtnDoorClick();

    ToolBoxHost &host_;
    int divideTop_;
    bool quiet_ = false;
    bool fitOnFrame_ = false; // fitted before the window manager framed it
    std::optional<int> stayBelow_;
    bool built_ = false; // the transfer area was built once
    bool builtOpen_ = false;
    int builtButtons_ = -1; // none built yet

    QToolButton *BackBtn = nullptr;
    QToolButton *AutoBtn = nullptr;
    QToolButton *FrontBtn = nullptr;
    QSlider *TrackBar = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QCheckBox *CheckBox3 = nullptr;
    QGroupBox *rgState = nullptr;
    QGroupBox *rgOrient = nullptr;
    QButtonGroup *stateGroup = nullptr;
    QButtonGroup *orientGroup = nullptr;
    QToolButton *Button1 = nullptr;
    QMenu *PopupMenu2 = nullptr;
    QToolButton *fNameBtn = nullptr;
    QToolButton *BtnDoor = nullptr;
    QToolButton *DeleteBtn = nullptr;
    ToolBoxTransferArea *area_ = nullptr;
    QScrollArea *scroll_ = nullptr;
    QWidget *content_ = nullptr; // the page the controls are on
};
