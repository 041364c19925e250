// The key store that stands in for the handheld's registry.
//
// Keys form a tree addressed by backslash-separated paths such as
// "HKEY_CLASSES_ROOT\CLSID\{...}\Array1". Each key is a folder under the
// store's root and its default value (the only kind of value the keypad
// uses) is the UTF-8 text of the file "@" inside that folder. A key name is
// 1 to 255 bytes, is not "." or ".." or "@" and contains no '/', '\' or NUL;
// any other name makes the call fail without touching the disk.
//
// Layout on disk (one folder per key):
//   <root>/HKEY_CLASSES_ROOT/CLSID/{27CD5083-...}/@        "Field Keypad"
//   <root>/HKEY_CLASSES_ROOT/CLSID/{27CD5083-...}/Array1/@ "A"
//
// Not thread-safe; two processes writing the same value leave one of the two
// texts (values are replaced by rename, never half-written).
#ifndef KEYPAD_REGISTRY_H_
#define KEYPAD_REGISTRY_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace plinq {

// Environment variable naming the store's root folder; overrides the
// default under the user's configuration folder (tests point it at a
// temporary folder).
inline constexpr const char* kRegistryEnv = "PLINQ_REGISTRY";

// Values longer than this are treated as unreadable (a hostile file must not
// make the keypad allocate without bound).
inline constexpr std::size_t kMaxValueBytes = 4096;

class Registry {
 public:
  // A store rooted at root (the folder need not exist yet).
  explicit Registry(std::filesystem::path root);

  // The user's store: $PLINQ_REGISTRY when set and not empty, else
  // $XDG_CONFIG_HOME/plinq/registry, else $HOME/.config/plinq/registry.
  // nullopt when none of these variables is usable.
  static std::optional<Registry> forUser();

  // Creates the key and every missing key above it. True when the key
  // exists afterwards; false for an invalid path or a file-system failure.
  bool createKey(std::string_view path) const;

  // True when the key exists (invalid paths do not exist).
  bool keyExists(std::string_view path) const;

  // Sets the default value of an existing key. False when the key does not
  // exist, the path is invalid, the text is longer than kMaxValueBytes or
  // writing fails (the earlier value then stays).
  bool setDefaultValue(std::string_view path, std::string_view text) const;

  // The default value of a key; nullopt when the key or its value does not
  // exist, the path is invalid, or the value cannot be read or is too long.
  std::optional<std::string> defaultValue(std::string_view path) const;

  // Deletes the key with all its subkeys and values. False when the key does
  // not exist, the path is invalid or deletion fails.
  bool deleteKey(std::string_view path) const;

  // The folder of the store's root.
  const std::filesystem::path& root() const { return root_; }

 private:
  // The folder of a key, or nullopt when the path is invalid.
  std::optional<std::filesystem::path> folderOf(std::string_view path) const;

  std::filesystem::path root_;
};

}  // namespace plinq

#endif  // KEYPAD_REGISTRY_H_
