#include "common/PictureList.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <numeric>
#include <vector>

namespace
{
// The collator of the current default locale, rebuilt when that changes.
// One per thread: the first picture is chosen on another thread at start-up.
const QCollator &nameCollator()
{
    thread_local QCollator col;
    thread_local QString builtFor;
    thread_local bool built = false;
    const QLocale loc;
    if (!built || loc.name() != builtFor) {
        col = QCollator(loc);
        col.setCaseSensitivity(Qt::CaseInsensitive);
        col.setNumericMode(false);
        builtFor = loc.name();
        built = true;
    }
    return col;
}

// One collation key per path: comparing through the collator directly costs
// far more per comparison. The C locale's collator keys ignore the case
// setting, so there the key is the case-folded text.
class NameKeys
{
public:
    explicit NameKeys(const QStringList &paths) : col_(nameCollator())
    {
        plain_ = col_.locale().language() == QLocale::C;
        if (plain_) {
            folded_.reserve(paths.size());
            for (const QString &p : paths)
                folded_.push_back(p.toCaseFolded().toUtf8());
        } else {
            keys_.reserve(paths.size());
            for (const QString &p : paths)
                keys_.push_back(col_.sortKey(p));
        }
    }
    int compare(int a, int b) const
    {
        return plain_ ? folded_[a].compare(folded_[b]) : keys_[a].compare(keys_[b]);
    }

private:
    const QCollator &col_;
    bool plain_ = false;
    std::vector<QByteArray> folded_;
    std::vector<QCollatorSortKey> keys_;
};

// Stable order of `paths` by name, as indices.
std::vector<int> nameOrder(const QStringList &paths, const NameKeys &keys)
{
    std::vector<int> order(paths.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys.compare(a, b) < 0; });
    return order;
}

void keyedSort(QStringList &paths)
{
    const NameKeys keys(paths);
    QStringList sortedPaths;
    sortedPaths.reserve(paths.size());
    for (int i : nameOrder(paths, keys))
        sortedPaths.append(std::move(paths[i]));
    paths = std::move(sortedPaths);
}
} // namespace

bool PictureList::nameLess(const QString &a, const QString &b)
{
    const NameKeys keys({a, b});
    return keys.compare(0, 1) < 0;
}

void PictureList::sortByName(QStringList &paths)
{
    keyedSort(paths);
}

void PictureList::setSorted(bool on)
{
    flush();
    if (on && !sorted_ && !inNameOrder_) {
        keyedSort(items_);
        inNameOrder_ = true;
    }
    sorted_ = on;
}

void PictureList::add(const QString &path)
{
    if (sorted_) {
        pending_.append(path);
        return;
    }
    flush();
    items_.append(path);
    inNameOrder_ = false;
}

void PictureList::flush() const
{
    if (pending_.isEmpty())
        return;
    // Existing entries first, so the stable sort keeps them ahead of new
    // ones with an equal key; entries already duplicated stay duplicated.
    const qsizetype existing = items_.size();
    QStringList all = items_;
    all.append(pending_);
    pending_.clear();
    std::vector<bool> isNew(all.size());
    for (qsizetype i = existing; i < all.size(); ++i)
        isNew[i] = true;
    const NameKeys keys(all);
    const std::vector<int> order = nameOrder(all, keys);

    QStringList out;
    out.reserve(all.size());
    // The paths of the current run of equal keys: many names can sort as
    // equal (case variants), and looking each up keeps that run linear.
    QSet<QString> run;
    int runKey = -1;
    for (int idx : order) {
        if (runKey < 0 || keys.compare(runKey, idx) != 0) {
            if (!run.isEmpty())
                run.clear();
            runKey = idx;
        }
        // Only an identical path is a duplicate: the file system is case-sensitive.
        if (isNew[idx] && run.contains(all[idx]))
            continue;
        run.insert(all[idx]);
        out.append(std::move(all[idx]));
    }
    items_ = std::move(out);
    inNameOrder_ = true;
}

void PictureList::clear()
{
    items_.clear();
    pending_.clear();
    inNameOrder_ = true;
}

void PictureList::removeAt(int i)
{
    flush();
    items_.removeAt(i); // removing keeps name order
}

void PictureList::replace(const QStringList &paths)
{
    pending_.clear();
    items_ = paths;
    inNameOrder_ = false;
}

void PictureList::swap(int a, int b)
{
    flush();
    items_.swapItemsAt(a, b);
    if (a != b)
        inNameOrder_ = false;
}
