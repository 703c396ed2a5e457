#pragma once
// A viewer with its tool box, on an offscreen screen with a private
// settings folder and a folder of generated pictures.
#include "ScriptedPrompter.h"
#include "app/ui/MainWindow.h"
#include "app/ui/ToolBoxLink.h"
#include "fileops/ui/ToolBox.h"
#include "fileops/ui/ToolBoxTransferArea.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

class ToolBoxFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        qputenv("GLIMMERDECK_HOME", home_.path().toLocal8Bit());
        ASSERT_TRUE(pics_.isValid());
    }
    void TearDown() override { qunsetenv("GLIMMERDECK_HOME"); }

    // `n` small pictures p0.png .. in `dir` (the picture folder by default).
    QString makePictures(int n, const QString &dir = {})
    {
        const QString folder = dir.isEmpty() ? pics_.path() : dir;
        for (int i = 0; i < n; ++i) {
            QImage img(40 + i, 30, QImage::Format_RGB32);
            img.fill(QColor(50 * i, 10, 200));
            EXPECT_TRUE(img.save(folder + QStringLiteral("/p%1.png").arg(i)));
        }
        return folder;
    }
    // Shows the viewer (and with it the tool box) and waits until the
    // viewer's window is active: shortcuts and the focus need that.
    static void showActive(MainWindow &w)
    {
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    QString pic(int i) const { return pics_.filePath(QStringLiteral("p%1.png").arg(i)); }

    QTemporaryDir home_;
    QTemporaryDir pics_;
};

inline TToolBox *toolBoxOf(MainWindow &w)
{
    return w.toolBox().window();
}

template <typename T> T *named(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// The caption a transfer button shows, without its centring spaces.
inline QString shownCaption(TToolBox *box, int slot)
{
    return box->transferArea()->button(slot)->text().trimmed();
}
