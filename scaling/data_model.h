// Names of the load, log, segment and defect tables and of the columns the
// program's own logic reads or writes, with the usual selections over them.
// Every layer names tables and columns through these constants.
//
// The columns of every table are declared by the file's DataDictionary; a
// column the setup leaves out is simply absent, and callers check for it.
// Column names are matched without regard to letter case ("LOG" and "Log").
//
// Keys: every row of Load, Log, Seg, DefC and DefB carries SALE and LLR; a
// log is identified within its load by LOG and its split S; a segment by Seg
// within its log (1 = butt); a defect by its row within its segment (Seg 0 =
// the whole log).
//
// Thread safety: constants and pure functions; safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace scaling {

// Tables. Defects are in DefB when the load's SCALESYS is "Board", else DefC.
namespace table {
inline constexpr char kLoad[] = "Load";
inline constexpr char kLog[] = "Log";
inline constexpr char kSeg[] = "Seg";
inline constexpr char kDefC[] = "DefC";
inline constexpr char kDefB[] = "DefB";
inline constexpr char kKZ[] = "KZ";
inline constexpr char kTapers[] = "Tapers";
}  // namespace table

// Columns. Types are those the logic needs: S text, I integer, F float.
namespace col {
// Keys (all of Load, Log, Seg, DefC, DefB): text.
inline constexpr char kSale[] = "SALE";
inline constexpr char kLLR[] = "LLR";
// Load: header texts.
inline constexpr char kContract[] = "CONTRACT";
inline constexpr char kPurch[] = "PURCH";
inline constexpr char kLocation[] = "LOCATION";
inline constexpr char kBrand[] = "BRAND";
inline constexpr char kRem[] = "REM";  // also Log: remarks
inline constexpr char kDest[] = "DEST";
inline constexpr char kTrk[] = "TRK";
inline constexpr char kStatus[] = "STATUS";
inline constexpr char kBiaUnit[] = "BIAUNIT";
inline constexpr char kMeasSys[] = "MEASSYS";
inline constexpr char kRegion[] = "REGION";
inline constexpr char kForest[] = "FOREST";
inline constexpr char kDistrict[] = "DISTRICT";
inline constexpr char kSG[] = "SG";              // sample group
inline constexpr char kST[] = "ST";              // sale type: "100" or "3P"
inline constexpr char kScaleSys[] = "SCALESYS";  // "Cubic", "Board" or "Longlog"
// Load: cull factors (F) for sawlogs (P 1) and non-saw logs (P 2).
inline constexpr char kCfSawCu[] = "CFSAWCU";
inline constexpr char kCfNonSawCu[] = "CFNONSAWCU";
inline constexpr char kCfSawBd[] = "CFSAWBD";
inline constexpr char kCfNonSawBd[] = "CFNONSAWBD";
// Load: limits (I), feet and inches.
inline constexpr char kMinLen[] = "MINLEN";
inline constexpr char kMaxLen[] = "MAXLEN";
inline constexpr char kMinDia[] = "MINDIA";
inline constexpr char kMaxDia[] = "MAXDIA";
// Load: dates, people, weights.
inline constexpr char kSDate[] = "SDATE";
inline constexpr char kSTime[] = "STIME";
inline constexpr char kHDate[] = "HDATE";
inline constexpr char kScaler[] = "SCALER";
inline constexpr char kChkScaler[] = "CHKSCALER";
inline constexpr char kNWT[] = "NWT";
inline constexpr char kGWT[] = "GWT";
// Log (and, where noted, Seg, DefC, DefB).
inline constexpr char kLog[] = "LOG";    // I, log number; also Seg, DefC, DefB
inline constexpr char kS[] = "S";        // S, split code; also Seg, DefC, DefB
inline constexpr char kSP[] = "SP";      // S, species; also KZ, Tapers
inline constexpr char kP[] = "P";        // I, product: 1 sawlog, 2 non-saw; also Seg, KZ
inline constexpr char kG[] = "G";        // I, grade
inline constexpr char kB[] = "B";        // S, butt-log mark
inline constexpr char kLN[] = "LN";      // I, length, feet; also Seg, DefC, DefB
inline constexpr char kSD[] = "SD";      // I, small-end diameter; also Seg
inline constexpr char kLD[] = "LD";      // I, large-end diameter; also Seg
inline constexpr char kKPI[] = "KPI";    // I, 3P estimate
inline constexpr char kRND[] = "RND";    // I, 3P random number
inline constexpr char kHIT[] = "HIT";    // I, 1 sample, 0 not, -1 undecided
inline constexpr char kGCV[] = "GCV";    // F, gross cubic; also Seg
inline constexpr char kNCV[] = "NCV";    // F, net cubic; also Seg
inline constexpr char kGBV[] = "GBV";    // F, gross board; also Seg
inline constexpr char kNBV[] = "NBV";    // F, net board; also Seg
inline constexpr char kVoid[] = "VOID";  // I, 1 deleted
inline constexpr char kOverrideVolume[] = "OverrideVolume";  // I, 1 volume forced to 0
inline constexpr char kSkipSeg[] = "SkipSeg";                // I, 1 diameters by hand
// Seg, DefC, DefB.
inline constexpr char kSeg[] = "Seg";  // I, segment number (defects: 0 = whole log)
// DefC, DefB.
inline constexpr char kM[] = "M";  // I, defect method 1..5
inline constexpr char kM1[] = "M1";
inline constexpr char kM2[] = "M2";
inline constexpr char kM3[] = "M3";
inline constexpr char kM4[] = "M4";
inline constexpr char kPCT[] = "PCT";
// Entered defect volume: the first of these the defect table has.
inline constexpr char kDV[] = "DV";
inline constexpr char kDCV[] = "DCV";
inline constexpr char kDBV[] = "DBV";
// KZ.
inline constexpr char kKZ[] = "KZ";  // I, sampling frequency
// Tapers.
inline constexpr char kTaper[] = "TAPER";  // F, inches per foot
}  // namespace col

// Load columns read for the limits and cull factors.
inline constexpr char kLoadLimitColumns[] =
    "ST,SCALESYS,CFSAWCU,CFNONSAWCU,CFSAWBD,CFNONSAWBD,MINLEN,MAXLEN,MINDIA,MAXDIA";

// "SALE=<sale>,LLR=<llr>": the load's row (Load) or all its rows.
std::string LoadCriteria(std::string_view sale, std::string_view llr);
// "SALE=<sale>,LLR=<llr>,VOID=0": the live logs.
std::string LiveLogsCriteria(std::string_view sale, std::string_view llr);
// "SALE=<sale>,LLR=<llr>,VOID=0,OverrideVolume=0": the logs whose volumes
// are computed.
std::string ComputedLogsCriteria(std::string_view sale, std::string_view llr);
// "SALE=<sale>,LLR=<llr>,LOG=<log>,S=<split>": one log (Log), or its
// segments (Seg) and defects (DefC, DefB).
std::string LogCriteria(std::string_view sale, std::string_view llr, int log,
                        std::string_view split);
// The same with ",Seg=<seg>": one segment's defects.
std::string SegmentCriteria(std::string_view sale, std::string_view llr, int log,
                            std::string_view split, int seg);

// True for the board scale system: SCALESYS beginning with "B" (any case),
// as LogVolume reads it.
bool IsBoardScale(std::string_view scaleSystem);

// The defect table of a scale system: "DefB" for the board scale system
// (IsBoardScale), else "DefC".
std::string_view DefectTable(std::string_view scaleSystem);

}  // namespace scaling
