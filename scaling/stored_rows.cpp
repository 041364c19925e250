#include "scaling/stored_rows.h"

#include "scaling/data_model.h"

namespace scaling {

using tablestore::TableStore;

std::string CellText(const TableStore& store, int slot, int row, int col, const char* absent) {
  std::string value;
  if (col < 0 || store.GetText(slot, row, col, value) != 0) return absent;
  return value;
}

int CellInt(const TableStore& store, int slot, int row, int col) {
  int value = 0;
  if (col < 0 || store.GetInt(slot, row, col, value) != 0) return 0;
  return value;
}

float CellFloat(const TableStore& store, int slot, int row, int col) {
  float value = 0.0f;
  if (col < 0 || store.GetFloat(slot, row, col, value) != 0) return 0.0f;
  return value;
}

CullFactors ReadCullFactors(const TableStore& store, int slot, int row) {
  const auto factor = [&](const char* name) {
    return CellFloat(store, slot, row, store.ColumnIndex(slot, name));
  };
  return CullFactors{factor(col::kCfSawCu), factor(col::kCfNonSawCu), factor(col::kCfSawBd),
                     factor(col::kCfNonSawBd)};
}

SegmentRowReader::SegmentRowReader(const TableStore& store, int slot)
    : store_(store),
      slot_(slot),
      seg_(store.ColumnIndex(slot, col::kSeg)),
      ln_(store.ColumnIndex(slot, col::kLN)),
      sd_(store.ColumnIndex(slot, col::kSD)),
      ld_(store.ColumnIndex(slot, col::kLD)) {}

SegmentRecord SegmentRowReader::Read(int row) const {
  SegmentRecord seg;
  seg.seg = CellInt(store_, slot_, row, seg_);
  seg.length = CellInt(store_, slot_, row, ln_);
  seg.smallEnd = CellInt(store_, slot_, row, sd_);
  seg.largeEnd = CellInt(store_, slot_, row, ld_);
  return seg;
}

namespace {

// The column of the entered defect volume: DV, else DCV, else DBV.
int EnteredVolumeColumn(const TableStore& store, int slot) {
  for (const char* name : {col::kDV, col::kDCV, col::kDBV}) {
    const int c = store.ColumnIndex(slot, name);
    if (c >= 0) return c;
  }
  return -1;
}

}  // namespace

DefectRowReader::DefectRowReader(const TableStore& store, int slot)
    : store_(store),
      slot_(slot),
      seg_(store.ColumnIndex(slot, col::kSeg)),
      m_(store.ColumnIndex(slot, col::kM)),
      m1_(store.ColumnIndex(slot, col::kM1)),
      m2_(store.ColumnIndex(slot, col::kM2)),
      m3_(store.ColumnIndex(slot, col::kM3)),
      m4_(store.ColumnIndex(slot, col::kM4)),
      ln_(store.ColumnIndex(slot, col::kLN)),
      pct_(store.ColumnIndex(slot, col::kPCT)),
      volume_(EnteredVolumeColumn(store, slot)) {}

DefectRecord DefectRowReader::Read(int row) const {
  const auto at = [&](int c) { return CellInt(store_, slot_, row, c); };
  DefectRecord d;
  d.seg = at(seg_);
  d.method = at(m_);
  d.measures = DefectMeasures{at(m1_), at(m2_), at(m3_), at(m4_), at(ln_), at(pct_)};
  d.enteredVolume = CellFloat(store_, slot_, row, volume_);
  return d;
}

}  // namespace scaling
