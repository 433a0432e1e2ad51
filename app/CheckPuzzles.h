// CheckPuzzles.h: "orvanta --check-puzzles [DIR]", for the people who write puzzle packs. Reads
// every puzzle file of the folder to its end and prints each problem on a line of its own.
#pragma once

#include <filesystem>
#include <ostream>

namespace orvanta {

// Prints one line per problem ("<file>: item <n>: <what>") and a summary line to `out`, or why the
// folder cannot be checked to `err`. Returns 0 when every file is good, 1 otherwise.
int RunCheckPuzzles(const std::filesystem::path& folder, std::ostream& out, std::ostream& err);

}  // namespace orvanta
