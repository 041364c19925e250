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

  // The file kept open while the Storage lives, marking it in use; opened
  // anew whenever a commit replaces the file.
  std::unique_ptr<File> inUse;

  void MarkInUse();
  Status Commit(bool packed);
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

Status ReadWholeFile(FileSystem* fs, const std::string& path, std::string* bytes) {
  bytes->clear();
  std::unique_ptr<File> file;
  Status s = fs->Open(path, FileSystem::Mode::kRead, &file);
  uint64_t size = 0;
  if (s.ok()) s = file->Size(&size);
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
    Status s = ReadWholeFile(impl->fs, path, bytes.get());
    if (!s.ok()) return s;
  }
  const size_t size = bytes->size();
  Status s = ReadDataset(std::move(bytes), path, &impl->dataset);
  if (!s.ok()) return s;
  impl->trailing = HasTrailingBytes(impl->dataset, size);
  impl->areas = CommittedAreas(impl->dataset);
  impl->MarkInUse();
  result->reset(new Storage(std::move(impl)));
  return Status::Ok();
}

Status Storage::OpenReadOnly(const std::string& path, std::unique_ptr<Storage>* result,
                             FileSystem* fs) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->fs = fs ? fs : FileSystem::Default();
  impl->readOnly = true;
  auto bytes = std::make_shared<std::string>();
  Status s = ReadWholeFile(impl->fs, path, bytes.get());
  if (s.ok()) s = ReadDataset(std::move(bytes), path, &impl->dataset);
  if (!s.ok()) return s;
  impl->MarkInUse();
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

// Writes `image` as the whole file at `path`: to a new file first, then
// renamed over the old one, so a crash leaves one or the other.
Status ReplaceFile(FileSystem* fs, const std::string& path, const std::string& image) {
  const std::string temp = path + ".new";
  Status s = fs->Remove(temp);
  if (!s.ok() && !s.IsNotFound()) return s;
  std::unique_ptr<File> file;
  s = fs->Open(temp, FileSystem::Mode::kCreate, &file);
  if (s.ok()) s = file->Write(0, image);
  if (s.ok()) s = file->Sync();
  file.reset();
  if (s.ok()) s = fs->Rename(temp, path);
  // The failure to report is `s`; a temporary file that cannot be removed
  // either is harmless (the next replace removes it first).
  if (!s.ok()) (void)fs->Remove(temp);
  return s;
}

}  // namespace

Status Storage::Impl::Commit(bool packed) {
  if (readOnly) return Status::NotSupported(path + ": opened read-only");
  if (mustReread) {
    std::string bytes;
    Dataset onDisk;
    Status s = ReadWholeFile(fs, path, &bytes);
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
    std::unique_ptr<File> file;
    Status s = fs->Open(path, FileSystem::Mode::kCreate, &file);
    if (s.ok()) MarkInUse();
    return s;
  }
  if (packed || dataset.end == 0 || trailing) return CommitImage();
  CommitPlan plan = PlanCommit(&dataset, areas, false);
  if (plan.end > kMaxDataset) return TooLarge();
  bool staleHeader = false;
  const int64_t headerLength = dataset.headerLength;
  if (!plan.unchanged) {
    std::unique_ptr<File> file;
    Status s = fs->Open(path, FileSystem::Mode::kReadWrite, &file);
    if (s.ok()) s = WriteIncremental(file.get(), dataset, plan, &staleHeader);
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
    std::unique_ptr<File> file;
    Status s = fs->Open(path, FileSystem::Mode::kRead, &file);
    if (s.ok()) s = file->Read(0, static_cast<size_t>(dataset.base), &prefix);
    if (!s.ok()) return s;
  }
  CommitPlan plan = PlanCommit(&dataset, areas, true);
  if (plan.end > kMaxDataset) return TooLarge();
  Status s = ReplaceFile(fs, path, prefix + PackedImage(plan, dataset.bigEndian));
  if (!s.ok()) return s;
  MarkInUse();
  trailing = false;
  AdoptPlan(&plan, static_cast<int64_t>(prefix.size()), &dataset, &areas);
  return Status::Ok();
}

void Storage::Impl::MarkInUse() {
  inUse.reset();
  if (fs->Open(path, FileSystem::Mode::kRead, &inUse).ok()) inUse->MarkInUse();
}

const std::string& Storage::path() const { return impl_->path; }

}  // namespace mk
