#include "app/Navigation.h"

#include <algorithm>

namespace
{
bool isOdd(int32_t i)
{
    return (i % 2) != 0; // true for -1 as well
}
} // namespace

int32_t StepIndex(int32_t index, bool forward, uint8_t form)
{
    switch (form) {
    case 1:
        if (forward)
            return isOdd(index) ? index + 1 : index + 2;
        return isOdd(index) ? index - 1 : index - 2;
    case 2:
        if (forward)
            return isOdd(index) ? index + 2 : index + 1;
        return index - 2;
    default:
        return forward ? index + 1 : index - 1;
    }
}

int32_t NormalizeIndex(int32_t index, int n, uint8_t form)
{
    if (n <= 0)
        return 0;
    if (index > n - 1)
        return 0;
    if (index >= 0)
        return index;
    switch (form) {
    case 1:
        if (index == -1)
            return 0;
        return isOdd(n) ? n - 1 : n - 2;
    case 2:
        if (index == -1)
            return 0;
        // One picture in form 2 is page 0 alone; never wrap to -1.
        return std::max(0, isOdd(n) ? n - 2 : n - 1);
    default:
        return n - 1;
    }
}
