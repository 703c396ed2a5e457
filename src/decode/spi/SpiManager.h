#pragma once
// The process's one plug-in manager: finds "*.spi" files, keeps the accepted
// plug-ins in priority order and registers the extensions of import filters.
#include "decode/spi/SpiLibrary.h"
#include "platform/TrustedPath.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <typeinfo>
#include <vector>

// Stands for the decoder class that a registered extension is decoded with.
struct SpiGraphicClass {
    const char *name;
};
// The plug-in bitmap decoder (plug-ins first, the BMP reader as fallback).
extern const SpiGraphicClass TSPIBitmapClass;

enum TSPISearchOption : unsigned {
    spsSusieDir = 1, // no such place on Linux
    spsAppDir = 2,
    spsCurrentDir = 4,
    spsSystemDir = 8,  // no such place on Linux
    spsWindowsDir = 16 // no such place on Linux
};
using TSPISearchOptions = unsigned;

class TSPIs
{
public:
    using TSPISearchEvent = std::function<void(TSPIs &sender, TSPI &plugin, bool &accept)>;
    using TSPISearchingEvent = std::function<void(TSPIs &sender, const QString &fileName, bool &accept)>;
    using TSPIPictureRegisterEvent =
        std::function<void(TSPIs &sender, TInSPI &plugin, const QString &extension,
                           const QString &description, const SpiGraphicClass *&graphicClass)>;
    // Where registered extensions go (the picture format registry).
    using FormatSink =
        std::function<void(const QString &extension, const QString &description, const SpiGraphicClass *cls)>;

    // Throws ESPIDupCreateSPIs when one already exists.
    TSPIs();
    ~TSPIs();
    TSPIs(const TSPIs &) = delete;
    TSPIs &operator=(const TSPIs &) = delete;

    // The one instance, or null.
    static TSPIs *Instance();
    static void SetDefaultGraphic(const SpiGraphicClass *cls);
    static const SpiGraphicClass *GetDefaultGraphic();

    int Count() const { return int(FPlugins.size()); }
    TSPI *Plugins(int idx) const { return FPlugins.at(size_t(idx)).get(); }
    int IndexOf(const TSPI *plugin) const;
    // Paths are the same only when equal as written (case-sensitive file system).
    int IndexOfSPIName(const QString &name) const;

    void Add(std::unique_ptr<TSPI> plugin) { Insert(Count(), std::move(plugin)); }
    void Insert(int idx, std::unique_ptr<TSPI> plugin);
    void Delete(int idx);
    void Remove(const TSPI *plugin);
    void Clear();
    void Exchange(int idx1, int idx2);

    // Appends to `list` the plug-ins whose dynamic class is one of `classes`
    // (exactly or derived), in the order to try for a file named `priorityExt`.
    template <class... Classes>
    void FindPluginList(const QString &priorityExt, std::vector<TSPI *> &list) const
    {
        findPluginList([](const TSPI *p) { return ((dynamic_cast<const Classes *>(p) != nullptr) || ...); },
                       priorityExt, list);
    }

    // Loads every matching plug-in file not loaded yet. A library lacking a
    // required export does not stop the search: the remaining files are still
    // loaded, and the first such ESPIInvalidAPI is thrown once the search is done
    // (all messages are in LastSearchErrors()).
    void Search(const QString &wildCard);
    void SearchDir(const QString &folder, const QString &mask);
    // Called once the owner has configured the manager: searches "*.spi" when AutoSearch is set.
    void Loaded()
    {
        if (AutoSearch)
            Search(QStringLiteral("*.spi"));
    }
    const QStringList &LastSearchErrors() const { return FSearchErrors; }
    // Files the last search left alone because others could have placed or
    // changed them (see CheckLoadPath), with the reason.
    struct Skipped {
        QString path;
        PathTrust why;
    };
    const QList<Skipped> &LastSkipped() const { return FSkipped; }

    TSPISearchOptions SearchOptions = spsSusieDir | spsAppDir;
    TSPISearchEvent OnSearch;
    TSPISearchingEvent OnSearching;
    TSPIPictureRegisterEvent OnPictureRegister;
    FormatSink OnRegisterFormat;
    bool AutoSearch = true;
    bool MacBinary = true;
    bool GraphicPreview = false;
    TInSPI *GraphicForcedLoader = nullptr;

private:
    void findPluginList(const std::function<bool(const TSPI *)> &match, const QString &priorityExt,
                        std::vector<TSPI *> &list) const;
    void registerExtensions(TInSPI &plugin);
    void searchDirCollect(const QString &folder, const QString &mask);

    std::vector<std::unique_ptr<TSPI>> FPlugins;
    QStringList FSearchErrors;
    QList<Skipped> FSkipped;
    std::unique_ptr<ESPIInvalidAPI> FFirstError;
};
