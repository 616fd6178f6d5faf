#pragma once
// The class library's abstract string list: texts with an Objects value each. A descendant
// supplies the storage (Get, Count, Insert, Delete, Clear and the Objects values); the generic
// operations here are built on those alone.

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "SysUtils.h"

class TStrings {
 public:
  TStrings() = default;
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;
  virtual ~TStrings() = default;

  [[nodiscard]] virtual int Count() const = 0;
  [[nodiscard]] virtual AnsiString Get(int index) const = 0;
  [[nodiscard]] virtual std::intptr_t GetObject(int /*index*/) const { return 0; }
  virtual void PutObject(int /*index*/, std::intptr_t /*value*/) {}
  // Replaces the text: delete, then insert with the old Objects value.
  virtual void Put(int index, std::string_view s);
  virtual int Add(std::string_view s);
  virtual void Insert(int index, std::string_view s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);

  [[nodiscard]] AnsiString Strings(int index) const { return Get(index); }
  [[nodiscard]] std::intptr_t Objects(int index) const { return GetObject(index); }
  int AddObject(std::string_view s, std::intptr_t object);
  void InsertObject(int index, std::string_view s, std::intptr_t object);
  // The first item equal to s with case ignored (locale-aware), or -1.
  [[nodiscard]] int IndexOf(std::string_view s) const;
  // Clears, then adds every text of the source with its Objects value.
  void Assign(const TStrings& source);
  // Between the two the list may hold back its redrawing; they nest.
  void BeginUpdate();
  void EndUpdate();

 protected:
  virtual void SetUpdateState(bool /*updating*/) {}

 private:
  int FUpdateCount = 0;
};

// A string list in memory with its Objects values.
class TObjectStrings final : public TStrings {
 public:
  TObjectStrings() = default;
  [[nodiscard]] int Count() const override { return static_cast<int>(FItems.size()); }
  [[nodiscard]] AnsiString Get(int index) const override;
  [[nodiscard]] std::intptr_t GetObject(int index) const override;
  void PutObject(int index, std::intptr_t value) override;
  void Insert(int index, std::string_view s) override;
  void Delete(int index) override;
  void Clear() override { FItems.clear(); }

 private:
  void CheckIndex(int index) const;
  std::vector<std::pair<AnsiString, std::intptr_t>> FItems;
};
