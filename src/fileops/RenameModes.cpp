#include "fileops/RenameModes.h"

QString RenameModeName(int mode)
{
    static const std::array<QString, kRenameModeCount> names{
        QStringLiteral("ファイル名変更"), QStringLiteral("連番変更"), QStringLiteral("文字・追加"),
        QStringLiteral("文字複写＆変更"), QStringLiteral("追加文字複写")};
    return names[size_t(ValidRenameMode(mode))];
}

const std::array<RenameMenuItem, kRenameModeCount> &RenameModeMenu()
{
    static const std::array<RenameMenuItem, kRenameModeCount> items{{
        {"N1", 1, QStringLiteral("ファイル名変更")},
        {"N2", 2, QStringLiteral("連番変更")},
        {"N3", 3, QStringLiteral("文字追加")},
        {"N4", 4, QStringLiteral("文字複写＆変更")},
        {"N5", 5, QStringLiteral("文字複写")},
    }};
    return items;
}

int ValidRenameMode(int mode)
{
    return mode >= 0 && mode < kRenameModeCount ? mode : kRenameFree;
}

bool RenameModeCheck(uint8_t &RenameMode, int PictureIndex)
{
    RenameMode = uint8_t(ValidRenameMode(RenameMode));
    if (RenameMode == kRenameNumbering)
        return true;
    if ((RenameMode == kRenameCopyEdit || RenameMode == kRenameCopyAuto) && PictureIndex == 0)
        RenameMode = kRenameAddText;
    return false;
}

bool IsUsableFileName(const QString &name)
{
    // A leading "." ("..", "...jpg") would hide the picture from the viewer
    // and from file managers.
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        return false;
    // Control characters make names no one can type or see.
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

QString RenameFailureText(const FileOpOutcome &outcome)
{
    switch (outcome.result) {
    case FileOpResult::Ok:
        return {};
    case FileOpResult::TargetExists:
        return QStringLiteral("同名のファイルがありました。");
    case FileOpResult::SourceMissing:
        return QStringLiteral("名前を変更する画像ファイルが見つかりません。");
    case FileOpResult::TargetFolderMissing:
        return QStringLiteral("画像ファイルのあるフォルダーが見つかりません。");
    case FileOpResult::PermissionDenied:
        return QStringLiteral("このフォルダーのファイル名を変更する権限がありません。");
    case FileOpResult::ReadOnly:
        return QStringLiteral("読み取り専用の場所にあるため、ファイル名を変更できません。");
    case FileOpResult::NoSpace:
        return QStringLiteral("ディスクに空きがないため、ファイル名を変更できません。");
    case FileOpResult::InvalidName:
        return QStringLiteral("このファイル名は使えません。\n\n"
                              "「/」を含む名前、空の名前、「.」で始まる名前はファイル名にできません。");
    case FileOpResult::Cancelled:
        return QStringLiteral("ファイル名の変更を中止しました。");
    case FileOpResult::Failed:
        break;
    }
    QString text = QStringLiteral("ファイル名を変更できませんでした。");
    if (!outcome.detail.isEmpty())
        text += QStringLiteral("\n\n") + outcome.detail;
    return text;
}
