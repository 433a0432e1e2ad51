// modStringFunc.h: the two word functions the game takes its lines apart with: word N of a text,
// and the text from word N to its end. Used on the player's actions and on puzzle file items.
#pragma once

#include <string>
#include <string_view>

namespace orvanta {

// Word number `WordRequested` (counted from 1) of `InString`, or an empty text when there is none.
// Only the first character of `Delimiter` counts; an empty delimiter stands for a single space.
// A run of delimiters separates two words once; a delimiter at the very start closes an empty
// word 1, and one at the very end leaves an empty last word.
std::string GetWord(std::string_view InString, int WordRequested, std::string_view Delimiter = {});

// `InString` from the first character of word number `WordRequested` to its end, unchanged (later
// delimiters and words included), or an empty text when there is no such word or the number is
// below 1.
std::string GetFromWord(std::string_view InString, int WordRequested,
                        std::string_view Delimiter = {});

}  // namespace orvanta
