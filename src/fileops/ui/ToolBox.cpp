#include "fileops/ui/ToolBox.h"

#include "common/Prompter.h"
#include "common/ui/FitToDesktop.h"
#include "desktop/FileMime.h"
#include "fileops/RenameModes.h"
#include "fileops/ToolBoxLayout.h"
#include "fileops/ui/BelowDialogs.h"
#include "fileops/ui/ToolBoxGlyphs.h"
#include "fileops/ui/ToolBoxHost.h"
#include "fileops/ui/ToolBoxTransferArea.h"
#include "platform/FileTree.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <algorithm>

namespace
{
const QString kTitle = QStringLiteral("Tool Box");
const QString kRunTimeTitle = QStringLiteral("転送先フォルダ設定");
const QString kDropError = QStringLiteral("ボタンに、フォルダをドラッグ＆ドロップしてください。");
const QString kErrorCaption = QStringLiteral("エラー");

constexpr int kBackTag = -1;
constexpr int kAutoTag = 0;
constexpr int kFrontTag = 1;
constexpr int kDeleteTag = -9;

QFont boldFont(QFont f)
{
    f.setBold(true);
    return f;
}
} // namespace

TToolBox::TToolBox(ToolBoxHost &host, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      host_(host), divideTop_(toolbox::kDivideTop)
{
    setObjectName(QStringLiteral("ToolBox"));
    setWindowTitle(kTitle);
    // Showing it must not take the keys away from the pictures.
    setAttribute(Qt::WA_ShowWithoutActivating);
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("sans-serif")});
    font.setPixelSize(12);
    setFont(font);
    // Hints show although the tool box is never the active window.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    // The controls sit on a page of the designed size; a window shrunk to
    // a small screen scrolls it instead of cutting off its bottom.
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ToolBoxScroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setFocusPolicy(Qt::NoFocus);
    content_ = new QWidget;
    content_->setObjectName(QStringLiteral("ToolBoxPage"));
    content_->setFixedWidth(toolbox::kClientWidth);
    scroll_->setWidget(content_);
    setFixedWidth(toolbox::kClientWidth);

    createControls();

    // FormCreate: the switches, the display form and the modes as they are.
    showState();
    Active();
    // The pointer comes back over the tool box when full screen hid it.
    qApp->installEventFilter(this);
}

TToolBox::~TToolBox() = default;

