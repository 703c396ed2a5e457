#pragma once
// The tool box below its divider: undo, drag-out, copy and move, and the
// numbered transfer buttons with their menu (bind a folder, ask at run time,
// clear, edit the caption in place).
#include <QIcon>
#include <QWidget>
#include <vector>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class ToolBoxHost;

class ToolBoxTransferArea : public QWidget
{
    Q_OBJECT
public:
    // `top` is the divider's top in the tool box.
    ToolBoxTransferArea(ToolBoxHost &host, int top, QWidget *toolBox);

    // Builds `n` labels and buttons from the current slots (none for 0).
    void ButtonCreate(int n);
    int buttonCount() const { return int(ArBitBtn1.size()); }
    QPushButton *button(int slot) const { return ArBitBtn1.at(size_t(slot)); }
    QLabel *label(int slot) const { return ArLabel1.at(size_t(slot)); }
    // The slot whose button is `w`; -1 for anything else.
    int slotOf(const QWidget *w) const;

    // The face of slot `slot`'s button from its caption and folder.
    void ButtonFaceSet(int slot);
    // Binds `folder` to slot `slot` (menu or drop).
    void bindFolder(int slot, const QString &folder);

    // The popup menu of the transfer buttons, acting on SlotIndex.
    QMenu *popupMenu() const { return PopupMenu1; }
    int SlotIndex() const { return SlotIndex_; }
    void setSlotIndex(int slot) { SlotIndex_ = slot; }
    void ChoiceFolder();
    void RunChoiceClick();
    void FolderErase();
    void ButtonNameClick();
    // Ends the in-place caption editing, keeping what was typed.
    void myEditExit();
    QLineEdit *captionEdit() const { return myEdit; }
    bool editing() const;

    // Copy or move, and the undo button, as the viewer's state says.
    void showState();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clearButtons();
    void BtnCMCheck(int tag);
    void transferClick(int slot);
    void showPopup(int slot, QPoint globalPos);
    void setTitle(const QString &title);

    ToolBoxHost &host_;
    int top_;
    QIcon bFolder; // glyph of a button bound to a folder
    QIcon bTree;   // of a button that asks for its folder
    QToolButton *TurnbackBtn = nullptr;
    QPushButton *FileCopy1 = nullptr;
    QToolButton *BtnCopy = nullptr;
    QToolButton *BtnMove = nullptr;
    QLineEdit *myEdit = nullptr;
    QMenu *PopupMenu1 = nullptr;
    std::vector<QLabel *> ArLabel1;
    std::vector<QPushButton *> ArBitBtn1;
    int SlotIndex_ = 0;
    int EditSlotIndex = 0;
};
