#include "app/Actions.h"

#include <array>

namespace
{
const QString kFile = QStringLiteral("ファイル");
const QString kEdit = QStringLiteral("編集(&E)");
const QString kTool = QStringLiteral("ツール(&T)");
const QString kHelp = QStringLiteral("ヘルプ(&H)");

#define S QStringLiteral
const std::array<ActionSpec, size_t(ActionId::Count)> kActions = {{
    {ActionId::fileopen1,
     "fileopen1",
     S("画像ファイルを開く(&O)..."),
     S("画像ファイルを開く(&O)..."),
     kFile,
     S("Ctrl+O"),
     false,
     0,
     {}},
    {ActionId::OpenFolder1,
     "OpenFolder1",
     S("フォルダを開く(&F)..."),
     S("フォルダを開く(&F)..."),
     kFile,
     S("Ctrl+F"),
     false,
     0,
     {}},
    {ActionId::slideshow1,
     "slideshow1",
     S("スライドショー"),
     S("スライドショー(&Z)"),
     kFile,
     S("F5"),
     true,
     0,
     {}},
    {ActionId::option1,
     "option1",
     S("オプション(&S)..."),
     S("オプション(&S)..."),
     kFile,
     S("F4"),
     false,
     0,
     {}},
    {ActionId::ShortcutCreate,
     "ShortcutCreate",
     S("ショートカットファイルの作成..."),
     S("ショートカットファイルの作成(&Y)..."),
     kFile,
     S("F12"),
     false,
     0,
     {}},
    {ActionId::List1, "List1", S("履歴"), S("履歴(&B)"), kFile, {}, false, 0, {}},
    {ActionId::ListDel1,
     "ListDel1",
     S("履歴・ショートカットリストのクリア(&D)"),
     S("履歴・ショートカットリストのクリア(&D)"),
     kFile,
     {},
     false,
     0,
     {}},
    {ActionId::exit1, "exit1", S("終了"), S("終了(&X)"), kFile, S("Ctrl+Q"), false, 0, {}},
    {ActionId::MoveUndo1,
     "MoveUndo1",
     S("１つ前の移動の取り消し"),
     S("１つ前の移動の取り消し(&Z)"),
     kEdit,
     S("Ctrl+Z"),
     false,
     0,
     {}},
    {ActionId::Redo1, "Redo1", S("やり直し"), S("やり直し(&R)"), kEdit, S("Ctrl+Y; Ctrl+Shift+Z"), false, 0, {}},
    {ActionId::Journal1, "Journal1", S("操作履歴"), S("操作履歴(&J)..."), kEdit, {}, false, 0, {}},
    {ActionId::fNameChange1,
     "fNameChange1",
     S("ファイル名変更"),
     S("ファイル名変更(&Y)"),
     kEdit,
     S("F2"),
     false,
     0,
     {}},
    {ActionId::clipcopy1,
     "clipcopy1",
     S("クリップボードにコピー"),
     S("クリップボードにコピー(&X)"),
     kEdit,
     S("Ctrl+C"),
     false,
     0,
     {}},
    {ActionId::ToolBox1,
     "ToolBox1",
     S("ツールボックス"),
     S("ツールボックス(&Z)"),
     kTool,
     S("F3"),
     true,
     0,
     {}},
    {ActionId::CopyMode1, "CopyMode1", S("複写モード"), S("複写モード(&Y)"), kTool, S("Ctrl+N"), true, 0, {}},
    {ActionId::MoveMode1, "MoveMode1", S("移動モード"), S("移動モード(&X)"), kTool, S("Ctrl+M"), true, 0, {}},
    {ActionId::Transfer1,
     "Transfer1",
     S("転送切り替え"),
     S("転送切り替え(&W)"),
     kTool,
     S("Ctrl+T"),
     false,
     0,
     {}},
    {ActionId::Max1, "Max1", S("フルスクリーン"), S("フルスクリーン(&V)"), kTool, {}, true, 0, {}},
    {ActionId::FileNameVisible1,
     "FileNameVisible1",
     S("ファイル名表示"),
     S("ファイル名表示(&T)"),
     kTool,
     S("F6"),
     false,
     0,
     {}},
    {ActionId::menu_random, "menu_random", S("ランダム"), S("ランダム(&X)"), kTool, S("F7"), false, 1, {}},
    {ActionId::menu_normal, "menu_normal", S("正順"), S("正順(&Y)"), kTool, S("F8"), false, 2, {}},
    {ActionId::menu_reverse, "menu_reverse", S("逆順"), S("逆順(&Z)"), kTool, S("F9"), false, 3, {}},
    {ActionId::Action1, "Action1", S("日時順"), S("日時順(&W)"), kTool, S("F10"), false, 4, {}},
    {ActionId::Help1, "Help1", S("ヘルプ表示"), S("ヘルプ表示(&Z)"), kHelp, S("F1"), false, 0,
     S("ヘルプの表示をします")},
    {ActionId::about1, "about1", S("バージョン情報"), S("バージョン情報(&Y)"), kHelp, {}, false, 0, {}},
}};

using E = MenuEntry;
constexpr auto A = MenuEntry::Action;
constexpr auto Sep = MenuEntry::Separator;

const std::array<MenuEntry, 11> kFileMenu = {{
    {A, ActionId::fileopen1, {}},
    {A, ActionId::OpenFolder1, {}},
    {Sep, ActionId::Count, {}},
    {A, ActionId::slideshow1, {}},
    {A, ActionId::option1, {}},
    {A, ActionId::ShortcutCreate, {}},
    {Sep, ActionId::Count, {}},
    {A, ActionId::List1, {}},
    {A, ActionId::ListDel1, {}},
    {Sep, ActionId::Count, {}},
    {A, ActionId::exit1, {}},
}};
const std::array<MenuEntry, 7> kEditMenu = {{
    {A, ActionId::MoveUndo1, {}},
    {A, ActionId::Redo1, {}},
    {A, ActionId::Journal1, {}},
    {Sep, ActionId::Count, {}},
    {A, ActionId::fNameChange1, {}},
    {Sep, ActionId::Count, {}},
    {A, ActionId::clipcopy1, {}},
}};
const std::array<MenuEntry, 16> kToolMenu = {{
    {A, ActionId::ToolBox1, {}},
    {A, ActionId::CopyMode1, {}},
    {A, ActionId::MoveMode1, {}},
    {A, ActionId::Transfer1, {}},
    {Sep, ActionId::Count, {}},
    {A, ActionId::Max1, {}},
    {A, ActionId::FileNameVisible1, {}},
    {Sep, ActionId::Count, {}},
    {E::SubmenuBegin, ActionId::Count, S("再生順序(&U)")},
    {A, ActionId::menu_random, {}},
    {A, ActionId::menu_normal, {}},
    {A, ActionId::menu_reverse, {}},
    {A, ActionId::Action1, {}},
    {E::SubmenuEnd, ActionId::Count, {}},
    {Sep, ActionId::Count, {}},
    {E::AppEntries, ActionId::Count, {}},
}};
const std::array<MenuEntry, 2> kHelpMenu = {{
    {A, ActionId::Help1, {}},
    {A, ActionId::about1, {}},
}};
const std::array<MenuSpec, 4> kMenus = {{
    {S("ファイル(&F)"), kFileMenu},
    {S("編集(&E)"), kEditMenu},
    {S("ツール(&T)"), kToolMenu},
    {S("ヘルプ(&H)"), kHelpMenu},
}};
#undef S
} // namespace

const ActionSpec &actionSpec(ActionId id)
{
    return kActions[size_t(id)];
}

std::span<const ActionSpec> allActions()
{
    return kActions;
}

std::span<const MenuSpec> mainMenus()
{
    return kMenus;
}
