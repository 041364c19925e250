// Reading the rows of a scale file that the volume computations, the checks
// and the reports share: single cells of columns that may be missing, the
// four cull factors of a Load row, and Seg and defect rows as the records
// LogVolume computes with.
//
// A table may lack any column (older setup files, hand-made files): a missing
// column, or a cell that cannot be read, gives empty text or 0. Nothing here
// selects rows; callers hand in a slot and its row numbers.
//
// Thread safety: as TableStore's (one thread).
#pragma once

#include <string>

#include "scaling/log_volume.h"
#include "tablestore/table_store.h"

namespace scaling {

// One cell of `slot` by column index: `absent` (text) or 0 when the column
// index is below 0 or the cell cannot be read.
std::string CellText(const tablestore::TableStore& store, int slot, int row, int col,
                     const char* absent = "");
int CellInt(const tablestore::TableStore& store, int slot, int row, int col);
float CellFloat(const tablestore::TableStore& store, int slot, int row, int col);

// CFSAWCU, CFNONSAWCU, CFSAWBD and CFNONSAWBD of row `row` of a slot over
// table Load.
CullFactors ReadCullFactors(const tablestore::TableStore& store, int slot, int row);

// Reads rows of a slot over table Seg as SegmentRecords (Seg, LN, SD, LD);
// the columns are looked up once. REQUIRES: `store` outlives the reader and
// the slot stays open while it is used.
class SegmentRowReader {
 public:
  SegmentRowReader(const tablestore::TableStore& store, int slot);
  SegmentRecord Read(int row) const;

 private:
  const tablestore::TableStore& store_;
  int slot_;
  int seg_, ln_, sd_, ld_;
};

// Reads rows of a slot over a defect table (DefC or DefB) as DefectRecords:
// Seg, M, M1..M4, LN, PCT and the entered volume, from DV, else DCV, else
// DBV (whichever the table has first). The columns are looked up once.
// REQUIRES: as SegmentRowReader.
class DefectRowReader {
 public:
  DefectRowReader(const tablestore::TableStore& store, int slot);
  DefectRecord Read(int row) const;

 private:
  const tablestore::TableStore& store_;
  int slot_;
  int seg_, m_, m1_, m2_, m3_, m4_, ln_, pct_, volume_;
};

}  // namespace scaling
