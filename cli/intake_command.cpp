#include "cli/intake_command.h"

#include <filesystem>
#include <iostream>

#include "app/intake_plan.h"
#include "app/scale_files.h"

namespace cli {
namespace {

// A load text larger than this is not a truck load; Import itself refuses it.
constexpr size_t kMaxTextBytes = 64u << 20;

// The new file's path for the text, or a failure saying why it gets none.
Outcome PlanFile(Context& ctx, const std::string& folder, bool dated, const std::string& text,
                 std::string* path) {
  std::string bytes;
  if (ctx.fs.ReadFile(text, kMaxTextBytes, &bytes) != platform::FileResult::kOk) {
    return Outcome::Fail("the load text cannot be read");
  }
  const std::vector<std::string> receipts = app::LoadReceiptsOfText(bytes);
  if (receipts.size() != 1) {
    return Outcome::Fail("the text holds " + std::to_string(receipts.size()) +
                         " loads; intake takes one load per text (use create and import)");
  }
  const std::string problem = app::LlrFileNameProblem(receipts[0]);
  if (!problem.empty()) return Outcome::Fail(problem + " cannot name a scale file");
  *path = app::IntakePath(folder, receipts[0], dated, ctx.clock.Now());
  if (ctx.fs.Exists(*path)) return Outcome::Fail(*path + " already exists; nothing done");
  return Outcome::Ok();
}

// Creates the text's scale file and imports the text into it. A refused
// import takes its new file away again.
Outcome TakeIn(Context& ctx, const std::string& setupPath, const std::string& path,
               const std::string& text) {
  const Outcome created = Create(ctx, setupPath, path);
  if (!created.ok) return created;
  const Outcome imported = Import(ctx, path, text);
  if (imported.ok) return imported;
  if (ctx.fs.Delete(path) != platform::FileResult::kOk) {
    return Outcome::Fail(imported.reason + "; the new file " + path + " could not be removed");
  }
  return Outcome::Fail(imported.reason + "; no file made");
}

}  // namespace

int Intake(Context& ctx, const std::string& setupPath, const std::string& folder,
           const std::vector<std::string>& texts) {
  const std::string setup =
      setupPath.empty() ? ctx.programFolder + app::kDefaultSetupFileName : setupPath;
  const bool dated = app::SetupDatesFileNames(ctx.fs, setup);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder)) {
    std::cerr << "varnolde-cli: " << folder << ": the folder cannot be made; nothing done\n";
    return 1;
  }
  int made = 0;
  for (const std::string& text : texts) {
    std::string path;
    Outcome outcome = PlanFile(ctx, folder, dated, text, &path);
    if (outcome.ok) outcome = TakeIn(ctx, setup, path, text);
    if (outcome.ok) {
      ++made;
    } else {
      std::cerr << "varnolde-cli: " << text << ": " << outcome.reason << '\n';
    }
  }
  const int refused = static_cast<int>(texts.size()) - made;
  ctx.out << "Intake: " << made << " of " << texts.size() << " load texts made into scale files in "
          << folder;
  if (refused > 0) ctx.out << "; " << refused << " refused";
  ctx.out << '\n';
  return refused == 0 ? 0 : 1;
}

}  // namespace cli
