#include "decode/spi/PluginHost.h"

#include "common/Prompter.h"
#include "decode/LoadPicture.h"
#include "decode/PictureFormats.h"
#include "decode/spi/SpiGraphic.h"
#include "platform/AppPaths.h"

#include <QMutexLocker>

PluginHost::PluginHost(Prompter &prompter, AddFormat addFormat) : FPrompter(prompter)
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

PluginHost::PluginHost(Prompter &prompter, PictureFormats &formats)
    : PluginHost(prompter,
                 [&formats](const QString &ext, const QString &desc) { formats.addFormat(ext, desc); })
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
    QString wildCard = folder;
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
}

void PluginHost::searchAtStartup(const QString &userFolder)
{
    search(shippedPluginFolder());
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
