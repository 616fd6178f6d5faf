// Writes a generated book file:  vab_generate_book COUNT FILE [SEED]

#include <cstdio>
#include <cstdlib>

#include "BookGenerator.h"

int main(int argc, char** argv) {
  if (argc < 3 || std::atoi(argv[1]) < 0) {
    std::fprintf(stderr, "usage: %s COUNT FILE [SEED]\n", argv[0]);
    return 2;
  }
  const std::uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
  try {
    WriteBookFile(GenerateCards(std::atoi(argv[1]), seed), argv[2]);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
