#include "puzzles/ItemReader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <ios>
#include <limits>
#include <sstream>
#include <utility>

#include "base/Text.h"

namespace orvanta {
namespace {

constexpr int kEnd = -1;

bool IsBlank(int byte) {
  return byte == ' ' || byte == '\t';
}
bool IsLineEnd(int byte) {
  return byte == '\r' || byte == '\n';
}

// Counts up by one, stopping at the largest int, so that no file can make a count overflow.
void CountUp(int& count) {
  if (count < std::numeric_limits<int>::max()) {
    ++count;
  }
}

// Reads the whole source once to tell UTF-8 from Windows-1252, then goes back to its start. The
// check carries a character cut by the end of one chunk over to the next.
TextEncoding DetectEncoding(std::streambuf& source) {
  text::Utf8Check check;
  std::array<char, 16384> chunk{};
  for (;;) {
    const std::streamsize got =
        source.sgetn(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    if (got <= 0) {
      break;
    }
    check.Feed(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
    if (check.Broken()) {
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

std::optional<ItemReader> ItemReader::OpenFile(const std::filesystem::path& file,
                                               std::error_code& error) {
  error.clear();
  errno = 0;
  auto source = std::make_unique<std::filebuf>();
  if (source->open(file, std::ios_base::in | std::ios_base::binary) == nullptr) {
    error = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    return std::nullopt;
  }
  return ItemReader(std::move(source), file);
}

ItemReader ItemReader::FromStream(std::unique_ptr<std::streambuf> source,
                                  std::filesystem::path file) {
  return ItemReader(std::move(source), std::move(file));
}

ItemReader ItemReader::FromBytes(std::string bytes, std::filesystem::path file) {
  return ItemReader(std::make_unique<std::stringbuf>(std::move(bytes), std::ios_base::in),
                    std::move(file));
}

ItemReader::ItemReader(std::unique_ptr<std::streambuf> source, std::filesystem::path file)
    : source_(std::move(source)), buffer_(kBufferBytes), file_(std::move(file)) {
  encoding_ = DetectEncoding(*source_);
  if (encoding_ == TextEncoding::Utf8) {
    SkipByteOrderMark(*source_);
  }
  raw_.reserve(256);
}

bool ItemReader::Refill() {
  if (pos_ < end_) {
    return true;
  }
  const std::streamsize got =
      source_->sgetn(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  pos_ = 0;
  end_ = got > 0 ? static_cast<std::size_t>(got) : 0;
  return end_ > 0;
}

int ItemReader::Peek() {
  return Refill() ? static_cast<unsigned char>(buffer_[pos_]) : kEnd;
}

int ItemReader::Take() {
  const int c = Peek();
  pos_ += c == kEnd ? 0 : 1;
  return c;
}

void ItemReader::SkipUntil(std::string_view stops) {
  while (Refill()) {
    const char* begin = buffer_.data() + pos_;
    std::size_t length = end_ - pos_;
    for (char stop : stops) {
      if (const void* hit = std::memchr(begin, stop, length)) {
        length = static_cast<std::size_t>(static_cast<const char*>(hit) - begin);
      }
    }
    pos_ += length;
    if (pos_ < end_) {
      return;
    }
  }
}

std::string_view ItemReader::TakeRun(std::string_view stops) {
  if (!Refill()) {
    return {};
  }
  const std::string_view read(buffer_.data() + pos_, end_ - pos_);
  const auto stop = std::find_first_of(read.begin(), read.end(), stops.begin(), stops.end());
  const std::string_view run(read.begin(), stop);
  pos_ += run.size();
  return run;
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
  CountUp(line_);
  return true;
}

void ItemReader::SkipBlanks() {
  while (IsBlank(Peek())) {
    Take();
  }
}

void ItemReader::Append(int byte) {
  // Characters are counted up to one past the limit and no further: the count cannot overflow
  // however long the item, and nothing past the limit is kept.
  const bool startsCharacter = encoding_ == TextEncoding::Windows1252 ||
                               text::StartsCharacter(static_cast<unsigned char>(byte));
  if (startsCharacter && characters_ <= kMaxItemCharacters) {
    ++characters_;
  }
  if (characters_ <= kMaxItemCharacters) {
    raw_.push_back(static_cast<char>(byte));
    if (!IsBlank(byte)) {
      bytesToLastKept_ = raw_.size();
    }
  } else if (!IsBlank(byte)) {
    pastLimit_ = true;
  }
}

void ItemReader::Append(std::string_view bytes) {
  if (characters_ + bytes.size() > kMaxItemCharacters) {
    // Near the limit: byte by byte.
    for (char byte : bytes) {
      Append(static_cast<unsigned char>(byte));
    }
    return;
  }
  // Far enough from the limit that every byte is kept.
  characters_ +=
      encoding_ == TextEncoding::Windows1252
          ? bytes.size()
          : static_cast<std::size_t>(std::count_if(bytes.begin(), bytes.end(), [](char byte) {
              return text::StartsCharacter(static_cast<unsigned char>(byte));
            }));
  raw_.append(bytes);
  if (const std::size_t last = bytes.find_last_not_of(" \t"); last != std::string_view::npos) {
    bytesToLastKept_ = raw_.size() - bytes.size() + last + 1;
  }
}

void ItemReader::ReadPlain() {
  for (int c = Peek(); c != kEnd && c != ',' && !IsLineEnd(c); c = Peek()) {
    if (pastLimit_) {
      // Too long already: the rest of the item is passed over in bulk.
      SkipUntil(",\r\n");
      break;
    }
    Append(TakeRun(",\r\n"));
  }
  // Blanks at the end of the item are not part of it, so only other characters past the limit
  // make it too long.
  tooLong_ = pastLimit_;
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
    if (characters_ > kMaxItemCharacters && !IsLineEnd(c)) {
      // Too long already: passed over in bulk up to the closing quote or a line end.
      SkipUntil("\"\r\n");
      continue;
    }
    if (IsLineEnd(c)) {
      // The line end belongs to the item; it is kept as the file writes it.
      quoteSpansLines_ = true;
      const int first = Take();
      Append(first);
      if (first == '\r' && Peek() == '\n') {
        Append(Take());
      }
      CountUp(line_);
      continue;
    }
    Append(TakeRun("\"\r\n"));
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
  bytesToLastKept_ = 0;
  pastLimit_ = false;
  tooLong_ = false;
  quoteUnclosed_ = false;
  quoteSpansLines_ = false;
  textAfterQuote_ = false;
  converted_ = false;

  SkipBlanks();
  if (Peek() == kEnd) {
    return false;
  }
  CountUp(number_);
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
