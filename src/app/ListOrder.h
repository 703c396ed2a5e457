#pragma once
// The orders a picture list can be put in (besides name order, which the
// list does itself).
#include "common/PictureList.h"

#include <QString>
#include <random>

// The generator behind random order, seeded from the clock once per run.
std::mt19937_64 &ListRandom();
// Uniform shuffle (Fisher-Yates): every order equally likely.
void ShuffleList(PictureList &list, std::mt19937_64 &rng = ListRandom());
void ReverseList(PictureList &list);
// Stable sort by last-write time, each file's time read once; equal times
// keep their list order. When a file cannot be reached the list is left
// unchanged, false is returned and `missing` names the file.
bool SortByDate(PictureList &list, QString *missing = nullptr);
