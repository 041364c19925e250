#include "mkstore/writer.h"

#include <algorithm>

#include "mkstore/format.h"
#include "mkstore/structure.h"

namespace mk {
namespace {

void PutRef(std::string* list, const Ref& ref) {
  format::PutVarint(list, ref.size);
  if (ref.size > 0) format::PutVarint(list, ref.pos);
}

// First fit over the free gaps, else past the end.
class Allocator {
 public:
  Allocator(std::vector<Ref> gaps, int64_t growFrom) : gaps_(std::move(gaps)), end_(growFrom) {}

  int64_t Allocate(int64_t size) {
    for (Ref& gap : gaps_) {
      if (gap.size >= size) {
        const int64_t pos = gap.pos;
        gap.pos += size;
        gap.size -= size;
        return pos;
      }
    }
    const int64_t pos = end_;
    end_ += size;
    return pos;
  }

  int64_t end() const { return end_; }

 private:
  std::vector<Ref> gaps_;
  int64_t end_;
};

// Encodes tables into column lists, placing every column it (re)writes.
class Encoder {
 public:
  Encoder(Allocator* alloc, bool big, bool rewriteAll, CommitPlan* plan)
      : alloc_(alloc), big_(big), all_(rewriteAll), plan_(plan) {}

  // Appends the column references of `t`'s properties (none for no rows).
  void EncodeTable(Table& t, std::string* list) {
    if (t.rows() == 0) return;
    for (size_t c = 0; c < t.props().size(); ++c) {
      EncodeColumn(t.props()[c], &t.columns()[c], t.rows(), list);
    }
  }

 private:
  Ref Place(std::string bytes) {
    if (bytes.empty()) return Ref{};
    const Ref ref{static_cast<int64_t>(bytes.size()),
                  alloc_->Allocate(static_cast<int64_t>(bytes.size()))};
    plan_->writes.emplace_back(ref.pos, std::move(bytes));
    return ref;
  }

  void Record(Column* col, DiskColumn disk, std::string* list) {
    for (const Ref& r : disk.refs) PutRef(list, r);
    disk.valid = true;
    plan_->updates.push_back({col, std::move(disk)});
  }

  void EncodeColumn(const Property& prop, Column* col, int rows, std::string* list) {
    if (prop.type == PropertyType::kSubview) return EncodeSubviews(col, rows, list);
    if (col->disk.valid && !all_) {
      for (const Ref& r : col->disk.refs) PutRef(list, r);
      return;
    }
    DiskColumn disk;
    switch (prop.type) {
      case PropertyType::kInt:
      case PropertyType::kFloat:
        disk.refs.push_back(Place(PackInts(col->i32, col->disk.width, &disk.width)));
        break;
      case PropertyType::kLong:
      case PropertyType::kDouble:
        disk.width = 64;
        disk.refs.push_back(Place(Wide(col->i64)));
        break;
      case PropertyType::kString:
      case PropertyType::kBytes:
        EncodeItems(prop.type == PropertyType::kString, col, &disk);
        break;
      case PropertyType::kSubview:
        return;  // encoded above
    }
    Record(col, std::move(disk), list);
  }

  template <typename Values>
  std::string PackInts(const Values& values, int keepWidth, int* width) {
    const size_t n = values.size();
    *width = keepWidth;
    for (size_t r = 0; r < n; ++r) *width = std::max(*width, format::WidthNeeded(values[r]));
    std::string bytes;
    if (*width == 0) return bytes;
    const auto size = static_cast<size_t>(format::SizeForWidth(static_cast<int64_t>(n), *width));
    bytes.reserve(size);
    for (size_t r = 0; r < n; ++r)
      format::PutPacked(&bytes, *width, big_, static_cast<int64_t>(r), values[r]);
    bytes.resize(size, '\0');
    return bytes;
  }

  std::string Wide(const std::vector<int64_t>& values) {
    std::string bytes;
    bytes.reserve(values.size() * 8);
    for (size_t r = 0; r < values.size(); ++r)
      format::PutPacked(&bytes, 64, big_, static_cast<int64_t>(r), values[r]);
    return bytes;
  }

