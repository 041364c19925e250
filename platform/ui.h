// Ui: everything the program says to the user or asks of the user.
//
// Screens and the core never talk to a toolkit directly: they describe a
// message box, file dialog or prompt and hand it to a Ui. The Qt screens
// implement Ui with real widgets; tests use ScriptedUi (scripted_ui.h), which
// answers from a queue and records what was shown.
//
// Every call is modal: it returns when the user has answered (or, for a
// self-closing message, when its time is up).
//
// Thread safety: a Ui is used from the user-interface thread only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The icon of a message box. kNone where the caller names no icon.
enum class Icon { kNone, kStop, kExclamation, kQuestion, kInformation };

// The buttons of a message box.
enum class Buttons { kOk, kOkCancel, kYesNo };

// Which button Enter presses: kFirst is OK or Yes, kSecond is Cancel or No.
// A box with kOk alone has only a first button.
enum class DefaultButton { kFirst, kSecond };

// The button that ended a message box. A self-closing box that closes itself
// ends with kCancel (it is sent a Cancel command, as the user's Cancel would).
enum class Answer { kOk, kCancel, kYes, kNo };

// A message box. Text and caption are shown byte for byte (UTF-8); "\n" breaks
// lines. Usually written in place:
//   ui.ShowMessage({"Invalid midpoint diameter!", "Error", Icon::kStop});
//   ui.ShowMessage({"Delete this log?", "Confirm", Icon::kNone, Buttons::kOkCancel,
//                   DefaultButton::kSecond});
struct Message {
  // Value of close_after_ms for a box that stays until the user closes it.
  static constexpr int kNever = -1;

  Message() = default;
  Message(std::string text, std::string caption, Icon icon = Icon::kNone,
          Buttons buttons = Buttons::kOk, DefaultButton default_button = DefaultButton::kFirst)
      : text(std::move(text)),
        caption(std::move(caption)),
        icon(icon),
        buttons(buttons),
        default_button(default_button) {}

  std::string text;
  std::string caption;
  Icon icon = Icon::kNone;
  Buttons buttons = Buttons::kOk;
  DefaultButton default_button = DefaultButton::kFirst;
  // When >= 0 the box closes itself after this many milliseconds and answers
  // kCancel; 0 closes it at once. kNever (or any negative value): no timer.
  int close_after_ms = kNever;
};

// An open or save file dialog.
struct FileDialog {
  std::string title;
  // Appended to a typed name that has no extension. Given as the caller
  // writes it, with or without the leading ".", e.g. ".scl".
  std::string default_extension;
  // The filter text in the handheld's form: description and pattern pairs
  // separated by "|", ended by "||" (anything after it is ignored), e.g.
  // "Scale Files (*.scl)|*.scl|All Files (*.*)|*.*||". See ParseFileFilter.
  std::string filter;
  // The folder shown first; empty: the implementation's choice.
  std::string initial_folder;
  // The name filled in at first; empty: none.
  std::string proposed_name;
  // Open dialogs only: accept only a file that exists.
  bool must_exist = false;
};

// One entry of a file dialog's filter.
struct FileFilter {
  std::string description;  // e.g. "Scale Files (*.scl)"
  std::string pattern;      // e.g. "*.scl"; several patterns are separated by ";"
};

// Splits a filter text (see FileDialog::filter) into its entries, in order.
// Reading stops at the first empty description ("||") or at the end of the
// text; a description without a pattern gets an empty pattern. Never fails:
// an empty text gives no entries.
std::vector<FileFilter> ParseFileFilter(std::string_view filter);

// A one-line text entry window, with OK and Cancel.
struct TextPrompt {
  std::string caption;
  std::string text;     // the question shown above the entry field; "\n" breaks lines
  std::string initial;  // the entry field's text when the window opens
};

// The message beeps the program plays.
enum class BeepKind {
  kSimple,       // the short simple beep (sound code -1, all bits set)
  kDefault,      // the default sound (sound code 0)
  kCodeOne,      // the sound of code 1
  kExclamation,  // the exclamation sound
};

// The user interface as the program sees it. Implementations own nothing the
// caller passes; every argument needs to live only for the call.
class Ui {
 public:
  virtual ~Ui() = default;

  // Shows a modal message box and returns the button that ended it: one of the
  // box's buttons, or kCancel when a self-closing box closed itself (whatever
  // its buttons). Closing the box without a button (Escape, the window's close
  // box) answers as its Cancel or No button would, or kOk for a kOk box.
  virtual Answer ShowMessage(const Message& message) = 0;

  // Shows an open-file dialog. Returns the chosen full path, or nullopt when
  // the user cancelled.
  virtual std::optional<std::string> OpenFile(const FileDialog& dialog) = 0;

  // Shows a save-file dialog. Returns the chosen full path (the file need not
  // exist), or nullopt when the user cancelled.
  virtual std::optional<std::string> SaveFile(const FileDialog& dialog) = 0;

  // Asks for one line of text. Returns the text the user confirmed with OK
  // (possibly empty), or nullopt on Cancel.
  virtual std::optional<std::string> PromptText(const TextPrompt& prompt) = 0;

  // Shows text in a modal read-only window with the given caption, in a
  // fixed-pitch face so that columns line up; returns when the user closes it.
  virtual void ShowText(const std::string& caption, const std::string& text) = 0;

  // Plays a message beep; returns at once.
  virtual void Beep(BeepKind kind) = 0;

  // Shows (on) or restores (off) the wait cursor. Calls do not nest: off
  // restores the normal cursor whatever number of ons preceded it.
  virtual void SetWaitCursor(bool on) = 0;
};

// Shows the wait cursor for the lifetime of the object ("from start to end" of
// an operation, on every return path). REQUIRES: ui outlives the object.
class WaitCursor {
 public:
  explicit WaitCursor(Ui& ui) : ui_(ui) { ui_.SetWaitCursor(true); }
  ~WaitCursor() { ui_.SetWaitCursor(false); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  Ui& ui_;
};

}  // namespace platform
