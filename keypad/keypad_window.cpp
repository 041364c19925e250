#include "keypad/keypad_window.h"

#include <algorithm>
#include <cstring>

namespace plinq {

bool isLetterKey(int index) { return std::find(kLetterKeys.begin(), kLetterKeys.end(), index) != kLetterKeys.end(); }

std::string arrayKeyPath(int index) { return std::string(kClassKey) + "\\Array" + std::to_string(index); }

char32_t firstCharacter(const std::string& text) {
  if (text.empty()) return 0;
  auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF5 ? -1 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
  if (extra < 0 || text.size() <= static_cast<std::size_t>(extra)) return 0;
  char32_t c = lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0;
    c = (c << 6) | (next & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not characters.
  static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return c;
}

UINT defaultCode(int index) {
  switch (kDefaultLabels[index]) {
    case 'e': return 0x0D;
    case '>': return 0x09;
    case '<': return 0x08;
    default: return static_cast<unsigned char>(kDefaultLabels[index]);
  }
}

KeypadWindow::KeypadWindow(WindowHost& host, const RECT& parentRect) : host_(host), parentRect_(parentRect) {
  for (int i = 0; i < kKeyCount; ++i) {
    labels_[i] = static_cast<unsigned char>(kDefaultLabels[i]);
    codes_[i] = defaultCode(i);
  }
}

KeypadWindow::~KeypadWindow() { setCallback(nullptr); }

void KeypadWindow::customize(const Registry& registry) {
  for (int index : kLetterKeys) {
    auto value = registry.defaultValue(arrayKeyPath(index));
    char32_t c = value ? firstCharacter(*value) : 0;
    if (c == 0) continue;
    labels_[index] = c;
    codes_[index] = c;
  }
}

void KeypadWindow::setClientSize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
}

int KeypadWindow::keyAt(int x, int y) const {
  int keyWidth = width_ / kColumns;
  int keyHeight = height_ / kRows;
  if (keyWidth == 0 || keyHeight == 0 || x < 0 || y < 0) return -1;
  int column = x / keyWidth;
  int row = y / keyHeight;
  if (column >= kColumns || row >= kRows) return -1;
  return column + kColumns * row;
}

KeyRect KeypadWindow::keyRect(int index) const {
  int keyWidth = width_ / kColumns;
  int keyHeight = height_ / kRows;
  return {index % kColumns * keyWidth, index / kColumns * keyHeight, keyWidth, keyHeight};
}

std::u32string KeypadWindow::labels() const { return std::u32string(labels_.begin(), labels_.end()); }

void KeypadWindow::penDown(int x, int y) {
  penIsDown_ = true;
  int key = keyAt(x, y);
  keyUnderPen_ = maskOf(key);
  if (key >= 0) host_.repaintKey(key);
}

void KeypadWindow::penMove(int x, int y) {
  if (!penIsDown_) return;
  std::uint32_t mask = maskOf(keyAt(x, y));
  if (mask == keyUnderPen_) return;
  keyUnderPen_ = mask;
  host_.repaintAll();
}

void KeypadWindow::penUp(int x, int y) {
  if (!penIsDown_) return;
  penIsDown_ = false;
  int key = keyAt(x, y);
  if (key >= 0) send(codes_[key]);
  std::uint32_t was = keyUnderPen_;
  keyUnderPen_ = 0;
  for (int i = 0; i < kKeyCount; ++i) {
    if (was & maskOf(i)) host_.repaintKey(i);
  }
}

void KeypadWindow::send(UINT code) const {
  if (callback_ == nullptr) return;
  UINT shift = 0;
  UINT character = code;
  callback_->SendCharEvents(code, KeyStateDownFlag, 1, &shift, &character);
}

void KeypadWindow::onPlinqMessage(std::uintptr_t kind, std::intptr_t param) {
  if (kind == kMessageCallback) {
    setCallback(reinterpret_cast<IIMCallback*>(param));
  } else if (kind == kMessageInfo) {
    if (param != 0) std::memcpy(&info_, reinterpret_cast<const IMINFO*>(param), sizeof info_);
  } else if (kind == kMessageFit) {
    host_.fitToParent();
  }
}

void KeypadWindow::setCallback(IIMCallback* callback) {
  if (callback != nullptr) callback->AddRef();
  if (callback_ != nullptr) callback_->Release();
  callback_ = callback;
}

}  // namespace plinq
