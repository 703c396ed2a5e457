#include "fileops/RenameSession.h"

#include "common/NameParts.h"
#include "common/PathUtil.h"
#include "fileops/RenameModes.h"

#include <QtGlobal>

namespace
{
// Splits at every "_": "a__b" gives an empty middle part, a trailing "_"
// gives no empty last part.
QStringList underscoreParts(const QString &text)
{
    QStringList parts = text.split(QLatin1Char('_'));
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    return parts;
}

bool isNumberPart(const QString &part)
{
    return TextToInt(part, -1) != -1;
}

QString withoutLeading(const QString &text, QChar c)
{
    return text.startsWith(c) ? text.mid(1) : text;
}

QString withoutTrailing(const QString &text, QChar c)
{
    return text.endsWith(c) ? text.chopped(1) : text;
}
} // namespace

RenameSession::Outcome RenameSession::FileNameSet(int mode, const QStringList &list, int index,
                                                  const DcimRuleTable &rules)
{
    if (index < 0 || index >= list.size())
        return Outcome::Close;
    OrgfName = list[index];
    OrgPath = FolderPart(OrgfName);
    const NameAndExt parts = SplitExt(FileNamePart(OrgfName));
    OrgFile = parts.name;
    Ext = parts.ext;
    const QString prev = index >= 1 ? SplitExt(FileNamePart(list[index - 1])).name : QString();

    form.Label1 = QStringLiteral("\"") + OrgFile + Ext + QStringLiteral("\"") +
                  QStringLiteral(" の新しいファイル名を入力してください。");
    form.Label2 = QStringLiteral("場所：  \"") + OrgPath + QStringLiteral("\"");
    form.Label3 = Ext;
    form.label5Visible = false;
    form.spin1Visible = false;
    form.spin2Visible = false;
    form.bitBtn5Visible = false;

    switch (ValidRenameMode(mode)) {
    case kRenameFree:
        layoutFree();
        return Outcome::Shown;
    case kRenameNumbering:
        layoutNumbering();
        return Outcome::Shown;
    case kRenameAddText:
        layoutAddText();
        return Outcome::Shown;
    case kRenameCopyEdit:
        if (index < 1)
            return Outcome::InfoAndClose;
        return layoutCopyEdit(prev, rules);
    case kRenameCopyAuto:
        if (index < 1)
            return Outcome::StepAndClose;
        return layoutCopyAuto(prev, rules);
    }
    return Outcome::Close;
}

void RenameSession::layoutFree()
{
    form.radiosVisible = false;
    form.checkBox1Visible = false;
    form.label4Visible = false;
    form.label6Visible = false;
    form.Edit1 = OrgFile;
    form.edit1Visible = true;
    form.label3Visible = true;
    form.row = RenameRow::Free;
}

void RenameSession::layoutNumbering()
{
    form.radiosVisible = true;
    form.checkBox1Visible = true;
    form.Label4.clear();
    form.label4Visible = false;
    if (NumberStartFlag) {
        form.CheckBox1 = true;
        FixedFileName.clear();
        Numbering = 0;
        NumberDigits = 3;
        // The number is the last part (back) or the first part (front) of
        // the name split at "_", after dropping anything from a last dot on.
        QString base = OrgFile;
        if (const qsizetype dot = base.lastIndexOf(QLatin1Char('.')); dot >= 0)
            base.truncate(dot);
        QStringList used = underscoreParts(base);
        int found = -1;
        bool haveNumber = false;
        if (!used.isEmpty()) {
            const QString &candidate = AddWay ? used.last() : used.first();
            if (isNumberPart(candidate)) {
                haveNumber = true;
                found = TextToInt(candidate, -1);
                NumberDigits = int(candidate.size());
                if (AddWay)
                    used.removeLast();
                else
                    used.removeFirst();
            }
        }
        FixedFileName = used.join(QLatin1Char('_'));
        Numbering = haveNumber && found > -1 ? found : 1;

        form.Edit1 = FixedFileName;
        form.edit1Visible = true;
        form.label3Visible = true;
        form.SpinEdit1 = qBound(kSpin1Min, Numbering, kSpin1Max);
        form.spin1Visible = true;
        form.label5Visible = true;
        form.row = AddWay ? RenameRow::NumberBack : RenameRow::NumberFront;
    } else {
        form.CheckBox1 = false;
        form.edit1Visible = false;
        form.spin1Visible = false;
        form.label3Visible = false;
        form.label5Visible = false;
        form.Label4 = numberedName();
        form.label4Visible = true;
        form.row = RenameRow::Preview;
    }
    form.label6Visible = true;
    form.spin2Visible = true;
    form.SpinEdit2 = qBound(kSpin2Min, NumberDigits, kSpin2Max);
}

