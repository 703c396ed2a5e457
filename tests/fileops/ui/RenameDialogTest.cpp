#include "fileops/ui/RenameDialog.h"

#include "ScriptedPrompter.h"
#include "fileops/RenameModes.h"
#include "fileops/ui/RenameFlow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{
// A folder of pictures, the viewer's state around the dialog, and what the
// dialog asked the viewer to do.
struct Viewer {
    QTemporaryDir dir;
    PictureList list;
    int index = 0;
    Settings settings;
    DcimRuleTable rules = DcimRulesParse({"IMG_,4(canon)"}).rules;
    ScriptedPrompter prompter;
    FileOps fileOps;
    QTemporaryDir appFolder;
    Journal journal{appFolder.path()};
    JournalOps journalOps{journal, fileOps};
    RenameHost host;
    int pictures = 0;
    bool fullScreen = false;
    QStringList shownNames, toolBoxCaptions;

    explicit Viewer(const QStringList &names)
    {
        for (const QString &n : names) {
            QFile f(dir.filePath(n));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(n.toUtf8()); // each file holds its first name
            list.add(dir.filePath(n));
        }
    }
    RenameContext ctx()
    {
        return {list,
                index,
                settings,
                rules,
                prompter,
                &journalOps,
                host,
                [this] { ++pictures; },
                [this](const QString &n) { shownNames << n; },
                [this] { return fullScreen; },
                [this](const QString &c) { toolBoxCaptions << c; }};
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QString content(const QString &name) const
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QStringList listNames() const
    {
        QStringList out;
        for (const QString &p : list.items())
            out << p.mid(p.lastIndexOf('/') + 1);
        return out;
    }
};

template <typename T> T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

void typeInto(QWidget *dlg, const QString &text)
{
    auto *edit = child<QLineEdit>(dlg, "Edit1");
    edit->clear();
    QTest::keyClicks(edit, text);
}

void click(QWidget *dlg, const char *name)
{
    QTest::mouseClick(child<QPushButton>(dlg, name), Qt::LeftButton);
}

// Runs `script` once the modal dialog is up; a stuck dialog is closed.
void whileOpen(std::function<void()> script)
{
    QTimer::singleShot(0, script);
    QTimer::singleShot(10000, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
}

// Chooses an item of the mode menu that the mode panel opens.
void chooseFromModeMenu(QWidget *dlg, const char *item)
{
    QTimer::singleShot(0, [item] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        menu->findChild<QAction *>(QString::fromLatin1(item))->trigger();
        menu->close();
    });
    QTest::mouseClick(child<QLabel>(dlg, "Panel1"), Qt::LeftButton);
}
} // namespace

TEST(RenameDialog, NumbersAFolderOfThreeAndClosesAfterTheLast)
{
    Viewer v({"a.jpg", "b.jpg", "c.png"});
    v.settings.RenameMode = kRenameNumbering;
    whileOpen([&] {
        TfRename *dlg = v.host.open;
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), "画像ファイル名変更");
        EXPECT_EQ(child<QLabel>(dlg, "Panel1")->text(), "連番変更");
        EXPECT_EQ(child<QLabel>(dlg, "Label1")->text(), "\"a.jpg\" の新しいファイル名を入力してください。");
        EXPECT_TRUE(child<QCheckBox>(dlg, "CheckBox1")->isChecked());
        EXPECT_FALSE(child<QPushButton>(dlg, "BitBtn3")->isEnabled());
        typeInto(dlg, "trip");
        child<QSpinBox>(dlg, "SpinEdit1")->setValue(1);
        click(dlg, "BitBtn1");
        EXPECT_EQ(v.index, 1);
        EXPECT_EQ(child<QLabel>(dlg, "Label4")->text(), "trip_002.jpg"); // the preview of the next
        EXPECT_FALSE(child<QLineEdit>(dlg, "Edit1")->isVisible());
        click(dlg, "BitBtn1");
        QTest::keyClick(child<QPushButton>(dlg, "BitBtn1"), Qt::Key_Space); // the last one closes
    });
    NameChangeDlg(v.ctx(), nullptr);

    EXPECT_EQ(v.files(), (QStringList{"trip_001.jpg", "trip_002.jpg", "trip_003.png"}));
    EXPECT_EQ(v.content("trip_003.png"), "c.png");
    EXPECT_EQ(v.listNames(), (QStringList{"trip_001.jpg", "trip_002.jpg", "trip_003.png"}));
    EXPECT_EQ(v.index, 2);
    EXPECT_EQ(v.pictures, 3); // two steps, then the last picture shown under its new name
    EXPECT_EQ(v.shownNames, (QStringList{"trip_001", "trip_002", "trip_003"}));
    EXPECT_TRUE(v.prompter.allBoxes().isEmpty());
    EXPECT_TRUE(v.host.open.isNull());
}

