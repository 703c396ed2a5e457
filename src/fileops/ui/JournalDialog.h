#pragma once
// The window "操作履歴": the journal's entries, newest first, each marked
// when it can no longer be reversed, and "ここまで元に戻す", which reverses
// every entry down to the chosen one and stops at the first that cannot be.
#include "fileops/JournalOps.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

class JournalDialog : public QDialog
{
    Q_OBJECT
public:
    explicit JournalDialog(JournalOps &ops, QWidget *parent = nullptr);

    // Fills the list from the journal again.
    void refresh();
    // Reverses down to the selected entry (the button's action).
    void undoDownToSelected();

    QTreeWidget *list() const { return list_; }
    QPushButton *undoButton() const { return undo_; }
    QLabel *resultLabel() const { return result_; }

signals:
    // Steps were taken: the viewer brings its list in line with the disk.
    void stepsTaken(const QList<JournalStep> &steps);

private:
    void selectionChanged();

    JournalOps &ops_;
    QTreeWidget *list_;
    QPushButton *undo_;
    QLabel *result_;
};
