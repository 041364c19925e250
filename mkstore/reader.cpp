#include "mkstore/reader.h"

#include <algorithm>

#include "mkstore/format.h"
#include "mkstore/structure.h"

namespace mk {
namespace {

using format::VarintReader;

// Decodes the columns of one dataset. `data` spans the dataset from its
// header; positions in column lists are offsets into it.
class Loader {
 public:
  // The dataset spans `end` bytes of *file from `base`.
  Loader(std::shared_ptr<const std::string> file, int64_t base, int64_t end,
         const std::string& name, bool bigEndian, int64_t cellBudget)
      : file_(std::move(file)),
        base_(base),
        data_(std::string_view(*file_).substr(static_cast<size_t>(base), static_cast<size_t>(end))),
        name_(name),
        big_(bigEndian),
        budget_(cellBudget) {}

  Status Corrupt(const std::string& what) const { return Status::Corruption(name_ + ": " + what); }

  // Builds a table of `rows` rows whose column references are read from *list.
  Status LoadTable(const std::vector<Property>& props, int64_t rows, VarintReader* list,
                   std::shared_ptr<Table>* out) {
    if (rows < 0) return Corrupt("negative row count");
    const int64_t cells = rows * std::max<int64_t>(1, static_cast<int64_t>(props.size()));
    if (cells > budget_)
      return Corrupt("row count " + std::to_string(rows) + " out of proportion to the file");
    budget_ -= cells;
    auto table = std::make_shared<Table>(props);
    for (size_t c = 0; c < props.size() && rows > 0; ++c) {
      Status s = LoadColumn(props[c], rows, list, &table->columns()[c]);
      if (!s.ok()) return s;
    }
    table->SetLoadedRows(static_cast<int>(rows));
    *out = std::move(table);
    return Status::Ok();
  }

 private:
  Status ReadRef(VarintReader* list, Ref* ref, std::string_view* bytes) {
    if (!list->Read(&ref->size) || ref->size < 0)
      return Corrupt("bad column size in a column list");
    ref->pos = 0;
    *bytes = std::string_view();
    if (ref->size == 0) return Status::Ok();
    if (!list->Read(&ref->pos)) return Corrupt("bad column position in a column list");
    const auto limit = static_cast<int64_t>(data_.size());
    if (ref->pos < format::kHeaderSize || ref->pos > limit || ref->size > limit - ref->pos) {
      return Corrupt("column of " + std::to_string(ref->size) + " bytes at offset " +
                     std::to_string(ref->pos) + " lies outside the dataset");
    }
    *bytes = data_.substr(static_cast<size_t>(ref->pos), static_cast<size_t>(ref->size));
    return Status::Ok();
  }

  Status BadWidth(int64_t size, int64_t rows) const {
    return Corrupt("integer column of " + std::to_string(size) + " bytes does not fit " +
                   std::to_string(rows) + " rows");
  }

  // An adaptive integer column of `rows` values (FORMAT.md, Integer columns)
  // into out[0..rows).
  Status DecodeInts(std::string_view bytes, int64_t rows, int32_t* out, int* width) {
    *width = format::WidthFromSize(rows, static_cast<int64_t>(bytes.size()), 32);
    if (*width < 0) return BadWidth(static_cast<int64_t>(bytes.size()), rows);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    format::GetAllPacked(p, *width, big_, rows, out);
    return Status::Ok();
  }

  Status LoadColumn(const Property& prop, int64_t rows, VarintReader* list, Column* col) {
    col->disk.valid = true;
    switch (prop.type) {
      case PropertyType::kInt:
      case PropertyType::kFloat:
        return LoadInts(rows, list, col);
      case PropertyType::kLong:
      case PropertyType::kDouble:
        return LoadWide(rows, list, col);
      case PropertyType::kString:
      case PropertyType::kBytes:
        return LoadItems(prop.type == PropertyType::kString, rows, list, col);
      case PropertyType::kSubview:
        break;
    }
    return LoadSubviews(prop, rows, list, col);
  }

  Status LoadInts(int64_t rows, VarintReader* list, Column* col) {
    Ref ref;
    std::string_view bytes;
    Status s = ReadRef(list, &ref, &bytes);
    if (!s.ok()) return s;
    col->disk.refs.push_back(ref);
    col->disk.width = format::WidthFromSize(rows, ref.size, 32);
    if (col->disk.width < 0) return BadWidth(ref.size, rows);
    col->i32.AssignPacked(file_, static_cast<size_t>(base_ + ref.pos), col->disk.width, big_,
                          static_cast<size_t>(rows));
    return Status::Ok();
  }

