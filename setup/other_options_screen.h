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

#include <array>
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

// What the window shows.
struct OtherOptionsView {
  std::array<bool, 3> checked{};  // the yes/no boxes, indexed by YesNoOption
  bool closeHitChecked = false;
  bool closeHitListEnabled = false;
  int closeHitIndex = -1;       // the list entry selected (kCloseHitChoices); -1: none
  std::string closeHit = "-1";  // the close-hit value written on OK
};

// How Open() went.
enum class OtherOptionsOpen {
  kOpened,      // the values are read
  kUnreadable,  // Globals could not be read or written (a message said why)
};

class OtherOptionsScreen {
 public:
  // `app` is borrowed, has a file open, and must outlive the object.
  explicit OtherOptionsScreen(app::Application& app);

  // Adds the missing option rows (committed) and reads the values; the
  // window must not be shown unless this returns kOpened.
  [[nodiscard]] OtherOptionsOpen Open();

  // Everything the window draws.
  const OtherOptionsView& view() const { return view_; }

  // ---- Commands ---------------------------------------------------------------
  // A yes/no box ticked or cleared.
  void OnToggle(YesNoOption option, bool checked);
  // The close-hit box: ticking enables the list (the value stays "-1", with
  // nothing selected, until an entry is chosen); clearing it sets the value
  // to "-1" and clears the selection.
  void OnCloseHitBox(bool checked);
  // A list entry chosen (index into kCloseHitChoices; others ignored).
  void OnCloseHitChosen(int index);
  // OK: writes the four values to Globals and commits. False, with a message,
  // when that failed (the window then stays open).
  [[nodiscard]] bool OnOk();
  // The taper window closed; with OK the journal records it.
  void OnTapersClosed(bool ok);

 private:
  // Sets the list's enabling and selection from the box and the value.
  void UpdateCloseHit();

  app::Application& app_;
  OtherOptionsView view_;
};

}  // namespace setup
