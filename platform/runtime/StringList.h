#pragma once
// TStringList over 8-bit strings. The lines are views into an append-only arena shared by copies
// of the list, so a loaded file costs one buffer and one array of views, whatever its line count.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "Files.h"
#include "SysUtils.h"

class TStringList final {
 public:
  using TStringListSortCompare = std::function<int(std::string_view, std::string_view)>;

  TStringList();
  TStringList(const TStringList& other);
  TStringList& operator=(const TStringList& other);
  TStringList(TStringList&&) noexcept;
  TStringList& operator=(TStringList&&) noexcept;
  ~TStringList();

  [[nodiscard]] int Count() const { return static_cast<int>(Lines.size()); }
  // Changes with every change of the lines, by any operation. No two states of any lists share a
  // revision, except a copy and its source: equal revisions mean equal lines.
  [[nodiscard]] std::uint64_t Revision() const { return FRevision; }
  // Raises EStringListError "List index out of bounds (%d)" for a bad index.
  [[nodiscard]] std::string_view Get(int index) const;
  [[nodiscard]] std::string_view operator[](int index) const { return Get(index); }
  [[nodiscard]] AnsiString Strings(int index) const { return AnsiString(Get(index)); }
  void Put(int index, std::string_view s);
  int Add(std::string_view s);
  void Insert(int index, std::string_view s);
  void Delete(int index);
  void Exchange(int index1, int index2);
  // Puts the lines in the given order: line k becomes the former line order[k]. order must hold
  // every index once.
  void Reorder(const std::vector<std::size_t>& order);
  void Clear();
  void Reserve(int count);
  // The first line equal to s with case ignored (locale-aware), or -1.
  [[nodiscard]] int IndexOf(std::string_view s) const;

  // Sorts by the default order: locale-aware with case ignored.
  void Sort();
  void CustomSort(const TStringListSortCompare& compare);

  // Every line followed by CR LF.
  [[nodiscard]] AnsiString Text() const;
  // Splits text into lines: a line ends at CR LF, a lone CR or a lone LF; the first NUL ends the text.
  // Returns the number of bytes from that NUL on, which no line holds (0 when there is none).
  std::size_t SetText(std::string_view text);
  // SetText of a file's bytes. Raises EFOpenError when the file cannot be opened or is no regular
  // file, and EReadError when it cannot be read or is larger than limit.
  std::size_t LoadFromFile(const AnsiString& fileName, std::size_t limit = kReadLimit);
  // Raises EFCreateError when the file cannot be created and EWriteError when a write fails.
  void SaveToFile(const AnsiString& fileName) const;

  [[nodiscard]] auto begin() const { return Lines.cbegin(); }
  [[nodiscard]] auto end() const { return Lines.cend(); }
  // Bytes of Text() without building it.
  [[nodiscard]] std::size_t TextSize() const;

 private:
  struct Arena;
  void CheckIndex(int index) const;
  std::size_t SplitIntoLines(std::string_view text);
  std::string_view Keep(std::string_view s);
  void Changed();

  std::vector<std::string_view> Lines;
  std::shared_ptr<Arena> Store;
  std::uint64_t FRevision;
};
