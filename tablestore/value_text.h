// Conversions between numbers and text as the table store performs them.
//
// The handheld's C runtime read numbers from text with _wtol and wcstod and
// wrote them with "%d", "%ld", "%g" and "%.15g". These functions give the same
// results, independent of the process's locale (a toolkit may switch the
// decimal separator; stored files must not change with it).
//
// All functions are pure and never fail. Thread safety: safe from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tablestore {

// _wtol: skips leading white space, reads an optional sign and the decimal
// digits that follow; stops at the first other character. Text without digits
// gives 0 ("abc" -> 0, "12abc" -> 12, " -7" -> -7). A value outside the 32-bit
// range gives INT32_MAX or INT32_MIN.
int32_t ParseLong(std::string_view text);

// wcstod: skips leading white space and reads the longest prefix of the form
// [sign] digits [. digits] [e [sign] digits] (at least one digit before the
// exponent); text without such a prefix gives 0. Only decimal notation is read
// ("0x10" -> 0, "inf" -> 0). A value too large gives +/-HUGE_VAL.
double ParseDouble(std::string_view text);

// (int)(x + 0.5), which truncates toward zero after adding one half (2.5 -> 3,
// -2.5 -> -2, -2.7 -> -2). Values beyond the int range are clamped to it and
// NaN gives 0, where the plain cast would be undefined.
int32_t RoundHalfUp(double value);

// A double narrowed to float; values beyond the float range become +/-infinity
// (a plain conversion would be undefined for them).
float NarrowToFloat(double value);

// printf("%d") / printf("%ld") of a 32-bit value.
std::string FormatInt(int32_t value);

// printf("%g") of a float (promoted to double, as printf does).
std::string FormatFloat(float value);

// printf("%.15g") of a double.
std::string FormatDouble(double value);

}  // namespace tablestore
