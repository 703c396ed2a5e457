#include "fileops/ui/SameDialog.h"

#include "common/Layout.h"
#include "common/ui/FitToDesktop.h"
#include "decode/LoadPicture.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>

namespace
{
constexpr int kHeaderHeight = 57;
constexpr int kButtonBarHeight = 62;

// A picture drawn stretched to the whole widget.
class StretchedImage : public QWidget
{
public:
    explicit StretchedImage(QWidget *parent) : QWidget(parent) {}
    void setImage(const QImage &image)
    {
        image_ = image;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (image_.isNull())
            return;
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), image_);
    }

private:
    QImage image_;
};

QFont pixelFont(int px, bool bold = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                   QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

QLabel *colouredLabel(QWidget *parent, const QString &name, const QString &text, const QFont &font,
                      const QColor &colour = QColor())
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    if (colour.isValid()) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, colour);
        label->setPalette(pal);
    }
    label->adjustSize();
    return label;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, QStyle::StandardPixmap glyph,
                    int width)
{
    auto *b = new QPushButton(parent->style()->standardIcon(glyph), text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->resize(width, 25);
    return b;
}
} // namespace

TfSame::TfSame(const QString &source, const QString &target, SameBoxSettings &geometry, bool zoom,
               bool autoRotate, QWidget *parent)
    : QDialog(parent), geometry_(geometry), zoom_(zoom)
{
    setWindowTitle(QStringLiteral("ファイル名が同じです。ファイル名を変更しますか。"));
    setFont(pixelFont(12));
    setMinimumSize(kMinWidth, kMinHeight);
    setSizeGripEnabled(true);
    left_.path = source;
    right_.path = target;
    build();

    // Decoded once, no larger than the screen; every resize only fits them again.
    LoadOptions options;
    options.autoRotate = autoRotate;
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        options.maxSize = screen->geometry().size() * screen->devicePixelRatio();
    for (Side *side : {&left_, &right_})
        side->loaded = LoadPictureFile(side->path, side->picture, options);

    move(geometry_.Left, geometry_.Top);
    resize(qMax(kMinWidth, int(geometry_.Width)), qMax(kMinHeight, int(geometry_.Height)));
    FormResize();
}

void TfSame::build()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Label2 = colouredLabel(Panel2, QStringLiteral("Label2"), QStringLiteral("移動・複写元の画像"),
                           pixelFont(16, true));
    QFont arrow = pixelFont(19, true);
    arrow.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("Noto Sans Mono CJK JP"),
                       QStringLiteral("monospace")});
    arrow.setStyleHint(QFont::TypeWriter);
    Label3 = colouredLabel(Panel2, QStringLiteral("Label3"), QStringLiteral("---→"), arrow, Qt::red);
    Label1 = colouredLabel(Panel2, QStringLiteral("Label1"), QStringLiteral("移動・複写先の画像"),
                           pixelFont(16, true));

    for (auto [side, name] :
         {std::pair{&left_, QStringLiteral("Left")}, std::pair{&right_, QStringLiteral("Right")}}) {
        side->text = new QLabel(Panel2);
        side->text->setObjectName(name + QStringLiteral("Text"));
        side->text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        side->text->setTextFormat(Qt::PlainText);
        side->panel = new QFrame(this);
        side->panel->setObjectName(name + QStringLiteral("Panel"));
        side->panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        side->image = new StretchedImage(side->panel);
        side->image->setObjectName(name + QStringLiteral("Image"));
        side->failed = colouredLabel(side->panel, name + QStringLiteral("Label"), QStringLiteral("表示不可"),
                                     pixelFont(27, true), QColor(0xFF, 0x00, 0xFF));
        side->failed->hide();
    }

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    BitBtn1 = button(Panel1, QStringLiteral("BitBtn1"), QStringLiteral("変更後、実行"),
                     QStyle::SP_DialogApplyButton, 100);
    BitBtn2 = button(Panel1, QStringLiteral("BitBtn2"), QStringLiteral("キャンセル"),
                     QStyle::SP_DialogCancelButton, 100);
    BitBtn3 = button(Panel1, QStringLiteral("BitBtn3"), QStringLiteral("元の画像を削除して中止"),
                     QStyle::SP_TrashIcon, 160);
    BitBtn4 = button(Panel1, QStringLiteral("BitBtn4"), QStringLiteral("先の画像を削除して実行"),
                     QStyle::SP_DialogDiscardButton, 160);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(int(SameNameChoice::Rename)); });
    connect(BitBtn2, &QPushButton::clicked, this, &TfSame::reject);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { done(int(SameNameChoice::DeleteSource)); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { done(int(SameNameChoice::DeleteTarget)); });
    setTabOrder(BitBtn1, BitBtn3);
    setTabOrder(BitBtn3, BitBtn2);
    setTabOrder(BitBtn2, BitBtn4);
    BitBtn1->setFocus();
}

