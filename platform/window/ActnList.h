#pragma once
// Actions and action lists: an action carries caption, enabled and checked state, hint and image
// index, runs OnExecute, and tells the controls linked to it when it changes.

#include <QPointer>
#include <vector>

#include "Classes.h"

class TControl;
class TImageList;
class TActionList;

class TBasicAction : public TComponent {
 public:
  explicit TBasicAction(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
  ~TBasicAction() override;
  // Runs OnExecute; false when there is none.
  virtual bool Execute();
  void RegisterChanges(TControl* client);
  void UnRegisterChanges(TControl* client);

  TNotifyEvent OnExecute;

 protected:
  // Tells every linked control that the action changed.
  void Change();

 private:
  std::vector<QPointer<TControl>> FClients;
};

class TCustomAction : public TBasicAction {
 public:
  explicit TCustomAction(TComponent* AOwner = nullptr) : TBasicAction(AOwner) {}

  [[nodiscard]] const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  [[nodiscard]] bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  [[nodiscard]] bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  [[nodiscard]] const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& value);
  [[nodiscard]] int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  [[nodiscard]] TActionList* ActionList() const { return FActionList; }
  void SetActionList(TActionList* list);

 private:
  AnsiString FCaption;
  AnsiString FHint;
  bool FChecked = false;
  bool FEnabled = true;
  int FImageIndex = -1;
  QPointer<TActionList> FActionList;
};

class TAction final : public TCustomAction {
 public:
  using TCustomAction::TCustomAction;
};

class TActionList final : public TComponent {
 public:
  explicit TActionList(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
  [[nodiscard]] TImageList* Images() const;
  void SetImages(TImageList* images);

 private:
  QPointer<TImageList> FImages;
};
