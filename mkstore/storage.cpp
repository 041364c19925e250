#include "mkstore/storage.h"

#include "mkstore/file.h"
#include "mkstore/reader.h"
#include "mkstore/structure.h"
#include "mkstore/view_impl.h"
#include "mkstore/writer.h"

namespace mk {

class Storage::Impl {
 public:
  std::string path;
  FileSystem* fs = nullptr;
  bool readOnly = false;
  Dataset dataset;
  std::vector<Ref> areas;   // what the committed dataset occupies in the file
  bool mustReread = false;  // a commit failed: the file's state is unknown
  // Bytes follow the dataset in the file (it was found behind them, e.g. a
  // commit cut short). An open reads the end of the file first, so the next
  // commit rewrites the file rather than leave them there.
  bool trailing = false;

  // The file, held (FileSystem::Mode::kExclusive) from the open to the
  // destruction; every read and write goes through it. A whole-file commit
  // swaps in the new file, already held. Null while a storage opened on a
  // missing file has not committed, and for a read-only storage, which
  // keeps nothing open: its bytes are read in full when it opens.
  std::unique_ptr<File> file;

  Status Commit(bool packed);
  Status Replace(const std::string& image);
  // Positions in a dataset are signed 32-bit numbers.
  static constexpr int64_t kMaxDataset = 0x7FFFFFFF;
  Status TooLarge() const { return Status::NotSupported(path + ": the storage would exceed 2 GB"); }
  Status CommitImage();

  Table& root() const { return *dataset.root; }
  int FindView(std::string_view name) const {
    const int c = root().FindProperty(name);
    return c >= 0 && root().TypeOf(c) == PropertyType::kSubview ? c : -1;
  }
};

Storage::Storage(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Storage::~Storage() = default;

namespace {

Status ReadWholeFile(File* file, const std::string& path, std::string* bytes) {
  bytes->clear();
  uint64_t size = 0;
  Status s = file->Size(&size);
  if (!s.ok()) return s;
  // Positions inside a dataset are signed 32-bit; anything larger is not ours.
  if (size > uint64_t{0x7FFFFFFF})
    return Status::NotSupported(path + ": file too large for a Metakit storage");
  return file->Read(0, static_cast<size_t>(size), bytes);
}

bool HasTrailingBytes(const Dataset& dataset, size_t fileSize) {
  return dataset.end > 0 && static_cast<uint64_t>(dataset.base + dataset.end) != fileSize;
}

}  // namespace

Status Storage::Open(const std::string& path, std::unique_ptr<Storage>* result, FileSystem* fs) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->fs = fs ? fs : FileSystem::Default();
  impl->readOnly = false;
  auto bytes = std::make_shared<std::string>();
  if (impl->fs->Exists(path)) {
    // Held before the first byte is read, so that what is read is the last
    // state committed and no other writer's commit can follow it.
    Status s = impl->fs->Open(path, FileSystem::Mode::kExclusive, &impl->file);
    if (s.ok()) s = ReadWholeFile(impl->file.get(), path, bytes.get());
    if (!s.ok()) return s;
  }
  const size_t size = bytes->size();
  Status s = ReadDataset(std::move(bytes), path, &impl->dataset);
  if (!s.ok()) return s;
  impl->trailing = HasTrailingBytes(impl->dataset, size);
  impl->areas = CommittedAreas(impl->dataset);
  result->reset(new Storage(std::move(impl)));
  return Status::Ok();
}

Status Storage::OpenReadOnly(const std::string& path, std::unique_ptr<Storage>* result,
                             FileSystem* fs) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->fs = fs ? fs : FileSystem::Default();
  impl->readOnly = true;
  // Not held: a reader does not keep writers out. It reads the file in one
  // pass, guarded, so that a commit being written into the file finishes
  // first (a whole-file commit makes a new file: the one open here keeps
  // the old state whole).
  auto bytes = std::make_shared<std::string>();
  std::unique_ptr<File> file;
  Status s = impl->fs->Open(path, FileSystem::Mode::kRead, &file);
  if (s.ok()) {
    file->SetGuard(File::Guard::kRead);
    s = ReadWholeFile(file.get(), path, bytes.get());
  }
  if (s.ok()) s = ReadDataset(std::move(bytes), path, &impl->dataset);
  if (!s.ok()) return s;
  result->reset(new Storage(std::move(impl)));
  return Status::Ok();
}

std::string Storage::Description() const { return DescribeFields(impl_->root().props()); }

std::vector<std::string> Storage::ViewNames() const {
  std::vector<std::string> names;
  for (const Property& p : impl_->root().props()) {
    if (p.type == PropertyType::kSubview) names.push_back(p.name);
  }
  return names;
}

