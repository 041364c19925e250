// The objects of the Field Keypad's in-process server: the class factory,
// the input-method object and the module-wide live-object count that decides
// when the library may be unloaded.
//
// Reference counts and the lock count change atomically; everything else
// runs on the input panel's thread, as the platform guarantees. Objects are
// made with new(std::nothrow) and destroy themselves when their last
// reference is released.
#ifndef KEYPAD_SERVER_H_
#define KEYPAD_SERVER_H_

#include <QPointer>
#include <atomic>

#include "keypad/com.h"
#include "keypad/keypad_widget.h"

namespace plinq {

// True when no factory or input-method object is alive and no LockServer
// lock is held.
bool canUnload();

// Creates a class factory and stores its interface riid into *ppv (caller
// owns the reference). E_NOINTERFACE for an interface other than IUnknown and
// IClassFactory, E_OUTOFMEMORY when it cannot be created.
HRESULT createClassFactory(REFIID riid, void** ppv);

class ClassFactory final : public IClassFactory {
 public:
  ClassFactory();
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  ULONG Release() override;
  // Refuses aggregation (CLASS_E_NOAGGREGATION) and interfaces other than
  // IUnknown and IInputMethod (E_NOINTERFACE); E_OUTOFMEMORY when the object
  // cannot be made.
  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  // Holds (true) or drops (false) one lock on the library. Dropping a lock
  // that is not held fails with E_FAIL and changes nothing.
  HRESULT LockServer(BOOL lock) override;

 private:
  ~ClassFactory();
  std::atomic<ULONG> references_{1};
};

// The input-method object. The panel window given to Select is the address
// of the host's QWidget; a QApplication must exist for Select and
// UserOptionsDlg.
class InputMethod final : public IInputMethod {
 public:
  InputMethod();
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  ULONG Release() override;
  // Creates the icons and the keypad window covering the panel's client
  // area (an earlier keypad window of this object is destroyed first). The
  // remembered callback, if any, is passed to the new window. E_FAIL when
  // the panel is not a live widget of this application or the window cannot
  // be created.
  HRESULT Select(HWND panel) override;
  // Destroys the keypad window and the icons; S_OK.
  HRESULT Deselect() override;
  HRESULT Showing() override;
  HRESULT Hiding() override;
  // Fills *info (40 bytes, the icons, docked, panel 0,0-200,100) and gives
  // the window a copy. E_FAIL when info is null.
  HRESULT GetInfo(IMINFO* info) override;
  // Fits the keypad window to the panel's client area; S_OK.
  HRESULT ReceiveSipInfo(SIPINFO* info) override;
  // Remembers the callback (holding a reference until replaced or the object
  // dies) and posts it to the keypad window; S_OK.
  HRESULT RegisterCallback(IIMCallback* callback) override;
  // E_FAIL: the keypad keeps no data for the panel.
  HRESULT GetImData(DWORD size, void* data) override;
  // S_OK, nothing stored.
  HRESULT SetImData(DWORD size, void* data) override;
  // Shows the "Field Keyboard" dialog modally over parent (may be null);
  // S_OK, or E_FAIL when there is no application to show it in or parent is
  // not a live widget.
  HRESULT UserOptionsDlg(HWND parent) override;

 private:
  ~InputMethod();
  void destroyWindow();
  std::atomic<ULONG> references_{1};
  QPointer<KeypadWidget> window_;
  HANDLE32 narrow_ = 0;
  HANDLE32 wide_ = 0;
  IIMCallback* callback_ = nullptr;
};

}  // namespace plinq

#endif  // KEYPAD_SERVER_H_
