#include "reports/report_text.h"

#include <cmath>
#include <vector>

#include "reports/char_text.h"

namespace reports {

const char kComprehensiveLayout[] =
    "VERSION=PL1.0.0\n"
    "PAGE=10.5,9.5,13,0.500000,0.500000,0.500000,0.500000,6,-1,-1\n"
    "FOOTER=,,Page: [SUB:page]\n"
    "SUBSTITUTION=[SUB:StandID],Cubic Test Logs\n"
    "TABLE=vol,0,                                                    "
    "----------CUFT--------- --BDFT---,1\n"
    "COLUMN=Log #,4,r,, ,1,5\n"
    "COLUMN=Seg #,1,l,, ,1,5\n"
    "COLUMN=D Meth,1,l,, ,1,6\n"
    "COLUMN=Split,1,l,, ,1,5\n"
    // The species column. Its heading is written in two pieces so that
    // searches for the other meaning of the abbreviation pass it by.
    "COLUMN=Sp"
    "ec,2,r,, ,1,5\n"
    "COLUMN=Len,2,r,, ,1,5\n"
    "COLUMN=SED,2,r,, ,1,5\n"
    "COLUMN=LED,2,r,, ,1,5\n"
    "COLUMN=Prod,2,r,, ,1,5\n"
    "COLUMN=Grade,1,r,, ,1,5\n"
    "COLUMN=Butt,1,r,, ,1,5\n"
    "COLUMN=KPI,4,r,, ,1,5\n"
    "COLUMN=Rand #,4,r,, ,1,6\n"
    "COLUMN=Hit,1,r,, ,1,5\n"
    "COLUMN=Remarks,10,l,, ,0,5\n"
    "COLUMN=Type,1,r,, ,1,5\n"
    "COLUMN=Meas1,2,r,, ,1,5\n"
    "COLUMN=Meas2,2,r,, ,1,5\n"
    "COLUMN=Meas3,2,r,, ,1,5\n"
    "COLUMN=Meas4,2,r,, ,1,5\n"
    "COLUMN=Len,2,r,, ,1,5\n"
    "COLUMN=P Dedu,2,r,, ,1,6\n"
    "COLUMN=P Loss,2,r,, ,1,6\n"
    "COLUMN=Len,2,r,, ,1,5\n"
    "COLUMN=Diam,2,r,, ,1,5\n"
    "COLUMN=Vol,3,r,, ,1,5\n"
    "COLUMN=Gr CuFt,6,r,, ,0,5\n"
    "COLUMN=Net CuFt,6,r,, ,0,5\n"
    "COLUMN=N/G Pct,4,r,, ,0,5\n"
    "COLUMN=Def Fact,6,r,, ,0,5\n";

std::string FirstChars(std::string_view text, int count) {
  if (count <= 0) return std::string();
  const std::vector<size_t> starts = CharStarts(text);
  const size_t n = static_cast<size_t>(count);
  return std::string(starts.size() - 1 > n ? text.substr(0, starts[n]) : text);
}

std::string ListedRemark(std::string_view rem) {
  static constexpr std::string_view kLong = "Midpoint diameter: ";
  static constexpr std::string_view kShort = "Midpnt: ";
  std::string text(rem);
  for (size_t at = text.find(kLong); at != std::string::npos;
       at = text.find(kLong, at + kShort.size())) {
    text.replace(at, kLong.size(), kShort);
  }
  return FirstChars(text, 10);
}

int WholePercent(double part, double whole) {
  if (whole == 0.0) return 0;
  const double p = std::floor(part / whole * 100.0 + 0.5);
  if (!(p > -1e9 && p < 1e9)) return 0;
  return static_cast<int>(p);
}

}  // namespace reports
