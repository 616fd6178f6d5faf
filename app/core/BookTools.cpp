#include "BookTools.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <numeric>
#include <optional>
#include <system_error>
#include <vector>

#include "CardBook.h"
#include "CodePage.h"
#include "Files.h"

namespace {

struct TRun {
  std::size_t Begin;
  std::size_t End;
};

// The distinct values of one field, numbered as they are met (open addressing over their hashes).
class TDistinctValues {
 public:
  explicit TDistinctValues(std::size_t expected) {
    std::size_t size = 16;
    while (size < expected * 2) size *= 2;
    Slots.assign(size, kEmpty);
    Mask = size - 1;
  }
  std::uint32_t Number(std::string_view value) {
    if (Values.size() * 2 >= Slots.size()) Grow();
    std::size_t slot = std::hash<std::string_view>()(value) & Mask;
    while (Slots[slot] != kEmpty) {
      if (Values[Slots[slot]] == value) return Slots[slot];
      slot = (slot + 1) & Mask;
    }
    Slots[slot] = static_cast<std::uint32_t>(Values.size());
    Values.push_back(value);
    return Slots[slot];
  }
  std::vector<std::string_view> Values;

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
  void Grow() {
    std::vector<std::uint32_t> grown(Slots.size() * 2, kEmpty);
    const std::size_t mask = grown.size() - 1;
    for (std::uint32_t number = 0; number < Values.size(); ++number) {
      std::size_t slot = std::hash<std::string_view>()(Values[number]) & mask;
      while (grown[slot] != kEmpty) slot = (slot + 1) & mask;
      grown[slot] = number;
    }
    Slots = std::move(grown);
    Mask = mask;
  }
  std::vector<std::uint32_t> Slots;
  std::size_t Mask = 0;
};

}  // namespace

void SortCards(TStringList& cards) {
  const std::vector<std::string_view> lines(cards.begin(), cards.end());
  const std::size_t count = lines.size();
  if (count < 2) return;
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), std::size_t{0});

  // Orders the runs of lines that agree so far by one field at a time; a run whose lines still
  // agree goes on to the next field. Each field's distinct values are ranked once, so a value
  // shared by many cards costs one sort key. Within a run the lines stand in book order, which
  // breaks the ties, so equal lines keep their order.
  std::vector<TRun> runs{{0, count}};
  std::vector<std::uint32_t> rank(count);
  std::vector<std::uint32_t> cursor(count, 0);  // where each line's current field begins
  std::vector<char> more(count, 1);             // the line has a field at the current level
  std::vector<char> inRun(count, 0);
  std::vector<std::size_t> scratch;
  std::vector<std::uint32_t> tally;
  while (!runs.empty()) {
    // The lines of the runs are read in book order, which walks the memory once.
    std::size_t active = 0;
    for (const TRun& run : runs) {
      active += run.End - run.Begin;
      for (std::size_t k = run.Begin; k < run.End; ++k) inRun[order[k]] = 1;
    }
    TDistinctValues distinct(std::min<std::size_t>(active, 4096));
    for (std::size_t i = 0; i < count; ++i) {
      if (!inRun[i]) continue;
      inRun[i] = 0;
      std::string_view value;
      if (more[i]) {
        const std::string_view rest = lines[i].substr(cursor[i]);
        const void* separator = rest.empty() ? nullptr : std::memchr(rest.data(), kFieldSeparator, rest.size());
        const std::size_t length =
            separator ? static_cast<std::size_t>(static_cast<const char*>(separator) - rest.data()) : rest.size();
        value = rest.substr(0, length);
        cursor[i] += static_cast<std::uint32_t>(std::min(length + 1, rest.size()));
        more[i] = separator && length + 1 < rest.size();
      }
      rank[i] = distinct.Number(value);
    }
    const std::vector<std::uint32_t> valueRanks = CaselessRanks(distinct.Values);
    const std::size_t rankCount = valueRanks.empty() ? 0 : *std::max_element(valueRanks.begin(), valueRanks.end()) + 1;
    std::vector<TRun> next;
    for (const TRun& run : runs) {
      const auto first = order.begin() + static_cast<std::ptrdiff_t>(run.Begin);
      const auto last = order.begin() + static_cast<std::ptrdiff_t>(run.End);
      for (auto it = first; it != last; ++it) rank[*it] = valueRanks[rank[*it]];
      const std::size_t length = run.End - run.Begin;
      if (length > rankCount) {
        // A counting sort, which keeps the book order of equal ranks.
        tally.assign(rankCount + 1, 0);
        for (auto it = first; it != last; ++it) ++tally[rank[*it] + 1];
        for (std::size_t r = 1; r <= rankCount; ++r) tally[r] += tally[r - 1];
        scratch.resize(length);
        for (auto it = first; it != last; ++it) scratch[tally[rank[*it]]++] = *it;
        std::copy(scratch.begin(), scratch.end(), first);
      } else {
        std::sort(first, last,
                  [&](std::size_t a, std::size_t b) { return rank[a] != rank[b] ? rank[a] < rank[b] : a < b; });
      }
      for (std::size_t k = run.Begin; k < run.End;) {
        std::size_t e = k + 1;
        bool further = more[order[k]];
        for (; e < run.End && rank[order[e]] == rank[order[k]]; ++e)
          if (more[order[e]]) further = true;
        if (e - k > 1 && further) next.push_back({k, e});
        k = e;
      }
    }
    runs = std::move(next);
  }
  cards.Reorder(order);
}

namespace {

// True when both names lead to one file (the same name, or links to one file).
bool SameFile(const AnsiString& a, const AnsiString& b) {
  const std::optional<std::filesystem::path> x = ResolveExistingPath(a);
  const std::optional<std::filesystem::path> y = ResolveExistingPath(b);
  if (x && y) {
    std::error_code error;
    if (std::filesystem::equivalent(*x, *y, error)) return true;
  }
  std::error_code error;
  const std::filesystem::path p = std::filesystem::weakly_canonical(ResolvePathForWrite(a), error);
  const std::filesystem::path q = std::filesystem::weakly_canonical(ResolvePathForWrite(b), error);
  return !p.empty() && p == q;
}

}  // namespace

void RefuseBookFiles(const AnsiString& file, const AnsiString& bookFile, const AnsiString& backupFile,
                     std::string_view use) {
  for (const AnsiString& own : {bookFile, backupFile})
    if (!own.empty() && SameFile(file, own))
      throw Exception(
          Format("\"%s\" is the address book's own file, which the program rewrites when it ends. "
                 "Choose another name for the %.*s.",
                 file.c_str(), static_cast<int>(use.size()), use.data()));
}

void WriteBackupFile(const TStringList& cards, const AnsiString& file, const AnsiString& bookFile,
                     const AnsiString& backupFile) {
  RefuseBookFiles(file, bookFile, backupFile, "backup");
  const TOutcome written = ReplaceFileDurably(file, AnsiString(), [&cards](TFileSink& sink) {
    sink.Append(kBookHeader);
    sink.Append("\r\n");
    for (std::string_view line : cards) {
      sink.Append(line);
      sink.Append("\r\n");
    }
  });
  if (!written)
    throw EFCreateError(
        Format("The backup could not be written to \"%s\" (%s).", file.c_str(), written.Error().c_str()));
}

TBackupContents ReadBackupFile(const AnsiString& file) {
  TBackupContents contents;
  contents.Cards.LoadFromFile(file);
  if (contents.Cards.Count() > 0) {
    contents.IsBook = contents.Cards[0] == kBookHeader;
    contents.Cards.Delete(0);
  }
  return contents;
}
