#pragma once
// The hidden temporaries a copy writes where a file system cannot write a
// file without a name (".gd-<process>-<random>.part"), and the removal of
// those left behind by a crash.
#include <QByteArray>

QByteArray tempName();

// Removes stale temporaries of ours from the open folder `dir`: those whose
// writing process no longer runs (and unmarked ones older than this
// process). Each folder is looked at once per run.
void sweepStaleTemps(int dir);
