#include "SpiTestSupport.h"
#include "decode/PictureFormats.h"
#include "decode/spi/PluginHost.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
QStringList loadedNames(TSPIs &spis)
{
    QStringList names;
    for (int i = 0; i < spis.Count(); ++i)
        names << QFileInfo(spis.Plugins(i)->FileName()).completeBaseName();
    names.sort();
    return names;
}

struct Registered {
    QStringList exts;
    PluginHost::AddFormat sink()
    {
        return [this](const QString &e, const QString &) { exts << e; };
    }
};
} // namespace

TEST(SpiManager, OnlyOneManagerPerProcess)
{
    TSPIs first;
    try {
        TSPIs second;
        ADD_FAILURE() << "no exception";
    } catch (const ESPIDupCreateSPIs &e) {
        EXPECT_EQ(e.message(), QStringLiteral("TSPIs は複数生成できません"));
    }
    EXPECT_EQ(TSPIs::Instance(), &first);
}

TEST(SpiManager, HostKeepsImportFiltersOnly)
{
    QTemporaryDir dir;
    installPlugins(dir.path(), {"plain", "archive", "export", "lower"});
    writeFile(dir.filePath("junk.spi"), "junk");
    QFile::copy(testPlugin("second"), dir.filePath(".hidden.spi"));
    ScriptedPrompter prompter;
    Registered reg;
    PluginHost host(prompter, reg.sink());
    host.search(dir.path());
    EXPECT_EQ(loadedNames(host.SPIs1()), QStringList({"plain"}));
    EXPECT_TRUE(prompter.errors.isEmpty());
    EXPECT_FALSE(libraryLoaded(dir.filePath("archive.spi"))); // rejected and released
    EXPECT_EQ(reg.exts, QStringList({"tst"}));

    host.search(dir.path()); // nothing new the second time
    host.search(dir.filePath("missing"));
    EXPECT_EQ(host.SPIs1().Count(), 1);
    EXPECT_EQ(reg.exts.size(), 1);
}

TEST(SpiManager, BrokenLibraryIsReportedAndTheOthersStillLoad)
{
    QTemporaryDir dir;
    installPlugins(dir.path(), {"noinfo", "plain", "nopicture", "second"});
    ScriptedPrompter prompter;
    Registered reg;
    PluginHost host(prompter, reg.sink());
    host.search(dir.path());
    EXPECT_EQ(loadedNames(host.SPIs1()), QStringList({"plain", "second"}));
    QStringList expected = {
        QStringLiteral("GetPluginInfoは[%1]では使えないSusie Plugin APIです").arg(dir.filePath("noinfo.spi")),
        QStringLiteral("GetPictureは[%1]では使えないSusie Plugin APIです")
            .arg(dir.filePath("nopicture.spi"))};
    prompter.errors.sort();
    expected.sort();
    EXPECT_EQ(prompter.errors, expected);
    EXPECT_EQ(prompter.beeps, 1);
}

TEST(SpiManager, SearchStillRaisesForDirectCallers)
{
    QTemporaryDir dir;
    installPlugins(dir.path(), {"noinfo", "plain"});
    TSPIs spis;
    EXPECT_THROW(spis.Search(dir.path() + "/*.spi"), ESPIInvalidAPI);
    EXPECT_EQ(spis.Count(), 1);
}

TEST(SpiManager, RegistrationTakesPiecesFromTheRightAndCarriesARefusal)
{
    struct Case {
        const char *plugin;
        QStringList registered;
    } cases[] = {
        {"picjpg", {}}, // jpg refused first, pic inherits the refusal
        {"jpgpic", {"pic"}},
        {"pairs", {"aa", "cc", "bb", "dd"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plugin);
        QTemporaryDir dir;
        installPlugins(dir.path(), {c.plugin});
        ScriptedPrompter prompter;
        Registered reg;
        PluginHost host(prompter, reg.sink());
        host.search(dir.path());
        ASSERT_EQ(host.SPIs1().Count(), 1);
        EXPECT_EQ(reg.exts, c.registered);
    }
}

TEST(SpiManager, ViewerRefusesItsOwnExtensionsBySubstring)
{
    struct Case {
        const char *ext;
        bool refused;
    } cases[] = {{"jpg", true},   {"JPEG", true}, {"jp", true},   {"if", true}, {"pg", true},
                 {"tiff", false}, {"emf", false}, {"pcx", false}, {"", false}};
    TSPIs spis;
    auto plugin = CreatePlugin(testPlugin("plain"));
    auto *in = dynamic_cast<TInSPI *>(plugin.get());
    ASSERT_TRUE(in);
    for (const Case &c : cases) {
        const SpiGraphicClass *cls = &TSPIBitmapClass;
        PluginHost::SPIs1PictureRegister(spis, *in, QString::fromLatin1(c.ext), "d", cls);
        EXPECT_EQ(cls == nullptr, c.refused) << c.ext;
    }
}

TEST(SpiManager, FindPluginListPutsExtensionMatchesFirstNewestFirst)
{
    TSPIs spis;
    spis.Add(CreatePlugin(testPlugin("plain")));   // *.tst
    spis.Add(CreatePlugin(testPlugin("jpgjpeg"))); // *.jpg;*.jpeg
    spis.Add(CreatePlugin(testPlugin("second")));  // *.tst
    spis.Add(CreatePlugin(testPlugin("archive"))); // not an import filter
    auto order = [&](const QString &file) {
        std::vector<TSPI *> list;
        spis.FindPluginList<TInSPI>(file, list);
        QStringList names;
        for (TSPI *p : list)
            names << QFileInfo(p->FileName()).completeBaseName();
        return names;
    };
    EXPECT_EQ(order("/x/a.tst"), QStringList({"second", "plain", "jpgjpeg"}));
    EXPECT_EQ(order("/x/a.TST"), QStringList({"second", "plain", "jpgjpeg"}));
    EXPECT_EQ(order("/x/a.jpeg"), QStringList({"jpgjpeg", "plain", "second"}));
    EXPECT_EQ(order("/x/a.jpg"), QStringList({"plain", "jpgjpeg", "second"})); // only the last mask counts
    EXPECT_EQ(order(""), QStringList({"plain", "jpgjpeg", "second"}));
    std::vector<TSPI *> all;
    spis.FindPluginList<TInSPI, TAmSPI>("", all);
    EXPECT_EQ(all.size(), 4u);
}

TEST(SpiManager, ShippedFiltersJoinThePictureFilter)
{
    ScriptedPrompter prompter;
    PictureFormats formats;
    {
        PluginHost host(prompter, formats);
        host.searchAtStartup(QStringLiteral(GD_TEST_PLUGIN_DIR));
        EXPECT_EQ(host.SPIs1().Count(), 2);
        for (const char *ext : {"pcx", "ras", "sun"}) {
            const PictureFormats::Format *f = formats.find(QLatin1String(ext));
            ASSERT_TRUE(f) << ext;
            EXPECT_TRUE(f->plugin);
            EXPECT_TRUE(formats.filter().contains(QStringLiteral("*.") + ext));
        }
        EXPECT_TRUE(formats.isPictureFile("/p/a.PCX"));
    }
    EXPECT_TRUE(prompter.errors.isEmpty());
}
