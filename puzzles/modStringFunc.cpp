#include "puzzles/modStringFunc.h"

#include <cstddef>
#include <optional>

#include "base/Text.h"

namespace orvanta {
namespace {

// Bytes taken by the character that starts at `pos`; a stray or broken byte counts as one, so a
// delimiter right after it is still seen.
std::size_t CharacterSize(std::string_view text, std::size_t pos) {
  return text::DecodeFront(text.substr(pos)).size;
}

// The delimiter as the bytes of its one character: the first character given, or a space.
std::string_view DelimiterCharacter(std::string_view Delimiter) {
  if (Delimiter.empty()) {
    return " ";
  }
  return Delimiter.substr(0, CharacterSize(Delimiter, 0));
}

// Where a word starts and ends in the text, in bytes.
struct WordSpan {
  std::size_t Begin = 0;
  std::size_t End = 0;
};

// Walks the text once, closing a word at each delimiter that follows a non-delimiter (or opens
// the text) and once more at its end, and returns where word `WordRequested` lies.
std::optional<WordSpan> FindWord(std::string_view InString, int WordRequested,
                                 std::string_view Delimiter) {
  // 1. An empty text has no words at all.
  if (InString.empty() || WordRequested < 1) {
    return std::nullopt;
  }
  const std::string_view delimiter = DelimiterCharacter(Delimiter);
  int wordsClosed = 0;
  bool previousWasDelimiter = false;
  std::size_t wordBegin = 0;  // the gathered text starts here
  std::size_t pos = 0;
  while (pos < InString.size()) {
    const std::size_t size = CharacterSize(InString, pos);
    const bool isDelimiter = InString.substr(pos, size) == delimiter;
    if (!isDelimiter) {
      // 2. Any other character belongs to the word being gathered.
      previousWasDelimiter = false;
    } else if (!previousWasDelimiter) {
      // 4. The first delimiter after a word closes it.
      ++wordsClosed;
      if (wordsClosed == WordRequested) {
        return WordSpan{wordBegin, pos};
      }
      previousWasDelimiter = true;
      wordBegin = pos + size;
    } else {
      // 3. Further delimiters of a run close nothing; the next word starts after them.
      wordBegin = pos + size;
    }
    pos += size;
  }
  // 5. The end of the text closes the last word, which is empty after a trailing delimiter.
  ++wordsClosed;
  if (wordsClosed == WordRequested) {
    return WordSpan{wordBegin, InString.size()};
  }
  return std::nullopt;
}

}  // namespace

std::string GetWord(std::string_view InString, int WordRequested, std::string_view Delimiter) {
  const std::optional<WordSpan> word = FindWord(InString, WordRequested, Delimiter);
  if (!word) {
    return {};
  }
  return std::string(InString.substr(word->Begin, word->End - word->Begin));
}

std::string GetFromWord(std::string_view InString, int WordRequested, std::string_view Delimiter) {
  const std::optional<WordSpan> word = FindWord(InString, WordRequested, Delimiter);
  if (!word) {
    return {};
  }
  return std::string(InString.substr(word->Begin));
}

}  // namespace orvanta