QString TfSame::describe(const QSize &pixels, qint64 bytes, const QString &path)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return QStringLiteral("%1 x %2 - Size: %3 byte - [ %4 ]")
        .arg(pixels.width())
        .arg(pixels.height())
        .arg(locale.toString(bytes), QFileInfo(path).fileName());
}

SameNameChoice TfSame::choiceOf(int result)
{
    switch (result) {
    case int(SameNameChoice::Rename):
        return SameNameChoice::Rename;
    case int(SameNameChoice::DeleteSource):
        return SameNameChoice::DeleteSource;
    case int(SameNameChoice::DeleteTarget):
        return SameNameChoice::DeleteTarget;
    default:
        return SameNameChoice::Cancel;
    }
}

void TfSame::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the button with the focus; "変更後、実行" when none has it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto *focused = qobject_cast<QPushButton *>(focusWidget());
        QPushButton *b = focused && focused->isVisible() && focused->isEnabled() ? focused : BitBtn1;
        event->accept();
        b->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

SameNameChoice TfSame::run()
{
    return choiceOf(exec());
}

void TfSame::reject()
{
    done(int(SameNameChoice::Cancel));
}

void TfSame::done(int result)
{
    // However the dialog closes, its place and size are kept for the next time.
    const QRect frame = frameGeometry();
    geometry_.Left = frame.left();
    geometry_.Top = frame.top();
    geometry_.Width = frame.width();
    geometry_.Height = frame.height();
    QDialog::done(result);
}

void TfSame::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    correctFrame();
    FitToDesktop(*this);
}

void TfSame::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    correctFrame();
    FormResize();
}

void TfSame::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    correctFrame();
}

void TfSame::correctFrame()
{
    // The stored size is the outer one; until the window manager has framed
    // the window its frame is unknown and the whole size went to the client.
    if (frameCorrected_ || !isVisible() || !windowHandle() || windowHandle()->frameMargins().isNull())
        return;
    frameCorrected_ = true;
    const QMargins m = windowHandle()->frameMargins();
    resize(qMax(kMinWidth, geometry_.Width - m.left() - m.right()),
           qMax(kMinHeight, geometry_.Height - m.top() - m.bottom()));
    move(geometry_.Left, geometry_.Top);
    FitToDesktop(*this);
}

void TfSame::FormResize()
{
    const int cw = width(), ch = height();
    const int W = frameGeometry().width();
    const int bodyHeight = qMax(0, ch - kHeaderHeight - kButtonBarHeight);
    const int rightWidth = cw / 2;
    const int leftWidth = cw - rightWidth;

    Panel2->setGeometry(0, 0, cw, kHeaderHeight);
    Panel1->setGeometry(0, ch - kButtonBarHeight, cw, kButtonBarHeight);
    left_.panel->setGeometry(0, kHeaderHeight, leftWidth, bodyHeight);
    right_.panel->setGeometry(leftWidth, kHeaderHeight, rightWidth, bodyHeight);

    const int b1 = (W - BitBtn1->width() - BitBtn3->width() - 25) / 2;
    BitBtn1->move(b1, 5);
    BitBtn3->move(b1 + BitBtn1->width() + 25, 5);
    const int b2 = (W - BitBtn1->width() - BitBtn4->width() - 25) / 2;
    BitBtn2->move(b2, 34);
    BitBtn4->move(b2 + BitBtn2->width() + 25, 34);

    const int l2 = (W - Label2->width() - Label1->width()) / 4;
    Label2->move(l2, 8);
    Label1->move(l2 * 3 + Label2->width(), 8);
    Label3->move((W - Label3->width()) / 2, 8);

    left_.text->setGeometry(10, 32, leftWidth - 20, 16);
    right_.text->setGeometry(leftWidth + 10, 32, leftWidth - 20, 16);

    layoutSide(left_);
    layoutSide(right_);
}

void TfSame::layoutSide(Side &side)
{
    const QSize area = side.panel->size();
    if (!side.loaded) {
        side.image->hide();
        side.text->clear();
        side.failed->move((area.width() - side.failed->width()) / 2,
                          (area.height() - side.failed->height()) / 2);
        side.failed->show();
        return;
    }
    side.failed->hide();
    side.text->setText(describe(side.picture.naturalSize, QFileInfo(side.path).size(), side.path));
    const layout::PictureLayout placed =
        layout::LayoutPicture(side.picture.naturalSize, area, zoom_, false, 0);
    side.image->setGeometry(placed.rect);
    static_cast<StretchedImage *>(side.image)->setImage(side.picture.image);
    side.image->show();
}
