#pragma once
// The order the list is played in and the form pictures are shown in. The
// numbers are the ones the settings file and the order actions carry.
#include <cstdint>

enum class PlayOrder : uint8_t {
    Random = 1,
    Name = 2,
    NameReversed = 3,
    Date = 4,
};

enum class DisplayForm : uint8_t {
    Single = 0,       // one picture
    Pairs = 1,        // spreads 0+1, 2+3, ...
    OpeningAlone = 2, // page 0 alone, then 1+2, 3+4, ...
};

// Order actions and the tool box carry the order as its number; anything
// else is the name order.
inline PlayOrder playOrderFrom(int n)
{
    return n >= 1 && n <= 4 ? PlayOrder(n) : PlayOrder::Name;
}

// The stored display form; an unknown number shows single pages.
inline DisplayForm displayFormFrom(int n)
{
    return n >= 0 && n <= 2 ? DisplayForm(n) : DisplayForm::Single;
}
