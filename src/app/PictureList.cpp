#include "app/PictureList.h"

#include <QCollator>
#include <algorithm>

namespace {
const QCollator &nameCollator()
{
    static const QCollator c = [] {
        QCollator col;
        col.setCaseSensitivity(Qt::CaseInsensitive);
        col.setNumericMode(false);
        return col;
    }();
    return c;
}
} // namespace

bool PictureList::nameLess(const QString &a, const QString &b)
{
    return nameCollator().compare(a, b) < 0;
}

void PictureList::setSorted(bool on)
{
    if (on && !sorted_)
        std::stable_sort(items_.begin(), items_.end(), nameLess);
    sorted_ = on;
}

void PictureList::add(const QString &path)
{
    if (!sorted_) {
        items_.append(path);
        return;
    }
    auto it = std::lower_bound(items_.begin(), items_.end(), path, nameLess);
    // Only an identical path is a duplicate: the file system is case-sensitive.
    for (auto j = it; j != items_.end() && !nameLess(path, *j); ++j)
        if (*j == path)
            return;
    items_.insert(it, path);
}
