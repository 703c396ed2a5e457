#include "app/ui/QtPrompter.h"

#include "common/AppTexts.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

QtPrompter::QtPrompter(QWidget *owner, QLabel *status) : owner_(owner), status_(status) {}

void QtPrompter::beep()
{
    QApplication::beep();
}

void QtPrompter::error(const QString &text)
{
    QMessageBox::critical(owner_, kAppTitle, text, QMessageBox::Ok);
}

void QtPrompter::info(const QString &text)
{
    QMessageBox::information(owner_, kAppTitle, text, QMessageBox::Ok);
}

void QtPrompter::plain(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, owner_);
    box.exec();
}

bool QtPrompter::confirm(const QString &text)
{
    // OK is the default button: Enter answers yes, Escape cancels.
    return QMessageBox::question(owner_, kAppTitle, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
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
