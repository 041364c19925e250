#include "setup/password_file.h"

#include <algorithm>

#include "app/password_hash.h"
#include "platform/text.h"

namespace setup {
namespace {

constexpr unsigned char kComma = 0x2C;
constexpr unsigned char kFirstPrintable = 0x20;

// Characters that may not appear in a field of the file: the separator, and
// control characters that would break or hide the line.
bool HasForbiddenChar(std::string_view field) {
  return std::any_of(field.begin(), field.end(), [](char ch) {
    return ch == ',' || static_cast<unsigned char>(ch) < kFirstPrintable;
  });
}

// Splits the text into lines at each line feed; the last line has none.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string_view WithoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

Account ParseLine(std::string_view line) {
  line = WithoutCarriageReturn(line);
  size_t comma = line.find(',');
  if (comma == std::string_view::npos) return Account{std::string(line), std::string()};
  return Account{std::string(line.substr(0, comma)), std::string(line.substr(comma + 1))};
}

// The file text with the stored password of every line of `userName` that
// `chosen` accepts replaced by `newStored`; every other byte is kept. nullopt
// when no line was replaced.
template <typename Chosen>
std::optional<std::string> RewriteLines(std::string_view fileText, std::string_view userName,
                                        std::string_view newStored, Chosen chosen) {
  std::string out;
  out.reserve(fileText.size() + newStored.size());
  bool changed = false;
  bool first = true;
  for (std::string_view line : SplitLines(fileText)) {
    if (!first) out += '\n';
    first = false;
    Account account = ParseLine(line);
    // An empty line is no account, not even one of an empty user name.
    const bool isAccount = !WithoutCarriageReturn(line).empty();
    if (!isAccount || account.userName != userName || !chosen(account)) {
      out += line;
      continue;
    }
    changed = true;
    out += userName;
    out += ',';
    out += newStored;
    if (!line.empty() && line.back() == '\r') out += '\r';
  }
  if (!changed) return std::nullopt;
  return out;
}

}  // namespace

std::string Scramble(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    auto k = static_cast<unsigned char>(kScrambleKey[i % kScrambleKey.size()]);
    auto x = static_cast<unsigned char>(c ^ k);
    if (x >= kFirstPrintable && c >= kFirstPrintable && x != kComma) out[i] = static_cast<char>(x);
  }
  return out;
}

std::vector<Account> ParseAccounts(std::string_view fileText) {
  std::vector<Account> accounts;
  for (std::string_view line : SplitLines(fileText)) {
    if (WithoutCarriageReturn(line).empty()) continue;
    accounts.push_back(ParseLine(line));
  }
  return accounts;
}

bool StoredPasswordMatches(std::string_view stored, std::string_view password) {
  if (app::IsPasswordHash(stored)) return app::HashMatches(stored, password);
  return Scramble(stored) == platform::Utf8ToCp1252(password);
}

std::optional<Account> FindSignIn(std::string_view fileText, std::string_view userName,
                                  std::string_view password) {
  std::optional<Account> found;
  for (Account& account : ParseAccounts(fileText)) {
    if (account.userName == userName && StoredPasswordMatches(account.storedPassword, password)) {
      found = std::move(account);
    }
  }
  return found;
}

bool UserExists(std::string_view fileText, std::string_view userName) {
  auto accounts = ParseAccounts(fileText);
  return std::any_of(accounts.begin(), accounts.end(),
                     [&](const Account& a) { return a.userName == userName; });
}

std::string AppendAccount(std::string_view fileText, std::string_view userName,
                          std::string_view storedPassword) {
  std::string out(fileText);
  out += '\n';
  out += userName;
  out += ',';
  out += storedPassword;
  return out;
}

std::optional<std::string> ReplacePassword(std::string_view fileText, std::string_view userName,
                                           std::string_view storedPassword,
                                           std::string_view newStoredPassword) {
  return RewriteLines(fileText, userName, newStoredPassword, [&](const Account& account) {
    return account.storedPassword == storedPassword;
  });
}

std::optional<std::string> SetUserPassword(std::string_view fileText, std::string_view userName,
                                           std::string_view newStoredPassword) {
  return RewriteLines(fileText, userName, newStoredPassword, [](const Account&) { return true; });
}

std::vector<std::string> SignInFieldProblems(std::string_view userName, std::string_view password) {
  std::vector<std::string> problems;
  if (password.empty()) problems.emplace_back("Password can't be blank");
  if (HasForbiddenChar(password)) problems.emplace_back("Password can't have commas");
  if (userName.empty()) problems.emplace_back("Username can't be blank");
  if (HasForbiddenChar(userName)) problems.emplace_back("Username can't have commas");
  return problems;
}

std::vector<std::string> AccountFieldProblems(AccountMode mode, std::string_view userName,
                                              std::string_view password, std::string_view retyped) {
  std::vector<std::string> problems;
  if (mode == AccountMode::kAddUser) {
    if (userName.empty()) problems.emplace_back("Username can't be blank");
    if (HasForbiddenChar(userName)) problems.emplace_back("Username can't have commas");
  }
  if (password.empty() || retyped.empty()) problems.emplace_back("Password can't be blank");
  if (HasForbiddenChar(password) || HasForbiddenChar(retyped)) {
    problems.emplace_back("Password can't have commas");
  }
  return problems;
}

}  // namespace setup
