// The field keypad's window logic, free of any toolkit.
//
// The keypad is 30 keys in 3 rows of 10, indexed row-major (index = row * 10
// + column). Each key has a label (drawn) and a code (sent). The sixteen
// letter keys around the numeric block can be reassigned through the
// registry's `Array` keys; Enter, Tab, Backspace and the numeric block are
// fixed. A tap sends the key under the pen at lift through the panel's
// IIMCallback.
//
// KeypadWindow holds the per-window state (key under the pen, callback,
// parent rectangle at creation, last information record) and decides; a
// WindowHost (the Qt widget) draws and resizes. Single-threaded: everything
// runs on the input panel's thread.
#ifndef KEYPAD_KEYPAD_WINDOW_H_
#define KEYPAD_KEYPAD_WINDOW_H_

#include <array>
#include <cstdint>
#include <string>

#include "keypad/com.h"
#include "keypad/registry.h"

namespace plinq {

inline constexpr int kColumns = 10;
inline constexpr int kRows = 3;
inline constexpr int kKeyCount = kColumns * kRows;

// The labels of the 30 keys in index order.
inline constexpr char kDefaultLabels[] = "eAT123CLDF>HP456.MRE<ZS7890YBN";

// The indexes of the sixteen customizable letter keys.
inline constexpr std::array<int, 16> kLetterKeys = {1, 2, 6, 7, 8, 9, 11, 12, 17, 18, 19, 21, 22, 27, 28, 29};

// The class key of the Field Keypad in the registry.
inline constexpr const char* kClassKey = "HKEY_CLASSES_ROOT\\CLSID\\{27CD5083-08E9-4588-341A-D683C8338E10}";

// The private message by which the input method reaches its window
// (WM_USER + 100). Its wParam says what lParam carries.
inline constexpr std::uint32_t kPlinqMessage = 0x400 + 100;
inline constexpr std::uintptr_t kMessageCallback = 0;  // lParam: IIMCallback*
inline constexpr std::uintptr_t kMessageInfo = 1;      // lParam: const IMINFO*, copied
inline constexpr std::uintptr_t kMessageFit = 2;       // fit to the parent's client area

// True for the indexes of the sixteen letter keys.
bool isLetterKey(int index);

// The registry path of the `Array` key of a key index ("<class key>\ArrayN").
std::string arrayKeyPath(int index);

// The first character of a UTF-8 registry value; 0 when the text is empty,
// starts with NUL or is not valid UTF-8 (such values are treated as
// unreadable).
char32_t firstCharacter(const std::string& text);

// The character a key sends by default: Enter for "e", Tab for ">",
// Backspace for "<", else the label itself. REQUIRES: 0 <= index < 30.
UINT defaultCode(int index);

// A key's rectangle in window pixels.
struct KeyRect {
  int x;
  int y;
  int width;
  int height;
};

// What the window logic asks of its toolkit window.
class WindowHost {
 public:
  // Redraws one key.
  virtual void repaintKey(int index) = 0;
  // Redraws the whole keypad.
  virtual void repaintAll() = 0;
  // Moves the window to (0, 0) of its parent with the parent's client size.
  virtual void fitToParent() = 0;

 protected:
  ~WindowHost() = default;
};

class KeypadWindow {
 public:
  // A keypad with the default labels and codes. host must outlive the
  // window; parentRect is the parent's window rectangle at creation.
  KeypadWindow(WindowHost& host, const RECT& parentRect);
  // Drops the window's reference to the callback, if any.
  ~KeypadWindow();
  KeypadWindow(const KeypadWindow&) = delete;
  KeypadWindow& operator=(const KeypadWindow&) = delete;

  // Applies the `Array` keys of the sixteen letter keys: an existing key with
  // a readable value sets both label and code of its index to the value's
  // first character. Missing or unreadable keys leave the key as it was;
  // `Array` keys of other indexes are never read.
  void customize(const Registry& registry);

  // Records the client size; keys are width / 10 by height / 3 pixels.
  void setClientSize(int width, int height);

  // The key index under a client position, or -1 when the position is not
  // on a key (outside the 10 x 3 grid, which also covers the unused strip
  // the integer division leaves at the right and bottom, and any negative
  // position while the pen is captured).
  int keyAt(int x, int y) const;

  // The rectangle of a key. REQUIRES: 0 <= index < 30.
  KeyRect keyRect(int index) const;

  // The label and code of a key. REQUIRES: 0 <= index < 30.
  char32_t label(int index) const { return labels_[index]; }
  UINT code(int index) const { return codes_[index]; }

  // All 30 labels in index order.
  std::u32string labels() const;

  // True for labels drawn inverted (white on black): the digits 0-9.
  static bool drawnInverted(char32_t label) { return label >= U'0' && label <= U'9'; }

  // Pen down at a client position: takes the pen and remembers the key
  // under it (none outside the keys).
  void penDown(int x, int y);
  // Pen move: remembers the new key under the pen when it changed. Ignored
  // while the pen is not down.
  void penMove(int x, int y);
  // Pen up: sends the code of the key under the pen (nothing outside the
  // keys, nothing without a callback, nothing unless the pen went down in
  // this window) and clears the key under the pen.
  void penUp(int x, int y);

  // The key under the pen as a mask, one bit per key index; 0 for none.
  std::uint32_t keyUnderPen() const { return keyUnderPen_; }

  // Handles the private message: kMessageCallback stores the callback given
  // in lParam (taking a reference; null clears it), kMessageInfo copies the
  // record lParam points to (ignored when null), kMessageFit asks the host
  // to fit the window. Other kinds are ignored.
  void onPlinqMessage(std::uintptr_t kind, std::intptr_t param);

  // The last information record received (zero-filled before any).
  const IMINFO& info() const { return info_; }
  // The parent's rectangle at creation.
  const RECT& parentRect() const { return parentRect_; }
  // The current callback (borrowed), or nullptr.
  IIMCallback* callback() const { return callback_; }

 private:
  void setCallback(IIMCallback* callback);
  void send(UINT code) const;
  static std::uint32_t maskOf(int index) { return index < 0 ? 0u : 1u << index; }

  WindowHost& host_;
  std::array<char32_t, kKeyCount> labels_{};
  std::array<UINT, kKeyCount> codes_{};
  int width_ = 0;
  int height_ = 0;
  bool penIsDown_ = false;
  std::uint32_t keyUnderPen_ = 0;
  IIMCallback* callback_ = nullptr;
  RECT parentRect_;
  IMINFO info_{};
};

}  // namespace plinq

#endif  // KEYPAD_KEYPAD_WINDOW_H_
