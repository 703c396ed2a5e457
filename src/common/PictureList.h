#pragma once
// The ordered list of picture paths being viewed. In sorted mode an added
// path goes to its place in name order and an identical path is not added
// again; in unsorted mode paths are appended and duplicates stay.
//
// Adds in sorted mode are gathered and put into place in one batch on the
// next read, so filling the list from a folder of 100,000 files stays
// O(n log n) instead of inserting one by one.
#include <QString>
#include <QStringList>

class PictureList
{
public:
    int count() const
    {
        flush();
        return int(items_.size());
    }
    bool isEmpty() const { return items_.isEmpty() && pending_.isEmpty(); }
    const QString &at(int i) const
    {
        flush();
        return items_.at(i);
    }
    const QStringList &items() const
    {
        flush();
        return items_;
    }

    bool sorted() const { return sorted_; }
    // Switching to sorted puts the entries into name order.
    void setSorted(bool on);
    void add(const QString &path);
    void clear();
    void removeAt(int i);
    void replace(const QStringList &paths);
    void swap(int a, int b);

    // Name order: whole paths, case-insensitive, by the user's locale.
    static bool nameLess(const QString &a, const QString &b);
    // Stable sort of paths into name order (one collation key per path).
    static void sortByName(QStringList &paths);

private:
    void flush() const;

    mutable QStringList items_;
    mutable QStringList pending_; // sorted-mode adds not yet put into place
    // items_ is known to be in name order (lets a repeated name sort skip work).
    mutable bool inNameOrder_ = true;
    bool sorted_ = false;
};
