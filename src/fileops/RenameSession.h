#pragma once
// The rename dialog without widgets: which controls show what for the
// current mode and picture, and which new name a change gives. The dialog
// copies the user's input into `form` before asking for a name and shows
// `form` after each layout.
#include "fileops/DcimRules.h"

#include <QString>
#include <QStringList>

// How the name row is arranged; the dialog turns this into positions.
enum class RenameRow {
    Free,          // Edit1 alone
    NumberBack,    // Edit1 "_" SpinEdit1 ext
    NumberFront,   // SpinEdit1 "_" Edit1 ext
    Preview,       // Label4 alone (numbering continued, copy automatic)
    LabelThenEdit, // Label4 Edit1 ext (text added at the back)
    EditThenLabel, // Edit1 Label4 ext (text added at the front)
};

struct RenameForm {
    QString Label1;           // the question line
    QString Label2;           // the location line
    QString Label3;           // the extension
    QString Label4;           // fixed part or preview of the new name
    QString Edit1;            // the text the user edits
    int SpinEdit1 = 0;        // start number of numbering
    int SpinEdit2 = 3;        // digit count of numbering
    bool CheckBox1 = false;   // "共通文字変更"
    bool RadioButton2 = true; // "後方追加" (RadioButton1 "前方追加" is its opposite)
    RenameRow row = RenameRow::Free;
    bool edit1Visible = true, label3Visible = true, label4Visible = false, label5Visible = false;
    bool spin1Visible = false, spin2Visible = false, label6Visible = false;
    bool bitBtn5Visible = false, radiosVisible = false, checkBox1Visible = false;
};

class RenameSession
{
public:
    static constexpr int kSpin1Min = 0, kSpin1Max = 99999;
    static constexpr int kSpin2Min = 1, kSpin2Max = 5;
    static constexpr int kCameraNameLength = 8; // DCF file names: 4 letters + 4 digits
    static inline const QString kFirstPictureInfo =
        QStringLiteral("画像先頭では、この名前変更モードは使用できません。");

    enum class Outcome {
        Shown,        // the form is ready
        Close,        // the mode cannot work here: close the dialog
        InfoAndClose, // tell kFirstPictureInfo, then close
        StepAndClose, // go to the next picture, then close
    };

    RenameForm form;

    // Fields of the dialog, named as the user-facing behaviour describes them.
    QString OrgfName;      // full path of the current picture
    QString OrgPath;       // its folder with trailing "/"
    QString OrgFile;       // its file name without extension
    QString Ext;           // its extension with the dot, may be empty
    QString AddStr;        // text copied from the previous picture's name
    QString preInput;      // Edit1's text at the last change
    QString FixedFileName; // fixed text of numbering
    QString NewFile;       // the new name of the last change
    int Numbering = 0;     // next number of numbering
    int NumberDigits = 3;  // digit count of numbering
    bool AddWay = true;    // true: add at the back
    bool NumberStartFlag = false;

    // Lays the form out for `mode` and the picture at `index`.
    Outcome FileNameSet(int mode, const QStringList &list, int index, const DcimRuleTable &rules);

    // The new file name (with extension) that a change gives in `mode`, from
    // the form's current input. Numbering moves on to the next number.
    QString NewName(int mode);

private:
    void layoutFree();
    void layoutNumbering();
    void layoutAddText();
    Outcome layoutCopyEdit(const QString &prev, const DcimRuleTable &rules);
    Outcome layoutCopyAuto(const QString &prev, const DcimRuleTable &rules);
    QString numberedName() const;
};
