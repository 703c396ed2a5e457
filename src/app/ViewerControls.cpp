#include "app/ViewerControls.h"

#include "app/Viewer.h"
#include "common/Prompter.h"
#include "fileops/ToolBoxLayout.h"
#include "platform/FileTree.h"

#include <QDir>

void ViewerControls::add(Viewer &v)
{
    using Id = ControlId;
    CommandTable &c = v.commands_;
    ViewerState &state = v.state_;
    Settings &s = state.settings;
    c.setControl(Id::Step, [&v](const ControlArg &a) {
        v.runInput({a.n > 0 ? InputCommand::StepForward : InputCommand::StepBack});
    });
    c.setControl(Id::Delete, [&v, &s](const ControlArg &) {
        if (s.Tool.State == 0) // single pages only
            v.runInput({InputCommand::DeleteCurrent});
    });
    c.setControl(Id::Reshuffle, [&v, &state](const ControlArg &) {
        if (state.SortOrder == PlayOrder::Random)
            v.sortBy(PlayOrder::Random);
    });
    // Settings of the display: they take effect at once.
    c.setControl(Id::Zoom, [&v, &s](const ControlArg &a) {
        s.Option.Zoom = a.n != 0;
        v.settings_.apply();
    });
    c.setControl(Id::AutoRotate, [&v, &state](const ControlArg &a) {
        state.AutoRotate = a.n != 0;
        v.settings_.apply();
    });
    c.setControl(Id::DisplayForm, [&v, &s](const ControlArg &a) {
        s.Tool.State = uint8_t(qBound(0, a.n, 2));
        v.settings_.apply();
    });
    c.setControl(Id::Orientation, [&v, &s](const ControlArg &a) {
        s.Tool.Orient = uint8_t(a.n != 0);
        v.settings_.apply();
    });
    c.setControl(Id::FullScreen, [&v, &state](const ControlArg &a) {
        if (state.FullScreen != (a.n != 0))
            v.commands_.run(ActionId::Max1);
        v.pending_.commands = true;
        v.refresh();
    });
    c.setControl(Id::Position, [&v, &state](const ControlArg &a) {
        if (a.n == state.PictureIndex || a.n < 0 || a.n >= state.list.count())
            return;
        state.PictureIndex = a.n;
        v.pending_.paint = true;
        v.refresh();
    });
    c.setControl(Id::SortBy, [&v](const ControlArg &a) { v.sortBy(PlayOrder(a.n)); });
    // Sorting: copy or move (CMcheck follows), and the transfer switch
    // (Xfer follows): menu rows and tool box controls alike.
    auto setCopy = [&v, &s](bool copy) {
        s.Option.Copy = copy;
        v.pending_.toolBox = true;
        v.pending_.commands = true;
        v.refresh();
    };
    c.setControl(Id::CopyMode, [setCopy](const ControlArg &a) { setCopy(a.n != 0); });
    c.set(
        ActionId::CopyMode1, [setCopy] { setCopy(true); }, [] { return true; }, [&s] { return s.Option.Copy; });
    c.set(
        ActionId::MoveMode1, [setCopy] { setCopy(false); }, [] { return true; }, [&s] { return !s.Option.Copy; });
    c.set(
        ActionId::Transfer1,
        [&v, &s] {
            s.Option.Open = !s.Option.Open;
            v.pending_.toolBox = true;
            v.pending_.commands = true;
            v.refresh();
        },
        [&v] { return v.fileOpsEnabled(); }, {}, [&s] { return XferCaption(s.Option.Open); });
    c.setControl(Id::TransferTo, [&v](const ControlArg &a) { v.runInput({InputCommand::Transfer, a.n}); });
    c.setControl(Id::Redisplay, [&v](const ControlArg &) { v.Picture(); });
    // The transfer buttons' folders and captions.
    auto slotAt = [&s](int n) {
        return n >= 0 && n < kMaxTransferSlots ? &s.TransferSlots[size_t(n)] : nullptr;
    };
    auto slotChanged = [&v] {
        v.pending_.toolBox = true;
        v.refresh();
    };
    auto bind = [slotAt, slotChanged](int n, const QString &folder, const QString &caption) {
        if (TransferSlot *slot = slotAt(n)) {
            slot->Folder = folder;
            slot->Caption = caption;
            slotChanged();
        }
    };
    c.setControl(Id::SlotFolder, [bind](const ControlArg &a) { bind(a.n, a.text, FolderCaption(a.text)); });
    c.setControl(Id::SlotRunTime,
                 [bind](const ControlArg &a) { bind(a.n, kRunTimeFolder, kAnyWhereCaption); });
    c.setControl(Id::SlotClear, [bind](const ControlArg &a) { bind(a.n, QString(), kNoneCaption); });
    c.setControl(Id::SlotCaption, [slotAt, slotChanged](const ControlArg &a) {
        if (TransferSlot *slot = slotAt(a.n)) {
            slot->Caption = a.text;
            slotChanged();
        }
    });
    c.setControl(Id::ChooseSlotFolder, [&v, slotAt](const ControlArg &a) {
        const TransferSlot *slot = slotAt(a.n);
        if (!slot)
            return;
        // The picker starts in the slot's folder when it has one.
        QString &start = v.transfer_->SetPath;
        if (QDir::isAbsolutePath(slot->Folder) && IsFolder(slot->Folder))
            start = slot->Folder;
        const QString chosen = v.prompter_.chooseFolder(a.text, start);
        if (!chosen.isEmpty())
            v.commands_.run(ControlId::SlotFolder, {a.n, 0, chosen});
    });
    c.setControl(Id::ToolPlace, [&s](const ControlArg &a) {
        s.Tool.Left = a.n;
        s.Tool.Top = a.m;
    });
}
