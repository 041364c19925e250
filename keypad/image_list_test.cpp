#include "keypad/image_list.h"

#include <gtest/gtest.h>

namespace plinq {
namespace {

TEST(ImageListTest, ResourcesHaveTheirSizes) {
  for (auto [name, width] : {std::pair{"NarrowBmp", 16}, {"NarrowMask", 16}, {"WideBmp", 32}, {"WideMask", 32}}) {
    const Bitmap* b = findBitmap(name);
    ASSERT_NE(b, nullptr) << name;
    EXPECT_EQ(b->width, width);
    EXPECT_EQ(b->height, 16);
    for (int y = 0; y < b->height; ++y) EXPECT_EQ(std::string(b->rows[y]).size(), static_cast<std::size_t>(width));
  }
  EXPECT_EQ(findBitmap("Other"), nullptr);
}

TEST(ImageListTest, MaskedPixelsAreTransparent) {
  HANDLE32 h = createImageList(16, 16, "NarrowBmp", "NarrowMask");
  ASSERT_NE(h, 0u);
  const ImageList* list = findImageList(h);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->pixels.size(), 256u);
  EXPECT_EQ(list->pixels[0], 0u);                // row 0 is masked
  EXPECT_EQ(list->pixels[2 * 16], 0xFF000000u);  // frame
  EXPECT_EQ(list->pixels[3 * 16 + 1], 0xFFFFFFFFu);
  destroyImageList(h);
  EXPECT_EQ(findImageList(h), nullptr);
}

TEST(ImageListTest, HandlesAreDistinctAndNeverZero) {
  HANDLE32 a = createImageList(16, 16, "NarrowBmp", "NarrowMask");
  HANDLE32 b = createImageList(32, 16, "WideBmp", "WideMask");
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  destroyImageList(a);
  HANDLE32 c = createImageList(16, 16, "NarrowBmp", "NarrowMask");
  EXPECT_NE(c, a);
  destroyImageList(b);
  destroyImageList(c);
}

TEST(ImageListTest, WrongSizeOrNameGivesNoList) {
  EXPECT_EQ(createImageList(32, 16, "NarrowBmp", "NarrowMask"), 0u);
  EXPECT_EQ(createImageList(16, 16, "NarrowBmp", "WideMask"), 0u);
  EXPECT_EQ(createImageList(16, 16, "Nothing", "NarrowMask"), 0u);
  destroyImageList(0);
  destroyImageList(123456);
}

}  // namespace
}  // namespace plinq
