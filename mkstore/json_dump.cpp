#include "mkstore/json_dump.h"

#include <charconv>
#include <cmath>

#include "mkstore/view_impl.h"

namespace mk {
namespace {

void AppendQuoted(std::string_view bytes, std::string* out) {
  static const char kHex[] = "0123456789abcdef";
  out->push_back('"');
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b == '"' || b == '\\') {
      out->push_back('\\');
      out->push_back(ch);
    } else if (b >= 0x20 && b <= 0x7E) {
      out->push_back(ch);
    } else {
      out->append("\\u00");
      out->push_back(kHex[b >> 4]);
      out->push_back(kHex[b & 15]);
    }
  }
  out->push_back('"');
}

void AppendReal(double v, int precision, std::string* out) {
  if (std::isnan(v)) {
    out->append("\"NaN\"");
  } else if (std::isinf(v)) {
    out->append(v > 0 ? "\"Infinity\"" : "\"-Infinity\"");
  } else if (v == 0 && std::signbit(v)) {
    out->append("-0.0");
  } else {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision);
    out->append(buf, res.ptr);
  }
}

void AppendColumns(const std::vector<Property>& props, std::string* out) {
  out->push_back('[');
  for (size_t i = 0; i < props.size(); ++i) {
    if (i > 0) out->append(", ");
    out->append("{\"name\": ");
    AppendQuoted(props[i].name, out);
    out->append(", \"type\": \"");
    out->push_back(TypeLetter(props[i].type));
    out->push_back('"');
    if (props[i].type == PropertyType::kSubview) {
      out->append(", \"columns\": ");
      AppendColumns(props[i].subProperties, out);
    }
    out->push_back('}');
  }
  out->push_back(']');
}

void AppendRows(const Table& t, std::string* out);

void AppendValue(const Table& t, int row, int col, std::string* out) {
  static const char kHex[] = "0123456789abcdef";
  switch (t.TypeOf(col)) {
    case PropertyType::kInt:
      out->append(std::to_string(t.GetInt(row, col)));
      break;
    case PropertyType::kLong:
      out->push_back('"');
      out->append(std::to_string(t.GetLong(row, col)));
      out->push_back('"');
      break;
    case PropertyType::kFloat:
      AppendReal(t.GetFloat(row, col), 9, out);
      break;
    case PropertyType::kDouble:
      AppendReal(t.GetDouble(row, col), 17, out);
      break;
    case PropertyType::kString:
      AppendQuoted(t.TextView(row, col), out);
      break;
    case PropertyType::kBytes:
      out->push_back('"');
      for (char ch : t.ItemView(row, col)) {
        out->push_back(kHex[static_cast<unsigned char>(ch) >> 4]);
        out->push_back(kHex[static_cast<unsigned char>(ch) & 15]);
      }
      out->push_back('"');
      break;
    case PropertyType::kSubview:
      AppendRows(*t.Sub(row, col), out);
      break;
  }
}

void AppendRows(const Table& t, std::string* out) {
  out->push_back('[');
  for (int r = 0; r < t.rows(); ++r) {
    if (r > 0) out->append(",\n ");
    out->push_back('[');
    for (int c = 0; c < static_cast<int>(t.props().size()); ++c) {
      if (c > 0) out->append(", ");
      AppendValue(t, r, c, out);
    }
    out->push_back(']');
  }
  out->push_back(']');
}

void AppendTopLevel(const Table& root, int col, std::string* out) {
  const Property& p = root.props()[col];
  out->append("{\"name\": ");
  AppendQuoted(p.name, out);
  if (p.type != PropertyType::kSubview) {
    out->append(", \"type\": \"");
    out->push_back(TypeLetter(p.type));
    out->append("\", \"value\": ");
    AppendValue(root, 0, col, out);
    out->push_back('}');
    return;
  }
  const Table& view = *root.Sub(0, col);
  out->append(",\n \"columns\": ");
  AppendColumns(p.subProperties, out);
  out->append(",\n \"row_count\": " + std::to_string(view.rows()) + ",\n \"rows\": ");
  AppendRows(view, out);
  out->push_back('}');
}

}  // namespace

std::string DumpJson(const Storage& storage) {
  const Table& root = *storage.Root().impl()->table();
  std::string out = "{\n\"description\": ";
  AppendQuoted(storage.Description(), &out);
  out.append(",\n\"views\": [\n");
  for (int c = 0; c < static_cast<int>(root.props().size()); ++c) {
    if (c > 0) out.append(",\n");
    AppendTopLevel(root, c, &out);
  }
  out.append(root.props().empty() ? "]\n}\n" : "\n]\n}\n");
  return out;
}

}  // namespace mk
