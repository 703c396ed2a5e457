#include "app/ui/KeyRouter.h"

#include "app/Viewer.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

KeyRouter::KeyRouter(Viewer &viewer, QObject *parent) : QObject(parent), viewer_(viewer)
{
    qApp->installEventFilter(this);
}

void KeyRouter::addWindow(QWidget *window)
{
    windows_.emplace_back(window);
}

bool KeyRouter::routes(QWidget *receiver) const
{
    if (!receiver || QApplication::activePopupWidget() || QApplication::activeModalWidget())
        return false;
    QWidget *top = receiver->window();
    bool ours = false;
    for (const QPointer<QWidget> &w : windows_)
        ours = ours || (w && w == top);
    if (!ours)
        return false;
    // A menu bar being navigated by keyboard (after Alt or F10) keeps its keys.
    if (auto *bar = qobject_cast<QMenuBar *>(receiver); bar && bar->activeAction())
        return false;
    // Fields that take typing keep it.
    return !(qobject_cast<QLineEdit *>(receiver) || qobject_cast<QTextEdit *>(receiver) ||
             qobject_cast<QPlainTextEdit *>(receiver) || qobject_cast<QAbstractSpinBox *>(receiver) ||
             qobject_cast<QComboBox *>(receiver));
}

bool KeyRouter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto *receiver = static_cast<QWidget *>(watched);
    if (!routes(receiver))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // Plain modifiers alone and shortcuts with Ctrl or Alt belong to the actions.
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
        return false;
    default:
        break;
    }
    if (depth_ > 0) {
        // A held key's repeats need not pile up behind a slow step.
        if (!key->isAutoRepeat())
            pending_.push_back({key->key(), key->text(), false, key->timestamp()});
        return true;
    }
    ++depth_;
    viewer_.input().keyDown(key->key(), key->text(), key->isAutoRepeat(), key->timestamp());
    while (!pending_.empty()) {
        const PendingKey next = pending_.front();
        pending_.erase(pending_.begin());
        viewer_.input().keyDown(next.key, next.text, next.autoRepeat, next.timestamp);
    }
    --depth_;
    return true;
}
