#pragma once
// Generated address books for the benchmarks: varied Latin and Greek (Windows-1253) names,
// addresses, phone numbers, some pictures and notes with "@!" line breaks; about 160 bytes a card.

#include <cstdint>

#include "StringList.h"

// The same count and seed give the same cards.
[[nodiscard]] TStringList GenerateCards(int count, std::uint64_t seed = 1);
// The cards of "cards-N.abk" in $VAB_BENCH_DIR when that file is there (so a script can time
// another tool on the same file), else generated ones; made once per count and kept.
[[nodiscard]] const TStringList& BenchCards(int count);
// Writes the cards as a book file: the header line, then one line per card.
void WriteBookFile(const TStringList& cards, const AnsiString& fileName);
