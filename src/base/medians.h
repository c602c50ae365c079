// The median, as every figure over runs or seed pairs takes it.
#pragma once

#include <algorithm>
#include <vector>

// The middle one of `values`, or the mean of the middle two; -1 for none.
inline double medianOf(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
