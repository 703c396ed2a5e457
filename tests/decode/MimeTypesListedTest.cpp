// The desktop entry offers the viewer for every type it opens: whatever Qt's
// readers here decode, what the shipped plug-ins add, zip archives and folders.
#include "ScriptedPrompter.h"
#include "decode/PictureFormats.h"
#include "decode/spi/PluginHost.h"

#include <QFile>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace
{
QString desktopKey(const QString &text, const QString &key)
{
    const QRegularExpression re(QStringLiteral("^") + QRegularExpression::escape(key) +
                                    QStringLiteral("=(.*)$"),
                                QRegularExpression::MultilineOption);
    return re.match(text).captured(1);
}
} // namespace

TEST(DesktopEntry, ListsTheTypeOfEveryFormatTheViewerOpens)
{
    QFile f(QStringLiteral(GD_BUILD_DIR "/glimmerdeck.desktop"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(f.readAll());
    const QStringList listed = desktopKey(entry, "MimeType").split(';', Qt::SkipEmptyParts);
    ASSERT_FALSE(listed.isEmpty());

    ScriptedPrompter prompter;
    PictureFormats formats;
    PluginHost host(prompter, formats);
    host.search(QStringLiteral(GD_TEST_PLUGIN_DIR)); // the shipped plug-ins
    ASSERT_NE(formats.find("pcx"), nullptr);

    const QMimeDatabase db;
    for (const PictureFormats::Format &fmt : formats.formats()) {
        const QMimeType type = db.mimeTypeForFile("x." + fmt.extension, QMimeDatabase::MatchExtension);
        if (type.isDefault())
            continue; // a type the desktop has no name for
        QStringList names = type.aliases();
        names << type.name();
        const bool found =
            std::any_of(names.begin(), names.end(), [&](const QString &n) { return listed.contains(n); });
        EXPECT_TRUE(found) << fmt.extension.toStdString() << " (" << type.name().toStdString() << ")";
    }
    EXPECT_TRUE(listed.contains("application/zip"));
    EXPECT_TRUE(listed.contains("inode/directory"));

    // Japanese search words have their own key.
    EXPECT_FALSE(desktopKey(entry, "Keywords[ja]").isEmpty());
    EXPECT_FALSE(desktopKey(entry, "Keywords").contains(QStringLiteral("画像")));
}
