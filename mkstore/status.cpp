#include "mkstore/status.h"

namespace mk {

std::string Status::ToString() const {
  switch (code_) {
    case Code::kOk:
      return "OK";
    case Code::kNotFound:
      return "NotFound: " + message_;
    case Code::kCorruption:
      return "Corruption: " + message_;
    case Code::kIOError:
      return "IOError: " + message_;
    case Code::kInvalidArgument:
      return "InvalidArgument: " + message_;
    case Code::kNotSupported:
      return "NotSupported: " + message_;
    case Code::kBusy:
      return "Busy: " + message_;
  }
  return "Unknown: " + message_;
}

}  // namespace mk
