// Start-up around QApplication: the missing-display check, Qt's Japanese
// texts, and the OK default of confirmations.
#include "app/ui/AppSetup.h"

#include "app/ui/QtPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

TEST(AppSetup, MissingDisplayIsReportedOnlyWhenQtWouldNeedOne)
{
    struct Case {
        QStringList args;
        const char *platform, *display, *wayland;
        bool complaint;
    } cases[] = {
        {{}, "", "", "", true},
        {{}, "", ":0", "", false},
        {{}, "", "", "wayland-0", false},
        {{}, "xcb", "", "", true},
        {{}, "wayland-egl", "", "", true},
        {{}, "wayland;xcb", "", "", true},
        {{}, "xcb:nograb", "", "", true},
        {{}, "offscreen", "", "", false},
        {{}, "wayland;offscreen", "", "", false},
        {{}, "eglfs", "", "", false},
        {{"-platform", "offscreen"}, "xcb", "", "", false},
        {{"--platform", "minimal"}, "", "", "", false},
        {{"-platform", "xcb"}, "offscreen", "", "", true}, // the argument wins
        {{"-display", ":1"}, "", "", "", false},
        {{"--", "-platform", "offscreen"}, "", "", "", false}, // Qt reads options past "--" too
        {{"-platform"}, "", "", "", true},
    };
    for (const Case &c : cases) {
        const QString message =
            AppSetup::missingDisplayMessage(c.args, QString::fromLatin1(c.platform),
                                            QString::fromLatin1(c.display), QString::fromLatin1(c.wayland));
        EXPECT_EQ(!message.isEmpty(), c.complaint) << c.args.join(' ').toStdString() << " | " << c.platform
                                                   << " | " << c.display << " | " << c.wayland;
        if (c.complaint) {
            EXPECT_FALSE(message.contains('\n'));
            EXPECT_TRUE(message.contains("DISPLAY") && message.contains("WAYLAND_DISPLAY"));
        }
    }
}

TEST(AppSetup, QtTranslationsLoadWhenPresentAndStayQuietOtherwise)
{
    auto *app = QCoreApplication::instance();
    const auto before = app->findChildren<QTranslator *>().size();
    QTemporaryDir empty;
    EXPECT_FALSE(AppSetup::loadQtTranslations(*app, empty.path()));
    EXPECT_EQ(app->findChildren<QTranslator *>().size(), before);

    const QString qtDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(qtDir + "/qtbase_ja.qm"))
        GTEST_SKIP() << "qtbase_ja.qm is not installed";
    ASSERT_TRUE(AppSetup::loadQtTranslations(*app));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("アドレス:"));
    // Leave the other tests with Qt's own texts.
    for (QTranslator *t : app->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

namespace
{
// Answers the next message box with `key` and records its default button.
void answerNextBox(int key, QMessageBox::StandardButton &defaultButton)
{
    QTimer::singleShot(0, [key, &defaultButton] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        defaultButton = box->standardButton(box->defaultButton());
        QTest::keyClick(box, Qt::Key(key));
    });
}
} // namespace

TEST(QtPrompter, ConfirmationDefaultsToOk)
{
    QtPrompter prompter(nullptr, nullptr);
    QMessageBox::StandardButton def = QMessageBox::NoButton;
    answerNextBox(Qt::Key_Return, def);
    EXPECT_TRUE(prompter.confirm("履歴のリストを消去してもよいですか？"));
    EXPECT_EQ(def, QMessageBox::Ok);

    answerNextBox(Qt::Key_Escape, def);
    EXPECT_FALSE(prompter.confirm("履歴のリストを消去してもよいですか？"));
}