  Status LoadWide(int64_t rows, VarintReader* list, Column* col) {
    Ref ref;
    std::string_view bytes;
    Status s = ReadRef(list, &ref, &bytes);
    if (!s.ok()) return s;
    col->disk.refs.push_back(ref);
    col->disk.width = 64;
    col->i64.assign(static_cast<size_t>(rows), 0);
    if (ref.size == 0) return Status::Ok();
    if (ref.size != rows * 8)
      return Corrupt("64-bit column of " + std::to_string(ref.size) + " bytes for " +
                     std::to_string(rows) + " rows");
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    for (int64_t r = 0; r < rows; ++r) col->i64[r] = format::GetPacked(p, 64, big_, r);
    return Status::Ok();
  }

  Status LoadItems(bool text, int64_t rows, VarintReader* list, Column* col) {
    Ref dataRef, sizesRef, memoRef;
    std::string_view data, sizesBytes, memoBytes;
    Status s = ReadRef(list, &dataRef, &data);
    col->disk.refs.push_back(dataRef);
    // Item r ends where item r + 1 starts: one offset per item finds them
    // all. The sizes are decoded in place of the offsets they lead to.
    std::vector<uint32_t> ends(static_cast<size_t>(rows) + 1);
    if (s.ok() && dataRef.size > 0) {
      s = ReadRef(list, &sizesRef, &sizesBytes);
      col->disk.refs.push_back(sizesRef);
      if (s.ok())
        s = DecodeInts(sizesBytes, rows, reinterpret_cast<int32_t*>(ends.data() + 1),
                       &col->disk.width);
    }
    if (s.ok()) s = ReadRef(list, &memoRef, &memoBytes);
    if (!s.ok()) return s;
    col->disk.refs.push_back(memoRef);
    ItemCounts counts;
    const int64_t used = EndItems(data, base_ + dataRef.pos, text, &ends, &counts);
    if (used < 0) return Corrupt("bad item sizes");
    if (used != static_cast<int64_t>(data.size()))
      return Corrupt("item sizes do not add up to the data column");
    // More NULs in the data than terminators: some item holds one inside.
    // Counting them at once is far cheaper than searching every item.
    if (text && CountNuls(data) != counts.terminated) col->embeddedNul = true;
    if (memoBytes.empty()) {
      col->items.AssignEnds(file_, std::move(ends), text, counts.terminated == counts.nonEmpty);
      return Status::Ok();
    }
    // Memo items lie elsewhere in the file: one span per item.
    std::vector<Items::Span> spans(static_cast<size_t>(rows));
    for (size_t r = 0; r < spans.size(); ++r) {
      const std::string_view item =
          detail::ItemAt(file_->data(), ends.data(), static_cast<uint32_t>(r), text);
      spans[r] = {static_cast<uint32_t>(item.data() - file_->data()),
                  static_cast<uint32_t>(item.size())};
    }
    s = LoadMemos(text, memoBytes, ends, &spans, col);
    if (!s.ok()) return s;
    col->items.AssignPacked(file_, std::move(spans));
    return Status::Ok();
  }

  // The NUL bytes in `data`, counted in blocks small enough for byte-wide
  // counters, which the compiler turns into wide vector compares.
  static int64_t CountNuls(std::string_view data) {
    int64_t total = 0;
    for (size_t at = 0; at < data.size(); at += 255) {
      const size_t end = std::min(data.size(), at + 255);
      uint8_t block = 0;
      for (size_t i = at; i < end; ++i) block += data[i] == '\0' ? 1 : 0;
      total += block;
    }
    return total;
  }

  struct ItemCounts {
    int64_t nonEmpty = 0;
    int64_t terminated = 0;  // S items ending in a NUL
  };

