// OtherOptionsScreen: the logic of the "Other Options" window, where the data
// entry options of block Option of Globals are changed.
//
// Opening adds every missing option row with its default
// (tablestore::AddMissingOptions) and reads the four values. The window
// holds its own copy of them; OnOk writes all four back, Cancel (simply not
// calling OnOk) leaves Globals as it was apart from the rows added on
// opening. The close-hit box and list follow the rules: "-1" means the box
// is clear and the list disabled with nothing selected; any other value
// ticks the box and selects the value.
//
// Thread safety: none; the user-interface thread only.
#pragma once

#include <string>

namespace app {
class Application;
}

namespace setup {

inline constexpr char kOtherOptionsCaption[] = "Other Options";
inline constexpr char kAppendDateBox[] = "Attach date to the file name of new scl files?";
inline constexpr char kAuditEachLogBox[] = "Audit current log before appending new record?";
inline constexpr char kAppendAfterDefectBox[] = "Append a log when returning from defect table?";
inline constexpr char kCloseHitBox[] = "Close SAMPLE LOG! window after";
inline constexpr char kCloseHitSeconds[] = "seconds.";
inline constexpr char kTapersButton[] = "&Tapers for Butt Logs";
inline constexpr char kTapersExitedOk[] = "Exited 'Tapers for Butt Logs dialog' with OK";

// The close-hit list's entries, in order ("-1" is off).
inline constexpr const char* kCloseHitChoices[] = {"-1",  "0.0", "0.5", "1.0",
                                                   "1.5", "2.0", "2.5", "3.0"};

// The yes/no options, in the order of their boxes.
enum class YesNoOption { kAppendDate = 0, kAuditEachLog = 1, kAppendAfterDefect = 2 };

class OtherOptionsScreen {
 public:
  // `app` is borrowed, has a file open, and must outlive the object.
  explicit OtherOptionsScreen(app::Application& app);

  // Adds the missing option rows (committed) and reads the values. Returns
  // 0; a negative result when Globals could not be read or written (a
  // message has said why; the window must not be shown).
  int Open();

  // ---- State for the view ----------------------------------------------------
  bool Checked(YesNoOption option) const { return yesNo_[static_cast<int>(option)]; }
  bool CloseHitChecked() const { return closeHitChecked_; }
  bool CloseHitListEnabled() const { return closeHitChecked_; }
  // The list entry selected (index into kCloseHitChoices); -1 when none.
  int CloseHitIndex() const;
  const std::string& CloseHitValue() const { return closeHit_; }

  // ---- Commands ---------------------------------------------------------------
  void OnToggle(YesNoOption option, bool checked) { yesNo_[static_cast<int>(option)] = checked; }
  // The close-hit box: ticking enables the list (the value stays "-1", with
  // nothing selected, until an entry is chosen); clearing it sets the value
  // to "-1" and clears the selection.
  void OnCloseHitBox(bool checked);
  // A list entry chosen (index into kCloseHitChoices; others ignored).
  void OnCloseHitChosen(int index);
  // OK: writes the four values to Globals and commits. False, with a message,
  // when that failed (the window then stays open).
  bool OnOk();
  // The taper window closed; with OK the journal records it.
  void OnTapersClosed(bool ok);

 private:
  app::Application& app_;
  bool yesNo_[3] = {false, false, false};
  std::string closeHit_ = "-1";
  bool closeHitChecked_ = false;
};

}  // namespace setup