  // Memo items first, then data, sizes and the memo list (FORMAT.md, Items).
  void EncodeItems(bool text, Column* col, DiskColumn* disk) {
    const auto rows = static_cast<int64_t>(col->items.size());
    std::string data, memoList;
    std::vector<int32_t> sizes(static_cast<size_t>(rows), 0);
    int64_t skip = 0;
    for (int64_t r = 0; r < rows; ++r) {
      const std::string_view item = col->items[static_cast<size_t>(r)];
      const int64_t length = static_cast<int64_t>(item.size()) + (text && !item.empty() ? 1 : 0);
      const bool memo = length > format::kMemoAlways || (length > format::kMemoMinimum &&
                                                         length > format::kMemoBudget / (rows + 1));
      if (!memo) {
        data += item;
        if (text && !item.empty()) data.push_back('\0');
        sizes[r] = static_cast<int32_t>(length);
        ++skip;
        continue;
      }
      std::string bytes(item);
      if (text) bytes.push_back('\0');
      const Ref ref = Place(std::move(bytes));
      disk->memos.push_back(ref);
      format::PutVarint(&memoList, skip);
      PutRef(&memoList, ref);
      skip = 0;
    }
    const bool hasData = !data.empty();
    disk->refs.push_back(Place(std::move(data)));
    if (hasData) {
      int width = 0;
      disk->refs.push_back(Place(PackInts(sizes, 0, &width)));
    }
    disk->refs.push_back(Place(std::move(memoList)));
  }

  void EncodeSubviews(Column* col, int rows, std::string* list) {
    std::string bytes;
    for (int r = 0; r < rows; ++r) {
      Table& sub = *col->subs[r];
      format::PutVarint(&bytes, 0);
      format::PutVarint(&bytes, sub.rows());
      EncodeTable(sub, &bytes);
    }
    if (!all_ && !col->disk.refs.empty() && bytes == col->disk.listBytes) {
      PutRef(list, col->disk.refs[0]);
      return;
    }
    DiskColumn disk;
    disk.listBytes = bytes;
    disk.refs.push_back(Place(std::move(bytes)));
    Record(col, std::move(disk), list);
  }