void RenameSession::layoutAddText()
{
    form.radiosVisible = true;
    form.checkBox1Visible = false;
    form.label3Visible = true;
    if (AddWay) {
        form.Label4 = OrgFile + QStringLiteral("_");
        form.row = RenameRow::LabelThenEdit;
    } else {
        form.Label4 = QStringLiteral("_") + OrgFile;
        form.row = RenameRow::EditThenLabel;
    }
    form.label4Visible = true;
    form.Edit1.clear();
    form.edit1Visible = true;
    form.bitBtn5Visible = true;
    form.spin2Visible = false;
    form.label6Visible = false;
}

RenameSession::Outcome RenameSession::layoutCopyEdit(const QString &prev, const DcimRuleTable &rules)
{
    form.radiosVisible = true;
    form.checkBox1Visible = false;
    const DcimMatch rc = DcimRuleMatch(rules, prev);
    if (rc.number < 1 || rc.digits < 1)
        return Outcome::Close;
    if (rc.pos == 1)
        AddStr = withoutLeading(prev.mid(kCameraNameLength), QLatin1Char('_'));
    else
        AddStr = withoutTrailing(prev.left(rc.pos - 1), QLatin1Char('_'));

    const DcimMatch here = DcimRuleMatch(rules, OrgFile);
    const QString cam = OrgFile.mid(here.found() ? here.pos - 1 : 0, kCameraNameLength);
    if (AddWay) {
        form.Label4 = cam + QStringLiteral("_");
        form.row = RenameRow::LabelThenEdit;
    } else {
        form.Label4 = QStringLiteral("_") + cam;
        form.row = RenameRow::EditThenLabel;
    }
    form.label4Visible = true;
    form.Edit1 = AddStr;
    form.edit1Visible = true;
    form.label3Visible = true;
    form.spin2Visible = false;
    form.label6Visible = false;
    return Outcome::Shown;
}

RenameSession::Outcome RenameSession::layoutCopyAuto(const QString &prev, const DcimRuleTable &rules)
{
    form.radiosVisible = false;
    form.checkBox1Visible = false;
    const DcimMatch rc = DcimRuleMatch(rules, prev);
    if (rc.number < 1 || rc.digits < 1)
        return Outcome::Close;
    form.edit1Visible = false;
    form.label3Visible = false;
    form.spin2Visible = false;
    form.label6Visible = false;
    // The added text keeps its joining "_"; where it sat decides the side.
    if (rc.pos == 1) {
        AddStr = prev.mid(kCameraNameLength);
        AddWay = true;
    } else {
        AddStr = prev.left(rc.pos - 1);
        AddWay = false;
    }
    const DcimMatch here = DcimRuleMatch(rules, OrgFile);
    const QString cam = here.found() ? OrgFile.mid(here.pos - 1, kCameraNameLength) : preInput;
    form.Label4 = AddWay ? cam + AddStr + Ext : AddStr + cam + Ext;
    form.label4Visible = true;
    form.row = RenameRow::Preview;
    return Outcome::Shown;
}

QString RenameSession::numberedName() const
{
    const QString number = ZeroPad(Numbering, NumberDigits);
    return AddWay ? FixedFileName + QStringLiteral("_") + number + Ext
                  : number + QStringLiteral("_") + FixedFileName + Ext;
}

QString RenameSession::NewName(int mode)
{
    switch (ValidRenameMode(mode)) {
    case kRenameFree:
        return form.Edit1 + Ext;
    case kRenameNumbering: {
        QString name;
        if (NumberStartFlag) {
            FixedFileName = form.Edit1;
            Numbering = form.SpinEdit1;
            NumberDigits = form.SpinEdit2;
            name = numberedName();
            NumberStartFlag = false;
        } else {
            name = form.Label4;
        }
        ++Numbering;
        return name;
    }
    case kRenameAddText:
    case kRenameCopyEdit:
        return form.row == RenameRow::EditThenLabel ? form.Edit1 + form.Label4 + Ext
                                                    : form.Label4 + form.Edit1 + Ext;
    case kRenameCopyAuto:
        return form.Label4;
    }
    return {};
}
