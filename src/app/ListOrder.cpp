#include "app/ListOrder.h"

#include "platform/FileTree.h"

#include <algorithm>
#include <chrono>
#include <numeric>
#include <vector>

std::mt19937_64 &ListRandom()
{
    static std::mt19937_64 rng(uint64_t(std::chrono::system_clock::now().time_since_epoch().count()) ^
                               uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) << 1);
    return rng;
}

void ShuffleList(PictureList &list, std::mt19937_64 &rng)
{
    QStringList items = list.items();
    for (qsizetype i = items.size() - 1; i > 0; --i) {
        std::uniform_int_distribution<qsizetype> pick(0, i);
        items.swapItemsAt(i, pick(rng));
    }
    list.replace(items);
}

void ReverseList(PictureList &list)
{
    const int n = list.count();
    for (int i = 0; i < n / 2; ++i)
        list.swap(i, n - 1 - i);
}

bool SortByDate(PictureList &list, QString *missing)
{
    const QStringList &items = list.items();
    std::vector<int64_t> times(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (!LastWriteTime(items[i], times[i])) {
            if (missing)
                *missing = items[i];
            return false;
        }
    }
    std::vector<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return times[a] < times[b]; });
    QStringList out;
    out.reserve(items.size());
    for (int i : order)
        out.append(items[i]);
    list.replace(out);
    return true;
}
