#include "fileops/ui/JournalDialog.h"

#include "common/PathUtil.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
constexpr int kIdRole = Qt::UserRole;
constexpr int kReversibleRole = Qt::UserRole + 1;

QString folderOf(const QString &path)
{
    QString f = FolderPart(path);
    if (f.size() > 1)
        f.chop(1);
    return f;
}

QString wayText(const JournalEntry &e)
{
    if (e.members.isEmpty())
        return {};
    const JournalMember &m = e.members.first();
    switch (e.kind) {
    case JournalKind::Copy:
    case JournalKind::Move:
        return folderOf(m.from) + QStringLiteral(" → ") + folderOf(m.to);
    case JournalKind::Rename:
        return FileNamePart(m.from) + QStringLiteral(" → ") + FileNamePart(m.to);
    case JournalKind::Trash:
        return folderOf(m.from) + QStringLiteral(" → ごみ箱");
    }
    return {};
}
} // namespace

JournalDialog::JournalDialog(JournalOps &ops, QWidget *parent) : QDialog(parent), ops_(ops)
{
    setWindowTitle(QStringLiteral("操作履歴"));
    resize(640, 400);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("journalList"));
    list_->setHeaderLabels({QStringLiteral("時刻"), QStringLiteral("種類"), QStringLiteral("名前"),
                            QStringLiteral("移動元 → 移動先")});
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->header()->setStretchLastSection(true);
    undo_ = new QPushButton(QStringLiteral("ここまで元に戻す"), this);
    undo_->setObjectName(QStringLiteral("undoDownTo"));
    result_ = new QLabel(this);
    result_->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    buttons->addButton(undo_, QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addWidget(result_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(undo_, &QPushButton::clicked, this, &JournalDialog::undoDownToSelected);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &JournalDialog::selectionChanged);
    refresh();
}

void JournalDialog::refresh()
{
    list_->clear();
    const QList<JournalEntry> &entries = ops_.journal().entries();
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        const JournalEntry &e = entries[i];
        if (e.state != JournalState::Done && e.state != JournalState::Undone)
            continue;
        QString kind = JournalKindName(e.kind);
        QString why;
        if (e.state == JournalState::Undone)
            kind += QStringLiteral("（取り消し済み）");
        else
            why = ops_.whyNotReversible(e);
        QString name = e.members.isEmpty() ? QString() : FileNamePart(e.members.first().from);
        if (e.members.size() > 1)
            name += QStringLiteral(" ＋%1").arg(e.members.size() - 1); // its RAW and sidecar files
        auto *item = new QTreeWidgetItem(
            list_, {e.time.toLocalTime().toString(QStringLiteral("MM/dd HH:mm:ss")), kind, name, wayText(e)});
        QStringList files;
        for (const JournalMember &m : e.members)
            files << m.from + QStringLiteral(" → ") + (m.to.isEmpty() ? QStringLiteral("ごみ箱") : m.to);
        item->setToolTip(2, files.join(QLatin1Char('\n')));
        item->setToolTip(3, files.join(QLatin1Char('\n')));
        item->setData(0, kIdRole, e.id);
        const bool reversible = e.state == JournalState::Done && why.isEmpty();
        item->setData(0, kReversibleRole, reversible);
        if (!why.isEmpty()) {
            // Marked: the file changed or is gone, or its old name is taken.
            item->setText(1, QStringLiteral("× ") + kind);
            for (int c = 0; c < item->columnCount(); ++c) {
                item->setForeground(c, palette().brush(QPalette::Disabled, QPalette::Text));
                item->setToolTip(c, why);
            }
        } else if (e.state == JournalState::Undone) {
            for (int c = 0; c < item->columnCount(); ++c)
                item->setForeground(c, palette().brush(QPalette::Disabled, QPalette::Text));
        }
    }
    for (int c = 0; c < 3; ++c)
        list_->resizeColumnToContents(c);
    selectionChanged();
}

void JournalDialog::selectionChanged()
{
    const QList<QTreeWidgetItem *> chosen = list_->selectedItems();
    undo_->setEnabled(
        !chosen.isEmpty() && ops_.journal().find(chosen.first()->data(0, kIdRole).toLongLong()) &&
        ops_.journal().find(chosen.first()->data(0, kIdRole).toLongLong())->state == JournalState::Done);
}

void JournalDialog::undoDownToSelected()
{
    const QList<QTreeWidgetItem *> chosen = list_->selectedItems();
    if (chosen.isEmpty())
        return;
    const QList<JournalStep> steps = ops_.undoDownTo(chosen.first()->data(0, kIdRole).toLongLong());
    int done = 0;
    QString stop;
    for (const JournalStep &s : steps) {
        if (s.ok())
            ++done;
        else
            stop = s.text;
    }
    QString text = QStringLiteral("%1 件を元に戻しました。").arg(done);
    if (!stop.isEmpty())
        text += QStringLiteral("\n") + stop;
    result_->setText(text);
    refresh();
    if (!steps.isEmpty())
        emit stepsTaken(steps);
}
