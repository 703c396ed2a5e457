#include "app/ui/DisplaySurface.h"

#include "app/Viewer.h"
#include "app/ui/GestureFilter.h"
#include "app/ui/PictureView.h"
#include "common/Layout.h"
#include "desktop/ui/DragOut.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QWheelEvent>

namespace
{
const QString kHintText =
    QStringLiteral("画像ファイルを開く (Ctrl+O)\nフォルダを開く (Ctrl+F)\n"
                   "または、画像・フォルダ・zip をここへドラッグ＆ドロップしてください。");

const QString kErrorText = QStringLiteral("表示不可");

// The font of "表示不可"; its fallback for Japanese is looked up when a
// picture first fails, not while the window is built.
QFont errorFont()
{
    QFont f(QStringLiteral("メイリオ"));
    f.setPixelSize(16);
    return f;
}

int fontPixelHeight(const QFont &font, const QWidget *w)
{
    return qRound(font.pointSizeF() * w->logicalDpiY() / 72.0);
}
} // namespace

DisplaySurface::DisplaySurface(Viewer &viewer, Kind kind, QWidget *parent)
    : QWidget(parent), viewer_(viewer), kind_(kind)
{
    setObjectName(QStringLiteral("canvas"));
    setFocusPolicy(Qt::StrongFocus);
    const bool full = kind == Kind::FullScreen;
    if (full)
        setMouseTracking(true);
    for (int i = 0; i < 2; ++i) {
        image_[i] = new PictureView(this);
        image_[i]->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image_[i]->setGeometry(0, 0, 0, 0);
        image_[i]->setMouseTracking(full);
        connect(image_[i], &PictureView::painted, this, [this] { viewer_.startUp().pictureOnScreen(); });
    }
    panel_ = new QLabel(this);
    panel_->setObjectName(QStringLiteral("Panel1"));
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setLineWidth(1);
    panel_->setAlignment(Qt::AlignCenter);
    panel_->setAttribute(Qt::WA_NoMousePropagation);
    if (full) {
        QPalette white = panel_->palette();
        white.setColor(QPalette::WindowText, Qt::white);
        panel_->setPalette(white);
    } else {
        panel_->setAutoFillBackground(true);
    }
    panel_->hide();

    if (!full) {
        hint_ = new QLabel(kHintText, this);
        hint_->setObjectName(QStringLiteral("IdleHint"));
        hint_->setAlignment(Qt::AlignCenter);
        hint_->setWordWrap(true);
        hint_->setForegroundRole(QPalette::PlaceholderText);
        hint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    auto run = [this](InputCommand c) { viewer_.runInput({c, -1}); };
    (new GestureFilter(true, run, this))->watch(this);
    auto *pictures = new GestureFilter(false, run, this);
    for (PictureView *v : image_)
        pictures->watch(v);
}

void DisplaySurface::enableDragOut(std::function<void(bool)> acceptDrops)
{
    for (PictureView *view : image_) {
        DragOut::Hooks hooks;
        hooks.pathAt = [view](QPoint) { return view->hint(); };
        hooks.blocked = [this] { return viewer_.modes().slideshowOn(); };
        hooks.acceptDrops = acceptDrops;
        hooks.previewAt = [view](QPoint) {
            const QImage &img = view->picture().image;
            return img.isNull() ? QPixmap()
                                : QPixmap::fromImage(
                                      img.scaled(128, 128, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        };
        auto *drag = new DragOut(view, hooks);
        connect(drag, &DragOut::finished, this, [this](const QString &, Qt::DropAction action) {
            // A file manager that moved the file took it out of the folder.
            if (action == Qt::MoveAction)
                viewer_.Picture();
        });
    }
}

QSize DisplaySurface::surfaceSize() const
{
    return size();
}

QSize DisplaySurface::errorTextSize() const
{
    const QFont f = errorFont();
    return QSize(QFontMetrics(f).horizontalAdvance(kErrorText), f.pixelSize());
}

QLabel *DisplaySurface::errorLabel(int slot)
{
    QLabel *&label = errChr_[size_t(slot)];
    if (label)
        return label;
    label = new QLabel(kErrorText, this);
    label->setObjectName(QStringLiteral("Label%1").arg(slot + 1));
    label->setFont(errorFont());
    // A palette rather than a style sheet: the same red on no background,
    // without starting the style-sheet engine.
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(red);
    label->setAutoFillBackground(false);
    // Clicks on the labels over the pictures are theirs, not the window's.
    label->setAttribute(Qt::WA_NoMousePropagation);
    return label;
}

void DisplaySurface::paintFrame(const Frame &frame, const LabelStyle &label)
{
    if (hint_)
        hint_->hide();
    image_[1]->setVisible(frame.spread);
    for (int slot = 0; slot < 2; ++slot) {
        const SlotFrame &s = frame.pages[size_t(slot)];
        PictureView *view = image_[size_t(slot)];
        QLabel *err = errChr_[size_t(slot)];
        if (s.failed) {
            err = errorLabel(slot);
            err->adjustSize();
            err->move(s.errorPos);
            err->show();
            err->raise();
        } else if (err) {
            err->hide();
        }
        if (s.path.isEmpty() || s.failed || (slot == 1 && !frame.spread)) {
            view->clear();
            continue;
        }
        view->setGeometry(s.rect);
        view->setPicture(s.picture);
        view->show();
    }
    if (kind_ == Kind::FullScreen && frame.anyShown())
        window()->raise();
    if (!frame.fileName.isEmpty())
        showFileName(frame.fileName, label);
}

void DisplaySurface::blankFrame()
{
    // A picture is open, it just cannot be shown: not the idle window.
    if (hint_)
        hint_->hide();
    image_[0]->clear();
}

void DisplaySurface::clearFrame()
{
    for (PictureView *v : image_) {
        v->clear();
        v->setGeometry(0, 0, 0, 0);
    }
    for (QLabel *l : errChr_)
        if (l)
            l->hide();
    // No picture, no name.
    panel_->clear();
    panel_->hide();
    if (hint_) {
        placeHint();
        hint_->show();
    }
}

void DisplaySurface::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeHint();
}

void DisplaySurface::placeHint()
{
    if (hint_)
        hint_->setGeometry(rect().adjusted(16, 16, -16, -16));
}

void DisplaySurface::showFileName(const QString &name, const LabelStyle &style)
{
    const TfnLabel &lbl = style.label;
    if (!style.singlePage || lbl.flag == 0)
        return;
    QFont font(lbl.fnlFontName);
    font.setPointSize(qMax(1, lbl.fnlFontSize));
    panel_->setText(name);
    panel_->setFont(font);
    const int pixelHeight = qAbs(fontPixelHeight(font, panel_));
    const QSize natural = layout::FileNameLabelSize(name, pixelHeight);

    layout::LabelWindow win;
    win.limitWidth = width();
    win.outerWidth = width();
    win.height = height();
    const QString family = lbl.fnlFontName;
    auto measure = [&](int pt) {
        QFont f(family);
        f.setPointSize(qMax(1, pt));
        return QFontMetrics(f, panel_).horizontalAdvance(name);
    };
    const layout::LabelPlacement place =
        layout::PlaceFileNameLabel(lbl.flag, natural, lbl.fnlFontSize, win, measure);
    if (!place.visible)
        return;
    QFont shown(family);
    shown.setPointSize(qMax(1, place.pointSize));
    panel_->setFont(shown);
    // The arithmetic gives 1.2 lines of the nominal size; the font's real
    // line (with its descenders) and the frame must fit, or "g" and "_" are cut.
    QRect r = place.rect;
    const int needed = QFontMetrics(shown, panel_).height() + 2 * panel_->frameWidth();
    if (r.height() < needed) {
        const bool bottom = lbl.flag >= 4;
        if (bottom)
            r.setTop(r.bottom() - needed + 1);
        else
            r.setHeight(needed);
        if (r.bottom() >= height())
            r.moveBottom(height() - 1);
        if (r.top() < 0)
            r.moveTop(0);
    }
    panel_->setGeometry(r);
    panel_->raise();
    updateLabel(style);
}

void DisplaySurface::updateLabel(const LabelStyle &style)
{
    if (style.label.flag == 0) {
        panel_->hide();
        return;
    }
    panel_->setVisible(style.singlePage && style.shown && !panel_->text().isEmpty());
}

void DisplaySurface::mousePressEvent(QMouseEvent *event)
{
    viewer_.input().mousePress(event->globalPosition().toPoint());
    event->accept();
}

void DisplaySurface::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    viewer_.input().mouseRelease(event->button(), event->globalPosition().toPoint());
}

void DisplaySurface::wheelEvent(QWheelEvent *event)
{
    event->accept();
    viewer_.input().wheel(event->angleDelta().y());
}
