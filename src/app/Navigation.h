#pragma once
// Stepping through the list one page or one two-page spread at a time.
// Display forms (Tool.State): 0 single page; 1 spreads 0+1, 2+3, ...;
// 2 page 0 alone, then spreads 1+2, 3+4, ...
#include <cstdint>

// The index one page or spread forward or back; may leave 0..n-1.
int32_t StepIndex(int32_t index, bool forward, uint8_t form);
// Brings an index that stepped past either end back into the list
// (n > 0): past the end starts again at the first page, before the start
// goes to the last page or the first page of the last spread.
int32_t NormalizeIndex(int32_t index, int n, uint8_t form);
