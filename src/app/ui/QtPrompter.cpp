#include "app/ui/QtPrompter.h"

#include "common/AppTexts.h"
#include "fileops/ui/RenameDialog.h"
#include "fileops/ui/SameDialog.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>

QtPrompter::QtPrompter(QWidget *owner, QLabel *status) : owner_(owner), status_(status) {}

QWidget *QtPrompter::dialogParent() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    // Before the main window is shown, a box must not be its child: that
    // would create the window early, and its stored outer geometry would
    // then be taken as the inner one and grow by the frame at every start.
    return owner_ && owner_->isVisible() ? owner_.data() : nullptr;
}

void QtPrompter::beep()
{
    QApplication::beep();
}

void QtPrompter::error(const QString &text)
{
    QMessageBox::critical(dialogParent(), kAppTitle, text, QMessageBox::Ok);
}

void QtPrompter::captionedError(const QString &caption, const QString &text)
{
    QMessageBox::critical(dialogParent(), caption, text, QMessageBox::Ok);
}

void QtPrompter::info(const QString &text)
{
    QMessageBox::information(dialogParent(), kAppTitle, text, QMessageBox::Ok);
}

void QtPrompter::plain(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, dialogParent());
    box.exec();
}

bool QtPrompter::confirm(const QString &text)
{
    // OK is the default button: Enter answers yes, Escape cancels.
    return QMessageBox::question(dialogParent(), kAppTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

void QtPrompter::notice(const QString &text)
{
    if (notice_)
        notice_(text);
    else
        info(text);
}

bool QtPrompter::progress(const QString &text, qint64 done, qint64 total)
{
    if (!progress_) {
        progress_ = new QProgressDialog(text, QStringLiteral("中止"), 0, 1000, dialogParent());
        progress_->setWindowTitle(kAppTitle);
        progress_->setWindowModality(Qt::ApplicationModal);
        progress_->setMinimumDuration(500); // short tasks show nothing
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        progress_->setValue(0);
    }
    progress_->setLabelText(text);
    // A modal progress window keeps the others painted while it counts.
    progress_->setValue(total > 0 ? int(qMin<qint64>(1000, done * 1000 / total)) : 0);
    return !progress_->wasCanceled();
}

void QtPrompter::progressDone()
{
    if (progress_)
        progress_->deleteLater();
    progress_ = nullptr;
}

QString QtPrompter::statusText() const
{
    return status_ ? status_->text() : QString();
}

void QtPrompter::setStatusText(const QString &text)
{
    if (!status_)
        return;
    status_->setText(text);
    status_->repaint();
}

QString QtPrompter::chooseFolder(const QString &title, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(dialogParent(), title, startFolder);
}

SameNameChoice QtPrompter::compareSameName(const QString &source, const QString &target)
{
    static SameBoxSettings fallback;
    SameBoxSettings &geometry = settings_ ? settings_->SameBox : fallback;
    const bool zoom = settings_ && settings_->Option.Zoom;
    TfSame dialog(source, target, geometry, zoom, autoRotate_ ? autoRotate_() : true, dialogParent());
    return dialog.run();
}

QString QtPrompter::askNewName(const QString &folder, const QString &takenName)
{
    return TfRename::AskNewName(dialogParent(), QDir(folder).filePath(takenName), *this);
}
