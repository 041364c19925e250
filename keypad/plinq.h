// The four exports of libplinq, the Field Keypad input method, with C
// linkage as the platform looks them up (module name PLINQ10: the exports
// carry that symbol version). Hosts load the library at run time and look
// the exports up by name; the function types are in keypad/com.h.
//
// The registry used by the exports is the user's store (see
// plinq::Registry::forUser, overridable with PLINQ_REGISTRY).
#ifndef KEYPAD_PLINQ_H_
#define KEYPAD_PLINQ_H_

#include "keypad/com.h"

#define PLINQ_EXPORT __attribute__((visibility("default")))

extern "C" {

// Creates the class factory of clsid and stores its interface riid into
// *ppv (caller owns the reference). CLASS_E_CLASSNOTAVAILABLE for any class
// but CLSID_FieldKeypad, E_NOINTERFACE for an interface other than IUnknown
// and IClassFactory, E_OUTOFMEMORY when it cannot be created, E_FAIL when
// ppv is null. *ppv is nullptr on every failure.
PLINQ_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) noexcept;

// S_OK when no object of the library is alive and no server lock is held,
// else S_FALSE.
PLINQ_EXPORT HRESULT DllCanUnloadNow() noexcept;

// Writes the class key "Field Keypad" with InProcServer32 (the library's
// full path), DefaultIcon (the path followed by ",0"), IsSIPInputMethod "1"
// and the sixteen `Array` keys with their default letters. E_FAIL when the
// CLSID key or the class key cannot be created or a value cannot be written,
// else S_OK.
PLINQ_EXPORT HRESULT DllRegisterServer() noexcept;

// Deletes the class key with all its subkeys (customized letters included).
// E_FAIL when it does not exist or cannot be deleted, else S_OK.
PLINQ_EXPORT HRESULT DllUnRegisterServer() noexcept;
}

#endif  // KEYPAD_PLINQ_H_
