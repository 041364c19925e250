// Helpers shared by the keypad's tests: a temporary folder, a scoped
// environment variable and an IIMCallback that records what it is sent.
#ifndef KEYPAD_TEST_SUPPORT_H_
#define KEYPAD_TEST_SUPPORT_H_

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "keypad/com.h"

namespace plinq::test {

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object dies.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "plinq-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? std::filesystem::path(pattern) : std::filesystem::path();
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Sets (or, with nullopt, unsets) an environment variable and restores the
// earlier state when it dies.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// One SendCharEvents call.
struct CharEvent {
  UINT vk;
  UINT keyFlags;
  UINT count;
  UINT shift;
  UINT character;
  bool operator==(const CharEvent&) const = default;
};

// Records SendCharEvents calls; counts references but never deletes itself
// (it lives on the test's stack).
class RecordingCallback final : public IIMCallback {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!IsEqualGUID(riid, IID_IUnknown) && !IsEqualGUID(riid, IID_IIMCallback)) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    *ppv = this;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++references; }
  ULONG Release() override { return --references; }
  HRESULT SetImInfo(IMINFO*) override { return S_OK; }
  HRESULT SendVirtualKey(BYTE, DWORD) override { return S_OK; }
  HRESULT SendCharEvents(UINT vk, UINT keyFlags, UINT count, UINT* shift, UINT* chars) override {
    sent.push_back({vk, keyFlags, count, count > 0 ? shift[0] : 0u, count > 0 ? chars[0] : 0u});
    return S_OK;
  }
  HRESULT SendString(BSTR, DWORD) override { return S_OK; }

  ULONG references = 1;
  std::vector<CharEvent> sent;
};

// The event a tap on a key with this code must produce.
inline CharEvent tapOf(UINT code) { return {code, KeyStateDownFlag, 1, 0, code}; }

}  // namespace plinq::test

#endif  // KEYPAD_TEST_SUPPORT_H_
