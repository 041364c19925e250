#include "mkstore/storage.h"

#include "mkstore/file.h"
#include "mkstore/reader.h"
#include "mkstore/structure.h"
#include "mkstore/view_impl.h"

namespace mk {

class Storage::Impl {
 public:
  std::string path;
  FileSystem* fs = nullptr;
  bool readOnly = false;
  Dataset dataset;

  Table& root() const { return *dataset.root; }
  int FindView(std::string_view name) const {
    const int c = root().FindProperty(name);
    return c >= 0 && root().TypeOf(c) == 'V' ? c : -1;
  }
};

Storage::Storage(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Storage::~Storage() = default;

namespace {

Status ReadWholeFile(FileSystem* fs, const std::string& path, std::string* bytes) {
  std::unique_ptr<File> file;
  Status s = fs->Open(path, FileSystem::Mode::kRead, &file);
  uint64_t size = 0;
  if (s.ok()) s = file->Size(&size);
  if (!s.ok()) return s;
  // Positions inside a dataset are 32-bit; anything larger is not ours.
  if (size > (uint64_t{1} << 32)) return Status::NotSupported(path + ": file too large for a Metakit storage");
  return file->Read(0, static_cast<size_t>(size), bytes);
}

}  // namespace

Status Storage::Open(const std::string& path, std::unique_ptr<Storage>* result, FileSystem* fs) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->fs = fs ? fs : FileSystem::Default();
  impl->readOnly = false;
  std::string bytes;
  if (impl->fs->Exists(path)) {
    Status s = ReadWholeFile(impl->fs, path, &bytes);
    if (!s.ok()) return s;
  }
  Status s = ReadDataset(bytes, path, &impl->dataset);
  if (!s.ok()) return s;
  result->reset(new Storage(std::move(impl)));
  return Status::Ok();
}

Status Storage::OpenReadOnly(const std::string& path, std::unique_ptr<Storage>* result, FileSystem* fs) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->fs = fs ? fs : FileSystem::Default();
  impl->readOnly = true;
  std::string bytes;
  Status s = ReadWholeFile(impl->fs, path, &bytes);
  if (s.ok()) s = ReadDataset(bytes, path, &impl->dataset);
  if (!s.ok()) return s;
  result->reset(new Storage(std::move(impl)));
  return Status::Ok();
}

std::string Storage::Description() const { return DescribeFields(impl_->root().props()); }

std::vector<std::string> Storage::ViewNames() const {
  std::vector<std::string> names;
  for (const Property& p : impl_->root().props()) {
    if (p.type == 'V') names.push_back(p.name);
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
  if (!remove && parsed[0].type != 'V') {
    return Status::InvalidArgument("\"" + description + "\" does not describe a view");
  }
  std::vector<Property> props = impl_->root().props();
  const int c = impl_->FindView(parsed[0].name);
  if (c < 0 && impl_->root().FindProperty(parsed[0].name) >= 0) {
    return Status::InvalidArgument("\"" + parsed[0].name + "\" is a top-level property, not a view");
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

Status Storage::Commit() {
  if (impl_->readOnly) return Status::NotSupported(impl_->path + ": opened read-only");
  return Status::NotSupported(impl_->path + ": commit is not available yet");
}

Status Storage::CommitPacked() { return Commit(); }

const std::string& Storage::path() const { return impl_->path; }

}  // namespace mk
