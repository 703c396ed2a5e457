#include "fileops/ui/SameDialog.h"

#include "app/ui/QtPrompter.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{
struct SameDialogTest : ::testing::Test {
    QTemporaryDir dir;
    QString source, target, notPicture;
    SameBoxSettings box{30, 40, 600, 320};
    QLocale previous;
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QDir(dir.path()).mkpath("from");
        QDir(dir.path()).mkpath("to");
        source = dir.path() + "/from/IMG_0042.png";
        target = dir.path() + "/to/IMG_0042.png";
        notPicture = dir.path() + "/to/notes.jpg";
        QImage a(64, 48, QImage::Format_RGB32);
        a.fill(Qt::darkGreen);
        ASSERT_TRUE(a.save(source));
        QImage b(40, 30, QImage::Format_RGB32);
        b.fill(Qt::darkBlue);
        ASSERT_TRUE(b.save(target));
        QFile f(notPicture);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("just some text, not a picture\n");
    }
    void TearDown() override { QLocale::setDefault(previous); }
    template <class T> static T *child(const QWidget &w, const char *name)
    {
        return w.findChild<T *>(QString::fromLatin1(name));
    }
};
} // namespace

TEST_F(SameDialogTest, DescriptionUsesTheThousandsSeparatorAndWholeLargeSizes)
{
    EXPECT_EQ(TfSame::describe({1024, 768}, 245760, "/p/IMG_0042.jpg"),
              "1024 x 768 - Size: 245,760 byte - [ IMG_0042.jpg ]");
    EXPECT_EQ(TfSame::describe({6000, 4000}, 5000000000LL, "/p/big.tif"),
              "6000 x 4000 - Size: 5,000,000,000 byte - [ big.tif ]");
}

TEST_F(SameDialogTest, ShowsBothSidesTheirTextsAndTheButtons)
{
    TfSame dlg(source, target, box, false, true);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("ファイル名が同じです。ファイル名を変更しますか。"));
    EXPECT_EQ(child<QLabel>(dlg, "Label2")->text(), QStringLiteral("移動・複写元の画像"));
    EXPECT_EQ(child<QLabel>(dlg, "Label3")->text(), QStringLiteral("---→"));
    EXPECT_EQ(child<QLabel>(dlg, "Label1")->text(), QStringLiteral("移動・複写先の画像"));
    EXPECT_EQ(child<QLabel>(dlg, "LeftText")->text(),
              TfSame::describe({64, 48}, QFileInfo(source).size(), source));
    EXPECT_EQ(child<QLabel>(dlg, "RightText")->text(),
              TfSame::describe({40, 30}, QFileInfo(target).size(), target));
    EXPECT_TRUE(child<QLabel>(dlg, "LeftLabel")->isHidden());
    EXPECT_TRUE(child<QLabel>(dlg, "RightLabel")->isHidden());
    const QStringList texts = {"変更後、実行", "キャンセル", "元の画像を削除して中止",
                               "先の画像を削除して実行"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(child<QPushButton>(dlg, qPrintable(QString("BitBtn%1").arg(i + 1)))->text(), texts[i]);
    EXPECT_TRUE(child<QPushButton>(dlg, "BitBtn1")->isDefault());

    TfSame broken(source, notPicture, box, false, true);
    EXPECT_TRUE(child<QLabel>(broken, "RightText")->text().isEmpty());
    EXPECT_FALSE(child<QLabel>(broken, "RightLabel")->isHidden());
    EXPECT_EQ(child<QLabel>(broken, "RightLabel")->text(), QStringLiteral("表示不可"));
    EXPECT_TRUE(child<QLabel>(broken, "LeftLabel")->isHidden());
}

TEST_F(SameDialogTest, LayoutFollowsTheWidthAndKeepsAMinimum)
{
    TfSame dlg(source, target, box, false, true);
    dlg.show();
    // A window 600 pixels wide outside; the buttons centre on that width.
    const int frameWidth = dlg.frameGeometry().width() - dlg.width();
    dlg.resize(600 - frameWidth, 300);
    ASSERT_EQ(dlg.frameGeometry().width(), 600);
    EXPECT_EQ(child<QPushButton>(dlg, "BitBtn1")->geometry(), QRect(157, 5, 100, 25));
    EXPECT_EQ(child<QPushButton>(dlg, "BitBtn3")->geometry(), QRect(282, 5, 160, 25));
    EXPECT_EQ(child<QPushButton>(dlg, "BitBtn2")->geometry(), QRect(157, 34, 100, 25));
    EXPECT_EQ(child<QPushButton>(dlg, "BitBtn4")->geometry(), QRect(282, 34, 160, 25));
    const int cw = dlg.width(), left = cw - cw / 2;
    EXPECT_EQ(child<QWidget>(dlg, "RightPanel")->geometry(), QRect(left, 57, cw / 2, 300 - 57 - 62));
    EXPECT_EQ(child<QWidget>(dlg, "LeftText")->geometry(), QRect(10, 32, left - 20, 16));
    EXPECT_EQ(child<QWidget>(dlg, "RightText")->geometry(), QRect(left + 10, 32, left - 20, 16));
    // The 64 x 48 picture is shown whole, centred, never enlarged.
    EXPECT_EQ(child<QWidget>(dlg, "LeftImage")->size(), QSize(64, 48));

    dlg.resize(100, 100);
    EXPECT_GE(dlg.width(), TfSame::kMinWidth);
    EXPECT_GE(dlg.height(), TfSame::kMinHeight);
    dlg.reject();
}