TEST(RenameDialog, ATakenOrUnusableNameIsRefusedAndTheDialogStepsOn)
{
    Viewer v({"a.jpg", "b.jpg", "c.jpg"});
    {
        QFile taken(v.dir.filePath("taken.jpg"));
        ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
        taken.write("keep me");
    }
    whileOpen([&] {
        TfRename *dlg = v.host.open;
        ASSERT_NE(dlg, nullptr);
        typeInto(dlg, "taken");
        QTest::keyClick(child<QLineEdit>(dlg, "Edit1"), Qt::Key_Return);
        typeInto(dlg, "../b");
        click(dlg, "BitBtn1");
        QFile::remove(v.dir.filePath("c.jpg")); // gone behind the viewer's back
        typeInto(dlg, "z");
        click(dlg, "BitBtn1");
    });
    NameChangeDlg(v.ctx(), nullptr);

    ASSERT_EQ(v.prompter.errors.size(), 3);
    EXPECT_EQ(v.prompter.errors[0], "同名のファイルがありました。");
    EXPECT_EQ(v.prompter.errors[1], RenameFailureText({FileOpResult::InvalidName, {}}));
    EXPECT_EQ(v.prompter.errors[2], RenameFailureText({FileOpResult::SourceMissing, {}}));
    EXPECT_EQ(v.files(), (QStringList{"a.jpg", "b.jpg", "taken.jpg"}));
    EXPECT_EQ(v.content("taken.jpg"), "keep me");
    EXPECT_EQ(v.listNames(), (QStringList{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_TRUE(v.host.open.isNull());
}

TEST(RenameDialog, ModeMenuFallsBackAtTheFirstPictureAndFullScreenBlocksChanges)
{
    Viewer v({"a.jpg", "b.jpg"});
    whileOpen([&] {
        TfRename *dlg = v.host.open;
        ASSERT_NE(dlg, nullptr);
        chooseFromModeMenu(dlg, "N2");
        EXPECT_EQ(v.settings.RenameMode, kRenameNumbering);
        EXPECT_EQ(child<QLabel>(dlg, "Panel1")->text(), "連番変更");
        EXPECT_TRUE(child<QSpinBox>(dlg, "SpinEdit1")->isVisible());

        // The copy modes need a previous picture.
        chooseFromModeMenu(dlg, "N4");
        EXPECT_EQ(v.settings.RenameMode, kRenameAddText);
        EXPECT_EQ(child<QLabel>(dlg, "Panel1")->text(), "文字・追加");
        EXPECT_EQ(child<QLabel>(dlg, "Label4")->text(), "a_");

        v.fullScreen = true;
        click(dlg, "BitBtn1");
        EXPECT_EQ(v.index, 0);
        v.fullScreen = false;

        click(dlg, "BitBtn4");
        EXPECT_EQ(v.index, 1);
        EXPECT_FALSE(child<QPushButton>(dlg, "BitBtn4")->isEnabled());
        // "a" holds no camera name to copy from: the dialog closes.
        chooseFromModeMenu(dlg, "N4");
    });
    NameChangeDlg(v.ctx(), nullptr);

    EXPECT_EQ(v.toolBoxCaptions, (QStringList{"ファイル名変更", "連番変更", "文字・追加", "文字複写＆変更"}));
    EXPECT_EQ(v.files(), (QStringList{"a.jpg", "b.jpg"}));
    EXPECT_TRUE(v.host.open.isNull());
    EXPECT_TRUE(v.prompter.allBoxes().isEmpty());
}

TEST(RenameDialog, AddedTextIsCopiedOntoTheFollowingCameraNames)
{
    Viewer v({"IMG_0001.jpg", "IMG_0002.jpg", "IMG_0003.jpg"});
    v.settings.RenameMode = kRenameAddText;
    v.settings.Rename.AddAtBack = false;
    whileOpen([&] {
        TfRename *dlg = v.host.open;
        ASSERT_NE(dlg, nullptr);
        QTest::mouseClick(child<QWidget>(dlg, "RadioButton2"), Qt::LeftButton); // at the back
        typeInto(dlg, "party");
        click(dlg, "BitBtn5");
        EXPECT_EQ(v.settings.RenameMode, kRenameCopyAuto);
        EXPECT_EQ(child<QLabel>(dlg, "Panel1")->text(), "追加文字複写");
        EXPECT_EQ(child<QLabel>(dlg, "Label4")->text(), "IMG_0002_party.jpg");
        QTest::keyClick(child<QPushButton>(dlg, "BitBtn1"), Qt::Key_Return); // it has the focus
        click(dlg, "BitBtn1");
    });
    NameChangeDlg(v.ctx(), nullptr);

    EXPECT_EQ(v.files(), (QStringList{"IMG_0001_party.jpg", "IMG_0002_party.jpg", "IMG_0003_party.jpg"}));
    EXPECT_EQ(v.listNames(), v.files());
    EXPECT_TRUE(v.settings.Rename.AddAtBack); // the side chosen is kept
    EXPECT_EQ(v.toolBoxCaptions.last(), "追加文字複写");
}

TEST(RenameDialog, AsksANameForTheSameNameChoiceWithoutTouchingTheOpenDialog)
{
    Viewer v({"a.jpg"});
    TfRename open(v.ctx());
    ASSERT_EQ(v.host.open, &open);
    const QString taken = v.dir.filePath("IMG_0001.jpg");

    struct Case {
        QStringList typed; // typed and confirmed in turn; empty: cancel
        QString result;
        int errors;
    } cases[] = {{{"new"}, "new.jpg", 0},
                 {{"new.png"}, "new.png", 0},
                 {{"a/b", ".."}, "", 2},
                 {{"a/b", "ok"}, "ok.jpg", 1},
                 {{}, "", 0}};
    for (const Case &c : cases) {
        ScriptedPrompter prompter;
        whileOpen([&] {
            auto *dlg = qobject_cast<TfRename *>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            EXPECT_EQ(child<QLineEdit>(dlg, "Edit1")->text(), "IMG_0001");
            EXPECT_EQ(child<QLabel>(dlg, "Label3")->text(), ".jpg");
            EXPECT_EQ(child<QPushButton>(dlg, "BitBtn1")->text(), "変更後、実行");
            EXPECT_FALSE(child<QWidget>(dlg, "BitBtn3")->isVisible());
            for (const QString &t : c.typed) {
                typeInto(dlg, t);
                click(dlg, "BitBtn1");
            }
            if (dlg->isVisible())
                click(dlg, "BitBtn2");
        });
        EXPECT_EQ(TfRename::AskNewName(nullptr, taken, prompter), c.result)
            << c.typed.join('|').toStdString();
        EXPECT_EQ(prompter.errors.size(), c.errors);
        EXPECT_EQ(v.host.open, &open);
    }
    EXPECT_EQ(v.files(), QStringList{"a.jpg"});
}

// The picture's RAW and sidecars take its new name with it, as one entry
// that undo reverses; a companion's name that is taken stops the rename.
TEST(RenameDialog, CompanionsTakeTheNewNameAndAClashOnOneRefusesTheGroup)
{
    Viewer v({"IMG_1.jpg", "IMG_2.jpg"});
    for (const char *companion : {"IMG_1.CR2", "IMG_1.jpg.xmp", "IMG_2.CR2", "held.CR2"}) {
        QFile f(v.dir.filePath(companion));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(companion);
    }
    whileOpen([&] {
        TfRename *dlg = v.host.open;
        ASSERT_NE(dlg, nullptr);
        typeInto(dlg, "beach");
        QTest::keyClick(child<QLineEdit>(dlg, "Edit1"), Qt::Key_Return);
        typeInto(dlg, "held"); // held.CR2 is in the way of IMG_2.CR2
        QTest::keyClick(child<QLineEdit>(dlg, "Edit1"), Qt::Key_Return);
    });
    NameChangeDlg(v.ctx(), nullptr);

    EXPECT_EQ(v.files(), (QStringList{"IMG_2.CR2", "IMG_2.jpg", "beach.CR2", "beach.jpg", "beach.jpg.xmp",
                                      "held.CR2"}));
    EXPECT_EQ(v.content("beach.CR2"), "IMG_1.CR2");
    EXPECT_EQ(v.content("beach.jpg.xmp"), "IMG_1.jpg.xmp");
    ASSERT_EQ(v.prompter.errors.size(), 1);
    EXPECT_TRUE(v.prompter.errors[0].startsWith("IMG_2.CR2: ")) << v.prompter.errors[0].toStdString();
    EXPECT_EQ(v.listNames(), (QStringList{"beach.jpg", "IMG_2.jpg"}));

    ASSERT_TRUE(v.journalOps.undo().ok());
    EXPECT_EQ(v.files(), (QStringList{"IMG_1.CR2", "IMG_1.jpg", "IMG_1.jpg.xmp", "IMG_2.CR2", "IMG_2.jpg",
                                      "held.CR2"}));
}