QToolButton *TToolBox::glyphButton(const char *name, const QString &glyph, int glyphSize, QRect bounds)
{
    auto *b = new QToolButton(content_);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(bounds);
    if (!glyph.isEmpty()) {
        b->setIcon(ToolBoxGlyph(glyph, palette().color(QPalette::ButtonText)));
        b->setIconSize(QSize(glyphSize, glyphSize));
    }
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

void TToolBox::createControls()
{
    BackBtn = glyphButton("BackBtn", QStringLiteral("back"), 20, QRect(8, 8, 33, 33));
    BackBtn->setAutoRaise(true);
    BackBtn->setToolTip(QStringLiteral("前画像"));
    AutoBtn = glyphButton("AutoBtn", {}, 0, QRect(47, 8, 42, 33));
    AutoBtn->setAutoRaise(true);
    AutoBtn->setText(QStringLiteral("Auto"));
    AutoBtn->setFont(boldFont(font()));
    AutoBtn->setToolTip(QStringLiteral("スライド ショー"));
    FrontBtn = glyphButton("FrontBtn", QStringLiteral("front"), 20, QRect(95, 8, 33, 33));
    FrontBtn->setAutoRaise(true);
    FrontBtn->setToolTip(QStringLiteral("次画像"));
    connect(BackBtn, &QToolButton::clicked, this, [this] { BtnClick(kBackTag); });
    connect(AutoBtn, &QToolButton::clicked, this, [this] { BtnClick(kAutoTag); });
    connect(FrontBtn, &QToolButton::clicked, this, [this] { BtnClick(kFrontTag); });

    TrackBar = new QSlider(Qt::Horizontal, content_);
    TrackBar->setObjectName(QStringLiteral("TrackBar"));
    TrackBar->setGeometry(0, 40, 131, 41);
    TrackBar->setTickPosition(QSlider::TicksAbove);
    TrackBar->setPageStep(10);
    TrackBar->setFocusPolicy(Qt::NoFocus);
    connect(TrackBar, &QSlider::valueChanged, this, &TToolBox::TrackBarChange);
    // While the thumb is dragged the pictures follow; the focus goes back
    // to them once it is let go.
    connect(TrackBar, &QSlider::sliderReleased, this, [this] { host_.returnFocus(); });

    createSwitches();
    createSplitButtons();

    BtnDoor = glyphButton("BtnDoor", QStringLiteral("door"), 16, QRect(8, 324, 45, 20));
    BtnDoor->setAutoRaise(true);
    BtnDoor->setToolTip(QStringLiteral("転送ボタンの開閉"));
    connect(BtnDoor, &QToolButton::clicked, this, &TToolBox::BtnDoorClick);
    DeleteBtn = glyphButton("DeleteBtn", QStringLiteral("delete"), 16, QRect(59, 324, 69, 25));
    DeleteBtn->setText(QStringLiteral("削除"));
    DeleteBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    DeleteBtn->setToolTip(QStringLiteral("ゴミ箱を利用したファイルの削除"));
    connect(DeleteBtn, &QToolButton::clicked, this, [this] { BtnClick(kDeleteTag); });

    area_ = new ToolBoxTransferArea(host_, divideTop_, content_);
    area_->move(0, divideTop_);
    setAcceptDrops(true);
}

void TToolBox::createSwitches()
{
    const QFont bold = boldFont(font());
    auto checkBox = [&](const char *name, const QString &text, QRect bounds) {
        auto *c = new QCheckBox(text, content_);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(bounds);
        c->setFont(bold);
        c->setFocusPolicy(Qt::NoFocus);
        return c;
    };
    CheckBox1 = checkBox("CheckBox1", QStringLiteral("自動拡大"), QRect(8, 82, 73, 17));
    CheckBox2 = checkBox("CheckBox2", QStringLiteral("フルスクリーン"), QRect(8, 97, 105, 17));
    CheckBox3 = checkBox("CheckBox3", QStringLiteral("Jpeg自動回転"), QRect(8, 112, 105, 17));
    connect(CheckBox1, &QCheckBox::clicked, this, &TToolBox::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::clicked, this, &TToolBox::CheckBox2Click);
    connect(CheckBox3, &QCheckBox::clicked, this, &TToolBox::CheckBox3Click);

    auto radioGroup = [&](const char *name, const QString &title, QRect bounds, const QStringList &items,
                          QButtonGroup *&group) {
        auto *box = new QGroupBox(title, content_);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(bounds);
        group = new QButtonGroup(box);
        // The items share the frame below the title, wherever the style puts it.
        QStyleOptionGroupBox opt;
        opt.initFrom(box);
        opt.text = title;
        opt.lineWidth = 1;
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect label =
            box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
        const int n = int(items.size());
        const int room = bounds.height() - 4 - (label.bottom() + 1);
        const int step = std::min(16, room / n);
        const int first = label.bottom() + 1 + (room - step * n) / 2;
        for (int i = 0; i < n; ++i) {
            auto *r = new QRadioButton(items.at(i), box);
            r->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(i));
            r->setGeometry(8, first + step * i, bounds.width() - 12, step);
            r->setFocusPolicy(Qt::NoFocus);
            group->addButton(r, i);
        }
        return box;
    };
    rgState = radioGroup(
        "rgState", QStringLiteral("表示形式"), QRect(8, 135, 120, 69),
        {QStringLiteral("単ページ"), QStringLiteral("見開き(奇数)"), QStringLiteral("見開き(偶数)")},
        stateGroup);
    rgOrient = radioGroup("rgOrient", QStringLiteral("表示方向"), QRect(8, 204, 120, 53),
                          {QStringLiteral("左→右"), QStringLiteral("左←右")}, orientGroup);
    connect(stateGroup, &QButtonGroup::idClicked, this, &TToolBox::rgStateClick);
    connect(orientGroup, &QButtonGroup::idClicked, this, &TToolBox::rgOrientClick);
}

