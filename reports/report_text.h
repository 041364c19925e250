// Pieces of text shared by the report writers: the two layout texts of the
// program and the remark as the listings print it.
//
// Thread safety: constants and pure functions.
#pragma once

#include <string>
#include <string_view>

namespace reports {

// The portrait page of the log report and the audit report: 70 lines of 91
// characters, a footer with the page number at the right edge.
inline constexpr char kPortraitLayout[] =
    "VERSION=PL1.0.0\n"
    "PAGE=8.5,11.0,13,0.500000,0.500000,0.500000,0.500000,6,70,-1\n"
    "FOOTER=,,Page: [SUB:page]\n";

// The landscape page of the comprehensive report (48 lines of 117
// characters) with its table "vol" of thirty columns.
extern const char kComprehensiveLayout[];

// The first `count` characters of `text` (all of it when shorter).
std::string FirstChars(std::string_view text, int count);

// A log's remark as the listings print it: "Midpoint diameter: " replaced by
// "Midpnt: ", then cut to its first 10 characters.
std::string ListedRemark(std::string_view rem);

// ⌊part ÷ whole × 100 + 0.5⌋ in double precision; 0 when whole is 0.
int WholePercent(double part, double whole);

}  // namespace reports
