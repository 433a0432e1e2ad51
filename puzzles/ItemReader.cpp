#include "puzzles/ItemReader.h"

#include <array>
#include <fstream>
#include <ios>
#include <sstream>
#include <utility>

#include "puzzles/Text.h"

namespace orvanta {
namespace {

constexpr int kEnd = -1;

bool IsBlank(int byte) {
  return byte == ' ' || byte == '\t';
}
bool IsLineEnd(int byte) {
  return byte == '\r' || byte == '\n';
}

// Checks UTF-8 a byte at a time, so a whole file can be checked without holding it.
class Utf8Check {
 public:
  // Takes the next byte of the file.
  void Feed(unsigned char byte) {
    if (!valid_) {
      return;
    }
    if (remaining_ == 0) {
      if (byte < 0x80) {
        return;
      }
      if ((byte & 0xE0) == 0xC0) {
        Start(1, byte & 0x1Fu, 0x80);
      } else if ((byte & 0xF0) == 0xE0) {
        Start(2, byte & 0x0Fu, 0x800);
      } else if ((byte & 0xF8) == 0xF0) {
        Start(3, byte & 0x07u, 0x10000);
      } else {
        valid_ = false;
      }
      return;
    }
    if ((byte & 0xC0) != 0x80) {
      valid_ = false;
      return;
    }
    value_ = (value_ << 6) | (byte & 0x3Fu);
    if (--remaining_ == 0 &&
        (value_ < minimum_ || value_ > 0x10FFFF || (value_ >= 0xD800 && value_ <= 0xDFFF))) {
      valid_ = false;
    }
  }
  // Whether every byte so far belongs to a complete, well-formed character.
  bool Valid() const { return valid_ && remaining_ == 0; }

 private:
  void Start(int remaining, char32_t value, char32_t minimum) {
    remaining_ = remaining;
    value_ = value;
    minimum_ = minimum;
  }