void TToolBox::createSplitButtons()
{
    const QColor ink = palette().color(QPalette::ButtonText);
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    const std::array<std::pair<const char *, int>, 4> items{
        {{"sort_random", 1}, {"sort_normal", 2}, {"sort_reverse", 3}, {"N5", 4}}};
    for (const auto &[name, tag] : items) {
        const SortFace face = *::SortCaptionSet(tag);
        QAction *a = PopupMenu2->addAction(ToolBoxGlyph(face.glyph, ink), face.caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setData(tag);
        connect(a, &QAction::triggered, this, [this, tag = tag] { list_click(tag); });
    }

    auto split = [&](const char *name, QRect bounds) {
        auto *b = glyphButton(name, {}, 16, bounds);
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setPopupMode(QToolButton::MenuButtonPopup);
        b->setIconSize(QSize(16, 16));
        return b;
    };
    Button1 = split("Button1", QRect(10, 263, 120, 25));
    Button1->setMenu(PopupMenu2);
    connect(Button1, &QToolButton::clicked, this, &TToolBox::Button1Click);
    fNameBtn = split("fNameBtn", QRect(10, 294, 120, 25));
    fNameBtn->setIcon(ToolBoxGlyph(QStringLiteral("rename"), ink));
    fNameBtn->setMenu(host_.renameModeMenu());
    connect(fNameBtn, &QToolButton::clicked, this, [this] {
        host_.commands().run(ActionId::fNameChange1);
        host_.returnFocus();
    });
}

// ---------------------------------------------------------------- window

void TToolBox::open(std::optional<int> stayBelow)
{
    const auto &tool = host_.model().settings.Tool;
    stayBelow_ = stayBelow;
    move(tool.Left, tool.Top);
    show();
    fitToDesktop();
    // The window manager frames the window after it is shown: once the
    // frame is known (looked for during a second), it counts too.
    fitOnFrame_ = windowHandle() && windowHandle()->frameMargins().isNull();
    for (int ms = 50; fitOnFrame_ && ms <= 1000; ms += 50)
        QTimer::singleShot(ms, this, [this, last = ms == 1000] {
            if (fitOnFrame_ && isVisible() && !windowHandle()->frameMargins().isNull()) {
                fitOnFrame_ = false;
                fitToDesktop();
            }
            if (!fitOnFrame_ || last)
                stayBelow_.reset(); // placed: from now on where the user puts it
        });
    if (!fitOnFrame_)
        stayBelow_.reset();
}

void TToolBox::prepare()
{
    ensurePolished(); // and every control in it
    content_->adjustSize();
    const auto &tool = host_.model().settings.Tool;
    move(tool.Left, tool.Top);
    winId();
}

void TToolBox::fitToDesktop()
{
    FitToDesktop(*this);
    // Kept below a line (the main window's menu bar): shorter instead of
    // higher, the rest is reached by scrolling.
    if (stayBelow_ && frameGeometry().top() < *stayBelow_ && screen()) {
        const QRect desk = screen()->availableGeometry();
        const int frameExtra = frameGeometry().height() - height();
        const int room = desk.bottom() + 1 - *stayBelow_ - frameExtra;
        if (room > 0) {
            resize(width(), qMin(height(), room));
            move(frameGeometry().left(), *stayBelow_);
        }
    }
    // Shrunk, it grew wider by the scroll bar: inside the desktop again.
    FitToDesktop(*this);
}

void TToolBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Shorter than its page: wider by the scroll bar, so nothing is hidden
    // beside it either.
    const bool cut = height() < content_->height();
    const int bar = cut ? scroll_->verticalScrollBar()->sizeHint().width() : 0;
    if (width() != toolbox::kClientWidth + bar)
        setFixedWidth(toolbox::kClientWidth + bar);
    scroll_->setGeometry(rect());
}

