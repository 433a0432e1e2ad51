#include "puzzles/PuzzleFormat.h"

#include <algorithm>
#include <cstddef>
#include <system_error>

#include "puzzles/ItemReader.h"
#include "puzzles/modStringFunc.h"

namespace orvanta::puzzle_format {

std::string TooLongText() {
  return "is longer than " + std::to_string(ItemReader::kMaxItemCharacters) + " characters";
}

std::string CountGiven(int count) {
  return "gives a count of " + std::to_string(count) + (count == 1 ? " puzzle" : " puzzles");
}

bool HasPuzzleExtension(std::string_view fileName) {
  if (fileName.size() < kExtension.size()) {
    return false;
  }
  const std::string_view end = fileName.substr(fileName.size() - kExtension.size());
  for (std::size_t i = 0; i < end.size(); ++i) {
    char c = end[i];
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
    if (c != kExtension[i]) {
      return false;
    }
  }
  return true;
}

std::variant<std::vector<std::filesystem::path>, PuzzleError> ListPuzzleFiles(
    const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (status.type() == fs::file_type::not_found) {
    return PuzzleError{kFolderNotFound, folder, 0, "the folder does not exist"};
  }
  if (error) {
    return PuzzleError{kCannotRead, folder, 0,
                       "the folder cannot be read (" + error.message() + ")"};
  }
  if (!fs::is_directory(status)) {
    return PuzzleError{kFolderNotFound, folder, 0, "it is not a folder"};
  }
  std::vector<fs::path> files;
  fs::directory_iterator entry(folder, error);
  for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
    std::error_code typeError;
    if (entry->is_regular_file(typeError) &&
        HasPuzzleExtension(entry->path().filename().string())) {
      files.push_back(entry->path());
    }
  }
  if (error) {
    return PuzzleError{kCannotRead, folder, 0,
                       "the folder cannot be read (" + error.message() + ")"};
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::optional<std::string> CategoryOf(std::string_view item) {
  if (GetWord(item, 1) != "C") {
    return std::nullopt;
  }
  return GetFromWord(item, 2);
}

std::string_view CountItem::What() const {
  switch (Problem) {
    case Fault::None:
      return {};
    case Fault::WrongKey:
      return kCountExpected;
    case Fault::NotANumber:
      return kCountNotANumber;
    case Fault::OutOfRange:
      return kCountOutOfRange;
  }
  return {};
}

CountItem CountOf(std::string_view item) {
  if (GetWord(item, 1) != "TP") {
    return {CountItem::Fault::WrongKey, 0};
  }
  // The count is a plain decimal whole number with an optional sign; anything else (a fraction,
  // another notation, nothing at all) is not a count.
  const std::string word = GetWord(item, 2);
  std::size_t pos = 0;
  bool negative = false;
  if (pos < word.size() && (word[pos] == '-' || word[pos] == '+')) {
    negative = word[pos] == '-';
    ++pos;
  }
  if (pos == word.size()) {
    return {CountItem::Fault::NotANumber, 0};
  }
  long long value = 0;
  bool tooLarge = false;
  for (; pos < word.size(); ++pos) {
    const char c = word[pos];
    if (c < '0' || c > '9') {
      return {CountItem::Fault::NotANumber, 0};
    }
    if (!tooLarge) {
      value = value * 10 + (c - '0');
      tooLarge = value > 32768;
    }
  }
  if (negative) {
    value = -value;
  }
  if (tooLarge || value < -32768 || value > 32767) {
    return {CountItem::Fault::OutOfRange, 0};
  }
  return {CountItem::Fault::None, static_cast<int>(value)};
}

}  // namespace orvanta::puzzle_format
