#include "keypad/key_sender.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <new>

namespace plinq {
namespace {

// The keycode of a keysym and whether Shift must be held for it; keycode 0
// when the keyboard map lacks it.
struct KeyStroke {
  KeyCode code = 0;
  bool shift = false;
};

KeyStroke strokeOf(Display* display, KeySym keysym) {
  KeyStroke stroke;
  stroke.code = XKeysymToKeycode(display, keysym);
  if (stroke.code == 0) return stroke;
  stroke.shift = XkbKeycodeToKeysym(display, stroke.code, 0, 0) != keysym &&
                 XkbKeycodeToKeysym(display, stroke.code, 0, 1) == keysym;
  return stroke;
}

// A keycode without any keysym, to lend to a keysym the map lacks; 0 when
// there is none.
KeyCode spareKeycode(Display* display) {
  int low = 0;
  int high = 0;
  XDisplayKeycodes(display, &low, &high);
  int perCode = 0;
  KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(low), high - low + 1, &perCode);
  if (map == nullptr) return 0;
  KeyCode spare = 0;
  for (int code = high; code >= low && spare == 0; --code) {
    bool empty = true;
    for (int i = 0; i < perCode; ++i) empty = empty && map[(code - low) * perCode + i] == NoSymbol;
    if (empty) spare = static_cast<KeyCode>(code);
  }
  XFree(map);
  return spare;
}

void press(Display* display, KeyCode code, bool down) { XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime); }

}  // namespace

unsigned long keysymForCharacter(UINT c) {
  switch (c) {
    case 0x08: return XK_BackSpace;
    case 0x09: return XK_Tab;
    case 0x0A:
    case 0x0D: return XK_Return;
    case 0x1B: return XK_Escape;
    default: break;
  }
  if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  // Latin-1 keysyms equal their characters; the rest use the Unicode range.
  return c < 0x100 ? c : 0x01000000u | c;
}

unsigned long keysymForVirtualKey(BYTE vk) {
  switch (vk) {
    case 0x08: return XK_BackSpace;
    case 0x09: return XK_Tab;
    case 0x0D: return XK_Return;
    case 0x1B: return XK_Escape;
    case 0x20: return XK_space;
    case 0x2E: return XK_Delete;
    default: break;
  }
  if (vk >= '0' && vk <= '9') return vk;
  if (vk >= 'A' && vk <= 'Z') return vk - 'A' + XK_a;
  return 0;
}

KeySender* KeySender::open() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  int event = 0;
  int error = 0;
  int major = 0;
  int minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    XCloseDisplay(display);
    return nullptr;
  }
  auto* sender = new (std::nothrow) KeySender(display);
  if (sender == nullptr) XCloseDisplay(display);
  return sender;
}

KeySender::KeySender(Display* display) : display_(display) {}
KeySender::~KeySender() {
  if (lent_ != 0) {
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display_, lent_, 2, none, 1);
  }
  XCloseDisplay(display_);
}

HRESULT KeySender::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_FAIL;
  if (!IsEqualGUID(riid, IID_IUnknown) && !IsEqualGUID(riid, IID_IIMCallback)) {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  *ppv = this;
  AddRef();
  return S_OK;
}

ULONG KeySender::AddRef() { return ++references_; }

ULONG KeySender::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT KeySender::SetImInfo(IMINFO*) { return S_OK; }

HRESULT KeySender::SendVirtualKey(BYTE vk, DWORD) { return tap(keysymForVirtualKey(vk)) ? S_OK : E_FAIL; }

HRESULT KeySender::SendCharEvents(UINT, UINT, UINT count, UINT*, UINT* chars) {
  if (chars == nullptr && count != 0) return E_FAIL;
  bool all = true;
  for (UINT i = 0; i < count; ++i) all = tap(keysymForCharacter(chars[i])) && all;
  return all ? S_OK : E_FAIL;
}

HRESULT KeySender::SendString(BSTR text, DWORD count) {
  if (text == nullptr && count != 0) return E_FAIL;
  bool all = true;
  for (DWORD i = 0; i < count; ++i) all = tap(keysymForCharacter(text[i])) && all;
  return all ? S_OK : E_FAIL;
}

bool KeySender::tap(unsigned long keysym) {
  if (keysym == 0) return false;
  KeyStroke stroke = strokeOf(display_, keysym);
  if (stroke.code == 0) stroke.code = lend(keysym);
  if (stroke.code == 0) return false;
  KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
  if (stroke.shift && shift != 0) press(display_, shift, true);
  press(display_, stroke.code, true);
  press(display_, stroke.code, false);
  if (stroke.shift && shift != 0) press(display_, shift, false);
  XSync(display_, False);
  return true;
}

KeyCode KeySender::lend(unsigned long keysym) {
  // The spare keycode stays bound until the next lending or the end: the
  // target looks the keysym up only when it reads the event, so giving the
  // keycode back at once could turn the key into nothing.
  if (lent_ == 0) lent_ = spareKeycode(display_);
  if (lent_ == 0) return 0;
  KeySym both[2] = {keysym, keysym};
  XChangeKeyboardMapping(display_, lent_, 2, both, 1);
  XSync(display_, False);
  return lent_;
}

}  // namespace plinq
