// Screens: how one screen opens another.
//
// A screen's logic class never creates another screen's dialog: it calls this
// interface, which the Qt program implements with the real dialogs and tests
// implement with stand-ins. Every call is modal: it returns when the screen
// it opened has closed.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace app {

class Application;

// What the scale and sample design dialog returns on OK.
struct DesignChoice {
  std::string scaleSample;  // e.g. "100", "3P"
  std::string scaleUnits;   // e.g. "Cubic", "Board"
};

// The reports dialog's ticks: the reports "Generate &Reports" writes.
struct ReportChoice {
  bool comprehensive = true;
  bool logReport = true;
  bool brevanta = true;
  bool pdf = false;  // write a PDF beside every report
  bool checkCompare = true;  // the check scale comparison (check scale files only)
};

class Screens {
 public:
  virtual ~Screens() = default;

  // The About box.
  virtual void ShowAbout() = 0;
  // The load information screen for the open file (`app.files.state()`).
  virtual void ShowLoadInfo(Application& app) = 0;
  // The data entry screen for the open file.
  virtual void ShowDataEntry(Application& app) = 0;
  // The scale and sample design dialog, opened with the current texts.
  // Returns the chosen texts on OK, nullopt on Cancel.
  virtual std::optional<DesignChoice> ShowDesign(Application& app,
                                                 const DesignChoice& current) = 0;
  // The setup and options screen (which may open the supervisor dialogs and
  // so sign the supervisor in and allow Load Info editing in `app`).
  virtual void ShowSetup(Application& app) = 0;
  // The supervisor road, which the setup screen's "&Supervisor" button
  // opens: the sign-in ("Username & Password") and, once a supervisor has
  // signed in, "Supervisor Options". When the options close
  // app.loadInfoEditable() is on (and app.supervisorAccess() is set); when
  // the sign-in is cancelled app.loadInfoEditable() is off. The options may change
  // the open file (un-finalize, renamed SALE or LLR), so the caller reads
  // what it shows of the file again afterwards. Nothing happens without an
  // open file.
  virtual void ShowSupervisor(Application& app) = 0;
  // The reports dialog, ticked as app.reportChoice (the session's last
  // choice). Each "Generate &Reports" stores the ticks in app.reportChoice
  // and calls `generate` with them; the dialog stays open (its "&Print..."
  // prints the printable files among app.lastReports) until it is closed.
  virtual void ShowReports(Application& app,
                           const std::function<void(const ReportChoice&)>& generate) = 0;
};

}  // namespace app
