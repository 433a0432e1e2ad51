#include "puzzles/PuzzleChecker.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "puzzles/ItemReader.h"
#include "puzzles/PuzzleFormat.h"
#include "puzzles/Text.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;
namespace format = puzzle_format;

// Collects the problems of one file as it is read.
class FileCheck {
 public:
  explicit FileCheck(ItemReader& reader) : reader_(reader) { report_.File = reader.File(); }

  // Reads the whole file and returns what was found.
  PuzzleFileReport Run() {
    CheckKeyItems();
    CheckPuzzles();
    return std::move(report_);
  }

 private:
  // A problem of the item the reader is on.
  void Problem(std::string what) {
    report_.Problems.push_back({reader_.File(), reader_.Number(), reader_.Line(), std::move(what)});
  }
  // A problem of an item the file does not hold.
  void Missing(int item, std::string what) {
    report_.Problems.push_back({reader_.File(), item, 0, std::move(what)});
  }

  // The way an item is written: its length and its quotes.
  void CheckWriting() {
    if (reader_.TooLong()) {
      Problem(format::TooLongText());
    }
    if (reader_.QuoteUnclosed()) {
      Problem("opens a double quote that is never closed, so it runs to the end of the file");
    } else if (reader_.QuoteSpansLines()) {
      Problem("opens a double quote that is closed only on a later line");
    }
    if (reader_.TextAfterQuote()) {
      Problem("has text after its closing double quote, which is dropped");
    }
  }

  // Items 1 to 3: the format mark, the category and the count.
  void CheckKeyItems() {
    if (!reader_.Next()) {
      Missing(1, "is missing: the file is empty");
      return;
    }
    CheckWriting();
    if (reader_.Text() != format::kFormatMark) {
      Problem(std::string(format::kFormatMarkExpected));
    }
    if (!reader_.Next()) {
      Missing(2, "is missing: the file ends after item 1");
      return;
    }
    CheckWriting();
    const std::optional<std::string> category = format::CategoryOf(reader_.Text());
    if (!category) {
      Problem(std::string(format::kCategoryExpected));
    } else if (category->empty()) {
      Problem("gives an empty category");
    }
    if (!reader_.Next()) {
      Missing(3, "is missing: the file ends after item 2");
      return;
    }
    CheckWriting();
    const format::CountItem count = format::CountOf(reader_.Text());
    if (count.Problem != format::CountItem::Fault::None) {
      Problem(std::string(count.What()));
    } else {
      report_.Count = count.Count;
      countLine_ = reader_.Line();
    }
  }

  // Every item after the count: one puzzle each, all different.
  void CheckPuzzles() {
    if (reader_.Number() < 3) {
      return;
    }
    std::unordered_map<std::string, int> seen;  // lower-cased phrase -> its item
    while (reader_.Next()) {
      ++report_.Puzzles;
      CheckWriting();
      const std::string_view phrase = reader_.Text();
      if (phrase.empty()) {
        Problem("is an empty puzzle (a blank line counts as a puzzle)");
        continue;
      }
      const std::string lowered = text::Lower(phrase);
      if (std::none_of(lowered.begin(), lowered.end(),
                       [](char c) { return c >= 'a' && c <= 'z'; })) {
        Problem("has no letter a to z to guess");
      }
      const auto [first, added] = seen.emplace(lowered, reader_.Number());
      if (!added) {
        Problem("is the same phrase as item " + std::to_string(first->second));
      }
    }
    if (report_.Puzzles == 0) {
      Missing(4, "is missing: the file holds no puzzle after the count");
    } else if (report_.Count && *report_.Count != report_.Puzzles) {
      report_.Problems.push_back({reader_.File(), 3, countLine_,
                                  format::CountGiven(*report_.Count) + ", but the file holds " +
                                      std::to_string(report_.Puzzles)});
    }
  }

  ItemReader& reader_;
  PuzzleFileReport report_;
  int countLine_ = 0;
};

}  // namespace

int PuzzleFolderReport::ProblemCount() const {
  int count = FolderError ? 1 : 0;
  for (const PuzzleFileReport& file : Files) {
    count += static_cast<int>(file.Problems.size());
  }
  return count;
}

int PuzzleFolderReport::FilesWithProblems() const {
  return static_cast<int>(std::count_if(
      Files.begin(), Files.end(), [](const PuzzleFileReport& f) { return !f.Problems.empty(); }));
}

int PuzzleFolderReport::PuzzleCount() const {
  int count = 0;
  for (const PuzzleFileReport& file : Files) {
    count += file.Puzzles;
  }
  return count;
}

PuzzleFileReport CheckPuzzleFile(ItemReader& reader) {
  return FileCheck(reader).Run();
}

PuzzleFileReport CheckPuzzleFile(const fs::path& file) {
  std::optional<ItemReader> reader = ItemReader::OpenFile(file);
  if (!reader) {
    PuzzleFileReport report;
    report.File = file;
    report.Problems.push_back({file, 0, 0, "the file cannot be opened for reading"});
    return report;
  }
  return CheckPuzzleFile(*reader);
}

PuzzleFolderReport CheckPuzzleFolder(const fs::path& folder) {
  PuzzleFolderReport report;
  auto listing = format::ListPuzzleFiles(folder);
  if (auto* failure = std::get_if<PuzzleError>(&listing)) {
    report.FolderError = std::move(*failure);
    return report;
  }
  const auto& files = std::get<std::vector<fs::path>>(listing);
  if (files.empty()) {
    report.FolderError =
        PuzzleError{format::kNoPuzzleFiles, folder, 0,
                    "the folder holds no puzzle files (files whose names end in .orp)"};
    return report;
  }
  if (static_cast<int>(files.size()) > format::kMaxPuzzleFiles) {
    report.FolderError = PuzzleError{
        format::kOverflow, folder, 0,
        "the folder holds more than " + std::to_string(format::kMaxPuzzleFiles) + " puzzle files"};
  }
  for (const fs::path& file : files) {
    report.Files.push_back(CheckPuzzleFile(file));
  }
  return report;
}

}  // namespace orvanta
