#include "fileops/ui/RenameDialog.h"

#include "common/NameParts.h"
#include "fileops/RenameModes.h"
#include "fileops/ui/RenameFlow.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace
{
const QString kRenameErrorCaption = QStringLiteral("エラー");
} // namespace

TfRename::TfRename(const RenameContext &ctx, QWidget *parent) : TfRename(ctx, parent, Purpose::Rename) {}

TfRename::TfRename(const RenameContext &ctx, QWidget *parent, Purpose purpose)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ctx_(ctx), purpose_(purpose)
{
    setObjectName(QStringLiteral("fRename"));
    setWindowTitle(QStringLiteral("画像ファイル名変更"));
    setModal(true);
    buildControls();
    if (purpose_ == Purpose::Rename)
        ctx_.host.open = this;
    if (ctx_.host.ImeWasOpen)
        openIme();
    CountMax = ctx_.list.count() - 1;
    session_.NumberStartFlag = false;
}

TfRename::~TfRename()
{
    if (ctx_.host.open == this)
        ctx_.host.open = nullptr;
}

int TfRename::mode() const
{
    return purpose_ == Purpose::AskName ? int(kRenameFree) : ValidRenameMode(ctx_.settings.RenameMode);
}

// Pictures that vanished from the list meanwhile are not stepped onto.
int TfRename::lastIndex() const
{
    return qMin(CountMax, ctx_.list.count() - 1);
}

bool TfRename::prepare()
{
    closed_ = false;
    setModeCaption(RenameModeName(mode()));
    const bool back = purpose_ == Purpose::AskName || ctx_.settings.Rename.AddAtBack;
    RadioButton1->setChecked(!back);
    RadioButton2->setChecked(back);
    session_.AddWay = back;
    FileNameSet();
    if (closed_)
        return false;
    updateStepButtons();
    focusEdit();
    return true;
}

void TfRename::setModeCaption(const QString &name)
{
    Panel1->setText(name);
}

void TfRename::modeChosen()
{
    RenameModeCheck(ctx_);
    session_.AddWay = RadioButton2->isChecked();
    FileNameSet();
    if (closed_)
        return;
    focusEdit();
}

void TfRename::readInput()
{
    session_.form.Edit1 = Edit1->text();
    session_.form.SpinEdit1 = SpinEdit1->value();
    session_.form.SpinEdit2 = SpinEdit2->value();
    session_.form.RadioButton2 = RadioButton2->isChecked();
}

void TfRename::FileNameSet()
{
    readInput(); // the automatic copy mode keeps the hidden box's text
    const RenameSession::Outcome outcome =
        session_.FileNameSet(mode(), ctx_.list.items(), ctx_.PictureIndex, ctx_.rules);
    switch (outcome) {
    case RenameSession::Outcome::Shown:
        applyForm();
        break;
    case RenameSession::Outcome::InfoAndClose:
        ctx_.prompter.info(RenameSession::kFirstPictureInfo);
        reject();
        break;
    case RenameSession::Outcome::StepAndClose:
        if (ctx_.PictureIndex < lastIndex()) {
            ++ctx_.PictureIndex;
            if (ctx_.Picture)
                ctx_.Picture();
        }
        reject();
        break;
    case RenameSession::Outcome::Close:
        reject();
        break;
    }
}

void TfRename::BitBtn1Click(int tag)
{
    if (purpose_ == Purpose::AskName) {
        acceptAskedName();
        return;
    }
    if (closed_ || (ctx_.FullScreen && ctx_.FullScreen()))
        return;
    readInput();
    session_.preInput = Edit1->text();
    const int m = mode();
    // An emptied name box gives no name at all, not a bare extension.
    QString newFile = session_.NewName(m);
    if (m == kRenameFree && session_.form.Edit1.isEmpty())
        newFile.clear();
    session_.NewFile = newFile;

    QString shownName = session_.OrgFile;
    if (!newFile.isEmpty() && newFile != session_.OrgFile + session_.Ext) {
        GroupOutcome outcome;
        outcome.outcome = {FileOpResult::InvalidName, QString()};
        outcome.failedMember = session_.OrgfName;
        if (IsUsableFileName(newFile))
            outcome = RenamePicture(*ctx_.journal, session_.OrgfName, newFile, ctx_.settings.Option.Companions);
        if (outcome.ok()) {
            QStringList items = ctx_.list.items();
            if (ctx_.PictureIndex >= 0 && ctx_.PictureIndex < items.size()) {
                items[ctx_.PictureIndex] = session_.OrgPath + newFile;
                ctx_.list.replace(items);
            }
            shownName = SplitExt(newFile).name;
        } else {
            // A companion in the way is named; the picture's own failure keeps its short text.
            const bool companion = outcome.failedMember != session_.OrgfName || !outcome.notPutBack.isEmpty();
            ctx_.prompter.captionedError(kRenameErrorCaption, companion ? DescribeGroupFailure(outcome)
                                                                        : RenameFailureText(outcome.outcome));
        }
    }
    if (tag == 1) {
        ctx_.settings.RenameMode = kRenameCopyAuto;
        RenameModeCaptionSet(ctx_, RenameModeName(kRenameCopyAuto));
        BitBtn1->setFocus();
    }
    if (ctx_.ShowFileName)
        ctx_.ShowFileName(shownName);
    if (ctx_.PictureIndex < lastIndex()) {
        stepTo(ctx_.PictureIndex + 1);
    } else {
        // The last picture keeps its place; the window shows its new name.
        if (ctx_.Picture)
            ctx_.Picture();
        reject();
    }
}

