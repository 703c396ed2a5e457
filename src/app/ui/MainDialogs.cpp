#include "app/ui/MainDialogs.h"

#include "app/Viewer.h"
#include "app/ui/DisplaySurface.h"
#include "app/ui/PictureView.h"
#include "common/ui/AboutBox.h"
#include "common/ui/HelpViewer.h"
#include "decode/LoadPicture.h"
#include "decode/ui/OpenPictureDialog.h"
#include "desktop/ui/ClipboardCopy.h"
#include "fileops/RenameModes.h"
#include "fileops/ui/JournalDialog.h"
#include "fileops/ui/RenameDialog.h"
#include "fileops/ui/RenameFlow.h"
#include "fileops/ui/ToolBox.h"
#include "lists/ui/ShortcutDialog.h"
#include "settings/ui/OptionDialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

MainDialogs::MainDialogs(Context context) : QObject(context.window), ctx_(std::move(context))
{
    PopupMenu3 = new QMenu(ctx_.window);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    for (const RenameMenuItem &item : RenameModeMenu()) {
        QAction *a = PopupMenu3->addAction(item.caption);
        a->setObjectName(item.objectName);
        const int tag = item.tag;
        connect(a, &QAction::triggered, this, [this, tag] {
            MenuItem1Click(renameContext(), tag, ctx_.window);
            ctx_.refocus();
        });
    }
}

void MainDialogs::addCommands(CommandTable &c)
{
    c.setRun(ActionId::fileopen1, [this] { openPictureFiles(); });
    c.setRun(ActionId::OpenFolder1, [this] { openFolder(); });
    c.setRun(ActionId::Help1, [this] { TfHelpViewer::open(ctx_.window, ctx_.viewer.state().settings.Help); });
    c.setRun(ActionId::about1, [this] { TfAbout::showAbout(ctx_.window); });
    c.setRun(ActionId::fNameChange1, [this] { renamePictures(); });
    c.setRun(ActionId::clipcopy1, [this] { copyToClipboard(); });
    c.setRun(ActionId::Journal1, [this] { showJournal(); });
    c.setRun(ActionId::option1, [this] { showOptions(); });
    c.setRun(ActionId::ShortcutCreate, [this] { makeLauncher(); });
}

void MainDialogs::openPictureFiles()
{
    Viewer &v = ctx_.viewer;
    OpenPictureDialog dialog(v.formats(), std::as_const(v).state().PictureFilter, ctx_.window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    v.open(v.listOps().openFiles(dialog.selectedFiles()));
}

void MainDialogs::openFolder()
{
    Viewer &v = ctx_.viewer;
    QString start = std::as_const(v).state().settings.Window.LastDir;
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start.clear();
    const QString dir = QFileDialog::getExistingDirectory(ctx_.window, QStringLiteral("フォルダを開く"), start);
    v.open(v.listOps().openFolder(dir.isEmpty() ? std::nullopt : std::optional<QString>(dir)));
}

void MainDialogs::showOptions()
{
    // The dialog edits a copy; OK hands it to the viewer, Cancel drops it.
    Settings edited = std::as_const(ctx_.viewer).state().settings;
    if (const auto changes = TfOption::run(edited, ctx_.viewer.settings().ruleLines(), ctx_.window))
        ctx_.viewer.settings().applyOptions(edited, *changes);
}

void MainDialogs::makeLauncher()
{
    const ViewerState &st = std::as_const(ctx_.viewer).state();
    Settings edited = st.settings;
    TfShortCut::run(edited, ctx_.appFolder, QCoreApplication::applicationFilePath(), !st.list.isEmpty(),
                    ctx_.prompter, ctx_.window);
    // The launcher dialog's own settings are kept whether or not a launcher was made.
    ctx_.viewer.settings().keepShortcut(edited.ShortCut);
}

RenameContext MainDialogs::renameContext()
{
    // The one window that edits the list in place: a rename changes the
    // names the list holds, file by file, while the dialog is open.
    Viewer &v = ctx_.viewer;
    ViewerState &st = v.state();
    return RenameContext{st.list,
                         st.PictureIndex,
                         st.settings,
                         v.settings().rules(),
                         ctx_.prompter,
                         &v.journal(),
                         renameHost_,
                         [&v] { v.Picture(); },
                         [&v](const QString &name) { v.display().showName(name); },
                         [&v] { return std::as_const(v).state().FullScreen; },
                         [this](const QString &name) {
                             if (TToolBox *box = ctx_.toolBox())
                                 box->setRenameCaption(name);
                         }};
}

void MainDialogs::showJournal()
{
    JournalDialog dialog(ctx_.viewer.journal(), ctx_.window);
    connect(&dialog, &JournalDialog::stepsTaken, &ctx_.viewer, &Viewer::stepsTaken);
    dialog.exec();
}

void MainDialogs::renamePictures()
{
    const ViewerState &st = std::as_const(ctx_.viewer).state();
    if (st.list.isEmpty() || renameHost_.open)
        return;
    // Renaming walks the pictures in name order (the tool box's order
    // button follows).
    if (st.SortOrder != PlayOrder::Name)
        ctx_.viewer.sortBy(PlayOrder::Name);
    NameChangeDlg(renameContext(), ctx_.window);
    ctx_.refocus();
}

void MainDialogs::copyToClipboard()
{
    // In full screen the picture there is the one shown.
    const PictureView *v = ctx_.surfaceShown()->view(0);
    // The view holds the picture at the size shown; the clipboard gets the
    // file's own pixels, turned as on screen (within the decoding budget).
    const PictureData &shown = v->picture();
    QImage image = shown.image;
    PictureData full;
    LoadOptions options;
    options.autoRotate = std::as_const(ctx_.viewer).state().AutoRotate;
    if (!shown.isNull() && image.size() != shown.naturalSize && LoadPictureFile(v->hint(), full, options))
        image = full.image;
    CopyPictureToClipboard(image, v->hint(), ctx_.prompter);
}
