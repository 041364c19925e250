#include "scaling/stored_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/test_support.h"

namespace scaling {
namespace {

int CommaCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), ','));
}

class StoredRowsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(store_.Open(folder_.path() + "rows.scl", false), 0); }
  void TearDown() override { store_.Close(); }

  // Defines `desc`, appends one row whose columns get `values` in order and
  // returns the table's slot.
  int TableWithRow(const std::string& desc, const std::vector<std::string>& values) {
    EXPECT_EQ(store_.DefineTable(desc), 0) << desc;
    const int slot = store_.OpenAView(desc.substr(0, desc.find('[')), false);
    EXPECT_EQ(store_.AddRow(slot, -1), 0);
    for (size_t c = 0; c < values.size(); ++c) {
      EXPECT_EQ(store_.SetText(slot, 0, static_cast<int>(c), values[c]), 0);
    }
    return slot;
  }

  platform::testing::TempFolder folder_;
  tablestore::TableStore store_;
};

TEST_F(StoredRowsTest, DefectReadsTheFirstVolumeColumnOfDvDcvDbv) {
  const struct {
    const char* desc;
    float volume;
  } kCases[] = {
      {"DefA[Seg:I,M:I,DBV:F,DCV:F,DV:F]", 3.0f},
      {"DefB[Seg:I,M:I,DBV:F,DCV:F]", 2.0f},
      {"DefC[Seg:I,M:I,DBV:F]", 1.0f},
      {"DefD[Seg:I,M:I]", 0.0f},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.desc);
    std::vector<std::string> values = {"2", "4", "1", "2", "3"};
    values.resize(static_cast<size_t>(1 + CommaCount(c.desc)));
    const int slot = TableWithRow(c.desc, values);
    const DefectRecord d = DefectRowReader(store_, slot).Read(0);
    EXPECT_EQ(d.seg, 2);
    EXPECT_EQ(d.method, 4);
    EXPECT_FLOAT_EQ(d.enteredVolume, c.volume);
  }
}

TEST_F(StoredRowsTest, MissingColumnsReadAsZero) {
  const int seg = TableWithRow("Seg[LN:I,Seg:I]", {"16", "1"});
  const SegmentRecord s = SegmentRowReader(store_, seg).Read(0);
  EXPECT_EQ(s.seg, 1);
  EXPECT_EQ(s.length, 16);
  EXPECT_EQ(s.smallEnd, 0);
  const int load = TableWithRow("Load[CFNONSAWBD:F,CFSAWCU:F]", {"0.5", "10.67"});
  EXPECT_EQ(ReadCullFactors(store_, load, 0), (CullFactors{10.67f, 0.0f, 0.0f, 0.5f}));
  EXPECT_EQ(CellText(store_, load, 0, -1, "absent"), "absent");
}

}  // namespace
}  // namespace scaling
