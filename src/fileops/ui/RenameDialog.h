#pragma once
// "画像ファイル名変更": renames the pictures of the list one after another,
// proposing each new name by the chosen rename mode. Modal; the display
// follows its steps. The naming itself lives in RenameSession.
#include "fileops/RenameSession.h"
#include "fileops/ui/RenameContext.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TfRename : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 450, kClientHeight = 224;

    // Registers itself as ctx.host.open until destroyed.
    TfRename(const RenameContext &ctx, QWidget *parent = nullptr);
    ~TfRename() override;

    // The steps before the dialog is first shown. False when the current mode
    // could not be used and the dialog has already closed.
    bool prepare();

    // The mode name on the mode panel.
    void setModeCaption(const QString &name);
    // Numbering starts afresh from the current picture at the next layout.
    void restartNumbering() { session_.NumberStartFlag = true; }
    // A mode was chosen from the mode menu while the dialog is open.
    void modeChosen();

    // The name prompt of the transfer's same-name choice "変更後、実行": asks
    // for a new name for `takenPath` in its folder. Returns the name (an
    // entered name without extension gets the old one's) or empty when the
    // user cancelled or gave none. Never touches any open rename dialog.
    static QString AskNewName(QWidget *parent, const QString &takenPath, Prompter &prompter);

    const RenameSession &session() const { return session_; }
    bool closed() const { return closed_; }

protected:
    void done(int r) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    enum class Purpose { Rename, AskName };
    TfRename(const RenameContext &ctx, QWidget *parent, Purpose purpose);

    void BitBtn1Click(int tag); // change, then the next picture (tag 1: then copy automatically)
    void BitBtn3Click();        // previous picture
    void BitBtn4Click();        // next picture
    void Panel1Click();
    void RadioButton0Click();
    void CheckBox1Click(bool checked);

    void buildControls();
    void placeFixedControls();
    void FileNameSet();
    void applyForm();
    void placeNameRow();
    void readInput();
    void stepTo(int index);
    void updateStepButtons();
    void focusEdit();
    int lastIndex() const;
    int mode() const;
    void acceptAskedName();
    bool imeOpen() const;
    void openIme();
    void closeIme();

    RenameContext ctx_;
    Purpose purpose_ = Purpose::Rename;
    RenameSession session_;
    int CountMax = 0;
    bool closed_ = false;
    QString askedName_;

    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BitBtn3 = nullptr, *BitBtn4 = nullptr,
                *BitBtn5 = nullptr;
    QSpinBox *SpinEdit1 = nullptr, *SpinEdit2 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr,
           *Label6 = nullptr, *Panel1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr;
};
