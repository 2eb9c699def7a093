#pragma once
// One plotted point and the fixed array every load fills. The chart reads the array in place as a
// 2 x N array of doubles, so the layout (two doubles, time then value, back to back) is part of
// its interface.

struct FieldSample {
    double dTime;  // day number on the chart's time scale
    double dValue; // field strength in kV/m, as read
};
static_assert(sizeof(FieldSample) == 16, "the chart reads FieldSample as two packed doubles");

constexpr int MAX_FIELD_SAMPLES = 172800; // a day at two readings a second

// Static storage, zero at start, written from index 0 by every load, never freed.
extern FieldSample g_Samples[MAX_FIELD_SAMPLES];
