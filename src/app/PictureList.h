#pragma once
// The ordered list of picture paths being viewed. In sorted mode an added
// path goes to its place in name order and an identical path is not added
// again; in unsorted mode paths are appended and duplicates stay.
#include <QString>
#include <QStringList>

class PictureList {
public:
    int count() const { return int(items_.size()); }
    bool isEmpty() const { return items_.isEmpty(); }
    const QString &at(int i) const { return items_.at(i); }
    const QStringList &items() const { return items_; }

    bool sorted() const { return sorted_; }
    // Switching to sorted puts the entries into name order.
    void setSorted(bool on);
    void add(const QString &path);
    void clear() { items_.clear(); }
    void removeAt(int i) { items_.removeAt(i); }
    void replace(const QStringList &paths) { items_ = paths; }
    void swap(int a, int b) { items_.swapItemsAt(a, b); }

    // Name order: whole paths, case-insensitive, by the user's locale.
    static bool nameLess(const QString &a, const QString &b);

private:
    QStringList items_;
    bool sorted_ = false;
};
