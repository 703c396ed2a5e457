#include "fileops/ui/ToolBoxTransferArea.h"

#include "common/Prompter.h"
#include "desktop/ui/DragOut.h"
#include "fileops/ToolBoxLayout.h"
#include "fileops/Transfer.h"
#include "fileops/ui/ToolBoxGlyphs.h"
#include "fileops/ui/ToolBoxHost.h"
#include "platform/FileTree.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace
{
constexpr int kCopyTag = 1;
constexpr int kMoveTag = 2;
constexpr int kGlyph = 16;

QFont fixedPitch(QFont f)
{
    f.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("Noto Sans Mono CJK JP"),
                   QStringLiteral("monospace")});
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    return f;
}

// Navy and purple read on light buttons; dark themes get lighter shades.
QColor faceColour(bool runTime, const QPalette &palette)
{
    const bool dark = palette.color(QPalette::Button).lightness() < 128;
    if (runTime)
        return dark ? QColor(226, 150, 226) : QColor(128, 0, 128);
    return dark ? QColor(150, 170, 255) : QColor(0, 0, 128);
}
} // namespace

ToolBoxTransferArea::ToolBoxTransferArea(ToolBoxHost &host, int top, QWidget *toolBox)
    : QWidget(toolBox), host_(host), top_(top)
{
    setObjectName(QStringLiteral("TransferArea"));
    const QColor ink = palette().color(QPalette::ButtonText);
    bFolder = ToolBoxGlyph(QStringLiteral("folder"), ink);
    bTree = ToolBoxGlyph(QStringLiteral("tree"), ink);
    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(0, 0, 121, 3);

    auto toolButton = [&](const char *name, QRect bounds) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(bounds);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(true);
        return b;
    };
    TurnbackBtn = toolButton("TurnbackBtn", QRect(7, 6, 30, 25));
    TurnbackBtn->setIcon(ToolBoxGlyph(QStringLiteral("undo"), ink));
    TurnbackBtn->setToolTip(QStringLiteral("復活"));
    connect(TurnbackBtn, &QToolButton::clicked, this, [this] {
        host_.commands().run(ActionId::MoveUndo1);
        host_.returnFocus();
    });
    // A right-click shows every operation that can be undone.
    TurnbackBtn->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TurnbackBtn, &QToolButton::customContextMenuRequested, this, [this] {
        host_.commands().run(ActionId::Journal1);
        host_.returnFocus();
    });

    FileCopy1 = new QPushButton(this);
    FileCopy1->setObjectName(QStringLiteral("FileCopy1"));
    FileCopy1->setGeometry(39, 6, 30, 25);
    FileCopy1->setFocusPolicy(Qt::NoFocus);
    FileCopy1->setIcon(ToolBoxGlyph(QStringLiteral("dragout"), ink));
    FileCopy1->setToolTip(QStringLiteral("画像ファイルの複写"));
    DragOut::Hooks hooks;
    hooks.pathAt = [this](QPoint) { return CurrentPicture(host_.model()); };
    hooks.acceptDrops = [this](bool on) { host_.commands().run(ControlId::AcceptDrops, {on, 0, {}}); };
    auto *drag = new DragOut(FileCopy1, std::move(hooks));
    connect(drag, &DragOut::finished, this, [this] {
        FileCopy1->setDown(false);
        host_.commands().run(ControlId::Redisplay); // a file manager may have moved the file away
    });

    QFont bold = font();
    bold.setBold(true);
    BtnCopy = toolButton("BtnCopy", QRect(69, 6, 30, 25));
    BtnMove = toolButton("BtnMove", QRect(101, 6, 30, 25));
    BtnCopy->setText(QStringLiteral("複写"));
    BtnMove->setText(QStringLiteral("移動"));
    for (QToolButton *b : {BtnCopy, BtnMove}) {
        b->setFont(bold);
        b->setCheckable(true);
        b->setAutoExclusive(true);
    }
    connect(BtnCopy, &QToolButton::clicked, this, [this] { BtnCMCheck(kCopyTag); });
    connect(BtnMove, &QToolButton::clicked, this, [this] { BtnCMCheck(kMoveTag); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [&](const char *name, const QString &caption, void (ToolBoxTransferArea::*run)()) {
        QAction *a = PopupMenu1->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, run);
    };
    item("N1", QStringLiteral("転送先"), &ToolBoxTransferArea::ChoiceFolder);
    item("N4", QStringLiteral("転送先→実行時選択"), &ToolBoxTransferArea::RunChoiceClick);
    item("N2", QStringLiteral("転送先 消去"), &ToolBoxTransferArea::FolderErase);
    item("N3", QStringLiteral("表示名"), &ToolBoxTransferArea::ButtonNameClick);

    myEdit = new QLineEdit(this);
    myEdit->setObjectName(QStringLiteral("myEdit"));
    myEdit->setGeometry(8, 614 - top_, 89, 20);
    myEdit->setFocusPolicy(Qt::ClickFocus);
    myEdit->hide();
    // Enter, or the focus going elsewhere, ends the editing.
    connect(myEdit, &QLineEdit::editingFinished, this, &ToolBoxTransferArea::myEditExit);
    myEdit->installEventFilter(this);
}