View Storage::GetView(const std::string& name) const {
  const int c = impl_->FindView(name);
  if (c < 0) return View(nullptr);
  return View(MakeTableView(impl_->root().Sub(0, c)));
}

View Storage::Root() const { return View(MakeTableView(impl_->dataset.root)); }

Status Storage::Restructure(const std::string& description) {
  std::vector<Property> parsed;
  Status s = ParseFields(description, &parsed);
  if (!s.ok() || parsed.size() != 1) {
    return Status::InvalidArgument("cannot restructure by \"" + description + "\"" +
                                   (s.ok() ? std::string() : ": " + s.message()));
  }
  const bool remove = description.find_first_of("[:") == std::string::npos;
  if (!remove && parsed[0].type != PropertyType::kSubview) {
    return Status::InvalidArgument("\"" + description + "\" does not describe a view");
  }
  std::vector<Property> props = impl_->root().props();
  const int c = impl_->FindView(parsed[0].name);
  if (c < 0 && impl_->root().FindProperty(parsed[0].name) >= 0) {
    return Status::InvalidArgument("\"" + parsed[0].name +
                                   "\" is a top-level property, not a view");
  }
  if (remove) {
    if (c < 0) return Status::Ok();
    props.erase(props.begin() + c);
  } else if (c >= 0) {
    props[c] = parsed[0];
  } else {
    props.push_back(parsed[0]);
  }
  impl_->root().Restructure(props);
  return Status::Ok();
}

Status Storage::Commit() { return impl_->Commit(false); }

Status Storage::CommitPacked() { return impl_->Commit(true); }

namespace {

// Forgets where every column lies: after a failed commit the file may hold
// either version, so everything is written afresh next time.
void ForgetDisk(Table* t) {
  for (Column& c : t->columns()) {
    c.disk = DiskColumn();
    for (auto& sub : c.subs) ForgetDisk(sub.get());
  }
}

}  // namespace

Status Storage::Impl::Commit(bool packed) {
  if (readOnly) return Status::NotSupported(path + ": opened read-only");
  if (mustReread) {
    std::string bytes;
    Dataset onDisk;
    Status s = ReadWholeFile(file.get(), path, &bytes);
    if (s.ok()) s = ReadDataset(bytes, path, &onDisk);
    if (!s.ok()) return s;
    trailing = HasTrailingBytes(onDisk, bytes.size());
    areas = CommittedAreas(onDisk);
    ForgetDisk(dataset.root.get());
    onDisk.root = dataset.root;
    dataset = std::move(onDisk);
    mustReread = false;
  }
  if (dataset.end == 0 && dataset.root->props().empty()) {
    // Nothing to store in a new file: Metakit leaves it empty.
    return file ? Status::Ok() : Replace(std::string());
  }
  if (packed || dataset.end == 0 || trailing) return CommitImage();
  CommitPlan plan = PlanCommit(&dataset, areas, false);
  if (plan.end > kMaxDataset) return TooLarge();
  bool staleHeader = false;
  const int64_t headerLength = dataset.headerLength;
  if (!plan.unchanged) {
    file->SetGuard(File::Guard::kWrite);  // readers wait, see OpenReadOnly
    Status s = WriteIncremental(file.get(), dataset, plan, &staleHeader);
    file->SetGuard(File::Guard::kNone);
    if (!s.ok()) {
      mustReread = true;
      return s;
    }
  }
  AdoptPlan(&plan, dataset.base, &dataset, &areas);
  if (staleHeader) dataset.headerLength = headerLength;
  return Status::Ok();
}

Status Storage::Impl::CommitImage() {
  std::string prefix;
  if (dataset.base > 0) {
    Status s = file->Read(0, static_cast<size_t>(dataset.base), &prefix);
    if (!s.ok()) return s;
  }
  CommitPlan plan = PlanCommit(&dataset, areas, true);
  if (plan.end > kMaxDataset) return TooLarge();
  Status s = Replace(prefix + PackedImage(plan, dataset.bigEndian));
  if (!s.ok()) return s;
  trailing = false;
  AdoptPlan(&plan, static_cast<int64_t>(prefix.size()), &dataset, &areas);
  return Status::Ok();
}

// The old file is let go only once the new one, held, has taken its name.
Status Storage::Impl::Replace(const std::string& image) {
  std::unique_ptr<File> replacement;
  Status s = fs->Replace(path, image, &replacement);
  if (s.ok()) file = std::move(replacement);
  return s;
}

const std::string& Storage::path() const { return impl_->path; }

}  // namespace mk
