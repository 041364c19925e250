#include "mkstore/structure.h"

namespace mk {
namespace {

bool IsDelimiter(char c) { return c == ',' || c == '[' || c == ']' || c == ':'; }

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  Status ParseAll(std::vector<Property>* out, int* duplicates) {
    duplicates_ = 0;
    if (text_.empty()) {
      out->clear();
      return Status::Ok();
    }
    Status s = ParseList(out, 0);
    if (s.ok() && pos_ != text_.size()) s = Error("unexpected character");
    if (duplicates) *duplicates = duplicates_;
    return s;
  }

 private:
  Status Error(const std::string& what) const {
    return Status::InvalidArgument("description \"" + std::string(text_) + "\": " + what +
                                   " at position " + std::to_string(pos_));
  }

  bool Peek(char c) const { return pos_ < text_.size() && text_[pos_] == c; }

  Status ParseList(std::vector<Property>* out, int depth) {
    if (depth > kMaxNesting) return Error("nesting too deep");
    out->clear();
    for (;;) {
      Property p;
      Status s = ParseField(&p, depth);
      if (!s.ok()) return s;
      AddUnique(out, std::move(p));
      if (!Peek(',')) return Status::Ok();
      ++pos_;
    }
  }

  void AddUnique(std::vector<Property>* out, Property p) {
    for (const Property& q : *out) {
      if (SameName(q.name, p.name)) {
        ++duplicates_;
        return;
      }
    }
    out->push_back(std::move(p));
  }

  Status ParseField(Property* p, int depth) {
    const size_t start = pos_;
    while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) ++pos_;
    p->name = std::string(text_.substr(start, pos_ - start));
    if (p->name.empty()) return Error("missing property name");
    if (Peek(':')) return ParseType(p);
    if (Peek('[')) return ParseSubview(p, depth);
    p->type = PropertyType::kString;
    return Status::Ok();
  }

  Status ParseType(Property* p) {
    ++pos_;
    if (pos_ >= text_.size() || IsDelimiter(text_[pos_])) return Error("missing type letter");
    char t = text_[pos_];
    if (t >= 'a' && t <= 'z') t = static_cast<char>(t - 'a' + 'A');
    if (t == 'M') t = 'B';
    if (std::string_view("ILFDSB").find(t) == std::string_view::npos) {
      return Status::NotSupported("property \"" + p->name + "\" has unknown type '" +
                                  std::string(1, text_[pos_]) + "'");
    }
    p->type = static_cast<PropertyType>(t);  // one of the letters just checked
    while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) ++pos_;
    if (Peek('[') || Peek(':')) return Error("unexpected character");
    return Status::Ok();
  }

  Status ParseSubview(Property* p, int depth) {
    ++pos_;
    p->type = PropertyType::kSubview;
    if (Peek('^')) return Status::NotSupported("recursive subview \"" + p->name + "\"");
    if (!Peek(']')) {
      Status s = ParseList(&p->subProperties, depth + 1);
      if (!s.ok()) return s;
    }
    if (!Peek(']')) return Error("missing ']'");
    ++pos_;
    return Status::Ok();
  }

  std::string_view text_;
  size_t pos_ = 0;
  int duplicates_ = 0;
};

void Describe(const std::vector<Property>& props, std::string* out) {
  for (size_t i = 0; i < props.size(); ++i) {
    if (i > 0) out->push_back(',');
    out->append(props[i].name);
    if (props[i].type == PropertyType::kSubview) {
      out->push_back('[');
      Describe(props[i].subProperties, out);
      out->push_back(']');
    } else {
      out->push_back(':');
      out->push_back(TypeLetter(props[i].type));
    }
  }
}

}  // namespace

Status ParseFields(std::string_view text, std::vector<Property>* out, int* duplicates) {
  return Parser(text).ParseAll(out, duplicates);
}

std::string DescribeFields(const std::vector<Property>& props) {
  std::string out;
  Describe(props, &out);
  return out;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace mk
