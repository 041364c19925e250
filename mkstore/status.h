// Status: the result of an operation that can fail, as a value.
//
// Core code throws no exceptions: every operation that can fail returns a
// Status (or fills an output argument and returns a Status). Messages name the
// file, field or offset concerned so that a user-facing caller can show them
// as they stand.
//
// Thread safety: a Status is a plain value; distinct objects may be used from
// distinct threads.
#pragma once

#include <string>
#include <utility>

namespace mk {

// [[nodiscard]]: a Status that nobody looks at hides a failure.
class [[nodiscard]] Status {
 public:
  // The kinds of failure. Callers branch on these, never on message text.
  // kBusy: the file is held by another open (another program, or another
  // Storage of this one) that works on it; see FileSystem::Mode::kExclusive.
  enum class Code { kOk, kNotFound, kCorruption, kIOError, kInvalidArgument, kNotSupported, kBusy };

  // Success, with no message.
  Status() = default;

  static Status Ok() { return Status(); }
  static Status NotFound(std::string msg) { return Status(Code::kNotFound, std::move(msg)); }
  static Status Corruption(std::string msg) { return Status(Code::kCorruption, std::move(msg)); }
  static Status IOError(std::string msg) { return Status(Code::kIOError, std::move(msg)); }
  static Status InvalidArgument(std::string msg) {
    return Status(Code::kInvalidArgument, std::move(msg));
  }
  static Status NotSupported(std::string msg) {
    return Status(Code::kNotSupported, std::move(msg));
  }
  static Status Busy(std::string msg) { return Status(Code::kBusy, std::move(msg)); }

  bool ok() const { return code_ == Code::kOk; }
  Code code() const { return code_; }
  bool IsNotFound() const { return code_ == Code::kNotFound; }
  bool IsCorruption() const { return code_ == Code::kCorruption; }
  bool IsIOError() const { return code_ == Code::kIOError; }
  bool IsBusy() const { return code_ == Code::kBusy; }

  // The message alone ("" for success).
  const std::string& message() const { return message_; }

  // "OK", or the kind followed by ": " and the message, e.g.
  // "Corruption: x.mk: tail marker at offset 1200 points before the header".
  std::string ToString() const;

 private:
  Status(Code code, std::string msg) : code_(code), message_(std::move(msg)) {}

  Code code_ = Code::kOk;
  std::string message_;
};

}  // namespace mk
