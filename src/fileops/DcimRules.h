#pragma once
// Camera file-name rules ("IMG_,4(canon)": the letters before the number,
// the number's digit count, a remark) and the search for a camera file name
// such as IMG_1234 inside a picture's name.
#include <QList>
#include <QString>
#include <QStringList>

struct TDCIMrule {
    QString TopAlpha; // letters before the number; empty never matches
    int NumKeta = 0;  // count of digits
    QString Bikou;    // remark, parentheses included
};

using DcimRuleTable = QList<TDCIMrule>;

struct DcimParseResult {
    DcimRuleTable rules; // one record per line, in file order
    int badLine = 0;     // 1-based line whose digit count is unreadable; 0 when all are fine
    QString error;       // message for the user when badLine > 0
};

// Fills one record per line. A line whose digit count (the text between the
// first "," and the first "(") is not a number stops the parse: that record
// and all later ones stay empty, so they never match.
DcimParseResult DcimRulesParse(const QStringList &DcimRuleLines);

struct DcimMatch {
    int pos = -1;   // 1-based position of the camera name in the text; -1 when none
    int number = 0; // the camera number's value
    int digits = 0; // the rule's digit count
    int length = 0; // letters + digits
    bool found() const { return pos > 0; }
};

// The first rule, in file order, whose letters occur in the name (first
// occurrence, exact case) followed by its count of digits worth more than 0.
DcimMatch DcimRuleMatch(const DcimRuleTable &rules, const QString &name);
