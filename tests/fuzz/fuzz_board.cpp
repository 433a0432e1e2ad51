// Arbitrary solutions and called letters through the board rules. Input: the solution up to the
// first zero byte, then the letters called, parted by zero bytes.
// The board keeps the solution's length in characters whatever is called, blanks never come
// back, and once every letter a to z has been called the board is the solution in capitals.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "puzzles/modPuzzler.h"
#include "tests/fuzz/FuzzCheck.h"

using orvanta::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> letters = orvanta::fuzz::Split(input, '\0');
  const std::string_view solution = letters.front();
  letters.erase(letters.begin());
  constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz";
  for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
    letters.push_back(kAlphabet.substr(i, 1));
  }

  const std::size_t length = orvanta::text::Length(solution);
  std::string board = orvanta::MaskPuzzle(solution);
  Require(orvanta::text::Length(board) == length, "the board is as long as the solution");
  int blanks = orvanta::CountLetter(board, "_");
  int hideable = orvanta::CountLetter(solution, "_");
  for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
    hideable += orvanta::CountLetter(solution, kAlphabet.substr(i, 1));
  }
  Require(blanks == hideable, "the first board hides every letter a to z and nothing else");

  for (const std::string_view letter : letters) {
    board = orvanta::RevealLetter(board, solution, letter);
    Require(orvanta::text::Length(board) == length, "a call keeps the board's length");
    const int left = orvanta::CountLetter(board, "_");
    Require(left <= blanks, "an uncovered letter is never hidden again");
    blanks = left;
    Require(orvanta::CountLetter(board, letter.substr(0, 0)) == 0, "an empty letter counts 0");
  }
  Require(board == orvanta::text::Upper(solution),
          "with every letter called the board is the solution in capitals");
  Require(orvanta::RevealLetter(board + "_", solution, "e") == "ERROR",
          "a board that does not match its solution is refused");
  return 0;
}
