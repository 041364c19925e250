#include "keypad/plinq.h"

#include <dlfcn.h>

#include <filesystem>
#include <optional>
#include <string>

#include "keypad/keypad_window.h"
#include "keypad/registry.h"
#include "keypad/server.h"

namespace {

constexpr const char* kClsidKey = "HKEY_CLASSES_ROOT\\CLSID";

// The full path of this library's file, or nullopt when it cannot be found.
std::optional<std::string> modulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&DllRegisterServer), &info) == 0 || info.dli_fname == nullptr) return std::nullopt;
  std::error_code ec;
  auto path = std::filesystem::weakly_canonical(std::filesystem::absolute(info.dli_fname, ec), ec);
  if (ec) return std::nullopt;
  return path.string();
}

bool writeKey(const plinq::Registry& registry, const std::string& path, const std::string& value) {
  return registry.createKey(path) && registry.setDefaultValue(path, value);
}

bool writeClass(const plinq::Registry& registry, const std::string& library) {
  const std::string key = plinq::kClassKey;
  bool ok = registry.setDefaultValue(key, "Field Keypad");
  ok = writeKey(registry, key + "\\InProcServer32", library) && ok;
  ok = writeKey(registry, key + "\\DefaultIcon", library + ",0") && ok;
  ok = writeKey(registry, key + "\\IsSIPInputMethod", "1") && ok;
  for (int index : plinq::kLetterKeys) {
    ok = writeKey(registry, plinq::arrayKeyPath(index), std::string(1, plinq::kDefaultLabels[index])) && ok;
  }
  return ok;
}

}  // namespace

extern "C" {

HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) noexcept {
  if (ppv == nullptr) return E_FAIL;
  *ppv = nullptr;
  if (!IsEqualGUID(clsid, CLSID_FieldKeypad)) return CLASS_E_CLASSNOTAVAILABLE;
  return plinq::createClassFactory(riid, ppv);
}

HRESULT DllCanUnloadNow() noexcept { return plinq::canUnload() ? S_OK : S_FALSE; }

HRESULT DllRegisterServer() noexcept {
  auto registry = plinq::Registry::forUser();
  auto library = modulePath();
  if (!registry || !library) return E_FAIL;
  if (!registry->createKey(kClsidKey) || !registry->createKey(plinq::kClassKey)) return E_FAIL;
  return writeClass(*registry, *library) ? S_OK : E_FAIL;
}

HRESULT DllUnRegisterServer() noexcept {
  auto registry = plinq::Registry::forUser();
  if (!registry) return E_FAIL;
  return registry->deleteKey(plinq::kClassKey) ? S_OK : E_FAIL;
}
}
