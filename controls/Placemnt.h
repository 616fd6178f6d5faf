#pragma once
// The form placement component: remembers its form's position, size, state and focused control
// between runs, in an INI file or in the registry, and lets attached controls store their own
// settings there too (TIniLink). It can hold the form's size fixed or within limits.
//
// Set up as part of a form (marked csLoading, then Loaded), it takes over the form's OnShow,
// OnCloseQuery and OnDestroy: each showing restores, each allowed close saves, and a form destroyed
// after a restore without a save since saves then. Made in code and never loaded, it takes nothing
// over; StorePlacement and LoadPlacement still work when called.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "AppUtils.h"
#include "Classes.h"
#include "Messages.h"
#include "Placement.h"

class TFormPlacement;
class TVxWindowHook;

enum TPlacementOption : unsigned { fpState = 1, fpPosition = 2, fpActiveControl = 4 };
using TPlacementOptions = unsigned;

enum TPlacementRegRoot { prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData };

// Size and position limits; 0 is no limit. A change tells the owning placement.
class TWinMinMaxInfo final : public TPersistent {
 public:
  explicit TWinMinMaxInfo(TFormPlacement* owner = nullptr) : FOwner(owner) {}

  enum TIndex {
    MaxPosLeft,
    MaxPosTop,
    MaxSizeHeight,
    MaxSizeWidth,
    MaxTrackHeight,
    MaxTrackWidth,
    MinTrackHeight,
    MinTrackWidth
  };
  [[nodiscard]] int Get(TIndex index) const;
  void Set(TIndex index, int value);
  [[nodiscard]] bool AllZero() const;
  [[nodiscard]] const MINMAXINFO& Limits() const { return FMinMaxInfo; }

  void Assign(const TPersistent* Source) override;
  [[nodiscard]] AnsiString ClassName() const override { return "TWinMinMaxInfo"; }

 private:
  TFormPlacement* FOwner;
  MINMAXINFO FMinMaxInfo;
};

class TIniLink;
using TIniLinkEvent = std::function<void(TIniLink* Sender)>;

// A control's connection to a placement: OnStore and OnRetrieve run while the placement's storage
// is open for a save or a restore.
class TIniLink final : public TPersistent {
 public:
  TIniLink() = default;
  ~TIniLink() override;
  TIniLink(const TIniLink&) = delete;
  TIniLink& operator=(const TIniLink&) = delete;

  [[nodiscard]] TFormPlacement* Placement() const { return FPlacement; }
  void SetPlacement(TFormPlacement* value);
  // The placement's open storage, or none.
  [[nodiscard]] TStorageObject StorageObject() const;
  // The placement's section as set (never the default one) and "\", or empty.
  [[nodiscard]] AnsiString SectionPrefix() const;

  virtual void DoStore();
  virtual void DoRetrieve();
  [[nodiscard]] AnsiString ClassName() const override { return "TIniLink"; }

  TIniLinkEvent OnStore;
  TIniLinkEvent OnRetrieve;

 private:
  friend class TFormPlacement;
  TFormPlacement* FPlacement = nullptr;
};

class TFormPlacement : public TComponent {
 public:
  // The owner is usually the form to place; the placement goes with it.
  explicit TFormPlacement(QObject* AOwner = nullptr);
  ~TFormPlacement() override;

  // Once the properties are set up as part of a form: takes over the form's events, hooks it if
  // needed.
  void Loaded() override;

  bool Active = true;
  TPlacementOptions Options;
  TPlacementRegRoot RegistryRoot = prCurrentUser;
  bool UseRegistry = false;
  int Version = 0;
  TNotifyEvent OnSavePlacement;
  TNotifyEvent OnRestorePlacement;

  // The INI file name (or registry key); empty means DefaultIniFileName (DefaultRegistryKey).
  [[nodiscard]] AnsiString IniFileName() const;
  void SetIniFileName(const AnsiString& value) { FIniFileName = value; }
  // The section; empty means the owner's DefaultSectionName.
  [[nodiscard]] AnsiString IniSection() const;
  [[nodiscard]] const AnsiString& IniSectionAsSet() const { return FIniSection; }
  void SetIniSection(const AnsiString& value) { FIniSection = value; }
  [[nodiscard]] TWinMinMaxInfo& MinMaxInfo() { return *FMinMaxInfo; }
  void SetMinMaxInfo(const TWinMinMaxInfo& value) { FMinMaxInfo->Assign(&value); }
  [[nodiscard]] bool PreventResize() const { return FPreventResize; }
  void SetPreventResize(bool value);

  void StorePlacement();
  void LoadPlacement();
  virtual AnsiString ReadStr(const AnsiString& section, const AnsiString& key, const AnsiString& defaultValue);
  virtual void WriteStr(const AnsiString& section, const AnsiString& key, const AnsiString& value);
  [[nodiscard]] int ReadInt(const AnsiString& key, int defaultValue);
  void WriteInt(const AnsiString& key, int value);
  [[nodiscard]] TStorageObject StorageObject() const;

  void AttachLink(TIniLink* link);
  void DetachLink(TIniLink* link);

  [[nodiscard]] bool WasSaved() const { return FWasSaved; }
  [[nodiscard]] bool WasRestored() const { return FWasRestored; }
  [[nodiscard]] TVxWindowHook* WindowHook() const { return FWindowHook; }
  // Called by TWinMinMaxInfo.
  void SizeLimitsChanged();

 protected:
  virtual void StoreWindowData();
  virtual void LoadWindowData();
  virtual void FireSavePlacement();
  virtual void FireRestorePlacement();

 private:
  struct TShowHandler;
  struct TCloseQueryHandler;
  struct TDestroyHandler;

  [[nodiscard]] QWidget* OwnerForm() const;
  void TakeOverFormEvents();
  void GiveBackFormEvents();
  void HandleFormShow(QObject* sender);
  void HandleFormCloseQuery(QObject* sender, bool& canClose);
  void HandleFormDestroy(QObject* sender);
  void AfterFormMessage(QObject* sender, TMessage& message, bool& handled);
  void OpenStore(bool forReading);
  void CloseStore();
  void BroadcastToLinks(bool store);
  void UpdateHookNeed();
  void HookOwnerForm();
  void UnhookOwnerForm();
  void ApplyPreventResize();
  void AdjustMaximizedPosition();
  [[nodiscard]] bool HasSizeLimits() const { return !FMinMaxInfo->AllZero(); }

  AnsiString FIniFileName;
  AnsiString FIniSection;
  std::unique_ptr<TIniFile> FOpenIni;
  std::unique_ptr<TRegIniFile> FOpenRegistry;
  std::vector<TIniLink*> FLinkList;
  bool FWasSaved = false;
  bool FWasRestored = false;
  bool FSavingOnDestroy = false;
  bool FPreventResize = false;
  std::unique_ptr<TWinMinMaxInfo> FMinMaxInfo;
  bool FDefaultMaximize = false;
  TVxWindowHook* FWindowHook;
  bool FTookOver = false;
  bool FFormGoing = false;
  TNotifyEvent FSavedOnShow;
  TNotifyEvent FSavedOnDestroy;
  std::function<void(QObject*, bool&)> FSavedOnCloseQuery;
};