void ToolBoxTransferArea::clearButtons()
{
    // Buttons may be gone while one of them is still handling its click.
    for (QWidget *w : ArLabel1)
        w->deleteLater();
    for (QWidget *w : ArBitBtn1)
        w->deleteLater();
    for (QWidget *w : ArLabel1)
        w->hide();
    for (QWidget *w : ArBitBtn1)
        w->hide();
    ArLabel1.clear();
    ArBitBtn1.clear();
}

void ToolBoxTransferArea::ButtonCreate(int n)
{
    clearButtons();
    QFont labelFont = font();
    labelFont.setPixelSize(16);
    labelFont.setBold(true);
    for (int s = 0; s < TransferButtonCount(n); ++s) {
        auto *label = new QLabel(QStringLiteral("%1.").arg(s), this);
        label->setObjectName(QStringLiteral("ArLabel1_%1").arg(s));
        label->setFont(labelFont);
        // Level with its button, whatever the font's height.
        label->setGeometry(toolbox::kLabelLeft, ButtonTop(s, top_) - top_,
                           toolbox::kButtonLeft - toolbox::kLabelLeft, toolbox::kButtonHeight);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->installEventFilter(this); // a click ends the caption editing
        label->show();
        ArLabel1.push_back(label);

        auto *b = new QPushButton(this);
        b->setObjectName(QStringLiteral("ArBitBtn1_%1").arg(s));
        b->setProperty("tag", s);
        b->setGeometry(toolbox::kButtonLeft, ButtonTop(s, top_) - top_, toolbox::kButtonWidth,
                       toolbox::kButtonHeight);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(QSize(kGlyph, kGlyph));
        b->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(b, &QPushButton::clicked, this, [this, s] { transferClick(s); });
        connect(b, &QPushButton::customContextMenuRequested, this,
                [this, s, b](QPoint at) { showPopup(s, b->mapToGlobal(at)); });
        b->show();
        ArBitBtn1.push_back(b);
        ButtonFaceSet(s);
    }
    myEdit->raise();
}

int ToolBoxTransferArea::slotOf(const QWidget *w) const
{
    for (size_t i = 0; i < ArBitBtn1.size(); ++i)
        if (w && ArBitBtn1[i] == w)
            return int(i);
    return -1;
}

void ToolBoxTransferArea::ButtonFaceSet(int slot)
{
    if (slot < 0 || slot >= buttonCount())
        return;
    QPushButton *b = ArBitBtn1[size_t(slot)];
    const ::ButtonFace face = ::ButtonFaceSet(host_.model().settings.TransferSlots[size_t(slot)]);
    QFont f = fixedPitch(font());
    f.setBold(face.runTime);
    b->setFont(f);
    QPalette pal = b->palette();
    pal.setColor(QPalette::ButtonText, faceColour(face.runTime, palette()));
    b->setPalette(pal);
    b->setIcon(face.runTime ? bTree : bFolder);
    // The spaces centre the caption; a caption too wide for them goes without.
    QString caption = face.caption;
    const int room = b->width() - kGlyph - 16;
    if (QFontMetrics(f).horizontalAdvance(caption) > room)
        caption = caption.trimmed();
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    b->setText(caption);
    b->setToolTip(face.hint);
}