void TToolBox::storePosition()
{
    const QPoint at = frameGeometry().topLeft();
    host_.commands().run(ControlId::ToolPlace, {at.x(), at.y(), {}});
}

void TToolBox::closeQuietly()
{
    quiet_ = true;
    close();
}

void TToolBox::closeEvent(QCloseEvent *event)
{
    area_->myEditExit();
    if (!quiet_) {
        storePosition();
        quiet_ = true;
        emit closed();
    }
    event->accept();
}

void TToolBox::mousePressEvent(QMouseEvent *event)
{
    area_->myEditExit();
    QWidget::mousePressEvent(event);
}

bool TToolBox::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::Enter:
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == this) {
            const QCursor *c = QGuiApplication::overrideCursor();
            if (c && c->shape() == Qt::BlankCursor)
                QGuiApplication::changeOverrideCursor(QCursor(Qt::ArrowCursor));
        }
        return false;
    case QEvent::Show:
    case QEvent::Hide:
        // A dialog of the viewer comes or goes: once the event is through,
        // the tool box stays out of its way (the tool box is unusable then).
        if (watched != this && watched->isWidgetType()) {
            const auto *w = static_cast<QWidget *>(watched);
            if (w->isWindow() && w->isModal())
                QTimer::singleShot(0, this, [this] { FollowModalDialogs(*this); });
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (watched == AutoBtn && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            host_.commands().run(ActionId::option1);
            return true;
        }
        return false;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- state

void TToolBox::Active()
{
    enableControls();
    const int count = host_.model().list.count();
    if (count > 1) {
        const QSignalBlocker quiet(TrackBar);
        TrackBar->setRange(0, count - 1);
        TrackBar->setValue(host_.model().PictureIndex);
        TrackBar->setTickInterval(SliderTickFrequency(count - 1));
    }
}

void TToolBox::enableControls()
{
    const int count = host_.model().list.count();
    // Transfers, delete and rename: single pages, no slideshow.
    const bool fileOps = host_.commands().isEnabled(ActionId::Transfer1);
    for (QWidget *w : {static_cast<QWidget *>(BackBtn), static_cast<QWidget *>(FrontBtn),
                       static_cast<QWidget *>(AutoBtn), static_cast<QWidget *>(TrackBar)})
        w->setEnabled(count > 1);
    // Delete and rename need a picture, and stop in spreads and slideshows.
    DeleteBtn->setEnabled(count > 0 && fileOps);
    fNameBtn->setEnabled(count > 0 && fileOps);
    BtnDoor->setEnabled(fileOps);
}

void TToolBox::showState()
{
    const ViewerState &state = host_.model();
    const Settings &s = state.settings;
    CheckBox1->setChecked(s.Option.Zoom);
    CheckBox2->setChecked(state.FullScreen);
    CheckBox3->setChecked(state.AutoRotate);
    if (QAbstractButton *b = stateGroup->button(s.Tool.State))
        b->setChecked(true);
    if (QAbstractButton *b = orientGroup->button(s.Tool.Orient))
        b->setChecked(true);
    rgOrient->setEnabled(s.Tool.State != 0);
    SortCaptionSet(int(state.SortOrder));
    setRenameCaption(RenameModeName(s.RenameMode));
    Panel();
    area_->showState();
    enableControls();
}

void TToolBox::Panel(bool force)
{
    const Settings &s = host_.model().settings;
    const bool open = s.Option.Open;
    const int n = TransferButtonCount(s.Option.nButton);
    if (!force && built_ && open == builtOpen_ && (!open || n == builtButtons_))
        return;
    area_->myEditExit();
    area_->ButtonCreate(open ? n : 0);
    area_->resize(toolbox::kClientWidth, PanelHeight(open, n, divideTop_) - divideTop_);
    area_->setVisible(open);
    const int height = PanelHeight(open, n, divideTop_);
    content_->setFixedHeight(height);
    setMaximumHeight(height);
    resize(width(), height);
    if (isVisible())
        fitToDesktop(); // more buttons may reach past the screen
    built_ = true;
    builtOpen_ = open;
    builtButtons_ = open ? n : -1;
}

void TToolBox::choosingFolder()
{
    setWindowTitle(kRunTimeTitle);
}

void TToolBox::setRenameCaption(const QString &name)
{
    fNameBtn->setText(name);
}

void TToolBox::SortCaptionSet(int order)
{
    const auto face = ::SortCaptionSet(order);
    if (!face || Button1->text() == face->caption)
        return;
    Button1->setText(face->caption);
    // The menu item of the order has the glyph already.
    for (const QAction *a : PopupMenu2->actions())
        if (a->data().toInt() == order)
            Button1->setIcon(a->icon());
}

// ---------------------------------------------------------------- handlers

void TToolBox::BtnClick(int tag)
{
    area_->myEditExit();
    const CommandTable &c = host_.commands();
    switch (tag) {
    case kBackTag:
    case kFrontTag:
        c.run(ControlId::Step, {tag == kFrontTag ? 1 : -1, 0, {}});
        break;
    case kAutoTag:
        c.run(ActionId::slideshow1);
        break;
    case kDeleteTag:
        c.run(ControlId::Delete);
        break;
    default:
        break;
    }
    host_.returnFocus();
}

void TToolBox::TrackBarChange(int position)
{
    area_->myEditExit();
    host_.commands().run(ControlId::Position, {position, 0, {}});
    if (!TrackBar->isSliderDown())
        host_.returnFocus();
}

void TToolBox::CheckBox1Click(bool on)
{
    host_.commands().run(ControlId::Zoom, {on, 0, {}});
    host_.returnFocus();
}

void TToolBox::CheckBox2Click(bool on)
{
    host_.commands().run(ControlId::FullScreen, {on, 0, {}});
}

void TToolBox::CheckBox3Click(bool on)
{
    host_.commands().run(ControlId::AutoRotate, {on, 0, {}});
    host_.returnFocus();
}

void TToolBox::rgStateClick(int index)
{
    rgOrient->setEnabled(index != 0);
    host_.commands().run(ControlId::DisplayForm, {index, 0, {}});
    host_.returnFocus();
}

void TToolBox::rgOrientClick(int index)
{
    host_.commands().run(ControlId::Orientation, {index, 0, {}});
    host_.returnFocus();
}

void TToolBox::Button1Click()
{
    // A click on the order button shuffles again in random order.
    host_.commands().run(ControlId::Reshuffle);
    host_.returnFocus();
}

void TToolBox::list_click(int tag)
{
    host_.commands().run(ControlId::SortBy, {int(playOrderFrom(tag)), 0, {}});
    SortCaptionSet(int(host_.model().SortOrder));
    host_.returnFocus();
}

void TToolBox::BtnDoorClick()
{
    area_->myEditExit();
    host_.commands().run(ActionId::Transfer1);
    Panel();
    host_.returnFocus();
}

void TToolBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (AcceptsFileDrop(event->mimeData()))
        event->acceptProposedAction();
}

void TToolBox::dropEvent(QDropEvent *event)
{
    const QStringList paths = DroppedPaths(event->mimeData());
    event->acceptProposedAction();
    if (paths.isEmpty())
        return;
    // Only the first item counts; it must be a folder, dropped on a button.
    const QString &first = paths.first();
    if (!IsFolder(first)) {
        host_.prompter().beep();
        host_.prompter().captionedError(kErrorCaption, kDropError);
        return;
    }
    const int slot = area_->slotOf(childAt(event->position().toPoint()));
    if (slot >= 0)
        area_->bindFolder(slot, first);
}
