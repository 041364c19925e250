// The field office's commands over many files at once: summary (the load
// totals of many scale files together), intake (a scale file per load text)
// and print (the reports' PDF copies through the print service). Their
// options are declared here; the commands are in summary_command.h,
// intake_command.h and print_command.h.
//
// Thread safety: none; one command line at a time.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace cli {

// The options of the office commands, as parsed.
struct OfficeOptions {
  std::vector<std::string> files;
  std::string by = "sale", from, to, pdf, setup, folder, printer;
  bool csv = false, json = false;
  bool comprehensive = false, log = false, audit = false;
  CLI::App* summary = nullptr;
  CLI::App* intake = nullptr;
  CLI::App* print = nullptr;
};

// Declares summary, intake and print on `app`, bound to `o`.
void DeclareOfficeCommands(CLI::App& app, OfficeOptions& o);

// Runs the office command the user chose and returns its exit code (2 for a
// wrong date or grouping); nullopt when none of them was chosen.
[[nodiscard]] std::optional<int> RunOfficeCommand(const OfficeOptions& o, Context& ctx);

}  // namespace cli
