// The display step of the main window and what belongs to it: area, slots,
// error labels and the file-name label.
#include "app/Layout.h"
#include "app/Navigation.h"
#include "app/ui/FullScreenWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PictureView.h"
#include "app/ui/QtPrompter.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace
{
const QString kNoPicture = QStringLiteral("表示する画像はありません。");

int fontPixelHeight(const QFont &font, const QWidget *w)
{
    return qRound(font.pointSizeF() * w->logicalDpiY() / 72.0);
}
} // namespace

DisplaySurface MainWindow::mainSurface()
{
    // Slot rectangles are laid out in canvas coordinates, which start below
    // the menu bar, so no menu offset is added.
    return DisplaySurface{canvas_, Image, Panel1, 0, false};
}

DisplaySurface MainWindow::currentSurface()
{
    if (fMax_)
        return fMax_->surface();
    return mainSurface();
}

void MainWindow::ComputeArea(bool spread)
{
    if (state_.QuitRequested)
        return;
    const DisplaySurface s = currentSurface();
    for (PictureView *v : s.image)
        v->clear();
    QSize area;
    if (fMax_)
        area = layout::ComputeArea(spread, fMax_->size());
    else
        area = layout::ComputeArea(spread, size(), statusBar()->isHidden() ? 0 : statusBar()->height(),
                                   menuBar()->isHidden() ? 0 : menuBar()->height());
    state_.AreaWidth = area.width();
    state_.AreaHeight = area.height();
}

// One display slot in device pixels: what is decoded now and ahead of time.
LoadOptions MainWindow::slotLoadOptions()
{
    const qreal dpr = currentSurface().window->devicePixelRatioF();
    LoadOptions options;
    options.maxSize = QSize(qCeil(state_.AreaWidth * dpr), qCeil(state_.AreaHeight * dpr));
    options.autoRotate = state_.AutoRotate;
    return options;
}

bool MainWindow::loadSlot(const QString &path, PictureData &picture)
{
    return cache_.get(path, slotLoadOptions(), picture);
}

void MainWindow::hideErrorLabels()
{
    errChr[0]->hide();
    errChr[1]->hide();
}

void MainWindow::showErrorLabel(int slot)
{
    QLabel *label = errChr[slot];
    const QFontMetrics fm(label->font());
    const QPoint p =
        layout::ErrorLabelPosition(slot, QSize(state_.AreaWidth, state_.AreaHeight),
                                   label->font().pixelSize(), fm.horizontalAdvance(label->text()), 0);
    label->adjustSize();
    label->move(p);
    label->show();
    label->raise();
}

void MainWindow::Picture()
{
    if (state_.ComMax) {
        hide();
        RestoreWindow();
        if (!isVisible())
            state_.ComMax = false;
    }
    activationArmed_ = false;
    Pictures[0].clear();
    Pictures[1].clear();
    std::array<bool, 2> ok{true, true};

    if (state_.list.isEmpty()) {
        refreshToolBox();
        if (state_.ListActive) {
            prompter_->beep();
            prompter_->error(kNoPicture);
            ImageCls();
        }
        return;
    }
    listOps_->NormalizeIndex();
    listOps_->PruneMissing();
    if (state_.list.isEmpty()) {
        // Every file of an active list vanished: say so once, then clear.
        if (state_.ListActive) {
            prompter_->beep();
            prompter_->error(kNoPicture);
        }
        ImageCls();
        return;
    }

    const int count = state_.list.count();
    const int index = state_.PictureIndex;
    const QString P = state_.list.at(index);
    setWindowTitle(QStringLiteral("%1 -- [%2/%3] %4").arg(kAppTitle).arg(index + 1).arg(count).arg(P));

    const DisplaySurface surface = currentSurface();
    const int toolState = state_.settings.Tool.State;
    const layout::SlotPlan plan = layout::PlanSlots(toolState, state_.settings.Tool.Orient, index, count);
    std::array<QString, 2> slotPath;
    QString lastRead;

    if (toolState == 0) {
        hideErrorLabels(); // left over from a spread
        slotPath[0] = P;
        if (!loadSlot(P, Pictures[0])) {
            Image[0]->clear();
            surface.image[0]->clear();
            prompter_->beep();
            return;
        }
        lastRead = P;
    } else {
        for (int slot = 0; slot < 2; ++slot) {
            if (!plan.slotInUse(slot)) {
                errChr[slot]->hide();
                continue;
            }
            slotPath[slot] = state_.list.at(plan.page[slot]);
            PictureData &pic = Pictures[size_t(plan.picture[slot])];
            if (loadSlot(slotPath[slot], pic)) {
                errChr[slot]->hide();
                lastRead = slotPath[slot];
            } else {
                ok[slot] = false;
                showErrorLabel(slot);
            }
        }
    }

    bool shown = false;
    const bool spread = toolState != 0;
    for (int slot = 0; slot < (spread ? 2 : 1); ++slot) {
        PictureView *view = surface.image[slot];
        if (slotPath[slot].isEmpty() || !ok[slot]) {
            view->clear();
            continue;
        }
        const PictureData &pic = spread ? Pictures[size_t(plan.picture[slot])] : Pictures[0];
        const layout::PictureLayout l =
            layout::LayoutPicture(pic.naturalSize, QSize(state_.AreaWidth, state_.AreaHeight),
                                  state_.settings.Option.Zoom, spread, slot, surface.menuBarHeight);
        view->setGeometry(l.rect);
        view->setPicture(pic);
        view->show();
        shown = true;
    }
    if (!spread)
        surface.image[1]->clear();
    if (fMax_ && shown)
        fMax_->raise();

    if (!lastRead.isEmpty())
        ShowFileName(QFileInfo(lastRead).completeBaseName());
    if (shown)
        activationArmed_ = true;
    prefetchAround();
    emit pictureShown();
}