void ToolBoxTransferArea::bindFolder(int slot, const QString &folder)
{
    if (slot < 0 || slot >= kMaxTransferSlots)
        return;
    host_.commands().run(ControlId::SlotFolder, {slot, 0, folder});
    ButtonFaceSet(slot);
}

// ---------------------------------------------------------------- menu

void ToolBoxTransferArea::showPopup(int slot, QPoint globalPos)
{
    // While a caption is edited the menu stays shut and the slot stays.
    if (editing())
        return;
    SlotIndex_ = slot;
    PopupMenu1->popup(globalPos);
}

void ToolBoxTransferArea::setTitle(const QString &title)
{
    window()->setWindowTitle(title);
}

void ToolBoxTransferArea::ChoiceFolder()
{
    const QString title = QStringLiteral("画像転送先フォルダー指定 %1").arg(SlotIndex_ + 1);
    setTitle(title);
    host_.commands().run(ControlId::ChooseSlotFolder, {SlotIndex_, 0, title});
    ButtonFaceSet(SlotIndex_);
}

void ToolBoxTransferArea::RunChoiceClick()
{
    host_.commands().run(ControlId::SlotRunTime, {SlotIndex_, 0, {}});
    ButtonFaceSet(SlotIndex_);
}

void ToolBoxTransferArea::FolderErase()
{
    host_.commands().run(ControlId::SlotClear, {SlotIndex_, 0, {}});
    ButtonFaceSet(SlotIndex_);
}

void ToolBoxTransferArea::ButtonNameClick()
{
    EditSlotIndex = SlotIndex_;
    if (myEdit->isVisible() || EditSlotIndex >= buttonCount())
        return;
    const QPushButton *b = ArBitBtn1[size_t(EditSlotIndex)];
    myEdit->setGeometry(b->x() + 3, b->y() + 2, b->width() - 4, b->height() - 4);
    myEdit->setText(
        ::ButtonFaceSet(host_.model().settings.TransferSlots[size_t(EditSlotIndex)]).caption.trimmed());
    myEdit->show();
    myEdit->raise();
    myEdit->setFocus(Qt::OtherFocusReason);
}

bool ToolBoxTransferArea::editing() const
{
    return myEdit->isVisible();
}

void ToolBoxTransferArea::myEditExit()
{
    if (!myEdit->isVisible())
        return;
    // Hiding the field moves the focus away, which ends the editing again.
    const QString text = myEdit->text();
    myEdit->hide();
    if (EditSlotIndex < 0 || EditSlotIndex >= kMaxTransferSlots)
        return;
    host_.commands().run(ControlId::SlotCaption, {EditSlotIndex, 0, EditedCaption(text)});
    ButtonFaceSet(EditSlotIndex);
}

// ---------------------------------------------------------------- buttons

void ToolBoxTransferArea::transferClick(int slot)
{
    host_.commands().run(ControlId::TransferTo, {slot, 0, {}});
    host_.returnFocus();
}

void ToolBoxTransferArea::BtnCMCheck(int tag)
{
    myEditExit();
    host_.commands().run(ControlId::CopyMode, {tag == kCopyTag, 0, {}});
    host_.returnFocus();
}

void ToolBoxTransferArea::showState()
{
    const bool copy = host_.model().settings.Option.Copy;
    // Checking one of the pair releases the other.
    (copy ? BtnCopy : BtnMove)->setChecked(true);
    TurnbackBtn->setEnabled(host_.commands().isEnabled(ActionId::MoveUndo1));
}

void ToolBoxTransferArea::mousePressEvent(QMouseEvent *event)
{
    myEditExit();
    QWidget::mousePressEvent(event);
}

bool ToolBoxTransferArea::eventFilter(QObject *watched, QEvent *event)
{
    // Keys typed while a caption is edited stay in the editor: none goes on
    // to the tool box or the viewer.
    if (watched == myEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            myEditExit();
            host_.returnFocus();
        } else if (key == Qt::Key_Escape) {
            // The old caption stays.
            const QSignalBlocker quiet(myEdit);
            myEdit->hide();
            host_.returnFocus();
        } else {
            static_cast<QObject *>(myEdit)->event(event);
        }
        event->accept();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && watched != myEdit && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->parentWidget() == this)
        myEditExit();
    return false;
}
