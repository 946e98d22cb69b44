#pragma once
// Narrowing a double to float is undefined beyond the float range, and a NaN or infinity must
// not reach the books. Every narrowing of a value that may lie outside the range goes through
// here.

#include <cfloat>
#include <cmath>

// `value` as a float, or 0 when it is not a finite number within the float range.
inline float FloatOrZero(double value) {
    if (!(std::fabs(value) <= FLT_MAX)) {  // also false for NaN
        return 0.0f;
    }
    return static_cast<float>(value);
}
