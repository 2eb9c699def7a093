#pragma once
// One plotted point, and the size of the array a day's load fills. The chart reads an array of
// them in place as a 2 x N array of doubles, so the layout (two doubles, time then value, back to
// back) is part of its interface.

#include <span>

struct FieldSample {
    double dTime;  // day number on the chart's time scale
    double dValue; // field strength in kV/m, as read
};
static_assert(sizeof(FieldSample) == 16, "the chart reads FieldSample as two packed doubles");

constexpr int MAX_FIELD_SAMPLES = 172800; // a day at two readings a second

// The program's array of a day's readings: static storage, zero at start, written from index 0 by
// every load, never freed. Defined with the program's other globals (app/Globals.cpp); start-up
// hands it to whatever loads a file.
extern FieldSample g_Samples[MAX_FIELD_SAMPLES];
