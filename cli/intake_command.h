// varnolde-cli intake: one new scale file per load text, in one step. For
// each text the load's LLR names the new file in the intake folder
// (app::IntakePath); the file is made from the setup file (Create) and the
// text imported into it (Import), with every check of those commands. A text
// whose file already exists is refused and named, and so is a text without
// exactly one load or with an LLR that cannot name a file; a text whose
// import is refused leaves no file behind. A summary line ends the output.
//
// Thread safety: none; one command at a time.
#pragma once

#include <string>
#include <vector>

#include "cli/commands.h"

namespace cli {

// Takes in every text of `texts` into `folder`, made when missing (setup:
// `setupPath`, empty for the default setup file). Returns 0 when every text became a scale file, 1
// otherwise; each refusal is one line on the error stream.
[[nodiscard]] int Intake(Context& ctx, const std::string& setupPath, const std::string& folder,
                         const std::vector<std::string>& texts);

}  // namespace cli