  // Turns the item sizes in (*ends)[1..] into where each item ends, the
  // items lying end to end in `data`, which starts at file offset `start`
  // (also (*ends)[0]). S items (`text`) end in a NUL that is not part of
  // the text. Returns the bytes the items use, or -1 when a size is
  // negative or overruns the data. Kept apart from its caller so the loop's
  // state stays in registers: it runs once per item of the file.
  [[gnu::noinline]] static int64_t EndItems(std::string_view data, int64_t start, bool text,
                                            std::vector<uint32_t>* ends, ItemCounts* counts) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    const auto total = static_cast<int64_t>(data.size());
    uint32_t* out = ends->data();
    const auto rows = static_cast<int64_t>(ends->size()) - 1;
    int64_t at = 0, nonEmpty = 0, terminated = 0;
    out[0] = static_cast<uint32_t>(start);
    for (int64_t r = 0; r < rows; ++r) {
      const int64_t n = static_cast<int32_t>(out[r + 1]);
      if (n < 0 || n > total - at) return -1;
      at += n;
      nonEmpty += n > 0 ? 1 : 0;
      terminated += text && n > 0 && bytes[at - 1] == 0 ? 1 : 0;
      out[r + 1] = static_cast<uint32_t>(start + at);
    }
    counts->nonEmpty = nonEmpty;
    counts->terminated = terminated;
    return at;
  }

  // Points the memo rows (FORMAT.md, Items) at their own columns. Text memos lose their
  // terminating NUL like inline items.
  Status LoadMemos(bool text, std::string_view memoList, const std::vector<uint32_t>& ends,
                   std::vector<Items::Span>* spans, Column* col) {
    VarintReader memos(memoList);
    int64_t next = 0;
    const auto rows = static_cast<int64_t>(spans->size());
    while (!memos.AtEnd()) {
      int64_t skip;
      Ref ref;
      std::string_view bytes;
      if (!memos.Read(&skip) || skip < 0 || skip >= rows - next) return Corrupt("bad memo list");
      next += skip;
      Status s = ReadRef(&memos, &ref, &bytes);
      if (!s.ok()) return s;
      if (ends[next + 1] != ends[next])
        return Corrupt("row " + std::to_string(next) + " is both inline and a memo");
      std::string_view item = bytes;
      if (text && !item.empty() && item.back() == '\0') item.remove_suffix(1);
      if (text && item.find('\0') != std::string_view::npos) col->embeddedNul = true;
      (*spans)[next] = {static_cast<uint32_t>(base_ + ref.pos), static_cast<uint32_t>(item.size())};
      col->disk.memos.push_back(ref);
      ++next;
    }
    return Status::Ok();
  }

  Status LoadSubviews(const Property& prop, int64_t rows, VarintReader* list, Column* col) {
    Ref ref;
    std::string_view bytes;
    Status s = ReadRef(list, &ref, &bytes);
    if (!s.ok()) return s;
    col->disk.refs.push_back(ref);
    col->disk.listBytes.assign(bytes);
    VarintReader nested(bytes);
    col->subs.resize(static_cast<size_t>(rows));
    for (int64_t r = 0; r < rows; ++r) {
      int64_t reserved, subRows;
      if (!nested.Read(&reserved) || reserved != 0 || !nested.Read(&subRows)) {
        return Corrupt("bad nested column list in subview \"" + prop.name + "\"");
      }
      s = LoadTable(prop.subProperties, subRows, &nested, &col->subs[r]);
      if (!s.ok()) return s;
    }
    if (!nested.AtEnd()) return Corrupt("trailing bytes in subview column \"" + prop.name + "\"");
    return Status::Ok();
  }

