#include "game/modBubbleSort.h"

#include <utility>

namespace orvanta {

std::optional<std::vector<std::string>> BubbleSort(std::vector<std::string> Values) {
  if (Values.empty()) {
    return std::nullopt;
  }
  bool exchanged = true;
  while (exchanged) {
    exchanged = false;
    // Each pass carries the smallest remaining value down towards the low end.
    for (std::size_t i = Values.size() - 1; i-- > 0;) {
      if (Values[i + 1] < Values[i]) {
        exchanged = true;
        std::swap(Values[i], Values[i + 1]);
      }
    }
  }
  return Values;
}

}  // namespace orvanta
