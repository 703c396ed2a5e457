#pragma once
// The one scripted stand-in for the user: records everything logic would
// have shown and answers questions as told.
#include "common/Prompter.h"

#include <QList>
#include <QPair>
#include <QStringList>

class ScriptedPrompter : public Prompter
{
public:
    bool answer = true; // answer to every confirm()
    int beeps = 0;
    QStringList errors, infos, plains, questions, notices, statusHistory;
    QStringList errorCaptions; // caption of each error box, in order
    QString status;

    // Answers to the folder picker, the same-name comparison and the name
    // prompt, taken from the front; when they run out the user cancels.
    QStringList folderAnswers;
    QList<SameNameChoice> sameAnswers;
    QStringList nameAnswers;
    // What was asked: the picker's start folders, the compared pairs and
    // the names offered for renaming.
    QStringList folderStarts;
    QList<QPair<QString, QString>> compared;
    QStringList namesOffered;
    // Everything shown or asked, in order ("beep", "error: ...", "notice: ...", ...).
    QStringList log;

    void beep() override
    {
        ++beeps;
        log << QStringLiteral("beep");
    }
    void error(const QString &text) override { captionedError(QStringLiteral("グリマーデック"), text); }
    void captionedError(const QString &caption, const QString &text) override
    {
        errors << text;
        errorCaptions << caption;
        log << QStringLiteral("error: ") + text;
    }
    void info(const QString &text) override
    {
        infos << text;
        log << QStringLiteral("info: ") + text;
    }
    void plain(const QString &text) override
    {
        plains << text;
        log << QStringLiteral("plain: ") + text;
    }
    bool confirm(const QString &text) override
    {
        questions << text;
        log << QStringLiteral("confirm: ") + text;
        return answer;
    }
    void notice(const QString &text) override
    {
        notices << text;
        log << QStringLiteral("notice: ") + text;
    }
    // Progress reports; the user stops the task at report number `stopAt`
    // (counting from 1; 0 never).
    int progressReports = 0, stopAt = 0, progressEnds = 0;
    bool progress(const QString &, qint64, qint64) override
    {
        ++progressReports;
        return stopAt == 0 || progressReports < stopAt;
    }
    void progressDone() override { ++progressEnds; }
    QString statusText() const override { return status; }
    void setStatusText(const QString &text) override
    {
        status = text;
        statusHistory << text;
    }
    QString chooseFolder(const QString &, const QString &startFolder) override
    {
        folderStarts << startFolder;
        log << QStringLiteral("chooseFolder");
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }
    SameNameChoice compareSameName(const QString &source, const QString &target) override
    {
        compared.append({source, target});
        log << QStringLiteral("compare");
        return sameAnswers.isEmpty() ? SameNameChoice::Cancel : sameAnswers.takeFirst();
    }
    QString askNewName(const QString &, const QString &takenName) override
    {
        namesOffered << takenName;
        log << QStringLiteral("askNewName");
        return nameAnswers.isEmpty() ? QString() : nameAnswers.takeFirst();
    }
    // Everything shown as a box, in any of the three kinds.
    QStringList allBoxes() const { return errors + infos + plains; }
};
