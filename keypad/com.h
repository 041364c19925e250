// The component-object and input-panel types that Plinq and its host share.
//
// The handheld's platform published these as C structures and C++ interfaces
// with fixed layouts; the keypad library and every host that loads it must
// agree on them byte for byte, so they are declared here once and used by
// both sides. Interfaces are abstract classes whose virtual functions are the
// vtable slots in the published order: nothing may be added, removed or
// reordered, and no interface declares a virtual destructor (that would add
// slots). Objects are destroyed by their own Release, never through an
// interface pointer.
//
// Handles stored inside records (the image lists of IMINFO) are 32-bit
// numbers as on the handheld, so that IMINFO keeps its published 40 bytes.
// A window handle (HWND) is only ever passed as an argument and is the
// address of the host's window object.
//
// Not thread-safe beyond what each implementation says: the platform calls
// everything on the thread of the input panel's window.
#ifndef KEYPAD_COM_H_
#define KEYPAD_COM_H_

#include <cstdint>
#include <cstring>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using BOOL = std::int32_t;
using BYTE = std::uint8_t;
using LONG = std::int32_t;
using BSTR = char16_t*;
// A record handle (image list): 0 means none.
using HANDLE32 = std::uint32_t;
// An opaque window handle: the address of the host's window object.
using HWND = struct HWND__*;

// Result codes with their platform values (never renumber: hosts compare
// them). Failure codes have the top bit set.
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);

// True for the success codes (S_OK, S_FALSE), false for failures.
inline constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }

// A 16-byte globally unique identifier in its published memory layout.
struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
static_assert(sizeof(GUID) == 16, "GUID must keep its published layout");

// True when both identifiers are the same 16 bytes.
inline bool IsEqualGUID(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// {00000000-0000-0000-C000-000000000046}
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {00000001-0000-0000-C000-000000000046}
inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {42429666-AE04-11D0-A4F8-00AA00A749B9}
inline constexpr IID IID_IInputMethod = {0x42429666, 0xAE04, 0x11D0, {0xA4, 0xF8, 0x00, 0xAA, 0x00, 0xA7, 0x49, 0xB9}};
// {42429667-AE04-11D0-A4F8-00AA00A749B9}
inline constexpr IID IID_IIMCallback = {0x42429667, 0xAE04, 0x11D0, {0xA4, 0xF8, 0x00, 0xAA, 0x00, 0xA7, 0x49, 0xB9}};
// The Field Keypad input method: {27CD5083-08E9-4588-341A-D683C8338E10}.
inline constexpr CLSID CLSID_FieldKeypad = {0x27CD5083, 0x08E9, 0x4588, {0x34, 0x1A, 0xD6, 0x83, 0xC8, 0x33, 0x8E, 0x10}};

// A rectangle in pixels; right and bottom are exclusive.
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};

// IMINFO flag: the input panel is docked at the bottom of the screen.
inline constexpr DWORD SIPF_DOCKED = 2;

// What an input method tells the panel about itself: its icons (image list
// handles and image indexes), panel flags and the panel rectangle.
struct IMINFO {
  DWORD cbSize;  // sizeof(IMINFO), 40
  HANDLE32 hImageNarrow;
  HANDLE32 hImageWide;
  int iNarrow;
  int iWide;
  DWORD fdwFlags;
  RECT rcSipRect;
};
static_assert(sizeof(IMINFO) == 40, "IMINFO must keep its published 40 bytes");

// What the panel tells an input method about the screen and the panel.
struct SIPINFO {
  DWORD cbSize;
  DWORD fdwFlags;
  RECT rcVisibleDesktop;
  RECT rcSipRect;
  DWORD dwImDataSize;
  void* pvImData;
};

// The base interface: identity and reference counting.
class IUnknown {
 public:
  // Stores an interface of this object into *ppv (adding a reference) and
  // returns S_OK; E_NOINTERFACE with *ppv = nullptr when the object does not
  // have it.
  virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
  // Adds a reference; returns the new count (for diagnostics only).
  virtual ULONG AddRef() = 0;
  // Drops a reference; the object destroys itself at zero. Returns the new
  // count (for diagnostics only).
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

// Creates the objects of one class.
class IClassFactory : public IUnknown {
 public:
  // Creates an object and stores its interface riid into *ppv (caller owns
  // that reference). CLASS_E_NOAGGREGATION when outer is not null,
  // E_NOINTERFACE for an interface the object lacks, E_OUTOFMEMORY when it
  // cannot be created; *ppv is nullptr on every failure.
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
  // Keeps the library loaded (lock true) or lets it go (false).
  virtual HRESULT LockServer(BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};

class IIMCallback;

// What the input panel calls on an input method, in the published slot
// order. Window handles are addresses of the host's QWidgets. What the Field
// Keypad does for each method is written in keypad/server.h.
class IInputMethod : public IUnknown {
 public:
  virtual HRESULT Select(HWND panel) = 0;
  virtual HRESULT Deselect() = 0;
  virtual HRESULT Showing() = 0;
  virtual HRESULT Hiding() = 0;
  virtual HRESULT GetInfo(IMINFO* info) = 0;
  virtual HRESULT ReceiveSipInfo(SIPINFO* info) = 0;
  virtual HRESULT RegisterCallback(IIMCallback* callback) = 0;
  virtual HRESULT GetImData(DWORD size, void* data) = 0;
  virtual HRESULT SetImData(DWORD size, void* data) = 0;
  virtual HRESULT UserOptionsDlg(HWND parent) = 0;

 protected:
  ~IInputMethod() = default;
};

// Key flag of SendCharEvents: the key goes down (and up) as one tap.
inline constexpr UINT KeyStateDownFlag = 0x80;

// What an input method calls on the input panel, in the published slot
// order.
class IIMCallback : public IUnknown {
 public:
  // Updates the panel's copy of the input method's information.
  virtual HRESULT SetImInfo(IMINFO* info) = 0;
  // Sends one virtual key.
  virtual HRESULT SendVirtualKey(BYTE vk, DWORD flags) = 0;
  // Sends count characters chars[i], with shift states shift[i], as the
  // key vk. Both arrays are borrowed for the call only.
  virtual HRESULT SendCharEvents(UINT vk, UINT keyFlags, UINT count, UINT* shift, UINT* chars) = 0;
  // Sends a text of count 16-bit characters, borrowed for the call only.
  virtual HRESULT SendString(BSTR text, DWORD count) = 0;

 protected:
  ~IIMCallback() = default;
};

// The four exports of the library, as function types for dlsym.
using DllGetClassObjectFn = HRESULT (*)(REFCLSID clsid, REFIID riid, void** ppv);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnRegisterServerFn = HRESULT (*)();

#endif  // KEYPAD_COM_H_
