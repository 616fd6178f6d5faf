// The check list box's item states in a form placement's storage.

#include "CodePage.h"
#include "Placemnt.h"
#include "VXCtrls.h"

void TVxCheckListBox::CreateIniLink() {
  FIniLink = std::make_unique<TIniLink>();
  FIniLink->OnStore = [this](TIniLink*) { IniSave(); };
  FIniLink->OnRetrieve = [this](TIniLink*) { IniLoad(); };
}

TFormPlacement* TVxCheckListBox::IniStorage() const {
  return FIniLink->Placement();
}

void TVxCheckListBox::SetIniStorage(TFormPlacement* Value) {
  FIniLink->SetPlacement(Value);
}

void TVxCheckListBox::IniSave() {
  const TStorageObject storage = FIniLink->StorageObject();
  if (objectName().isEmpty() || std::holds_alternative<std::monostate>(storage)) return;
  SaveStatesToStorage(storage, FIniLink->SectionPrefix() + DefaultSectionName(this));
}

void TVxCheckListBox::IniLoad() {
  const TStorageObject storage = FIniLink->StorageObject();
  if (objectName().isEmpty() || std::holds_alternative<std::monostate>(storage)) return;
  LoadStatesFromStorage(storage, FIniLink->SectionPrefix() + DefaultSectionName(this));
}

void TVxCheckListBox::SaveStatesToStorage(TStorageObject Storage, const AnsiString& Section) {
  StorageEraseSection(Storage, Section);
  const int count = Items().Count();
  StorageWriteInteger(Storage, Section, "Count", count);
  for (int i = 0; i < count; ++i) StorageWriteInteger(Storage, Section, "Item" + IntToStr(i), GetItemState(i));
}

void TVxCheckListBox::LoadStatesFromStorage(TStorageObject Storage, const AnsiString& Section) {
  const int count = std::min(StorageReadInteger(Storage, Section, "Count", 0), Items().Count());
  const auto stored = [&](int i) {
    const int value = StorageReadInteger(Storage, Section, "Item" + IntToStr(i), cbUnchecked);
    return value >= cbUnchecked && value <= cbGrayed ? static_cast<TCheckBoxState>(value) : cbUnchecked;
  };
  if (CheckKind() == ckRadioButtons) {
    // One item is checked: the first one stored as checked. Unchecking the others one by one would
    // stop at the item checked now, which a radio list never lets go of.
    for (int i = 0; i < count; ++i)
      if (stored(i) == cbChecked) {
        SetItemState(i, cbChecked);
        break;
      }
    return;
  }
  for (int i = 0; i < count; ++i) SetItemState(i, stored(i));
}
