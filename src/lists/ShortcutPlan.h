#pragma once
// What the shortcut dialog decides: which folder or history list a launcher
// starts the viewer on, under what name, and where the launcher is written.
// The dialog shows the texts and forwards the user's choices here.
#include "lists/ShortcutFile.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

struct Settings;
class Prompter;

inline const QString kBadFolderText = QStringLiteral("画像フォルダ名が不適切です。");
inline const QString kOverwriteQuestion = QStringLiteral("上書きで作成してもいいですか？");
inline const QString kCreateFailedText = QStringLiteral("ショートカットの作成に失敗しました。");
inline const QString kDropFolderText = QStringLiteral("ボタンに、フォルダをドラッグ＆ドロップしてください。");
inline const QString kNumberingErrorText = QStringLiteral("連番エラーです。");
inline const QString kSlashInNameText = QStringLiteral("ショートカット名に「/」は使えません。");
inline const QString kBadNameText = QStringLiteral("ショートカット名が不適切です。");

// `proposed` when no file of that name exists, otherwise the first free
// "<folder><base>_[001]<ext>", "_[002]", ... (plain digits from 1000 on).
// After `maxTries` taken names it reports "連番エラーです。" and returns "".
QString UniqueFileName(const QString &proposed, Prompter &prompter,
                       const std::function<bool(const QString &)> &exists = {}, qint64 maxTries = 2147000000);

// The last name of a folder or file without its extension; a trailing
// separator is ignored ("/photos/trip/" gives "trip").
QString ShortcutBaseName(const QString &path);
// A launcher name as typed: control characters removed anywhere, blanks
// trimmed at both ends.
QString CleanShortcutName(const QString &name);

// Where launchers can be made: the index of the place radio buttons.
enum ShortcutPlace { PlaceDesktop = 0, PlaceDocuments = 1, PlaceComputer = 2, PlacePictures = 3 };

struct ShortcutPlaces {
    QString desktop, documents, pictures;
    // The user's folders from QStandardPaths.
    static ShortcutPlaces standard();
};

class ShortcutPlan
{
public:
    // History entries are read from `appFolder`; list files made from them
    // are written there too. `viewerPath` is the executable launchers start.
    ShortcutPlan(QString appFolder, QString viewerPath);

    // Fills the history columns from the history files present, in slot
    // order; returns their folders for the drop-down.
    QStringList loadHistory();
    int historyCount() const { return int(files_.size()); }
    QString historyFile(int column) const;   // 1-based column
    QString historyFolder(int column) const; // 1-based column

    // The texts the dialog shows after a choice.
    struct Texts {
        QString folder; // the picture-folder box
        QString name;   // the launcher-name box
    };
    // A folder picked or dropped: the launcher starts on it. A history list
    // chosen before is forgotten, so what the box shows is what runs.
    Texts chooseFolder(const QString &folder);
    // History column `column` (1..count): the launcher will start on a list
    // file made from that entry, named after its folder, made unique.
    Texts chooseHistory(int column, Prompter &prompter);
    // The folder box was edited by hand: it no longer names the chosen list.
    void forgetHistory();

    int pNo() const { return pNo_; }
    const QString &fromFileName() const { return fromFileName_; }
    const QString &toFileName() const { return toFileName_; }

    struct Request {
        QString folder; // the picture-folder box
        QString name;   // the launcher-name box (cleaned and filled in here)
        int place = PlaceDesktop;
        ShortcutChoices choices;
        QLocale locale = QLocale::system(); // how /Time is written
    };
    // Makes the launcher. Every failed check is reported and leaves the plan
    // as it was (request.name may have been trimmed or filled in). On
    // success the ShortCut settings hold the choices and the launcher's path
    // is returned; otherwise the result is empty. `pickFolder` asks for a
    // folder starting at "/" (empty when cancelled) for PlaceComputer.
    QString create(Request &request, Settings &settings, Prompter &prompter, const ShortcutPlaces &places,
                   const std::function<QString()> &pickFolder);

    // The launcher path of the last successful create.
    const QString &appName() const { return appName_; }

private:
    QString destinationFolder(int place, const ShortcutPlaces &places,
                              const std::function<QString()> &pickFolder) const;
    // Writes the list file for the chosen history entry; false on failure.
    bool writeListFromHistory(Prompter &prompter, bool &written);

    QString appFolder_;
    QString viewerPath_;
    QStringList files_;   // history file of each column
    QStringList folders_; // folder of the first picture of each column
    int pNo_ = -1;
    QString fromFileName_;
    QString toFileName_;
    QString proposedList_; // the list file name before it was made unique
    QString appName_;
};
