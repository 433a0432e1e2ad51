// The board of blanks: letters a to z are hidden as "_" until called, everything else (spaces,
// punctuation, digits, accented letters) shows from the start. Positions are characters, so an
// accented letter takes one position and changes case as a whole.
#include <optional>
#include <string>

#include "base/Text.h"
#include "puzzles/modPuzzler.h"

namespace orvanta {
namespace {

constexpr char32_t kHidden = U'_';

// A letter the board hides: its lower-case form is one of a to z.
bool IsHiddenLetter(char32_t lowered) {
  return lowered >= U'a' && lowered <= U'z';
}

// The first character of a called letter, lower-cased; none for an empty text.
std::optional<char32_t> FirstCharacterLowered(std::string_view Letter) {
  if (Letter.empty()) {
    return std::nullopt;
  }
  const std::u32string chars = text::Decode(Letter);
  return text::ToLower(chars.front());
}

}  // namespace

std::string MaskPuzzle(std::string_view Solution) {
  // 1. Lower-case the solution; 2. hide every letter a to z; 3. return the board.
  std::u32string board = text::Decode(Solution);
  for (char32_t& c : board) {
    c = text::ToLower(c);
    if (IsHiddenLetter(c)) {
      c = kHidden;
    }
  }
  return text::Encode(board);
}

std::string RevealLetter(std::string_view Board, std::string_view Solution,
                         std::string_view Letter) {
  const std::u32string board = text::Decode(Board);
  const std::u32string solution = text::Decode(Solution);
  // 1. A board that does not match its solution position for position cannot be revealed.
  if (board.size() != solution.size()) {
    return "ERROR";
  }
  // 2. Both sides compare lower-cased; only the letter's first character counts.
  const std::optional<char32_t> letter = FirstCharacterLowered(Letter);
  // 3. A hidden position uncovers when the solution holds the letter there; shown positions are
  // copied as they are. 4. The new board is upper-cased as a whole.
  std::u32string revealed;
  revealed.reserve(board.size());
  for (std::size_t i = 0; i < board.size(); ++i) {
    const char32_t shown = text::ToLower(board[i]);
    if (shown == kHidden) {
      const bool uncovered = letter && text::ToLower(solution[i]) == *letter;
      revealed.push_back(uncovered ? text::ToUpper(*letter) : kHidden);
    } else {
      revealed.push_back(text::ToUpper(shown));
    }
  }
  return text::Encode(revealed);
}

int CountLetter(std::string_view Text, std::string_view Letter) {
  const std::optional<char32_t> letter = FirstCharacterLowered(Letter);
  if (!letter) {
    return 0;
  }
  int count = 0;
  for (char32_t c : text::Decode(Text)) {
    if (text::ToLower(c) == *letter) {
      ++count;
    }
  }
  return count;
}

}  // namespace orvanta
