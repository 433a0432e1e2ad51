// modBubbleSort.h: the small stable sort behind the used-letter board.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvanta {

// Sorts a copy of `Values` by repeated passes from the top down, exchanging neighbours that are
// out of order (strictly less-than, so equal values keep their order). Nothing to sort (no
// elements) gives no result.
std::optional<std::vector<std::string>> BubbleSort(std::vector<std::string> Values);

}  // namespace orvanta
