// Float-to-integer conversion as the original hardware did it.
#pragma once

#include <cstdint>

// Truncates toward zero; NaN and out-of-range values give 0x80000000, the processor's
// "integer indefinite", instead of undefined behaviour.
inline int32_t Trunc_To_Int32(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(value);
}
