// The input panel's side of IIMCallback on X11: every character an input
// method sends becomes a key press and release, faked with the XTest
// extension, so it reaches whatever window has the keyboard focus.
//
// Characters map to keysyms (Enter, Tab, Backspace and Escape to their
// function keys, everything else to its Unicode keysym); a keysym that the
// keyboard map lacks is bound for the moment to a spare keycode. Shift is
// held for characters on the shifted level. GUI thread only.
#ifndef KEYPAD_KEY_SENDER_H_
#define KEYPAD_KEY_SENDER_H_

#include <memory>

#include "keypad/com.h"

typedef struct _XDisplay Display;

namespace plinq {

// The keysym that types a character; 0 for NUL, other control characters
// and values that are no character.
unsigned long keysymForCharacter(UINT character);

// The keysym of a virtual key for SendVirtualKey: Backspace, Tab, Enter,
// Escape, Space, Delete, the digits and the letters (unshifted); 0 for the
// rest.
unsigned long keysymForVirtualKey(BYTE vk);

class KeySender final : public IIMCallback {
 public:
  // Opens its own connection to the X display named by $DISPLAY. Returns
  // nullptr when the display cannot be opened or has no XTest extension.
  // The caller owns the one reference returned (Release destroys it).
  static KeySender* open();

  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  ULONG Release() override;
  // Remembers nothing: the panel has no use for the record; S_OK.
  HRESULT SetImInfo(IMINFO* info) override;
  // Taps the key of a virtual key; E_FAIL for one without a keysym.
  HRESULT SendVirtualKey(BYTE vk, DWORD flags) override;
  // Taps the key of each of the count characters (vk and shift states are
  // not needed: the characters say it all). E_FAIL when chars is null while
  // count is not 0 or a character cannot be typed (the others are still
  // sent).
  HRESULT SendCharEvents(UINT vk, UINT keyFlags, UINT count, UINT* shift, UINT* chars) override;
  // Taps the key of each of the count 16-bit characters of text.
  HRESULT SendString(BSTR text, DWORD count) override;

 private:
  explicit KeySender(Display* display);
  ~KeySender();
  bool tap(unsigned long keysym);
  unsigned char lend(unsigned long keysym);

  ULONG references_ = 1;
  Display* display_;
  unsigned char lent_ = 0;  // keycode lent to a keysym the map lacks
};

}  // namespace plinq

#endif  // KEYPAD_KEY_SENDER_H_
