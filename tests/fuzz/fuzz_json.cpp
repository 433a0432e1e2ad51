// Arbitrary texts through every event of script mode: each event must come out as one line of
// JSON in UTF-8 whose strings read back as the texts given, bytes that are not UTF-8 replaced as
// everywhere else in the game (as the game's decoder reads them).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "script/ScriptEvents.h"
#include "tests/fuzz/FuzzCheck.h"

using orvanta::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> texts = orvanta::fuzz::Split(input, '\0');
  texts.resize(std::max<std::size_t>(texts.size(), 5));

  std::ostringstream out;
  orvanta::script::ScriptEvents events(out);
  events.Say(texts[0], true);
  events.Sound(texts[1], false);
  events.MsgBox(texts[2], texts[3], orvanta::ui::MsgButtons::YesNo, orvanta::ui::MsgIcon::Question);
  events.InputBox(texts[3], texts[4]);
  events.Window(texts[4], texts[0]);
  events.State({std::string(texts[0]), std::string(texts[1]), std::string(texts[2]),
                std::string(texts[3]), std::string(texts[4]), true, false, true,
                std::string(texts[1]), -32768});
  events.Error(texts[2]);
  events.Exit(static_cast<int>(size));

  // Which field of which line carries which text.
  struct Expected {
    std::string_view event, field, text;
  };
  const std::vector<Expected> expected = {
      {"say", "text", texts[0]},          {"sound", "file", texts[1]},
      {"msgbox", "title", texts[2]},      {"msgbox", "text", texts[3]},
      {"inputbox", "title", texts[3]},    {"inputbox", "prompt", texts[4]},
      {"window", "name", texts[4]},       {"window", "action", texts[0]},
      {"state", "txtPuzzle", texts[0]},   {"state", "lblWheel", texts[4]},
      {"state", "UsedLetters", texts[1]}, {"error", "text", texts[2]}};
  std::vector<orvanta::fuzz::JsonFields> lines;
  std::istringstream written(out.str());
  for (std::string line; std::getline(written, line);) {
    auto fields = orvanta::fuzz::ReadJsonLine(line);
    Require(fields.has_value(), "every event is one line of JSON in UTF-8");
    lines.push_back(std::move(*fields));
  }
  Require(lines.size() == 8, "one line per event");
  for (const Expected& e : expected) {
    const auto line = std::find_if(lines.begin(), lines.end(), [&](const auto& fields) {
      return fields.at("event") == e.event;
    });
    Require(line != lines.end(), "every event is written");
    Require(line->at(std::string(e.field)) == orvanta::text::Encode(orvanta::text::Decode(e.text)),
            "a text reads back as it was given, bytes that are not UTF-8 replaced");
  }
  Require(lines.back().at("code") == std::to_string(size), "the exit code is written as given");
  return 0;
}
