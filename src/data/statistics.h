#pragma once
// Statistics of an object's cover values, the same-object test and the
// sixteen sort comparisons. Computed on demand: records carry no derived data.

#include "data/measurement.h"

inline constexpr double kNoValue = 65535.0;   // "no value" marker, compared exactly

struct SStatistics
{
    double mean = kNoValue;
    double min = kNoValue;
    double max = kNoValue;
    double stdDev = kNoValue;
    std::int32_t count = 0;
};

// Covers are whole millimetres; results are cut to whole millimetres and, for
// ASTM inch objects, then given in inches.
template <class Meas>
SStatistics GetStatistics(const ObjectFields<Meas> &object);

struct SCoverValue
{
    double value = 0;
    bool valid = false;
};
// `index` must lie inside the measurements (checked: throws std::out_of_range).
template <class Meas>
SCoverValue GetCoverValue(const ObjectFields<Meas> &object, int index);

// True when both objects are the same recording (regional, names, comment,
// time stamp and versions may differ).
template <class A, class B>
bool IsSameObject(const ObjectFields<A> &a, const ObjectFields<B> &b);

// The sort modes: each key ascending (odd), descending the next number; 0 is
// unsorted. They are stored in project files.
enum NSortMode : int {
    Sort_None = 0,
    Sort_Number = 1,
    Sort_Time = 3,
    Sort_Name = 5,
    Sort_MinCover = 7,
    Sort_MaxCover = 9,
    Sort_Regional = 11,
    Sort_MeasurementCount = 13,
    Sort_StorageMode = 15,
};
inline constexpr int kSortModeCount = 16;
// Compares two objects under sort mode 1..16: negative, zero or positive.
// Mode 0 (unsorted) and unknown modes compare everything as equal.
int CompareObjects(int sortMode, const object_t &a, const object_t &b);
// Column-header sort mode of a key: ascending mode, descending is +1.
bool IsDescendingMode(int sortMode);
