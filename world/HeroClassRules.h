// The hero class formulas of the record side: what a hero's class, level and
// three attributes make of its stats. The unit's stat computation calls them.
#pragma once

#include <cstdint>
#include <utility>

// 1 + g x (level - 1); g = 0.1 for every attribute of classes 0, 1, 2 and 4,
// for attributes 0 and 2 of class 3 (0 for its attribute 1), 0 for other
// classes. An attribute outside 0..2 gives 0.
float GrowthFactor(uint32_t heroClass, uint32_t attribute, uint32_t level);

// Stat 3..12 of a class 0..4 from the three attributes; 0 outside those.
float DerivedStat(uint32_t heroClass, uint32_t stat, float a0, float a1, float a2);

// (first, second): c and a x b / (d - c) when a + c does not exceed d (second
// 0 when d equals c); else d - a and b when a is below d; else 0 and a / d x b
// (0 when d is 0).
std::pair<float, float> SplitSpan(float a, float b, float c, float d);
