// Structure strings: the property lists Metakit keeps in a storage's table of
// contents and takes in restructuring calls, e.g.
// "Globals[Block:S,Key:S],orders[id:I,lines[sku:S,qty:I]]" (see FORMAT.md, Table of
// contents).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mkstore/status.h"
#include "mkstore/view.h"

namespace mk {

// Nesting deeper than this is refused: no real storage comes close, and it
// bounds the recursion of every walk over the structure.
inline constexpr int kMaxNesting = 32;

// Parses a field list into *out. Accepted forms: "name:T" (T one of
// I L F D S B M, case-insensitive, further letters ignored; M becomes B),
// "name[fields]" (a subview, possibly empty) and a bare "name" (text).
// A later field whose name equals an earlier one at the same level (letter
// case aside) is dropped; *duplicates (optional) counts such fields.
// Errors: InvalidArgument for bad syntax, an empty name or too deep nesting;
// NotSupported for an unknown type letter or a recursive "[^]" subview.
// On error *out is unspecified.
Status ParseFields(std::string_view text, std::vector<Property>* out, int* duplicates = nullptr);

// The canonical text of a property list, as Metakit writes it:
// "name:T" and "name[...]" joined by ",".
std::string DescribeFields(const std::vector<Property>& props);

// `c` with A-Z mapped to a-z; every other byte unchanged (no locale).
inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when `a` and `b` are equal without regard to ASCII letter case.
bool SameName(std::string_view a, std::string_view b);

}  // namespace mk
