// Random picks of the game rules on the C runtime's generator, so that rolls
// follow the same sequence as the original for the same seed.
#pragma once

// rand() % (|max - min| + 1) + min: with min > max the values lie at and above min.
int RandomRange(int min, int max);
// Fills the 10,000-entry permutation that RollPercent reads (once at start-up).
void InitPercentTable();
// True with the given chance in percent, at a resolution of 0.01 percent.
bool RollPercent(float percent);
// The table entry at an index (tests).
int PercentTableAt(int index);
