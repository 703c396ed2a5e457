#include "fileops/ui/RenameFlow.h"

#include "fileops/RenameModes.h"
#include "fileops/ui/RenameDialog.h"

#include <QPointer>

void NameChangeDlg(const RenameContext &ctx, QWidget *parent)
{
    if (ctx.host.open || ctx.list.isEmpty())
        return;
    QPointer<TfRename> dlg = new TfRename(ctx, parent);
    RenameModeCheck(ctx);
    if (dlg->prepare())
        dlg->exec();
    delete dlg; // null already when the parent went away meanwhile
}

void MenuItem1Click(const RenameContext &ctx, int tag, QWidget *parent)
{
    ctx.settings.RenameMode = uint8_t(ValidRenameMode(tag - 1));
    if (!ctx.host.open)
        NameChangeDlg(ctx, parent);
    else
        ctx.host.open->modeChosen();
}

void RenameModeCheck(const RenameContext &ctx)
{
    if (RenameModeCheck(ctx.settings.RenameMode, ctx.PictureIndex) && ctx.host.open)
        ctx.host.open->restartNumbering();
    RenameModeCaptionSet(ctx, RenameModeName(ctx.settings.RenameMode));
}

void RenameModeCaptionSet(const RenameContext &ctx, const QString &name)
{
    if (ctx.ToolBoxCaption)
        ctx.ToolBoxCaption(name);
    if (ctx.host.open)
        ctx.host.open->setModeCaption(name);
}