TEST_F(SameDialogTest, KeysAndButtonsGiveTheFourChoicesAndTheGeometryIsKept)
{
    struct Case {
        const char *what;
        std::function<void(TfSame &)> act;
        SameNameChoice choice;
    };
    const QList<Case> cases = {
        {"Enter", [](TfSame &d) { QTest::keyClick(&d, Qt::Key_Return); }, SameNameChoice::Rename},
        {"Escape", [](TfSame &d) { QTest::keyClick(&d, Qt::Key_Escape); }, SameNameChoice::Cancel},
        // Enter presses the button that has the focus.
        {"Enter on cancel",
         [](TfSame &d) {
             child<QPushButton>(d, "BitBtn2")->setFocus();
             QTest::keyClick(d.focusWidget(), Qt::Key_Return);
         },
         SameNameChoice::Cancel},
        {"Enter on delete source",
         [](TfSame &d) {
             child<QPushButton>(d, "BitBtn3")->setFocus();
             QTest::keyClick(d.focusWidget(), Qt::Key_Enter);
         },
         SameNameChoice::DeleteSource},
        {"close", [](TfSame &d) { d.close(); }, SameNameChoice::Cancel},
        {"cancel", [](TfSame &d) { child<QPushButton>(d, "BitBtn2")->click(); }, SameNameChoice::Cancel},
        {"delete source", [](TfSame &d) { child<QPushButton>(d, "BitBtn3")->click(); },
         SameNameChoice::DeleteSource},
        {"delete target", [](TfSame &d) { child<QPushButton>(d, "BitBtn4")->click(); },
         SameNameChoice::DeleteTarget},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        box = {30, 40, 600, 320};
        TfSame dlg(source, target, box, false, true);
        QRect frame;
        QTimer::singleShot(0, &dlg, [&] {
            dlg.setGeometry(50, 60, 640, 360);
            frame = dlg.frameGeometry();
            c.act(dlg);
        });
        EXPECT_EQ(dlg.run(), c.choice);
        EXPECT_EQ(QRect(box.Left, box.Top, box.Width, box.Height), frame);
    }
}

TEST_F(SameDialogTest, OpensWhereItWasLeftButWithinTheDesktop)
{
    TfSame dlg(source, target, box, false, true);
    dlg.show();
    EXPECT_EQ(dlg.frameGeometry(), QRect(30, 40, 600, 320)); // the stored size is the outer one
    dlg.reject();

    box = {-5000, 99999, 500, 300};
    TfSame off(source, target, box, false, true);
    off.show();
    const QRect desk = QGuiApplication::primaryScreen()->geometry();
    EXPECT_TRUE(desk.contains(off.frameGeometry()))
        << off.frameGeometry().x() << "," << off.frameGeometry().y();
    off.reject();
}

TEST_F(SameDialogTest, ThePrompterOpensItAboveTheActiveWindow)
{
    QWidget mainWindow; // hidden, as while the full-screen window is up
    QWidget fullScreen;
    fullScreen.show();
    fullScreen.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fullScreen));
    Settings settings;
    settings.SameBox = {10, 20, 520, 310};
    QtPrompter prompter(&mainWindow, nullptr);
    prompter.setSameDialogContext(&settings, [] { return true; });
    EXPECT_EQ(prompter.dialogParent(), &fullScreen);

    QWidget *shownOver = nullptr;
    QString caption;
    QTimer::singleShot(0, [&] {
        QWidget *dlg = QApplication::activeModalWidget();
        ASSERT_NE(dlg, nullptr);
        shownOver = dlg->parentWidget();
        caption = dlg->windowTitle();
        dlg->resize(dlg->width() + 30, dlg->height());
        child<QPushButton>(*dlg, "BitBtn4")->click();
    });
    EXPECT_EQ(prompter.compareSameName(source, target), SameNameChoice::DeleteTarget);
    EXPECT_EQ(shownOver, &fullScreen);
    EXPECT_EQ(caption, QStringLiteral("ファイル名が同じです。ファイル名を変更しますか。"));
    EXPECT_EQ(settings.SameBox.Width, 550); // its geometry went back into the settings
}
