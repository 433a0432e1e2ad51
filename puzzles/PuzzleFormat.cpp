#include "puzzles/PuzzleFormat.h"

#include <algorithm>
#include <cstddef>
#include <system_error>

#include "base/Text.h"
#include "puzzles/ItemReader.h"
#include "puzzles/modStringFunc.h"

namespace orvanta::puzzle_format {

std::string TooLongText() {
  return "is longer than " + std::to_string(ItemReader::kMaxItemCharacters) + " characters";
}

std::string MissingItem(int itemsRead) {
  if (itemsRead == 0) {
    return "is missing: the file is empty";
  }
  return "is missing: the file ends after item " + std::to_string(itemsRead);
}

std::string CountGiven(int count) {
  return "gives a count of " + std::to_string(count) + (count == 1 ? " puzzle" : " puzzles");
}

std::string CountDiffers(int count, long long held) {
  return CountGiven(count) + ", but the file holds " + (held < count ? "only " : "") +
         std::to_string(held);
}

std::string CannotOpen(const std::error_code& error) {
  return "the file cannot be opened for reading (" + error.message() + ")";
}

std::string TooManyFiles(int limit) {
  return "the folder holds more than " + std::to_string(limit) + " puzzle files";
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

namespace {

namespace fs = std::filesystem;

// Why an entry named like a puzzle file is no file to read; empty for a regular file.
std::string WhyNotAFile(const fs::directory_entry& entry) {
  std::error_code error;
  const fs::file_status status = fs::status(entry.path(), error);
  if (error) {
    std::error_code linkError;
    const bool link = fs::is_symlink(fs::symlink_status(entry.path(), linkError));
    if (link && error == std::errc::no_such_file_or_directory) {
      return "is a link that leads nowhere";
    }
    if (error == std::errc::too_many_symbolic_link_levels) {
      return "is a link that leads round in a loop";
    }
    return "cannot be examined (" + error.message() + ")";
  }
  switch (status.type()) {
    case fs::file_type::regular:
      return {};
    case fs::file_type::directory:
      return "is a folder";
    case fs::file_type::fifo:
      return "is a named pipe (FIFO)";
    case fs::file_type::socket:
      return "is a socket";
    case fs::file_type::block:
    case fs::file_type::character:
      return "is a device";
    default:
      return "is not a regular file";
  }
}

bool ByPath(const SkippedEntry& a, const SkippedEntry& b) {
  return a.Path < b.Path;
}

PuzzleError CannotList(const fs::path& folder, const std::error_code& error) {
  return PuzzleError{kCannotRead, folder, 0, "the folder cannot be read (" + error.message() + ")"};
}

}  // namespace

std::string PuzzleListing::NoPuzzleFiles() const {
  std::string what = "the folder holds no puzzle files (files whose names end in .orp)";
  for (std::size_t i = 0; i < Skipped.size(); ++i) {
    what +=
        (i == 0 ? "; " : ", ") + text::PathText(Skipped[i].Path.filename()) + " " + Skipped[i].Why;
  }
  if (SkippedCount > Skipped.size()) {
    const std::size_t more = SkippedCount - Skipped.size();
    what += ", and " + std::to_string(more) +
            (more == 1 ? " more entry that is no file" : " more entries that are no files");
  }
  return what;
}

std::variant<PuzzleListing, PuzzleError> ListPuzzleFiles(const fs::path& folder,
                                                         const SkippedHandler& skipped,
                                                         std::size_t maxFiles) {
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (status.type() == fs::file_type::not_found) {
    return PuzzleError{kFolderNotFound, folder, 0, "the folder does not exist"};
  }
  if (error) {
    return CannotList(folder, error);
  }
  if (!fs::is_directory(status)) {
    return PuzzleError{kFolderNotFound, folder, 0, "it is not a folder"};
  }
  PuzzleListing listing;
  fs::directory_iterator entry(folder, error);
  for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
    if (!HasPuzzleExtension(entry->path().filename().string())) {
      continue;
    }
    std::string why = WhyNotAFile(*entry);
    if (why.empty()) {
      listing.Files.push_back(entry->path());
      if (listing.Files.size() > maxFiles) {
        break;
      }
      continue;
    }
    SkippedEntry skip{entry->path(), std::move(why)};
    if (skipped) {
      skipped(skip);
    }
    // The message names the first few by name, whatever order the folder lists them in.
    ++listing.SkippedCount;
    auto& named = listing.Skipped;
    const auto last = std::max_element(named.begin(), named.end(), ByPath);
    if (named.size() < PuzzleListing::kSkippedNamed) {
      named.push_back(std::move(skip));
    } else if (skip.Path < last->Path) {
      *last = std::move(skip);
    }
  }
  if (error) {
    return CannotList(folder, error);
  }
  std::sort(listing.Files.begin(), listing.Files.end());
  std::sort(listing.Skipped.begin(), listing.Skipped.end(), ByPath);
  return listing;
}

std::optional<std::string> CategoryOf(std::string_view item) {
  if (GetWord(item, 1) != "C") {
    return std::nullopt;
  }
  return GetFromWord(item, 2);
}

std::string CategoryFault(std::string_view item) {
  std::string what(kCategoryExpected);
  if (GetWord(item, 1).starts_with("C\t")) {
    what += ": a tab after \"C\" does not end the key, only a space does";
  }
  return what;
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
    case Fault::TabAfterKey:
      return kCountTabAfterKey;
  }
  return {};
}

CountItem CountOf(std::string_view item) {
  const std::string key = GetWord(item, 1);
  if (key.starts_with("TP\t")) {
    return {CountItem::Fault::TabAfterKey, 0};
  }
  if (key != "TP") {
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
