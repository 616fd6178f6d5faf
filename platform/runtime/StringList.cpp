#include "StringList.h"

#include <algorithm>
#include <cstring>

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

  std::string_view Adopt(std::unique_ptr<char[]> block, std::size_t size) {
    Blocks.push_back(std::move(block));
    return {Blocks.back().get(), size};
  }

  std::vector<std::unique_ptr<char[]>> Blocks;
  char* Cursor = nullptr;
  std::size_t Left = 0;
};

TStringList::TStringList() : Store(std::make_shared<Arena>()) {}
TStringList::TStringList(const TStringList& other) = default;
TStringList& TStringList::operator=(const TStringList& other) = default;
TStringList::TStringList(TStringList&&) noexcept = default;
TStringList& TStringList::operator=(TStringList&&) noexcept = default;
TStringList::~TStringList() = default;

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
}

int TStringList::Add(std::string_view s) {
  Lines.push_back(Keep(s));
  return Count() - 1;
}

void TStringList::Insert(int index, std::string_view s) {
  if (index < 0 || index > Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
  Lines.insert(Lines.begin() + index, Keep(s));
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Lines.erase(Lines.begin() + index);
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(Lines[static_cast<std::size_t>(index1)], Lines[static_cast<std::size_t>(index2)]);
}

void TStringList::Reorder(const std::vector<std::size_t>& order) {
  if (order.size() != Lines.size())
    throw EStringListError("List index out of bounds (" + IntToStr(static_cast<std::int64_t>(order.size())) + ")");
  std::vector<std::string_view> reordered;
  reordered.reserve(Lines.size());
  for (std::size_t i : order) reordered.push_back(Lines.at(i));
  Lines = std::move(reordered);
}

void TStringList::Clear() {
  Lines.clear();
  Store = std::make_shared<Arena>();
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
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
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

void TStringList::SplitIntoLines(std::string_view text) {
  if (text.empty()) return;
  if (const void* nul = std::memchr(text.data(), '\0', text.size()))
    text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
  const char* p = text.data();
  const char* const end = p + text.size();
  // Two forward scans, one for each line-end byte; the nearer one ends the line.
  const char* nextCr = static_cast<const char*>(std::memchr(p, '\r', text.size()));
  const char* nextLf = static_cast<const char*>(std::memchr(p, '\n', text.size()));
  while (p < end) {
    if (nextCr && nextCr < p)
      nextCr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)));
    if (nextLf && nextLf < p)
      nextLf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* lineEnd = end;
    if (nextCr && (!nextLf || nextCr < nextLf))
      lineEnd = nextCr;
    else if (nextLf)
      lineEnd = nextLf;
    Lines.emplace_back(p, static_cast<std::size_t>(lineEnd - p));
    if (lineEnd == end) break;
    p = lineEnd + 1;
    if (*lineEnd == '\r' && p < end && *p == '\n') ++p;
  }
}

void TStringList::SetText(std::string_view text) {
  // The text may lie in this list's own storage: copy it before letting that go.
  auto store = std::make_shared<Arena>();
  const std::string_view kept = store->Adopt(text);
  Lines.clear();
  Store = std::move(store);
  SplitIntoLines(kept);
}

void TStringList::LoadFromFile(const AnsiString& fileName) {
  std::size_t size = 0;
  std::unique_ptr<char[]> contents = ReadWholeFile(fileName, size);
  Clear();
  SplitIntoLines(Store->Adopt(std::move(contents), size));
}

void TStringList::SaveToFile(const AnsiString& fileName) const {
  WriteWholeFile(fileName, Text());
}
