#include "decode/spi/PluginHost.h"

#include "common/Prompter.h"
#include "decode/LoadPicture.h"
#include "decode/PictureFormats.h"
#include "decode/spi/SpiGraphic.h"
#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

PluginHost::PluginHost(Prompter &prompter, AddFormat addFormat, const QString &baseFolder)
    : FPrompter(prompter),
      FBaseFolder(baseFolder.isEmpty() ? QCoreApplication::applicationDirPath() : baseFolder)
{
    TSPIs::SetDefaultGraphic(&TSPIBitmapClass);
    FSPIs.GraphicPreview = false;
    FSPIs.AutoSearch = false;
    FSPIs.SearchOptions = spsSusieDir | spsAppDir;
    FSPIs.OnSearch = &PluginHost::SPIs1Search;
    FSPIs.OnPictureRegister = &PluginHost::SPIs1PictureRegister;
    FSPIs.OnRegisterFormat = [add = std::move(addFormat)](const QString &ext, const QString &desc,
                                                          const SpiGraphicClass *) {
        // A pattern ending in ";" yields an empty piece; there is nothing to register for it.
        if (add && !ext.isEmpty())
            add(ext, desc);
    };
}

PluginHost::PluginHost(Prompter &prompter, PictureFormats &formats, const QString &baseFolder)
    : PluginHost(
          prompter, [&formats](const QString &ext, const QString &desc) { formats.addFormat(ext, desc); },
          baseFolder)
{
    setPluginDecoder(&DecodeWithPlugins);
    FDecoderInstalled = true;
}

PluginHost::~PluginHost()
{
    if (FDecoderInstalled)
        setPluginDecoder({});
}

void PluginHost::search(const QString &folder)
{
    // Pictures may be decoding on a worker thread; the list must not change under them.
    QMutexLocker lock(&SpiLock());
    // Never the current folder: where the viewer was started from says
    // nothing about what may run in it.
    QString wildCard = folder;
    if (!wildCard.isEmpty() && QDir::isRelativePath(wildCard))
        wildCard = QDir(FBaseFolder).filePath(wildCard);
    if (!wildCard.endsWith(QLatin1Char('/')))
        wildCard += QLatin1Char('/');
    wildCard += QLatin1String("*.spi");
    try {
        FSPIs.Search(wildCard);
    } catch (const ESPIError &) {
        FPrompter.beep();
        for (const QString &message : FSPIs.LastSearchErrors())
            FPrompter.error(message);
    }
    reportSkipped();
}

void PluginHost::reportSkipped()
{
    QList<TSPIs::Skipped> fresh;
    for (const TSPIs::Skipped &s : FSPIs.LastSkipped()) {
        if (s.why == PathTrust::Missing || FReported.contains(s.path))
            continue;
        FReported << s.path;
        fresh << s;
    }
    if (!fresh.isEmpty())
        FPrompter.error(SkippedMessage(fresh));
}

QString PluginHost::SkippedMessage(const QList<TSPIs::Skipped> &skipped)
{
    QString text =
        QStringLiteral("次のプラグインは、ほかのユーザーが置いたり書き換えたりできる場所にあるため、"
                       "読み込みませんでした。");
    for (const TSPIs::Skipped &s : skipped) {
        text += QLatin1Char('\n') + s.path;
        text += s.why == PathTrust::ForeignOwner ? QStringLiteral(" (ほかのユーザーの所有)")
                                                 : QStringLiteral(" (ほかのユーザーが書き込み可能)");
    }
    return text;
}

void PluginHost::searchAtStartup(const QString &userFolder, const QString &shippedFolder)
{
    search(shippedFolder);
    if (!userFolder.isEmpty())
        search(userFolder);
}

QString PluginHost::shippedPluginFolder()
{
    return AppPaths::pluginFolder();
}

void PluginHost::SPIs1Search(TSPIs &, TSPI &plugin, bool &accept)
{
    accept = dynamic_cast<TInSPI *>(&plugin) != nullptr;
}

void PluginHost::SPIs1PictureRegister(TSPIs &, TInSPI &, const QString &extension, const QString &,
                                      const SpiGraphicClass *&graphicClass)
{
    if (!extension.isEmpty() &&
        QStringLiteral("jpg, jpeg, gif, bmp, wmf, ico, png, tif").contains(extension.toLower()))
        graphicClass = nullptr;
}