  Allocator* alloc_;
  bool big_;
  bool all_;
  CommitPlan* plan_;
};

void CollectAreas(const Table& t, std::vector<Ref>* out) {
  if (t.rows() == 0) return;
  for (const Column& col : t.columns()) {
    for (const Ref& r : col.disk.refs) {
      if (r.size > 0) out->push_back(r);
    }
    for (const Ref& r : col.disk.memos) {
      if (r.size > 0) out->push_back(r);
    }
    for (const auto& sub : col.subs) CollectAreas(*sub, out);
  }
}

// The free gaps between `areas` below `limit`.
std::vector<Ref> Gaps(const std::vector<Ref>& areas, int64_t limit) {
  std::vector<Ref> gaps;
  int64_t at = format::kHeaderSize;
  for (const Ref& a : areas) {
    if (a.pos > at && at < limit) gaps.push_back({std::min(a.pos, limit) - at, at});
    at = std::max(at, a.pos + a.size);
  }
  if (at < limit) gaps.push_back({limit - at, at});
  return gaps;
}

std::string Header(bool big, int64_t length) {
  std::string h;
  h.push_back(static_cast<char>(big ? format::kMagicBig0 : format::kMagicLittle0));
  h.push_back(static_cast<char>(big ? format::kMagicLittle0 : format::kMagicBig0));
  h.push_back(static_cast<char>(format::kHeaderValid));
  h.push_back('\0');
  format::PutBig32(&h, static_cast<uint32_t>(length));
  return h;
}

std::string SkipTail(int64_t at) {
  std::string t(1, static_cast<char>(format::kTailMarker));
  t.append(3, '\0');
  format::PutBig32(&t, static_cast<uint32_t>(at));
  return t;
}

std::string CommitTail(const Ref& toc) {
  std::string t(1, static_cast<char>(format::kTailMarker));
  t.push_back(static_cast<char>((toc.size >> 16) & 0xFF));
  t.push_back(static_cast<char>((toc.size >> 8) & 0xFF));
  t.push_back(static_cast<char>(toc.size & 0xFF));
  format::PutBig32(&t, static_cast<uint32_t>(toc.pos));
  return t;
}

}  // namespace

std::vector<Ref> CommittedAreas(const Dataset& ds) {
  std::vector<Ref> areas;
  if (ds.end == 0) return areas;
  areas.push_back({format::kHeaderSize, 0});
  CollectAreas(*ds.root, &areas);
  areas.push_back(ds.toc);
  areas.push_back({16, ds.end - 16});
  std::sort(areas.begin(), areas.end(), [](const Ref& a, const Ref& b) { return a.pos < b.pos; });
  return areas;
}

CommitPlan PlanCommit(Dataset* ds, const std::vector<Ref>& areas, bool packed) {
  CommitPlan plan;
  const bool fresh = packed || ds->end == 0;
  // Growth starts at the old end: the old tails stay intact until the new
  // ones are written.
  Allocator alloc(fresh ? std::vector<Ref>() : Gaps(areas, ds->end - 16),
                  fresh ? format::kHeaderSize : ds->end);
  Encoder encoder(&alloc, ds->bigEndian, fresh, &plan);
  const std::string structure = DescribeFields(ds->root->props());
  format::PutVarint(&plan.toc, 0);
  format::PutVarint(&plan.toc, static_cast<int64_t>(structure.size()));
  plan.toc += structure;
  format::PutVarint(&plan.toc, 1);
  encoder.EncodeTable(*ds->root, &plan.toc);
  if (!fresh && plan.toc == ds->tocBytes) {
    plan.unchanged = true;
    return plan;
  }
  plan.tocRef = {static_cast<int64_t>(plan.toc.size()),
                 alloc.Allocate(static_cast<int64_t>(plan.toc.size()))};
  plan.writes.emplace_back(plan.tocRef.pos, plan.toc);
  std::sort(plan.writes.begin(), plan.writes.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  plan.inPlace = !fresh && alloc.end() == ds->end;
  plan.end = plan.inPlace ? ds->end : alloc.end() + 16;
  return plan;
}

std::string PackedImage(const CommitPlan& plan, bool bigEndian) {
  std::string image = Header(bigEndian, plan.end);
  for (const auto& [pos, bytes] : plan.writes) image += bytes;
  image += SkipTail(plan.end - 16);
  image += CommitTail(plan.tocRef);
  return image;
}

namespace {

// Writes the planned bytes, merging neighbours into single writes.
Status WriteRuns(File* file, int64_t base, const CommitPlan& plan) {
  size_t i = 0;
  while (i < plan.writes.size()) {
    const int64_t start = plan.writes[i].first;
    std::string run = plan.writes[i].second;
    for (++i;
         i < plan.writes.size() && plan.writes[i].first == start + static_cast<int64_t>(run.size());
         ++i) {
      run += plan.writes[i].second;
    }
    Status s = file->Write(static_cast<uint64_t>(base + start), run);
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

}  // namespace

Status WriteIncremental(File* file, const Dataset& ds, const CommitPlan& plan, bool* staleHeader) {
  *staleHeader = false;
  const auto at = [&](int64_t pos) { return static_cast<uint64_t>(ds.base + pos); };
  Status s;
  if (!plan.inPlace && ds.headerLength != ds.end) {
    // Some writers leave a stale length; make it lead to the committed
    // dataset before the file's end stops doing so.
    s = file->Write(at(0), Header(ds.bigEndian, ds.end));
    if (s.ok()) s = file->Sync();
  }
  if (s.ok()) s = WriteRuns(file, ds.base, plan);
  if (s.ok()) s = file->Sync();
  if (!s.ok()) return s;
  if (plan.inPlace) {
    s = file->Write(at(ds.end - 8), CommitTail(plan.tocRef));
  } else {
    s = file->Write(at(plan.end - 16), SkipTail(plan.end - 16) + CommitTail(plan.tocRef));
  }
  if (s.ok()) s = file->Sync();
  if (!s.ok() || plan.end == ds.headerLength) return s;
  s = file->Write(at(0), Header(ds.bigEndian, plan.end));
  if (s.ok()) s = file->Sync();
  *staleHeader = !s.ok();
  return Status::Ok();
}

void AdoptPlan(CommitPlan* plan, int64_t base, Dataset* ds, std::vector<Ref>* areas) {
  for (CommitPlan::Update& u : plan->updates) u.column->disk = std::move(u.disk);
  if (!plan->unchanged) {
    ds->base = base;
    ds->end = plan->end;
    ds->toc = plan->tocRef;
    ds->tocBytes = std::move(plan->toc);
    ds->headerLength = plan->end;
  }
  *areas = CommittedAreas(*ds);
}

}  // namespace mk
