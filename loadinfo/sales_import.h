// SalesImport: the sale list a field office places beside the program.
//
// "sales.csv" in the program folder lists the timber sales the handheld may
// scale, one row per sale, with the header values that belong to each sale
// (an import file in mode 1, see tablestore/import_format.md). When the load
// information screen opens, Import() copies it into the table `SaleData` of
// the open file and turns the header's SALE value cell into a drop-down list
// of the sale names; choosing a sale there runs Fill(), which copies that
// sale's values into the other header fields.
//
// The load information grid this class works on has the field names in
// column kFieldColumn and their values in column kValueColumn, one data row
// per field of `Load`.
//
// Every problem is reported once, through the Ui, with the texts below; the
// screen then works without a sale list.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {
class Application;
}
namespace grid {
class CellGrid;
}
namespace platform {
class Ui;
}

namespace loadinfo {

// The columns of the load information grid.
inline constexpr int kFieldColumn = 0;
inline constexpr int kValueColumn = 1;

// The sale list's file name (in the program folder) and its table.
inline constexpr const char* kSalesFileName = "sales.csv";
inline constexpr const char* kSaleTable = "SaleData";

// Results of Import(). The load information screen relies on the values;
// never renumber.
enum ImportResult : int {
  kSaleListAttached = 0,  // the SALE cell is a drop-down list; Fill is on
  kNoSaleList = -1,       // no file, or a problem that was reported
  kLogsRecorded = -2,     // logs exist for the header's sale and LLR: skipped
};

// `text` without the blanks (spaces and tabs) at either end: SALE and LLR are
// stored so, and sale names are compared so.
std::string TrimBlanks(std::string text);

class SalesImport {
 public:
  // `app` and `ui` are borrowed and must outlive the object; the open file's
  // store is used by every call (REQUIRES: a file is open). Messages go to
  // `ui`.
  SalesImport(app::Application& app, platform::Ui& ui);

  // True when the open file's `Log` table has rows for `sale` and `llr`. A
  // selection that cannot be made (a value the criteria syntax cannot carry)
  // counts as recorded when `Log` has any row, so that a header with logs is
  // never unprotected by accident.
  bool LogsRecorded(const std::string& sale, const std::string& llr) const;

  // The import step, run when the load information screen opens. `saleRow` is
  // the grid's data row of SALE (-1 when the grid has none); `sale` and `llr`
  // the header's values.
  //  1. Unless the file type is "non-scale loads", logs recorded for sale and
  //     llr give kLogsRecorded at once: no file is read, nothing is shown.
  //  2. The sale list is the first "sales.csv" of the Application's sale
  //     list folders (the user's settings, the office's, the program's
  //     folder). None: "sales.csv not found in <folders>" / "Warning"
  //     (exclamation).
  //  3. No SALE row: "There is a sales.csv in Varnolde's directory, but SALE
  //     is not turned on" / "Warning".
  //  4. The file is imported into SaleData, replacing its rows; a file whose
  //     description lists no SALE column is refused before anything changes
  //     ("There was a problem with the format of sales.csv" / "Error"), any
  //     other refusal of the import gives "There was a problem importing
  //     sales.csv" / "Error" (stop) and leaves SaleData as it was.
  //  5. SaleData cannot be opened: "There was a problem opening the SaleData
  //     table" / "Error".
  //  6. SaleData lacks SALE: the format message; has no rows: "Your sales.csv
  //     file has no records" / "Error".
  //  7. No non-empty SALE value: "Your sales.csv file contains no sale names"
  //     / "Error".
  //  8. The SALE value cell gets the names (table order, repeats kept) as
  //     its drop-down choices: kSaleListAttached.
  // Steps 2-7 return kNoSaleList after their message.
  [[nodiscard]] int Import(grid::CellGrid& grid, int saleRow, const std::string& sale,
                           const std::string& llr);

  // The names attached by the last successful Import (empty before).
  const std::vector<std::string>& SaleNames() const { return names_; }

  // The auto-fill after the SALE cell changed to `sale`. Finds the first row
  // of SaleData whose SALE equals `sale` (letter case and surrounding blanks
  // ignored); -1 (nothing changes) when none does. Otherwise every grid row
  // whose field is one of the sale's columns receives its value: the four
  // conversion factors as "%5.2f", MINLEN, MAXLEN, MINDIA and MAXDIA as
  // "%4.1f", the others as text; columns the file does not have leave their
  // fields alone. On a "check scale" file ST becomes "100" whatever the file
  // says. LLR is not taken from the file: an empty LLR receives
  // `scaleFileName` (without folder and extension) when that is exactly six
  // digits. Returns 0.
  int Fill(grid::CellGrid& grid, const std::string& sale, const std::string& scaleFileName);

 private:
  // Steps 4-7; kSaleListAttached with names_ filled, or kNoSaleList after the
  // message.
  [[nodiscard]] int ImportFile(const std::string& path);
  // The SaleData row the auto-fill takes for `sale`; -1 when none matches.
  int FindSale(int slot, std::string_view sale) const;
  void Show(const std::string& text, bool error) const;

  app::Application& app_;
  platform::Ui& ui_;
  std::vector<std::string> names_;
};

}  // namespace loadinfo
