// The input method's icons: bitmap resources and the image lists made from
// them.
//
// A bitmap resource is a picture of '#' (black) and '.' (white) rows; its
// mask has 'x' where the icon is transparent. An image list holds one masked
// image as 32-bit ARGB pixels and is known to the panel by a 32-bit handle
// (IMINFO keeps handles in 32 bits). Handles are never reused while the
// library is loaded. Single-threaded.
#ifndef KEYPAD_IMAGE_LIST_H_
#define KEYPAD_IMAGE_LIST_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "keypad/com.h"

namespace plinq {

// A named bitmap resource.
struct Bitmap {
  int width;
  int height;
  const char* const* rows;  // height rows of width characters
};

// The bitmap resource of a name ("NarrowBmp", "NarrowMask", "WideBmp",
// "WideMask"), or nullptr for an unknown name. The result is static.
const Bitmap* findBitmap(std::string_view name);

// One masked image.
struct ImageList {
  int width;
  int height;
  std::vector<std::uint32_t> pixels;  // row-major ARGB, alpha 0 where masked
};

// Creates an image list of width x height from the named bitmap and mask.
// Returns its handle, or 0 when a resource is missing or its size differs.
HANDLE32 createImageList(int width, int height, std::string_view bitmap, std::string_view mask);

// The image list of a handle (borrowed until destroyImageList), or nullptr.
const ImageList* findImageList(HANDLE32 handle);

// Destroys an image list; unknown handles (and 0) are ignored.
void destroyImageList(HANDLE32 handle);

}  // namespace plinq

#endif  // KEYPAD_IMAGE_LIST_H_