void MainWindow::prefetchAround()
{
    const int count = state_.list.count();
    if (count < 2 || state_.FirstFlag)
        return;
    const uint8_t form = state_.settings.Tool.State;
    QStringList paths;
    auto addPage = [&](int idx) {
        idx = NormalizeIndex(idx, count, form);
        const layout::SlotPlan plan = layout::PlanSlots(form, state_.settings.Tool.Orient, idx, count);
        for (int slot = 0; slot < 2; ++slot)
            if (plan.slotInUse(slot) && !paths.contains(state_.list.at(plan.page[slot])))
                paths << state_.list.at(plan.page[slot]);
    };
    // The next two pages and the previous one: a held key keeps both
    // decoding threads busy, and stepping back is still instant.
    const int next = StepIndex(state_.PictureIndex, true, form);
    addPage(next);
    addPage(StepIndex(NormalizeIndex(next, count, form), true, form));
    addPage(StepIndex(state_.PictureIndex, false, form));
    cache_.prefetch(paths, slotLoadOptions());
}

void MainWindow::ImageCls()
{
    state_.ListActive = false;
    action(ActionId::slideshow1)->setEnabled(false);
    for (PictureView *v : Image) {
        v->clear();
        v->setGeometry(0, 0, 0, 0);
    }
    if (fMax_)
        for (PictureView *v : fMax_->surface().image)
            v->clear();
    hideErrorLabels();
    // No picture, no name.
    for (QLabel *panel : {Panel1, fMax_ ? fMax_->surface().panel : nullptr})
        if (panel) {
            panel->clear();
            panel->hide();
        }
    setWindowTitle(kIdleCaption);
    MenuCheck(false);
}

void MainWindow::MenuCheck(bool flag)
{
    // The rename action arrives with the file-operation tools; the external
    // applications with their launcher.
    Q_UNUSED(flag);
}

void MainWindow::ApplyDisplayMode()
{
    const bool spread = state_.settings.Tool.State != 0;
    Image[1]->setVisible(spread);
    if (fMax_)
        fMax_->surface().image[1]->setVisible(spread);
    EnableFileOps(!spread);
    ComputeArea(spread);
    Picture();
}

void MainWindow::EnableFileOps(bool on)
{
    Q_UNUSED(on);
    // Transfer1 and the tool box buttons arrive with the file-operation tools;
    // until then they stay disabled.
    if (!state_.list.isEmpty())
        MenuCheck(on);
}

void MainWindow::ApplyLabelFont(QLabel *panel)
{
    QFont f(state_.settings.fnLabel.fnlFontName);
    f.setPointSize(qMax(1, state_.settings.fnLabel.fnlFontSize));
    panel->setFont(f);
}

void MainWindow::ShowFileName(const QString &name)
{
    const TfnLabel &lbl = state_.settings.fnLabel;
    if (state_.settings.Tool.State != 0 || lbl.flag == 0)
        return;
    const DisplaySurface s = currentSurface();
    QLabel *panel = s.panel;
    QFont font(lbl.fnlFontName);
    font.setPointSize(qMax(1, lbl.fnlFontSize));
    panel->setText(name);
    panel->setFont(font);
    const int pixelHeight = qAbs(fontPixelHeight(font, panel));
    const QSize natural = layout::FileNameLabelSize(name, pixelHeight);

    layout::LabelWindow win;
    if (fMax_) {
        win.limitWidth = s.window->width();
        win.outerWidth = s.window->width();
        win.height = s.window->height();
    } else {
        win.limitWidth = canvas_->width();
        win.outerWidth = canvas_->width();
        win.height = canvas_->height();
    }
    const QString family = lbl.fnlFontName;
    auto measure = [&](int pt) {
        QFont f(family);
        f.setPointSize(qMax(1, pt));
        return QFontMetrics(f, panel).horizontalAdvance(name);
    };
    const layout::LabelPlacement place =
        layout::PlaceFileNameLabel(lbl.flag, natural, lbl.fnlFontSize, win, measure);
    if (!place.visible)
        return;
    QFont shown(family);
    shown.setPointSize(qMax(1, place.pointSize));
    panel->setFont(shown);
    panel->setGeometry(place.rect);
    panel->raise();
    UpdateLabelVisibility();
}

void MainWindow::UpdateLabelVisibility()
{
    if (state_.settings.fnLabel.flag == 0)
        return;
    QLabel *panel = fMax_ ? fMax_->surface().panel : Panel1;
    panel->setVisible(state_.settings.Tool.State == 0 && state_.settings.Window.FileNameShown);
}

void MainWindow::toggleFileNameLabel()
{
    if (state_.settings.fnLabel.flag == 0)
        return;
    bool &shown = state_.settings.Window.FileNameShown;
    shown = !shown;
    Panel1->setVisible(shown && state_.settings.Tool.State == 0 && !Panel1->text().isEmpty());
    if (fMax_) {
        QLabel *panel = fMax_->surface().panel;
        panel->setVisible(shown && state_.settings.Tool.State == 0 && !panel->text().isEmpty());
    }
}
