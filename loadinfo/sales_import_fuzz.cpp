// Fuzz target for the sale list: any bytes as "sales.csv" beside the
// program, read when the load information screen opens, then every sale
// name it offers chosen in turn (the auto-fill). Nothing may crash, hang or
// allocate without bound; a refused list leaves the screen without one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "loadinfo/load_info_screen.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/scripted_ui.h"

namespace {

// A scratch program folder holding a scale file made once from the bundled
// setup file; every input reopens that file.
struct Scratch {
  std::string folder;
  std::string scaleFile;
};

const Scratch& MakeScratch() {
  static const Scratch scratch = [] {
    std::string dir = (std::filesystem::temp_directory_path() / "sales-import-fuzz-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) std::abort();
    Scratch s{dir + "/", dir + "/load.scl"};
    platform::PosixFileSystem fs;
    platform::FixedClock clock;
    platform::ScriptedUi ui;
    app::Application app(ui, fs, clock, s.folder);
    if (app.files.CreateFromSetup(VARNOLDE_PROGRAM_DIR "/DefaultScaler.SetupScl", s.scaleFile) !=
        app::FileOutcome::kCreated) {
      std::abort();
    }
    return s;
  }();
  return scratch;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Scratch& scratch = MakeScratch();
  platform::PosixFileSystem fs;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (fs.WriteFile(scratch.folder + loadinfo::kSalesFileName, text) != platform::FileResult::kOk) {
    std::abort();
  }
  platform::FixedClock clock;
  platform::ScriptedUi ui;
  app::Application app(ui, fs, clock, scratch.folder);
  if (app.files.OpenSequence(scratch.scaleFile) != app::FileOutcome::kOpened) std::abort();
  loadinfo::LoadInfoScreen screen(app, ui);
  if (screen.Open() != loadinfo::LoadInfoOpen::kOpened) return 0;
  const int saleRow = screen.FieldRow("SALE");
  if (saleRow < 0) return 0;
  const std::vector<std::string> names = screen.grid().Choices(saleRow, loadinfo::kValueColumn);
  if (screen.view().saleListAttached == names.empty()) std::abort();
  for (const std::string& name : names) {
    if (!screen.grid().SetCurrentCell(saleRow, loadinfo::kValueColumn)) std::abort();
    if (!screen.grid().BeginEdit()) std::abort();
    if (!screen.grid().CommitEdit(name)) std::abort();
  }
  return 0;
}
