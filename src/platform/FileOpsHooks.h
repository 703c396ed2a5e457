#pragma once
// A seam for tests of races: runs inside a move across file systems, after
// the copy is complete and before the source is removed.
#include <functional>

void SetMoveCopiedHookForTests(std::function<void()> hook);
