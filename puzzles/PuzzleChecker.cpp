#include "puzzles/PuzzleChecker.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/Text.h"
#include "puzzles/ItemReader.h"
#include "puzzles/PuzzleFormat.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;
namespace format = puzzle_format;

// The phrases of a file are remembered by a 64-bit hash (FNV-1a) of their lower-cased text, for
// at most as many puzzles as a count can promise: the memory stays bounded however long the
// file, and two different phrases of one file share a hash with a chance below one in 10^10.
constexpr std::size_t kRememberedPhrases = 32767;

std::uint64_t PhraseHash(std::string_view phrase) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (char c : phrase) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  }
  return hash;
}

// Reads one file and passes on its problems as they are found.
class FileCheck {
 public:
  FileCheck(ItemReader& reader, const ProblemHandler& handler)
      : reader_(reader), handler_(handler) {}

  // Reads the whole file and returns what was found.
  PuzzleFileReport Run() {
    CheckKeyItems();
    CheckPuzzles();
    if (report_.Problems > kListedProblems) {
      Pass({reader_.File(), 0, 0,
            "and " + std::to_string(report_.Problems - kListedProblems) + " more problems"});
    }
    return report_;
  }

 private:
  // Counts a problem at `item` (and `line`); only the first ones are passed on, so a file of
  // millions of problems costs no more than their count.
  void Add(int item, int line, std::string&& what) {
    if (++report_.Problems <= kListedProblems) {
      Pass({reader_.File(), item, line, std::move(what)});
    }
  }
  void Pass(const PuzzleProblem& problem) {
    if (handler_) {
      handler_(problem);
    }
  }
  // A problem of the item the reader is on.
  void Problem(std::string what) { Add(reader_.Number(), reader_.Line(), std::move(what)); }
  // A problem of an item the file does not hold.
  void Missing(int item, std::string what) { Add(item, 0, std::move(what)); }

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

  // Reads the next of the first three items; false, with the problem, when the file ends.
  bool NextKeyItem(int item) {
    if (!reader_.Next()) {
      Missing(item, format::MissingItem(reader_.Number()));
      return false;
    }
    CheckWriting();
    return true;
  }

  // Items 1 to 3: the format mark, the category and the count.
  void CheckKeyItems() {
    if (!NextKeyItem(1)) {
      return;
    }
    if (reader_.Text() != format::kFormatMark) {
      Problem(std::string(format::kFormatMarkExpected));
    }
    if (!NextKeyItem(2)) {
      return;
    }
    const std::optional<std::string> category = format::CategoryOf(reader_.Text());
    if (!category) {
      Problem(format::CategoryFault(reader_.Text()));
    } else if (category->empty()) {
      Problem("gives an empty category");
    }
    if (!NextKeyItem(3)) {
      return;
    }
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
    std::unordered_map<std::uint64_t, int> seen;  // hash of the lower-cased phrase -> its item
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
      const std::uint64_t hash = PhraseHash(lowered);
      const auto first = seen.find(hash);
      if (first != seen.end()) {
        Problem("is the same phrase as item " + std::to_string(first->second));
      } else if (seen.size() < kRememberedPhrases) {
        seen.emplace(hash, reader_.Number());
      }
    }
    if (report_.Puzzles == 0) {
      Missing(4, std::string(format::kNoPuzzleAfterCount));
    } else if (report_.Count && *report_.Count != report_.Puzzles) {
      Add(3, countLine_, format::CountDiffers(*report_.Count, report_.Puzzles));
    }
  }

  ItemReader& reader_;
  const ProblemHandler& handler_;
  PuzzleFileReport report_;
  int countLine_ = 0;
};

void Tally(PuzzleFolderReport& folder, const PuzzleFileReport& file) {
  ++folder.Files;
  folder.FilesWithProblems += file.Problems > 0 ? 1 : 0;
  folder.Puzzles += file.Puzzles;
  folder.Problems += file.Problems;
}

}  // namespace

PuzzleFileReport CheckPuzzleFile(ItemReader& reader, const ProblemHandler& problem) {
  return FileCheck(reader, problem).Run();
}

PuzzleFileReport CheckPuzzleFile(const fs::path& file, const ProblemHandler& problem) {
  std::error_code error;
  std::optional<ItemReader> reader = ItemReader::OpenFile(file, error);
  if (!reader) {
    if (problem) {
      problem({file, 0, 0, format::CannotOpen(error)});
    }
    return PuzzleFileReport{std::nullopt, 0, 1};
  }
  return CheckPuzzleFile(*reader, problem);
}

PuzzleFolderReport CheckPuzzleFolder(const fs::path& folder, const ProblemHandler& problem) {
  PuzzleFolderReport report;
  // An entry named like a puzzle file that is no file is reported as the listing finds it.
  auto listing = format::ListPuzzleFiles(folder, [&](const format::SkippedEntry& skipped) {
    if (problem) {
      problem({skipped.Path, 0, 0, skipped.Why + ", not a puzzle file"});
    }
    Tally(report, PuzzleFileReport{std::nullopt, 0, 1});
  });
  if (auto* failure = std::get_if<PuzzleError>(&listing)) {
    report = PuzzleFolderReport{std::move(*failure)};
    return report;
  }
  const auto& files = std::get<format::PuzzleListing>(listing).Files;
  if (files.empty()) {
    report.FolderError = PuzzleError{format::kNoPuzzleFiles, folder, 0,
                                     std::get<format::PuzzleListing>(listing).NoPuzzleFiles()};
    return report;
  }
  if (static_cast<std::int64_t>(files.size()) > kMaxPuzzleFiles) {
    report.FolderError =
        PuzzleError{format::kOverflow, folder, 0, format::TooManyFiles(kMaxPuzzleFiles)};
  }
  for (const fs::path& file : files) {
    Tally(report, CheckPuzzleFile(file, problem));
  }
  return report;
}

}  // namespace orvanta
