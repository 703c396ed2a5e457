#pragma once
// The main window's plug-in manager: keeps import filters only, never lets a
// plug-in take over the extensions the viewer decodes itself, and reports
// broken plug-in libraries without stopping start-up.
#include "decode/spi/SpiManager.h"

#include <QString>
#include <QStringList>
#include <functional>

class PictureFormats;
class Prompter;

class PluginHost
{
public:
    // addFormat registers one extension (lower case, no dot) with its description
    // in the picture format registry.
    using AddFormat = std::function<void(const QString &extension, const QString &description)>;

    // baseFolder: what a relative plug-in folder is taken from (the
    // application folder); the executable's folder when empty.
    PluginHost(Prompter &prompter, AddFormat addFormat, const QString &baseFolder = {});
    // Registers into `formats` and installs the plug-ins as the picture loader's
    // fallback decoder (removed again on destruction).
    PluginHost(Prompter &prompter, PictureFormats &formats, const QString &baseFolder = {});
    ~PluginHost();

    // Loads the "*.spi" files of `folder` (an empty folder means "/", a
    // relative one is taken from the base folder). A library lacking a
    // required export is reported with an error box; the others load. Files
    // others could have placed or changed are not loaded; each is reported
    // once per run, in one box. Afterwards the caller rebuilds the picture
    // filter from the registry.
    void search(const QString &folder);
    // Start-up: the plug-ins shipped with the viewer, then the user's folder
    // (the "Susie Plug-in.Dir" setting) when one is set.
    void searchAtStartup(const QString &userFolder, const QString &shippedFolder = shippedPluginFolder());
    // "plugins" beside the executable when it exists (build tree, portable
    // use), else the installed plug-in folder, also when the installed tree
    // was moved.
    static QString shippedPluginFolder();

    TSPIs &SPIs1() { return FSPIs; }

    // Accept only import filters.
    static void SPIs1Search(TSPIs &sender, TSPI &plugin, bool &accept);
    // Refuse the extensions the viewer's own decoders own (a substring test).
    static void SPIs1PictureRegister(TSPIs &sender, TInSPI &plugin, const QString &extension,
                                     const QString &description, const SpiGraphicClass *&graphicClass);

    // The message for plug-ins left alone.
    static QString SkippedMessage(const QList<TSPIs::Skipped> &skipped);

private:
    void reportSkipped();

    Prompter &FPrompter;
    QString FBaseFolder;
    QStringList FReported;
    TSPIs FSPIs;
    bool FDecoderInstalled = false;
};
