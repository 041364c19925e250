#include "keypad/letter_choices.h"

namespace plinq {

LetterChoices::LetterChoices(const Registry* registry) {
  for (int list = 0; list < kLetterLists; ++list) {
    int index = keyIndex(list);
    char32_t letter = static_cast<unsigned char>(kDefaultLabels[index]);
    if (registry != nullptr) {
      auto value = registry->defaultValue(arrayKeyPath(index));
      char32_t stored = value ? firstCharacter(*value) : 0;
      if (stored != 0) letter = stored;
    }
    selection_[list] = letter >= U'A' && letter <= U'Z' ? static_cast<int>(letter - U'A') : -1;
  }
}

void LetterChoices::select(int list, int item) {
  if (item >= -1 && item < kLetterItems) selection_[list] = item;
}

bool LetterChoices::save(const Registry& registry) const {
  bool all = true;
  for (int list = 0; list < kLetterLists; ++list) {
    if (selection_[list] < 0) continue;
    std::string path = arrayKeyPath(keyIndex(list));
    all = registry.createKey(path) && registry.setDefaultValue(path, itemText(selection_[list])) && all;
  }
  return all;
}

}  // namespace plinq
