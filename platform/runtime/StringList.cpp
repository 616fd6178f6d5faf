#include "StringList.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "CodePage.h"
#include "Files.h"

struct TStringList::Arena {
  static constexpr std::size_t kBlockSize = 64 * 1024;

  std::string_view Copy(std::string_view s) {
    if (s.empty()) return {};
    if (s.size() > Left) {
      if (s.size() > kBlockSize / 4) return Adopt(s);
      Blocks.push_back(std::make_unique<char[]>(kBlockSize));
      Cursor = Blocks.back().get();
      Left = kBlockSize;
    }
    std::memcpy(Cursor, s.data(), s.size());
    const std::string_view kept(Cursor, s.size());
    Cursor += s.size();
    Left -= s.size();
    return kept;
  }

  // Keeps a block of its own for a large text (a whole file, a long line).
  std::string_view Adopt(std::string_view s) {
    auto block = std::make_unique_for_overwrite<char[]>(s.size());
    if (!s.empty()) std::memcpy(block.get(), s.data(), s.size());  // an empty view may have no data
    Blocks.push_back(std::move(block));
    return {Blocks.back().get(), s.size()};
  }

  std::string_view Adopt(TFileBytes file, std::size_t size) {
    Files.push_back(std::move(file));
    return {Files.back().get(), size};
  }

  std::vector<std::unique_ptr<char[]>> Blocks;
  std::vector<TFileBytes> Files;
  char* Cursor = nullptr;
  std::size_t Left = 0;
};

namespace {

std::uint64_t NewRevision() {
  static std::atomic<std::uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

TStringList::TStringList() : Store(std::make_shared<Arena>()), FRevision(NewRevision()) {}
TStringList::TStringList(const TStringList& other) = default;
TStringList& TStringList::operator=(const TStringList& other) = default;

TStringList::TStringList(TStringList&& other) noexcept
    : Lines(std::move(other.Lines)), Store(std::move(other.Store)), FRevision(other.FRevision) {
  other.Lines.clear();
  other.FRevision = NewRevision();
}

TStringList& TStringList::operator=(TStringList&& other) noexcept {
  if (this == &other) return *this;
  Lines = std::move(other.Lines);
  Store = std::move(other.Store);
  FRevision = other.FRevision;
  other.Lines.clear();
  other.FRevision = NewRevision();
  return *this;
}

TStringList::~TStringList() = default;

void TStringList::Changed() {
  FRevision = NewRevision();
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
}

std::string_view TStringList::Keep(std::string_view s) {
  if (!Store) Store = std::make_shared<Arena>();
  return Store->Copy(s);
}

std::string_view TStringList::Get(int index) const {
  CheckIndex(index);
  return Lines[static_cast<std::size_t>(index)];
}

void TStringList::Put(int index, std::string_view s) {
  CheckIndex(index);
  Lines[static_cast<std::size_t>(index)] = Keep(s);
  Changed();
}

int TStringList::Add(std::string_view s) {
  Lines.push_back(Keep(s));
  Changed();
  return Count() - 1;
}

void TStringList::Insert(int index, std::string_view s) {
  if (index < 0 || index > Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
  Lines.insert(Lines.begin() + index, Keep(s));
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Lines.erase(Lines.begin() + index);
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(Lines[static_cast<std::size_t>(index1)], Lines[static_cast<std::size_t>(index2)]);
  Changed();
}

void TStringList::Reorder(const std::vector<std::size_t>& order) {
  if (order.size() != Lines.size())
    throw EStringListError("List index out of bounds (" + IntToStr(static_cast<std::int64_t>(order.size())) + ")");
  std::vector<std::string_view> reordered;
  reordered.reserve(Lines.size());
  for (std::size_t i : order) reordered.push_back(Lines.at(i));
  Lines = std::move(reordered);
  Changed();
}

void TStringList::Clear() {
  Lines.clear();
  Store = std::make_shared<Arena>();
  Changed();
}

void TStringList::Reserve(int count) {
  Lines.reserve(static_cast<std::size_t>(std::max(count, 0)));
}

int TStringList::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (AnsiCompareText(Lines[static_cast<std::size_t>(i)], s) == 0) return i;
  return -1;
}

void TStringList::Sort() {
  std::vector<std::string_view> sorted;
  sorted.reserve(Lines.size());
  for (std::size_t i : CaselessOrder(Lines)) sorted.push_back(Lines[i]);
  Lines = std::move(sorted);
  Changed();
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
  Changed();  // first: a compare that throws leaves the lines half sorted
  std::stable_sort(Lines.begin(), Lines.end(),
                   [&](std::string_view a, std::string_view b) { return compare(a, b) < 0; });
}

std::size_t TStringList::TextSize() const {
  std::size_t size = 0;
  for (std::string_view line : Lines) size += line.size() + 2;
  return size;
}

AnsiString TStringList::Text() const {
  AnsiString text;
  text.reserve(TextSize());
  for (std::string_view line : Lines) {
    text.append(line);
    text.append("\r\n");
  }
  return text;
}

namespace {

// The first CR, LF or NUL in [p, end), or end.
const char* NextLineEnd(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i nul = _mm_setzero_si128();
  for (; end - p >= 16; p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i found =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)), _mm_cmpeq_epi8(bytes, nul));
    if (const int mask = _mm_movemask_epi8(found)) return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  while (p < end && *p != '\r' && *p != '\n' && *p != '\0') ++p;
  return p;
}

}  // namespace

std::size_t TStringList::SplitIntoLines(std::string_view text) {
  if (text.empty()) return 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  // Room for lines of a typical length up front: growing the array costs more than the scan.
  Lines.reserve(Lines.size() + text.size() / 128 + 16);
  while (p < end) {
    const char* lineEnd = NextLineEnd(p, end);
    if (lineEnd < end && *lineEnd == '\0') {
      // The first NUL ends the text, and with it the line it stands in.
      if (lineEnd > p) Lines.emplace_back(p, static_cast<std::size_t>(lineEnd - p));
      return static_cast<std::size_t>(end - lineEnd);
    }
    Lines.emplace_back(p, static_cast<std::size_t>(lineEnd - p));
    if (lineEnd == end) break;
    p = lineEnd + 1;
    if (*lineEnd == '\r' && p < end && *p == '\n') ++p;
  }
  return 0;
}

std::size_t TStringList::SetText(std::string_view text) {
  // The text may lie in this list's own storage: copy it before letting that go.
  auto store = std::make_shared<Arena>();
  const std::string_view kept = store->Adopt(text);
  Lines.clear();
  Store = std::move(store);
  Changed();
  return SplitIntoLines(kept);
}

std::size_t TStringList::LoadFromFile(const AnsiString& fileName, std::size_t limit) {
  std::size_t size = 0;
  TFileBytes contents = ReadWholeFile(fileName, size, limit);
  Clear();
  return SplitIntoLines(Store->Adopt(std::move(contents), size));
}

void TStringList::SaveToFile(const AnsiString& fileName) const {
  WriteWholeFile(fileName, Text());
}
