#pragma once
// The help window: a resizable tool window showing the local help page, with
// home, back, forward, stop and reload buttons. Several may be open at once;
// each stores its geometry into the Help settings when it closes.
#include <QDialog>

struct HelpSettings;
class QPushButton;
class QTextBrowser;
class QToolBar;

class TfHelpViewer : public QDialog
{
    Q_OBJECT
public:
    // Geometry comes from, and on close goes back to, `geometry`, which must
    // outlive the window (the main window's settings record).
    TfHelpViewer(HelpSettings &geometry, QWidget *mainWindow = nullptr);

    // Opens a new help window on the help page and returns without waiting.
    // The window deletes itself when closed.
    static TfHelpViewer *open(QWidget *mainWindow, HelpSettings &geometry);

    // "help.html" beside the executable, else in the installed data folder
    // (also when the installed tree was moved).
    static QString helpFilePath();

    void setHomeFileName(const QString &path) { HomeFileName = path; }
    const QString &homeFileName() const { return HomeFileName; }
    // Shows the start page (or an error page when it is missing).
    void goHome();

    QTextBrowser *browser() const { return WebBrowser1; }

protected:
    void closeEvent(QCloseEvent *e) override;
    void done(int r) override;

private:
    void storeGeometry();

    HelpSettings &geometry_;
    QString HomeFileName;
    QToolBar *ToolBar1;
    QTextBrowser *WebBrowser1;
    QPushButton *BitBtn1;
};
