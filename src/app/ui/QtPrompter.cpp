#include "app/ui/QtPrompter.h"

#include "common/AppTexts.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

QtPrompter::QtPrompter(QWidget *owner, QLabel *status) : owner_(owner), status_(status) {}

QWidget *QtPrompter::parentWindow() const
{
    // Boxes go above whatever viewer window is in front (the full-screen one
    // too). Before the main window is shown, a box must not be its child:
    // that would create the window early, and its stored geometry would
    // then be taken as the inner one and grow by the frame at every start.
    if (QWidget *active = QApplication::activeWindow(); active && active->isVisible())
        return active;
    return owner_ && owner_->isVisible() ? owner_.data() : nullptr;
}

void QtPrompter::beep()
{
    QApplication::beep();
}

void QtPrompter::error(const QString &text)
{
    QMessageBox::critical(parentWindow(), kAppTitle, text, QMessageBox::Ok);
}

void QtPrompter::errorCaptioned(const QString &text, const QString &caption)
{
    QMessageBox::critical(owner_, caption, text, QMessageBox::Ok);
}

void QtPrompter::info(const QString &text)
{
    QMessageBox::information(parentWindow(), kAppTitle, text, QMessageBox::Ok);
}

void QtPrompter::plain(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, parentWindow());
    box.exec();
}

bool QtPrompter::confirm(const QString &text)
{
    return QMessageBox::question(parentWindow(), kAppTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtPrompter::notice(const QString &text)
{
    if (notice_)
        notice_(text);
    else
        info(text);
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
