#include "keypad/image_list.h"

#include <map>

namespace plinq {
namespace {

// A small keypad: a frame with two rows of keys.
constexpr const char* kNarrowBmp[16] = {
    "................", "................", "################", "#..............#",
    "#.##.##.##.##..#", "#.##.##.##.##..#", "#..............#", "#.##.##.##.##..#",
    "#.##.##.##.##..#", "#..............#", "#.###########..#", "#..............#",
    "################", "................", "................", "................",
};
constexpr const char* kNarrowMask[16] = {
    "xxxxxxxxxxxxxxxx", "xxxxxxxxxxxxxxxx", "................", "................",
    "................", "................", "................", "................",
    "................", "................", "................", "................",
    "................", "xxxxxxxxxxxxxxxx", "xxxxxxxxxxxxxxxx", "xxxxxxxxxxxxxxxx",
};
constexpr const char* kWideBmp[16] = {
    "................................", "................................",
    "################################", "#..............................#",
    "#.##.##.##.##.##.##.##.##.##.#.#", "#.##.##.##.##.##.##.##.##.##.#.#",
    "#..............................#", "#.##.##.##.##.##.##.##.##.##.#.#",
    "#.##.##.##.##.##.##.##.##.##.#.#", "#..............................#",
    "#.##.##.##.##.##.##.##.##.##.#.#", "#.##.##.##.##.##.##.##.##.##.#.#",
    "#..............................#", "################################",
    "................................", "................................",
};
constexpr const char* kWideMask[16] = {
    "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
    "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
};

struct NamedBitmap {
  std::string_view name;
  Bitmap bitmap;
};
constexpr NamedBitmap kBitmaps[] = {
    {"NarrowBmp", {16, 16, kNarrowBmp}},
    {"NarrowMask", {16, 16, kNarrowMask}},
    {"WideBmp", {32, 16, kWideBmp}},
    {"WideMask", {32, 16, kWideMask}},
};

struct Table {
  std::map<HANDLE32, ImageList> lists;
  HANDLE32 last = 0;
};

Table& table() {
  static Table instance;
  return instance;
}

std::uint32_t pixelOf(char picture, char mask) {
  if (mask == 'x') return 0x00000000u;
  return picture == '#' ? 0xFF000000u : 0xFFFFFFFFu;
}

}  // namespace

const Bitmap* findBitmap(std::string_view name) {
  for (const auto& entry : kBitmaps) {
    if (entry.name == name) return &entry.bitmap;
  }
  return nullptr;
}

HANDLE32 createImageList(int width, int height, std::string_view bitmap, std::string_view mask) {
  const Bitmap* picture = findBitmap(bitmap);
  const Bitmap* cover = findBitmap(mask);
  for (const Bitmap* b : {picture, cover}) {
    if (b == nullptr || b->width != width || b->height != height) return 0;
  }
  ImageList list{width, height, {}};
  list.pixels.reserve(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) list.pixels.push_back(pixelOf(picture->rows[y][x], cover->rows[y][x]));
  }
  Table& t = table();
  HANDLE32 handle = ++t.last;
  t.lists.emplace(handle, std::move(list));
  return handle;
}

const ImageList* findImageList(HANDLE32 handle) {
  auto it = table().lists.find(handle);
  return it == table().lists.end() ? nullptr : &it->second;
}

void destroyImageList(HANDLE32 handle) { table().lists.erase(handle); }

}  // namespace plinq
