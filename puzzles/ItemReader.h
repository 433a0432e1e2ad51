// ItemReader.h: the one reader of the puzzle files' delimited items, used by the game's loader and
// by the puzzle checker alike. It reads a file item by item and knows the number and line of each.
//
// The items of a puzzle file:
// - an item ends at a comma or at the end of a line (CR LF, a lone LF or a lone CR);
// - blanks (spaces and tabs) before an item are skipped, and so are blanks at the end of an item
//   written without quotes;
// - an item that begins with a double quote runs to the next double quote, line ends included;
//   the quotes are not part of it, and whatever stands between the closing quote and the next
//   comma or line end is dropped;
// - a blank line is one empty item; a comma at the end of a line ends the item and the line
//   together, so it adds no empty item of its own;
// - an item longer than `kMaxItemCharacters` characters is marked too long and cut to that length,
//   so a reader never holds more than one bounded item in memory.
// A file that is valid UTF-8 (with or without a byte-order mark) is read as UTF-8; any other file
// is read as Windows-1252 text. Items come out as UTF-8 either way.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace orvanta {

enum class TextEncoding { Utf8, Windows1252 };

class ItemReader {
 public:
  // The longest item, in characters, that a puzzle file may hold.
  static constexpr int kMaxItemCharacters = 32767;

  // Opens a file for reading; nullopt, with the reason in `error`, when it cannot be opened.
  static std::optional<ItemReader> OpenFile(const std::filesystem::path& file,
                                            std::error_code& error);
  // Reads items from any source that can go back to its start, named as if it were `file`.
  static ItemReader FromStream(std::unique_ptr<std::streambuf> source, std::filesystem::path file);
  // Reads items from bytes held in memory, named as if they came from `file`.
  static ItemReader FromBytes(std::string bytes, std::filesystem::path file);

  // Reads the next item; false when the file holds no more items.
  bool Next();

  // The current item's text, UTF-8; valid until the next call of Next.
  std::string_view Text() const { return converted_ ? std::string_view(text_) : raw_; }
  // The current item's number, counted from 1; 0 before the first item. Item numbers and lines
  // stop counting at the largest int.
  int Number() const { return number_; }
  // The line on which the current item begins, counted from 1.
  int Line() const { return itemLine_; }
  // Whether the current item is longer than kMaxItemCharacters (its text is then cut short).
  bool TooLong() const { return tooLong_; }
  // Whether the current item opened a double quote that the file never closes.
  bool QuoteUnclosed() const { return quoteUnclosed_; }
  // Whether the current item's double quotes enclose a line end.
  bool QuoteSpansLines() const { return quoteSpansLines_; }
  // Whether text other than blanks stood between the closing quote and the end of the item.
  bool TextAfterQuote() const { return textAfterQuote_; }

  // The file this reader reads.
  const std::filesystem::path& File() const { return file_; }
  // How the file's bytes are turned into characters.
  TextEncoding Encoding() const { return encoding_; }

 private:
  ItemReader(std::unique_ptr<std::streambuf> source, std::filesystem::path file);

  // Reads more of the source when every byte read so far is taken; false at the end.
  bool Refill();
  // The next byte without taking it, or -1 at the end of the file.
  int Peek();
  // Takes the next byte, or returns -1 at the end of the file.
  int Take();
  // Takes one line end (CR LF, LF or CR) if one comes next; true if it did.
  bool TakeLineEnd();
  // Takes every byte up to (not including) the first of `stops`, or to the end of the file.
  void SkipUntil(std::string_view stops);
  // Takes the bytes read so far up to (not including) the first of `stops`, at least one unless
  // the file has ended; they stay valid until the next read of the source.
  std::string_view TakeRun(std::string_view stops);
  // Skips spaces and tabs.
  void SkipBlanks();
  // Adds one byte to the current item, counting characters and keeping at most the limit.
  void Append(int byte);
  // Adds bytes to the current item as Append does with each.
  void Append(std::string_view bytes);
  // Reads an item written without quotes up to (not including) its delimiter.
  void ReadPlain();
  // Reads a quoted item after its opening quote, then drops the rest up to its delimiter.
  void ReadQuoted();
  // Takes the comma or line end that ends the item, if any.
  void TakeDelimiter();
  // Turns the bytes read into the item's UTF-8 text.
  void Convert();

  static constexpr std::size_t kBufferBytes = std::size_t{64} * 1024;

  std::unique_ptr<std::streambuf> source_;
  std::vector<char> buffer_;  // bytes read from the source, taken from pos_ up to end_
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::filesystem::path file_;
  TextEncoding encoding_ = TextEncoding::Windows1252;

  std::string raw_;   // the item's bytes as read, at most the limit in characters
  std::string text_;  // the item converted to UTF-8, when its bytes needed converting
  bool converted_ = false;
  std::size_t characters_ = 0;       // characters of the item seen, up to one past the limit
  std::size_t bytesToLastKept_ = 0;  // bytes up to the last kept character that is not a blank
  bool pastLimit_ = false;           // a character other than a blank came past the limit
  int number_ = 0;
  int line_ = 1;
  int itemLine_ = 0;
  bool tooLong_ = false;
  bool quoteUnclosed_ = false;
  bool quoteSpansLines_ = false;
  bool textAfterQuote_ = false;
};

}  // namespace orvanta