void TfRename::stepTo(int index)
{
    ctx_.PictureIndex = index;
    if (ctx_.Picture)
        ctx_.Picture();
    FileNameSet();
    if (closed_)
        return;
    focusEdit();
    updateStepButtons();
}

void TfRename::BitBtn3Click()
{
    if (ctx_.PictureIndex > 0)
        stepTo(ctx_.PictureIndex - 1);
}

void TfRename::BitBtn4Click()
{
    if (ctx_.PictureIndex < lastIndex())
        stepTo(ctx_.PictureIndex + 1);
}

void TfRename::updateStepButtons()
{
    BitBtn3->setEnabled(ctx_.PictureIndex > 0);
    BitBtn4->setEnabled(ctx_.PictureIndex < lastIndex());
}

void TfRename::focusEdit()
{
    // Without a name box, Enter changes the name and goes on to the next
    // picture.
    if (Edit1->isVisibleTo(this))
        Edit1->setFocus();
    else if (BitBtn1->isVisibleTo(this))
        BitBtn1->setFocus();
}

void TfRename::keyPressEvent(QKeyEvent *e)
{
    // No button is a default one: Enter acts once, on what has the focus
    // (the name box has answered it already).
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (auto *b = qobject_cast<QPushButton *>(focusWidget()); b && b->isEnabled() && !e->isAutoRepeat())
            b->click();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfRename::RadioButton0Click()
{
    session_.AddWay = RadioButton2->isChecked();
    FileNameSet();
    focusEdit();
}

void TfRename::CheckBox1Click(bool checked)
{
    // Only the user's own tick restarts numbering from this picture.
    if (checked) {
        session_.NumberStartFlag = true;
        FileNameSet();
    }
}

void TfRename::Panel1Click()
{
    if (purpose_ == Purpose::AskName)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("PopupMenu3"));
    for (const RenameMenuItem &item : RenameModeMenu()) {
        QAction *a = menu.addAction(item.caption);
        a->setObjectName(QString::fromLatin1(item.objectName));
        const int tag = item.tag;
        connect(a, &QAction::triggered, this, [this, tag] {
            ctx_.settings.RenameMode = uint8_t(tag - 1);
            modeChosen();
        });
    }
    menu.exec(Panel1->mapToGlobal(QPoint(0, 0)));
    if (!closed_)
        focusEdit();
}

bool TfRename::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Panel1 && event->type() == QEvent::MouseButtonPress) {
        Panel1Click();
        return true;
    }
    // Enter in the name box is used up here: after the change the focus may
    // be on a button, which must not take the same key again.
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
                BitBtn1Click(0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfRename::done(int r)
{
    if (!closed_) {
        closed_ = true;
        if (Edit1->isVisibleTo(this)) {
            Edit1->setFocus();
            ctx_.host.ImeWasOpen = imeOpen();
            closeIme();
        }
        if (purpose_ == Purpose::Rename)
            ctx_.settings.Rename.AddAtBack = RadioButton2->isChecked();
    }
    QDialog::done(r);
}

// Qt tells whether an input panel is shown only where the platform has one
// (virtual keyboards); elsewhere this stays false, as nothing can be known.
bool TfRename::imeOpen() const
{
    return Edit1->hasFocus() && QGuiApplication::inputMethod()->isVisible();
}

void TfRename::openIme()
{
    if (Edit1->hasFocus())
        QGuiApplication::inputMethod()->show();
}

void TfRename::closeIme()
{
    if (Edit1->hasFocus())
        QGuiApplication::inputMethod()->hide();
}

void TfRename::acceptAskedName()
{
    const QString typed = Edit1->text();
    if (typed.isEmpty()) {
        askedName_.clear();
        accept();
        return;
    }
    const QString name = SplitExt(typed).ext.isEmpty() ? typed + session_.Ext : typed;
    if (!IsUsableFileName(name)) {
        ctx_.prompter.captionedError(kRenameErrorCaption,
                                     RenameFailureText({FileOpResult::InvalidName, QString()}));
        Edit1->setFocus();
        return;
    }
    askedName_ = name;
    accept();
}

QString TfRename::AskNewName(QWidget *parent, const QString &takenPath, Prompter &prompter)
{
    // A context of its own: the open rename dialog and the viewer's list are
    // never touched.
    PictureList list;
    list.add(takenPath);
    int index = 0;
    Settings settings;
    const DcimRuleTable rules;
    RenameHost host;
    const RenameContext ctx{list, index, settings, rules, prompter, nullptr, host, {}, {}, {}, {}};
    TfRename dlg(ctx, parent, Purpose::AskName);
    if (!dlg.prepare() || dlg.exec() != QDialog::Accepted)
        return {};
    return dlg.askedName_;
}
