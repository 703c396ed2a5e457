// How the help page and the about box sit on screen: the page fits the help
// window's default width, and the fixed-size about box offers no minimise or
// maximise.
#include "common/ui/AboutBox.h"
#include "common/ui/HelpViewer.h"
#include "settings/Settings.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

TEST(HelpViewer, ShippedPageNeedsNoHorizontalScrollingAt500Pixels)
{
    HelpSettings geo;
    geo.Width = 500;
    geo.Height = 500;
    TfHelpViewer w(geo);
    w.setHomeFileName(QStringLiteral(GD_BUILD_DIR "/help.html"));
    w.goHome();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_EQ(w.width(), 500);
    QTextBrowser *browser = w.browser();
    ASSERT_GT(browser->document()->characterCount(), 1000);
    // The widest element decides; scroll through so every part is laid out.
    browser->verticalScrollBar()->setValue(browser->verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
    EXPECT_EQ(browser->horizontalScrollBar()->maximum(), 0)
        << "document " << browser->document()->idealWidth() << " px, view " << browser->viewport()->width();
}

TEST(AboutBox, FixedSizeWithACloseButtonOnly)
{
    TfAbout box;
    const Qt::WindowFlags f = box.windowFlags();
    EXPECT_TRUE(f.testFlag(Qt::CustomizeWindowHint)); // only the hints below, not the defaults
    EXPECT_TRUE(f.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(f.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
}
