// The supervisor password file "Varnolde.upw": one account per line, the user
// name, a comma and the stored password; lines separated by a single line
// feed, no line feed after the last line. The file ships with the program and
// is never created by it. The byte layout is described in
// setup/password_file_format.md.
//
// A stored password is a salted slow hash (password_hash.h) or, in files of
// older installs, the password scrambled by the reversible Scramble below.
// Both are accepted at sign-in; the program writes hashes only.
//
// The functions here work on the file's 8-bit text as bytes (the platform's
// stored 8-bit encoding): callers convert typed user names to that encoding
// before calling. Typed passwords are passed as typed (the program's UTF-8):
// hashes are made of that text, and an old scrambled password is compared
// with its 8-bit form. Reading and writing the file itself goes through
// password_store.h.
//
// Thread safety: all functions are pure and may be called from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// The built-in scrambling key. A password file can only be read with the key
// it was written with, so this text must never change.
inline constexpr std::string_view kScrambleKey = "T3VN8KQ2";

// The file name of the password file in the program folder.
inline constexpr std::string_view kPasswordFileName = "Varnolde.upw";

// Scrambles (and equally unscrambles) `text` (the old way of storing
// passwords, still read): each block of 8 bytes is XORed
// byte by byte with kScrambleKey from the key's first byte; a byte is replaced
// only when both it and the result are at least 0x20 and the result is not a
// comma. The result has the same length as `text`; applying Scramble twice
// gives back any text without commas.
std::string Scramble(std::string_view text);

// One line of the password file.
struct Account {
  std::string userName;        // everything up to the first comma
  std::string storedPassword;  // a hash or an old scrambled password: the rest of the line
};

// The accounts of a password file's text, in file order. A trailing carriage
// return on a line is not part of the password (files edited on a desktop).
// A line without a comma is an account with an empty stored password; empty
// lines are skipped.
std::vector<Account> ParseAccounts(std::string_view fileText);

// True when the stored password `stored` is that of `password` (as typed):
// a hash of ours is checked as a hash (app::HashMatches), anything else as an old
// scrambled password of the typed text's 8-bit form.
bool StoredPasswordMatches(std::string_view stored, std::string_view password);

// Sign-in check: the account whose user name equals `userName` and whose
// stored password is that of `password` (StoredPasswordMatches; user names
// compared exactly). Every line is examined, so with two matching lines the
// last one counts. No match: nullopt.
std::optional<Account> FindSignIn(std::string_view fileText, std::string_view userName,
                                  std::string_view password);

// True when a line of the file has `userName` as its first field.
bool UserExists(std::string_view fileText, std::string_view userName);

// The file text with a new account appended: a line feed, the user name, a
// comma and `storedPassword` (no line feed at the end). REQUIRES: the user
// name contains no comma and no line break (see AccountFieldProblems), the
// stored password no line break.
std::string AppendAccount(std::string_view fileText, std::string_view userName,
                          std::string_view storedPassword);

// The file text with the stored password of the signed-in account replaced:
// only the lines whose first field equals `userName` and whose second field
// equals `storedPassword` get `newStoredPassword`; every other byte of the
// file is kept (a line's carriage return too). Returns nullopt when no line
// is that account (nothing to change).
std::optional<std::string> ReplacePassword(std::string_view fileText, std::string_view userName,
                                           std::string_view storedPassword,
                                           std::string_view newStoredPassword);

// The administrator's reset: every line whose first field equals `userName`
// gets `newStoredPassword`, whatever it stored; every other byte is kept.
// nullopt when no line has that user name.
std::optional<std::string> SetUserPassword(std::string_view fileText, std::string_view userName,
                                           std::string_view newStoredPassword);

// The field checks of the sign-in dialog, in the order the user sees them:
// "Password can't be blank", "Password can't have commas", "Username can't be
// blank", "Username can't have commas". Empty when the fields pass.
std::vector<std::string> SignInFieldProblems(std::string_view userName, std::string_view password);

// Which account dialog is shown.
enum class AccountMode { kAddUser, kChangePassword };

// The field checks of the account dialog that need no file, in order: in add
// mode "Username can't be blank" and "Username can't have commas"; "Password
// can't be blank" when either password is empty; "Password can't have commas"
// when either contains a comma. A control character (below 0x20, e.g. a line
// break) counts as a comma, since it would split or corrupt the account's
// line. Empty when the fields pass.
std::vector<std::string> AccountFieldProblems(AccountMode mode, std::string_view userName,
                                              std::string_view password, std::string_view retyped);

}  // namespace setup