  std::shared_ptr<const std::string> file_;
  int64_t base_;
  std::string_view data_;
  const std::string& name_;
  bool big_;
  int64_t budget_;
};

// A dataset whose tails end at `end` (file offset), or false.
struct Candidate {
  int64_t base, end, tocPos, tocLen;
  bool big;
};

bool ValidHeader(const uint8_t* h) {
  const bool magic = (h[0] == format::kMagicLittle0 && h[1] == format::kMagicBig0) ||
                     (h[0] == format::kMagicBig0 && h[1] == format::kMagicLittle0);
  return magic && h[2] == format::kHeaderValid && (h[3] & 0x40) == 0;
}

bool TailsAt(std::string_view file, int64_t end, Candidate* c) {
  if (end < 24 || end > static_cast<int64_t>(file.size())) return false;
  const auto* commit = reinterpret_cast<const uint8_t*>(file.data() + end - 8);
  const auto* skip = commit - 8;
  const int64_t tocLen = (commit[1] << 16) | (commit[2] << 8) | commit[3];
  if (commit[0] != format::kTailMarker || tocLen == 0) return false;
  if (skip[0] != format::kTailMarker || skip[1] != 0 || skip[2] != 0 || skip[3] != 0) return false;
  const int64_t skipAt = end - 16;
  const int64_t distance = format::GetBig32(skip + 4);
  if (distance < format::kHeaderSize || distance > skipAt) return false;
  c->base = skipAt - distance;
  const auto* header = reinterpret_cast<const uint8_t*>(file.data() + c->base);
  if (!ValidHeader(header)) return false;
  c->end = end - c->base;
  c->tocLen = tocLen;
  c->tocPos = format::GetBig32(commit + 4);
  c->big = header[0] == format::kMagicBig0;
  return c->tocPos >= format::kHeaderSize && c->tocPos + c->tocLen <= c->end - 16;
}

Status ParseToc(const std::shared_ptr<const std::string>& shared, const std::string& name,
                const Candidate& c, Dataset* out) {
  const std::string_view file = *shared;
  const std::string_view data =
      file.substr(static_cast<size_t>(c.base), static_cast<size_t>(c.end));
  const std::string_view toc =
      data.substr(static_cast<size_t>(c.tocPos), static_cast<size_t>(c.tocLen));
  VarintReader reader(toc);
  int64_t reserved, length, rootRows;
  std::string_view structure;
  if (!reader.Read(&reserved) || reserved != 0 || !reader.Read(&length) || length < 0 ||
      !reader.ReadBytes(static_cast<size_t>(length), &structure) || !reader.Read(&rootRows) ||
      rootRows != 1) {
    return Status::Corruption(name + ": bad table of contents at offset " +
                              std::to_string(c.tocPos));
  }
  std::vector<Property> props;
  int duplicates = 0;
  Status s = ParseFields(structure, &props, &duplicates);
  if (s.code() == Status::Code::kInvalidArgument || duplicates > 0) {
    return Status::Corruption(name + ": bad structure string \"" + std::string(structure) + "\"");
  }
  if (!s.ok()) return Status::NotSupported(name + ": " + s.message());
  Loader loader(shared, c.base, c.end, name, c.big,
                16 * static_cast<int64_t>(file.size()) + (1 << 20));
  s = loader.LoadTable(props, 1, &reader, &out->root);
  if (!s.ok()) return s;
  if (!reader.AtEnd())
    return Status::Corruption(name + ": trailing bytes in the table of contents");
  out->base = c.base;
  out->end = c.end;
  out->bigEndian = c.big;
  out->headerLength = format::GetBig32(reinterpret_cast<const uint8_t*>(data.data()) + 4);
  out->toc = Ref{c.tocLen, c.tocPos};
  out->tocBytes.assign(toc);
  return Status::Ok();
}

}  // namespace

Status ReadDataset(std::string_view file, const std::string& name, Dataset* out) {
  return ReadDataset(std::make_shared<const std::string>(file), name, out);
}

Status ReadDataset(std::shared_ptr<const std::string> shared, const std::string& name,
                   Dataset* out) {
  const std::string_view file = *shared;
  *out = Dataset();
  if (file.empty()) {
    out->root = std::make_shared<Table>(std::vector<Property>());
    out->root->InsertRows(0, 1);
    return Status::Ok();
  }
  Candidate c;
  Status s = Status::Corruption(name + ": not a Metakit storage (no valid tail markers)");
  if (TailsAt(file, static_cast<int64_t>(file.size()), &c)) {
    s = ParseToc(shared, name, c, out);
    // A dataset we cannot handle is reported, not replaced by an older one.
    if (s.ok() || s.code() == Status::Code::kNotSupported) return s;
  }
  // A commit that grows the file writes its tails last and the header after
  // them, so the header's length still gives the previous dataset's end.
  const auto* header = reinterpret_cast<const uint8_t*>(file.data());
  if (file.size() >= 8 && header[2] == format::kHeaderValid && header[3] == 0x80) {
    return Status::NotSupported(name + ": a Metakit file of the pre-2.0 format");
  }
  if (file.size() >= 8 && ValidHeader(header)) {
    const int64_t end = format::GetBig32(header + 4);
    if (end != static_cast<int64_t>(file.size()) && TailsAt(file, end, &c) && c.base == 0 &&
        ParseToc(shared, name, c, out).ok()) {
      return Status::Ok();
    }
  }
  // Last resort: the newest intact tails before the end, for a file cut short
  // after its header already announced the new length. Only a few candidates
  // are tried so that hostile input cannot make this quadratic.
  int attempts = 0;
  for (int64_t end = static_cast<int64_t>(file.size()) - 1; end >= 24 && attempts < 4; --end) {
    if (!TailsAt(file, end, &c)) continue;
    ++attempts;
    if (ParseToc(shared, name, c, out).ok()) return Status::Ok();
  }
  return s;
}

}  // namespace mk
