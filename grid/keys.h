// Key codes as the screens' logic classes see them, and what a screen answers
// to a key press.
//
// The grid view translates the toolkit's key events into these codes before
// the focused cell sees the key, asks the screen (OnKeyDown(code, ctrl)), and
// then does exactly what the answer says.
#pragma once

namespace grid {

namespace key {
inline constexpr int kBackspace = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kEscape = 27;
inline constexpr int kDown = 40;
inline constexpr int kDigit0 = 48;     // '0'..'9' are 48..57
inline constexpr int kLetterA = 65;    // 'A'..'Z' are 65..90 (with Ctrl also 97..122)
inline constexpr int kNumpad0 = 96;    // the numeric keypad's digits are 96..105
inline constexpr int kF2 = 113;
inline constexpr int kPeriod = 190;
}  // namespace key

// What happens to a key after the screen has seen it.
enum class KeyAction {
  kPass,     // the key goes on to the focused cell unchanged
  kReplace,  // the key goes on as KeyResult::code instead (Enter -> Tab)
  kSwallow,  // the key is dropped (the screen has acted, or beeped)
};

struct KeyResult {
  KeyAction action = KeyAction::kPass;
  int code = 0;  // the code passed on, for kReplace

  static KeyResult Pass() { return {}; }
  static KeyResult Replace(int code) { return {KeyAction::kReplace, code}; }
  static KeyResult Swallow() { return {KeyAction::kSwallow, 0}; }
};

}  // namespace grid
