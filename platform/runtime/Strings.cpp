#include "Strings.h"

#include "CodePage.h"

void TStrings::Put(int index, std::string_view s) {
  const std::intptr_t object = GetObject(index);
  Delete(index);
  InsertObject(index, s, object);
}

int TStrings::Add(std::string_view s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

void TStrings::Exchange(int index1, int index2) {
  const std::intptr_t object = GetObject(index1);
  const AnsiString text = Get(index1);
  PutObject(index1, GetObject(index2));
  Put(index1, Get(index2));
  PutObject(index2, object);
  Put(index2, text);
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  BeginUpdate();
  try {
    const AnsiString text = Get(curIndex);
    const std::intptr_t object = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, text, object);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TStrings::AddObject(std::string_view s, std::intptr_t object) {
  const int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, std::string_view s, std::intptr_t object) {
  Insert(index, s);
  PutObject(index, object);
}

int TStrings::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i)
    if (AnsiCompareText(Get(i), s) == 0) return i;
  return -1;
}

void TStrings::Assign(const TStrings& source) {
  if (&source == this) return;
  BeginUpdate();
  try {
    Clear();
    for (int i = 0; i < source.Count(); ++i) AddObject(source.Get(i), source.GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::BeginUpdate() {
  if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TObjectStrings::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
}

AnsiString TObjectStrings::Get(int index) const {
  CheckIndex(index);
  return FItems[static_cast<std::size_t>(index)].first;
}

std::intptr_t TObjectStrings::GetObject(int index) const {
  CheckIndex(index);
  return FItems[static_cast<std::size_t>(index)].second;
}

void TObjectStrings::PutObject(int index, std::intptr_t value) {
  CheckIndex(index);
  FItems[static_cast<std::size_t>(index)].second = value;
}

void TObjectStrings::Insert(int index, std::string_view s) {
  if (index < 0 || index > Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
  FItems.emplace(FItems.begin() + index, AnsiString(s), 0);
}

void TObjectStrings::Delete(int index) {
  CheckIndex(index);
  FItems.erase(FItems.begin() + index);
}
