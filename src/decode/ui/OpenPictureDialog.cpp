#include "decode/ui/OpenPictureDialog.h"

#include "decode/spi/PicturePreview.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTreeView>

namespace
{
constexpr int kPreviewSide = 240;
constexpr int kVisibleRows = 20;
} // namespace

OpenPictureDialog::OpenPictureDialog(const PictureFormats &formats, const QString &filter, QWidget *parent,
                                     const QString &folder)
    : QFileDialog(parent), FFormats(formats), FPreviewLabel(new QLabel(this))
{
    // The preview pane needs Qt's own dialog; a native one cannot host it.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilter(filter);
    if (!folder.isEmpty())
        setDirectory(folder);
    setSizeGripEnabled(true);

    FPreviewLabel->setObjectName(QStringLiteral("preview"));
    FPreviewLabel->setAlignment(Qt::AlignCenter);
    FPreviewLabel->setMinimumSize(kPreviewSide, kPreviewSide);
    FPreviewLabel->setFrameShape(QFrame::StyledPanel);
    if (auto *grid = qobject_cast<QGridLayout *>(layout()))
        grid->addWidget(FPreviewLabel, 0, grid->columnCount(), grid->rowCount(), 1);

    connect(this, &QFileDialog::currentChanged, this, &OpenPictureDialog::showPreview);

    // Column widths follow each folder's content once it is read.
    if (auto *model = findChild<QFileSystemModel *>())
        connect(model, &QFileSystemModel::directoryLoaded, this, &OpenPictureDialog::fitColumns);

    if (FRememberedSize.isValid())
        resize(FRememberedSize);
    FFitPending = !FRememberedSize.isValid();
}

void OpenPictureDialog::showEvent(QShowEvent *e)
{
    // Sizes are known only once the layout has placed everything, which it
    // does on the way to the first show; the window is not on screen yet.
    if (FFitPending) {
        FFitPending = false;
        fitToContent();
        adjustPosition(parentWidget());
    }
    QFileDialog::showEvent(e);
}

void OpenPictureDialog::fitColumns()
{
    // Size, type and date as wide as their content; the name takes the rest
    // of the view, so the list never needs a horizontal scroll bar.
    auto *tree = findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!tree || tree->header()->count() < 2)
        return;
    QHeaderView *header = tree->header();
    int others = 0;
    for (int c = 1; c < header->count(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        // (public in the base class, protected in QTreeView)
        const int content = static_cast<const QAbstractItemView *>(tree)->sizeHintForColumn(c);
        header->resizeSection(c, qMax(content, header->sectionSizeHint(c)));
        others += header->sectionSize(c);
    }
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
    const int view = tree->width() - 2 * tree->frameWidth() - scrollBar;
    header->resizeSection(0, qMax(view - others, header->sectionSizeHint(0)));
}

void OpenPictureDialog::done(int result)
{
    FRememberedSize = size();
    QFileDialog::done(result);
}

void OpenPictureDialog::fitToContent()
{
    // Qt's dialog names its parts; should a later Qt rename them, the dialog
    // simply keeps Qt's own size.
    auto *tree = findChild<QTreeView *>(QStringLiteral("treeView"));
    auto *sidebar = findChild<QListView *>(QStringLiteral("sidebar"));
    auto *lookIn = findChild<QComboBox *>(QStringLiteral("lookInCombo"));
    auto *splitter = findChild<QSplitter *>(QStringLiteral("splitter"));
    if (!tree || !sidebar || !lookIn || !splitter || splitter->count() != 2 || !layout())
        return;
    QWidget *files = splitter->widget(1);  // the list and detail views in their frame
    QWidget *views = tree->parentWidget(); // shows one of them; the other may have no size yet

    // The places' names in full.
    const int sidebarNeed = sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth() + 8;
    // Detail view: every column plus a vertical scroll bar, so no horizontal one.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
    const int columnsNeed = tree->header()->length() + scrollBar + 2 * tree->frameWidth();
    // The folder's whole path in the "look in" box.
    QStyleOptionComboBox opt;
    opt.initFrom(lookIn);
    const QSize pathText(lookIn->fontMetrics().horizontalAdvance(directory().absolutePath()) +
                             lookIn->iconSize().width() + 8,
                         lookIn->fontMetrics().height());
    const int lookInNeed = style()->sizeFromContents(QStyle::CT_ComboBox, &opt, pathText, lookIn).width();
    // A screenful of names below the column headers.
    const int row = qMax(tree->fontMetrics().height(), tree->iconSize().height()) + 4;
    const int treeHeightNeed =
        tree->header()->sizeHint().height() + kVisibleRows * row + 2 * tree->frameWidth();

    QSize room(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (const QScreen *s = parentWidget() ? parentWidget()->screen() : screen())
        room = s->availableGeometry().size() * 9 / 10;

    // The layout decides how much of any growth reaches each part: grow,
    // look again, at most a few times.
    for (int pass = 0; pass < 4; ++pass) {
        layout()->activate();
        const int side = qMax(sidebarNeed, sidebar->width());
        splitter->setSizes({side, qMax(0, splitter->width() - splitter->handleWidth() - side)});
        const int filesChrome = files->width() - views->width();
        const int growWidth =
            qMax(side + splitter->handleWidth() + columnsNeed + filesChrome - splitter->width(),
                 lookInNeed - lookIn->width());
        const int growHeight = treeHeightNeed - views->height();
        const QSize target =
            QSize(width() + qMax(0, growWidth), height() + qMax(0, growHeight)).boundedTo(room);
        if (target == size())
            break;
        resize(target);
    }
}

void OpenPictureDialog::showPreview(const QString &path)
{
    const qreal dpr = devicePixelRatioF();
    const QSize bound = FPreviewLabel->contentsRect().size() * dpr;
    FPreview =
        LoadPreviewPicture(path, FFormats, bound.isEmpty() ? QSize(kPreviewSide, kPreviewSide) : bound);
    if (FPreview.isNull()) {
        FPreviewLabel->clear();
        return;
    }
    QPixmap pm = QPixmap::fromImage(FPreview);
    pm.setDevicePixelRatio(dpr);
    FPreviewLabel->setPixmap(pm);
}