  bool valid_ = true;
  int remaining_ = 0;
  char32_t value_ = 0;
  char32_t minimum_ = 0;
};

// Reads the whole source once to tell UTF-8 from Windows-1252, then goes back to its start.
TextEncoding DetectEncoding(std::streambuf& source) {
  Utf8Check check;
  std::array<char, 16384> chunk{};
  for (;;) {
    const std::streamsize got =
        source.sgetn(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    for (std::streamsize i = 0; i < got; ++i) {
      check.Feed(static_cast<unsigned char>(chunk[static_cast<std::size_t>(i)]));
    }
    if (got < static_cast<std::streamsize>(chunk.size()) || !check.Valid()) {
      break;
    }
  }
  const bool valid = check.Valid();
  source.pubseekpos(0, std::ios_base::in);
  return valid ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

// Skips a UTF-8 byte-order mark at the start of the source, if there is one.
void SkipByteOrderMark(std::streambuf& source) {
  std::array<char, 3> start{};
  const std::streamsize got = source.sgetn(start.data(), 3);
  if (got == 3 && start == std::array<char, 3>{'\xEF', '\xBB', '\xBF'}) {
    return;
  }
  source.pubseekpos(0, std::ios_base::in);
}

}  // namespace

std::optional<ItemReader> ItemReader::OpenFile(const std::filesystem::path& file) {
  auto source = std::make_unique<std::filebuf>();
  if (source->open(file, std::ios_base::in | std::ios_base::binary) == nullptr) {
    return std::nullopt;
  }
  return ItemReader(std::move(source), file);
}

ItemReader ItemReader::FromBytes(std::string bytes, std::filesystem::path file) {
  return ItemReader(std::make_unique<std::stringbuf>(std::move(bytes), std::ios_base::in),
                    std::move(file));
}

ItemReader::ItemReader(std::unique_ptr<std::streambuf> source, std::filesystem::path file)
    : source_(std::move(source)), file_(std::move(file)) {
  encoding_ = DetectEncoding(*source_);
  if (encoding_ == TextEncoding::Utf8) {
    SkipByteOrderMark(*source_);
  }
  raw_.reserve(256);
}

int ItemReader::Peek() {
  const auto c = source_->sgetc();
  return std::streambuf::traits_type::eq_int_type(c, std::streambuf::traits_type::eof())
             ? kEnd
             : static_cast<unsigned char>(std::streambuf::traits_type::to_char_type(c));
}

int ItemReader::Take() {
  const auto c = source_->sbumpc();
  return std::streambuf::traits_type::eq_int_type(c, std::streambuf::traits_type::eof())
             ? kEnd
             : static_cast<unsigned char>(std::streambuf::traits_type::to_char_type(c));
}

bool ItemReader::TakeLineEnd() {
  const int c = Peek();
  if (c == '\n') {
    Take();
  } else if (c == '\r') {
    Take();
    if (Peek() == '\n') {
      Take();
    }
  } else {
    return false;
  }
  ++line_;
  return true;
}

void ItemReader::SkipBlanks() {
  while (IsBlank(Peek())) {
    Take();
  }
}

void ItemReader::Append(int byte) {
  const bool startsCharacter = encoding_ == TextEncoding::Windows1252 || (byte & 0xC0) != 0x80;
  if (startsCharacter) {
    ++characters_;
  }
  if (characters_ <= kMaxItemCharacters) {
    raw_.push_back(static_cast<char>(byte));
    if (!IsBlank(byte)) {
      charactersToLastKept_ = characters_;
      bytesToLastKept_ = raw_.size();
    }
  } else if (!IsBlank(byte)) {
    charactersToLastKept_ = characters_;
  }
}

void ItemReader::ReadPlain() {
  for (int c = Peek(); c != kEnd && c != ',' && !IsLineEnd(c); c = Peek()) {
    Append(Take());
  }
  // Blanks at the end of the item are not part of it.
  tooLong_ = charactersToLastKept_ > kMaxItemCharacters;
  raw_.resize(std::min(bytesToLastKept_, raw_.size()));
}

void ItemReader::ReadQuoted() {
  for (;;) {
    const int c = Peek();
    if (c == kEnd) {
      quoteUnclosed_ = true;
      break;
    }
    if (c == '"') {
      Take();
      break;
    }
    if (IsLineEnd(c)) {
      // The line end belongs to the item; it is kept as the file writes it.
      quoteSpansLines_ = true;
      const int first = Take();
      Append(first);
      if (first == '\r' && Peek() == '\n') {
        Append(Take());
      }
      ++line_;
      continue;
    }
    Append(Take());
  }
  tooLong_ = characters_ > kMaxItemCharacters;
  // Whatever follows the closing quote on its way to the delimiter is dropped.
  for (int c = Peek(); c != kEnd && c != ',' && !IsLineEnd(c); c = Peek()) {
    if (!IsBlank(Take())) {
      textAfterQuote_ = true;
    }
  }
}

void ItemReader::TakeDelimiter() {
  if (Peek() == ',') {
    Take();
    SkipBlanks();
  }
  TakeLineEnd();
}

void ItemReader::Convert() {
  converted_ = false;
  if (encoding_ == TextEncoding::Utf8) {
    return;
  }
  for (char c : raw_) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      text_ = text::FromWindows1252(raw_);
      converted_ = true;
      return;
    }
  }
}

bool ItemReader::Next() {
  raw_.clear();
  characters_ = 0;
  charactersToLastKept_ = 0;
  bytesToLastKept_ = 0;
  tooLong_ = false;
  quoteUnclosed_ = false;
  quoteSpansLines_ = false;
  textAfterQuote_ = false;
  converted_ = false;

  SkipBlanks();
  if (Peek() == kEnd) {
    return false;
  }
  ++number_;
  itemLine_ = line_;
  if (Peek() == '"') {
    Take();
    ReadQuoted();
  } else {
    ReadPlain();
  }
  TakeDelimiter();
  Convert();
  return true;
}

}  // namespace orvanta
