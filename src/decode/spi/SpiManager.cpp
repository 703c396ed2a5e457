#include "decode/spi/SpiManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

const SpiGraphicClass TSPIBitmapClass{"TSPIBitmap"};

namespace
{
TSPIs *g_instance = nullptr;
const SpiGraphicClass *g_defaultGraphic = nullptr;

// Extension from the last "." of the name part, dot included; empty without one.
QString extensionOf(const QString &name)
{
    const int slash = name.lastIndexOf(QLatin1Char('/'));
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? name.mid(dot) : QString();
}
} // namespace

TSPIs::TSPIs()
{
    if (g_instance)
        throw ESPIDupCreateSPIs();
    g_instance = this;
}

TSPIs::~TSPIs()
{
    if (g_instance == this)
        g_instance = nullptr;
    Clear();
}

TSPIs *TSPIs::Instance()
{
    return g_instance;
}
void TSPIs::SetDefaultGraphic(const SpiGraphicClass *cls)
{
    g_defaultGraphic = cls;
}
const SpiGraphicClass *TSPIs::GetDefaultGraphic()
{
    return g_defaultGraphic;
}

int TSPIs::IndexOf(const TSPI *plugin) const
{
    for (int i = 0; i < Count(); ++i)
        if (FPlugins[size_t(i)].get() == plugin)
            return i;
    return -1;
}

int TSPIs::IndexOfSPIName(const QString &name) const
{
    for (int i = 0; i < Count(); ++i)
        if (FPlugins[size_t(i)]->FileName() == name)
            return i;
    return -1;
}

void TSPIs::Insert(int idx, std::unique_ptr<TSPI> plugin)
{
    if (!plugin)
        return;
    idx = qBound(0, idx, Count());
    TSPI *p = plugin.get();
    FPlugins.insert(FPlugins.begin() + idx, std::move(plugin));
    if (auto *in = dynamic_cast<TInSPI *>(p))
        registerExtensions(*in);
}

void TSPIs::registerExtensions(TInSPI &plugin)
{
    const QStringList &exts = plugin.ExtNames();
    for (int i = 0; i < exts.size(); ++i) {
        const QString description = plugin.FileTypes().value(i);
        // One class per pattern: a piece the handler refuses also refuses the
        // pieces to its left unless the handler sets a class again.
        const SpiGraphicClass *cls = g_defaultGraphic;
        const QStringList pieces = exts[i].split(QLatin1Char(';'));
        for (int k = pieces.size() - 1; k >= 0; --k) {
            const QString &piece = pieces[k];
            const int dot = piece.indexOf(QLatin1Char('.'));
            const QString ext = dot >= 0 ? piece.mid(dot + 1) : piece;
            if (OnPictureRegister)
                OnPictureRegister(*this, plugin, ext, description, cls);
            if (cls && OnRegisterFormat)
                OnRegisterFormat(ext.toLower(), description, cls);
        }
    }
}

void TSPIs::Delete(int idx)
{
    if (idx < 0 || idx >= Count())
        return;
    // Take it out first so a plug-in's destructor never sees a half-updated list.
    std::unique_ptr<TSPI> p = std::move(FPlugins[size_t(idx)]);
    FPlugins.erase(FPlugins.begin() + idx);
    if (GraphicForcedLoader == p.get())
        GraphicForcedLoader = nullptr;
}

void TSPIs::Remove(const TSPI *plugin)
{
    const int i = IndexOf(plugin);
    if (i >= 0)
        Delete(i);
}

void TSPIs::Clear()
{
    while (Count() > 0)
        Delete(0);
}

void TSPIs::Exchange(int idx1, int idx2)
{
    if (idx1 < 0 || idx2 < 0 || idx1 >= Count() || idx2 >= Count())
        return;
    std::swap(FPlugins[size_t(idx1)], FPlugins[size_t(idx2)]);
}

void TSPIs::findPluginList(const std::function<bool(const TSPI *)> &match, const QString &priorityExt,
                           std::vector<TSPI *> &list) const
{
    const QString ext = extensionOf(priorityExt);
    for (const auto &p : FPlugins) {
        if (!match(p.get()))
            continue;
        bool priority = false;
        if (!ext.isEmpty()) {
            for (const QString &pattern : p->ExtNames()) {
                // Only the last mask of a pattern counts.
                const int dot = pattern.lastIndexOf(QLatin1Char('.'));
                if (dot >= 0 && QString::compare(pattern.mid(dot), ext, Qt::CaseInsensitive) == 0) {
                    priority = true;
                    break;
                }
            }
        }
        if (priority)
            list.insert(list.begin(), p.get());
        else
            list.push_back(p.get());
    }
}

void TSPIs::Search(const QString &wildCard)
{
    FSearchErrors.clear();
    FSkipped.clear();
    FFirstError.reset();
    const int slash = wildCard.lastIndexOf(QLatin1Char('/'));
    const QString folder = wildCard.left(slash + 1);
    const QString mask = wildCard.mid(slash + 1);
    if (!folder.isEmpty()) {
        searchDirCollect(folder, mask);
    } else {
        // The registry key, system and Windows folders have no Linux counterpart.
        QStringList places;
        if (SearchOptions & spsAppDir)
            places << QCoreApplication::applicationDirPath();
        if (SearchOptions & spsCurrentDir)
            places << QDir::currentPath();
        for (QString place : places) {
            if (place.isEmpty())
                continue;
            if (!place.endsWith(QLatin1Char('/')))
                place += QLatin1Char('/');
            searchDirCollect(place, mask);
        }
    }
    if (FFirstError) {
        const ESPIInvalidAPI e = *FFirstError;
        FFirstError.reset();
        throw e;
    }
}

void TSPIs::SearchDir(const QString &folder, const QString &mask)
{
    FSearchErrors.clear();
    FSkipped.clear();
    FFirstError.reset();
    searchDirCollect(folder, mask);
    if (FFirstError) {
        const ESPIInvalidAPI e = *FFirstError;
        FFirstError.reset();
        throw e;
    }
}

void TSPIs::searchDirCollect(const QString &folder, const QString &mask)
{
    QDir dir(folder);
    if (mask.isEmpty() || !dir.exists())
        return;
    // File-system order, hidden files skipped.
    const QStringList names = dir.entryList({mask}, QDir::Files | QDir::System, QDir::Unsorted);
    QStringList paths;
    for (const QString &name : names) {
        const QString path = QFileInfo(dir.filePath(name)).absoluteFilePath();
        if (IndexOfSPIName(path) < 0 && !paths.contains(path))
            paths << path;
    }
    for (const QString &path : paths) {
        const PathTrust trust = CheckLoadPath(path);
        if (trust != PathTrust::Trusted) {
            FSkipped.append({path, trust});
            continue;
        }
        bool accept = true;
        if (OnSearching)
            OnSearching(*this, path, accept);
        if (!accept)
            continue;
        std::unique_ptr<TSPI> plugin;
        try {
            plugin = CreatePlugin(path);
        } catch (const ESPIInvalidAPI &e) {
            FSearchErrors << e.message();
            if (!FFirstError)
                FFirstError = std::make_unique<ESPIInvalidAPI>(e);
            continue;
        }
        if (!plugin)
            continue;
        TSPI *raw = plugin.get();
        try {
            accept = true;
            if (OnSearch)
                OnSearch(*this, *raw, accept);
            if (accept)
                Add(std::move(plugin));
        } catch (...) {
            // A failing handler or registration drops this plug-in only.
            Remove(raw);
        }
    }
}
