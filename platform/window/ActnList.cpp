#include "ActnList.h"

#include <algorithm>

#include "Controls.h"
#include "Graphics.h"

TBasicAction::~TBasicAction() {
  for (const QPointer<TControl>& client : std::vector<QPointer<TControl>>(FClients))
    if (client) client->SetAction(nullptr);
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

void TBasicAction::RegisterChanges(TControl* client) {
  if (std::find(FClients.begin(), FClients.end(), client) == FClients.end()) FClients.emplace_back(client);
}

void TBasicAction::UnRegisterChanges(TControl* client) {
  std::erase_if(FClients, [client](const QPointer<TControl>& c) { return !c || c == client; });
}

void TBasicAction::Change() {
  for (const QPointer<TControl>& client : std::vector<QPointer<TControl>>(FClients))
    if (client) client->ActionChange(this, false);
}

void TCustomAction::SetCaption(const AnsiString& value) {
  if (value == FCaption) return;
  FCaption = value;
  Change();
}

void TCustomAction::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  Change();
}

void TCustomAction::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  Change();
}

void TCustomAction::SetHint(const AnsiString& value) {
  if (value == FHint) return;
  FHint = value;
  Change();
}

void TCustomAction::SetImageIndex(int value) {
  if (value == FImageIndex) return;
  FImageIndex = value;
  Change();
}

void TCustomAction::SetActionList(TActionList* list) {
  if (list == FActionList) return;
  FActionList = list;
  Change();
}

TImageList* TActionList::Images() const {
  return FImages;
}

void TActionList::SetImages(TImageList* images) {
  FImages = images;
}
