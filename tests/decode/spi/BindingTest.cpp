#include "SpiTestSupport.h"
#include "decode/spi/SpiLibrary.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SpiBinding, CreatePluginChoosesTheClassByExactVersion)
{
    struct Case {
        const char *plugin;
        const char *kind; // dynamic class expected
        bool enabled;
    } cases[] = {
        {"plain", "in", true},   {"archive", "am", true},
        {"export", "xn", false}, {"lower", "spi", false}, // "00in" is not an import filter
        {"blank", "spi", false},                          // nor is "00IN "
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plugin);
        std::unique_ptr<TSPI> p = CreatePlugin(testPlugin(c.plugin));
        ASSERT_TRUE(p);
        const std::string kind = dynamic_cast<TInSPI *>(p.get())       ? "in"
                                 : dynamic_cast<TAmSPI *>(p.get())     ? "am"
                                 : dynamic_cast<TXnSPI *>(p.get())     ? "xn"
                                 : dynamic_cast<TLoaderSPI *>(p.get()) ? "loader"
                                                                       : "spi";
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(p->Enabled(), c.enabled);
        EXPECT_EQ(p->FileName(), testPlugin(c.plugin));
    }
}

TEST(SpiBinding, MissingRequiredExportsRaiseInvalidApi)
{
    struct Case {
        const char *plugin;
        const char *api;
    } cases[] = {{"noinfo", "GetPluginInfo"}, {"nopicture", "GetPicture"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plugin);
        try {
            CreatePlugin(testPlugin(c.plugin));
            ADD_FAILURE() << "no exception";
        } catch (const ESPIInvalidAPI &e) {
            EXPECT_EQ(e.message(), QStringLiteral("%1は[%2]では使えないSusie Plugin APIです")
                                       .arg(QLatin1String(c.api), testPlugin(c.plugin)));
        }
        EXPECT_FALSE(libraryLoaded(testPlugin(c.plugin)));
    }
}

TEST(SpiBinding, FilesThatAreNoLibraryGiveNothing)
{
    QTemporaryDir dir;
    const QString text = dir.filePath("text.spi");
    writeFile(text, "not a shared object");
    EXPECT_FALSE(CreatePlugin(text));
    EXPECT_FALSE(CreatePlugin(dir.filePath("missing.spi")));
    try {
        TSPI::Create<TSPI>(text);
        ADD_FAILURE() << "no exception";
    } catch (const ESPIFOpenErrorSPI &e) {
        EXPECT_EQ(e.message(), text + QStringLiteral(":Susie Pluginがロードできませんでした"));
    }
}

TEST(SpiBinding, InformationStringsComeInPairs)
{
    auto pairs = CreatePlugin(testPlugin("pairs")); // three pairs and an unpaired pattern
    ASSERT_TRUE(pairs);
    EXPECT_EQ(pairs->Version(), "00IN");
    EXPECT_EQ(pairs->Infomation(), "t");
    EXPECT_EQ(pairs->ExtNames(), QStringList({"*.aa", "*.bb;*.cc", "*.dd"}));
    EXPECT_EQ(pairs->FileTypes(), QStringList({"A", "B", "D"}));
    auto unpaired = CreatePlugin(testPlugin("unpaired"));
    ASSERT_TRUE(unpaired);
    EXPECT_TRUE(unpaired->ExtNames().isEmpty());
    EXPECT_TRUE(unpaired->FileTypes().isEmpty());
}

TEST(SpiBinding, MissingGetPreviewRaisesOnCall)
{
    auto p = CreatePlugin(testPlugin("plain"));
    auto *in = dynamic_cast<TInSPI *>(p.get());
    ASSERT_TRUE(in);
    HLOCAL a = nullptr, b = nullptr;
    try {
        in->GetPreview("", 0, 0, &a, &b, nullptr, 0);
        ADD_FAILURE() << "no exception";
    } catch (const ESPIInvalidAPI &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("GetPreviewは[%1]では使えないSusie Plugin APIです").arg(in->FileName()));
    }
}

TEST(SpiBinding, LibraryIsHeldOnceAndReleasedWithTheObject)
{
    const QString path = testPlugin("second");
    ASSERT_FALSE(libraryLoaded(path));
    auto p = CreatePlugin(path);
    ASSERT_TRUE(p);
    EXPECT_TRUE(libraryLoaded(path));
    p.reset();
    EXPECT_FALSE(libraryLoaded(path)); // the probe object's reference was dropped too
}
