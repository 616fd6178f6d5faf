#pragma once
// Generated address books for the benchmarks: varied Latin and Greek (Windows-1253) names,
// addresses, phone numbers, some pictures and notes with "@!" line breaks; about 160 bytes a card.

#include <cstdint>

#include "StringList.h"

// The same count and seed give the same cards.
[[nodiscard]] TStringList GenerateCards(int count, std::uint64_t seed = 1);
// Writes the cards as a book file: the header line, then one line per card.
void WriteBookFile(const TStringList& cards, const AnsiString& fileName);
