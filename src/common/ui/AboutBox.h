#pragma once
// The about box "ﾊﾞｰｼﾞｮﾝ情報": icon, title and version, the author's mark,
// the web and mail addresses (click to open, buttons to copy) and OK.
#include <QDialog>
#include <QIcon>

class TfAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfAbout(QWidget *mainWindow = nullptr);

    // Creates, shows modally and releases the about box.
    static void showAbout(QWidget *mainWindow);

    // "グリマーデック(64bit版)" on a 64-bit build: the real width of this build.
    static QString titleLine();
    static QString webAddress();
    static QString mailAddress();
    // The mailto: link that starts a message with subject and empty body.
    static QString mailUrl();
    // The program's icon: the svg beside the executable or in the installed
    // tree (also when moved), else the icon theme's.
    static QIcon programIcon();

    // Puts the web address (tag 1) or the mail address (tag 2) on the
    // clipboard; any other tag copies nothing.
    static void copyAddress(int tag);

protected:
    void showEvent(QShowEvent *e) override;
};
