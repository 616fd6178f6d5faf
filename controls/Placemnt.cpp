#include "Placemnt.h"

#include <algorithm>

#include "CodePage.h"
#include "Dialogs.h"
#include "Forms.h"
#include "VxHook.h"
#include "WindowProc.h"

namespace {

int& Limit(MINMAXINFO& info, TWinMinMaxInfo::TIndex index) {
  switch (index) {
    case TWinMinMaxInfo::MaxPosLeft:
      return info.ptMaxPosition.X;
    case TWinMinMaxInfo::MaxPosTop:
      return info.ptMaxPosition.Y;
    case TWinMinMaxInfo::MaxSizeHeight:
      return info.ptMaxSize.Y;
    case TWinMinMaxInfo::MaxSizeWidth:
      return info.ptMaxSize.X;
    case TWinMinMaxInfo::MaxTrackHeight:
      return info.ptMaxTrackSize.Y;
    case TWinMinMaxInfo::MaxTrackWidth:
      return info.ptMaxTrackSize.X;
    case TWinMinMaxInfo::MinTrackHeight:
      return info.ptMinTrackSize.Y;
    case TWinMinMaxInfo::MinTrackWidth:
      break;
  }
  return info.ptMinTrackSize.X;
}

HKEY RootKeyOf(TPlacementRegRoot root) {
  switch (root) {
    case prCurrentUser:
      return HKEY_CURRENT_USER;
    case prLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case prCurrentConfig:
      return HKEY_CURRENT_CONFIG;
    case prClassesRoot:
      return HKEY_CLASSES_ROOT;
    case prUsers:
      return HKEY_USERS;
    case prDynData:
      return HKEY_DYN_DATA;
  }
  return HKEY_CURRENT_USER;
}

}  // namespace

// ---- TWinMinMaxInfo ----

int TWinMinMaxInfo::Get(TIndex index) const {
  return Limit(const_cast<MINMAXINFO&>(FMinMaxInfo), index);
}

void TWinMinMaxInfo::Set(TIndex index, int value) {
  int& limit = Limit(FMinMaxInfo, index);
  if (limit == value) return;
  limit = value;
  if (FOwner) FOwner->SizeLimitsChanged();
}

bool TWinMinMaxInfo::AllZero() const {
  for (int i = MaxPosLeft; i <= MinTrackWidth; ++i)
    if (Get(static_cast<TIndex>(i)) != 0) return false;
  return true;
}

void TWinMinMaxInfo::Assign(const TPersistent* Source) {
  if (const auto* other = dynamic_cast<const TWinMinMaxInfo*>(Source)) {
    FMinMaxInfo = other->FMinMaxInfo;
    if (FOwner) FOwner->SizeLimitsChanged();
    return;
  }
  TPersistent::Assign(Source);
}

// ---- TIniLink ----

TIniLink::~TIniLink() {
  OnStore = nullptr;
  OnRetrieve = nullptr;
  SetPlacement(nullptr);
}

void TIniLink::SetPlacement(TFormPlacement* value) {
  if (value == FPlacement) return;
  if (FPlacement) FPlacement->DetachLink(this);
  if (value) value->AttachLink(this);
}

TStorageObject TIniLink::StorageObject() const {
  return FPlacement ? FPlacement->StorageObject() : TStorageObject{};
}

AnsiString TIniLink::SectionPrefix() const {
  if (!FPlacement || FPlacement->IniSectionAsSet().empty()) return {};
  return FPlacement->IniSectionAsSet() + "\\";
}

void TIniLink::DoStore() {
  if (OnStore) OnStore(this);
}

void TIniLink::DoRetrieve() {
  if (OnRetrieve) OnRetrieve(this);
}

// ---- TFormPlacement ----

struct TFormPlacement::TShowHandler {
  TFormPlacement* Self;
  void operator()(QObject* sender) const { Self->HandleFormShow(sender); }
};
struct TFormPlacement::TCloseQueryHandler {
  TFormPlacement* Self;
  void operator()(QObject* sender, bool& canClose) const { Self->HandleFormCloseQuery(sender, canClose); }
};
struct TFormPlacement::TDestroyHandler {
  TFormPlacement* Self;
  void operator()(QObject* sender) const { Self->HandleFormDestroy(sender); }
};

TFormPlacement::TFormPlacement(QObject* AOwner)
    : TComponent(dynamic_cast<TComponent*>(AOwner)),
      Options(dynamic_cast<TForm*>(AOwner) ? fpState | fpPosition : 0),
      FMinMaxInfo(std::make_unique<TWinMinMaxInfo>(this)),
      FWindowHook(new TVxWindowHook(this)) {
  if (!parent()) setParent(AOwner);
  FWindowHook->AfterMessage = [this](QObject* sender, TMessage& message, bool& handled) {
    AfterFormMessage(sender, message, handled);
  };
}

TFormPlacement::~TFormPlacement() {
  CloseStore();
  while (!FLinkList.empty()) DetachLink(FLinkList.back());
  if (!HasState(csDesigning)) {
    UnhookOwnerForm();
    GiveBackFormEvents();
  }
  delete FWindowHook;  // before the limits it looks at
  FWindowHook = nullptr;
}

QWidget* TFormPlacement::OwnerForm() const {
  // A form that is going (its OnDestroy has run) is left alone.
  if (FFormGoing || !parent() || parent()->property("vabFormGoing").toBool()) return nullptr;
  return dynamic_cast<TForm*>(parent());
}

void TFormPlacement::Loaded() {
  const bool wasLoading = HasState(csLoading);
  TComponent::Loaded();
  if (HasState(csDesigning)) return;
  if (wasLoading) TakeOverFormEvents();
  UpdateHookNeed();
}

AnsiString TFormPlacement::IniFileName() const {
  if (!FIniFileName.empty() || HasState(csDesigning)) return FIniFileName;
  return UseRegistry ? DefaultRegistryKey() : DefaultIniFileName();
}

AnsiString TFormPlacement::IniSection() const {
  if (!FIniSection.empty() || HasState(csDesigning)) return FIniSection;
  return DefaultSectionName(parent());
}

void TFormPlacement::SetPreventResize(bool value) {
  if (!OwnerForm() || value == FPreventResize) return;
  FPreventResize = value;
  AdjustMaximizedPosition();
  ApplyPreventResize();
}

void TFormPlacement::TakeOverFormEvents() {
  auto* form = dynamic_cast<TForm*>(OwnerForm());
  if (!form) return;
  FSavedOnShow = form->OnShow;
  FSavedOnCloseQuery = form->OnCloseQuery;
  FSavedOnDestroy = form->OnDestroy;
  form->OnShow = TShowHandler{this};
  form->OnCloseQuery = TCloseQueryHandler{this};
  form->OnDestroy = TDestroyHandler{this};
  FTookOver = true;
  FDefaultMaximize = HasBorderIcon(form, biMaximize);
  if (FPreventResize) ApplyPreventResize();
}

void TFormPlacement::GiveBackFormEvents() {
  auto* form = dynamic_cast<TForm*>(OwnerForm());
  if (!form || !FTookOver) return;
  // Only what was taken over, and only where our handler is still in place.
  const auto ours = [this](const auto* handler) { return handler && handler->Self == this; };
  if (ours(form->OnShow.target<TShowHandler>())) form->OnShow = FSavedOnShow;
  if (ours(form->OnCloseQuery.target<TCloseQueryHandler>())) form->OnCloseQuery = FSavedOnCloseQuery;
  if (ours(form->OnDestroy.target<TDestroyHandler>())) form->OnDestroy = FSavedOnDestroy;
  FTookOver = false;
}

void TFormPlacement::HandleFormShow(QObject* sender) {
  if (Active) CallHandlingExceptions([this] { LoadPlacement(); });
  if (const TNotifyEvent handler = FSavedOnShow) handler(sender);
}

void TFormPlacement::HandleFormCloseQuery(QObject* sender, bool& canClose) {
  if (const auto handler = FSavedOnCloseQuery) handler(sender, canClose);
  if (canClose && Active && OwnerForm() && HandleAllocated(OwnerForm()))
    CallHandlingExceptions([this] { StorePlacement(); });
}

void TFormPlacement::HandleFormDestroy(QObject* sender) {
  if (Active && !FWasSaved) {
    FSavingOnDestroy = true;
    CallHandlingExceptions([this] { StorePlacement(); });
    FSavingOnDestroy = false;
  }
  // The form is going: from here on nothing of it is touched.
  const TNotifyEvent handler = FSavedOnDestroy;
  UnhookOwnerForm();
  FFormGoing = true;
  if (handler) handler(sender);
}

void TFormPlacement::StorePlacement() {
  if (!FWasRestored && Active) return;
  OpenStore(false);
  try {
    WriteInt("FormVersion", Version);
    StoreWindowData();
    FireSavePlacement();
    FWasSaved = true;
  } catch (...) {
    CloseStore();
    throw;
  }
  CloseStore();
}

void TFormPlacement::StoreWindowData() {
  if (QWidget* form = OwnerForm()) {
    const TStorageObject storage = StorageObject();
    if (Options & (fpState | fpPosition)) {
      WriteWindowPlacement(form, storage, IniSection());
      if (auto* reg = std::get_if<TRegIniFile*>(&storage))
        (*reg)->WriteBool(IniSection(), "Visible", FSavingOnDestroy);
      else if (auto* ini = std::get_if<TIniFile*>(&storage))
        (*ini)->WriteBool(IniSection(), "Visible", FSavingOnDestroy);
    }
    const QWidget* active = form->focusWidget();
    if ((Options & fpActiveControl) && active && active != form) {
      const AnsiString name = QStringToAnsi(active->objectName()).value_or("");
      if (auto* reg = std::get_if<TRegIniFile*>(&storage))
        (*reg)->WriteString(IniSection(), "ActiveControl", name);
      else if (auto* ini = std::get_if<TIniFile*>(&storage))
        (*ini)->WriteString(IniSection(), "ActiveControl", name);
    }
  }
  BroadcastToLinks(true);
}

void TFormPlacement::LoadPlacement() {
  FWasSaved = false;
  OpenStore(true);
  try {
    if (ReadInt("FormVersion", 0) >= Version) {
      LoadWindowData();
      FWasRestored = true;
      FireRestorePlacement();
      if (QWidget* form = OwnerForm(); form && (Options & fpActiveControl)) {
        const AnsiString name = StorageReadString(StorageObject(), IniSection(), "ActiveControl", "");
        QWidget* control = name.empty() ? nullptr : form->findChild<QWidget*>(AnsiToQString(name));
        if (control && control->isEnabled() && control->focusPolicy() != Qt::NoFocus) control->setFocus();
      }
    }
    FWasRestored = true;
  } catch (...) {
    CloseStore();
    throw;
  }
  CloseStore();
  AdjustMaximizedPosition();
}

void TFormPlacement::LoadWindowData() {
  if (QWidget* form = OwnerForm())
    ReadWindowPlacement(form, StorageObject(), IniSection(), (Options & fpState) != 0, (Options & fpPosition) != 0);
  BroadcastToLinks(false);
}

void TFormPlacement::FireSavePlacement() {
  if (OnSavePlacement) OnSavePlacement(this);
}

void TFormPlacement::FireRestorePlacement() {
  if (OnRestorePlacement) OnRestorePlacement(this);
}

void TFormPlacement::OpenStore(bool forReading) {
  if (FOpenIni || FOpenRegistry) return;
  if (!UseRegistry) {
    FOpenIni = std::make_unique<TIniFile>(IniFileName());
    return;
  }
  FOpenRegistry = std::make_unique<TRegIniFile>(IniFileName());
  if (forReading) FOpenRegistry->Access = KEY_READ;
  if (RegistryRoot != prCurrentUser) {
    FOpenRegistry->SetRootKey(RootKeyOf(RegistryRoot));
    FOpenRegistry->OpenKey(IniFileName(), !forReading);
  }
}

void TFormPlacement::CloseStore() {
  FOpenIni.reset();
  FOpenRegistry.reset();
}

TStorageObject TFormPlacement::StorageObject() const {
  if (UseRegistry) return FOpenRegistry ? TStorageObject{FOpenRegistry.get()} : TStorageObject{};
  return FOpenIni ? TStorageObject{FOpenIni.get()} : TStorageObject{};
}

AnsiString TFormPlacement::ReadStr(const AnsiString& section, const AnsiString& key, const AnsiString& defaultValue) {
  const bool opened = !FOpenIni && !FOpenRegistry;
  if (opened) OpenStore(true);
  try {
    AnsiString value = StorageReadString(StorageObject(), section, key, defaultValue);
    if (opened) CloseStore();
    return value;
  } catch (...) {
    if (opened) CloseStore();
    throw;
  }
}

void TFormPlacement::WriteStr(const AnsiString& section, const AnsiString& key, const AnsiString& value) {
  const bool opened = !FOpenIni && !FOpenRegistry;
  if (opened) OpenStore(false);
  try {
    StorageWriteString(StorageObject(), section, key, value);
  } catch (...) {
    if (opened) CloseStore();
    throw;
  }
  if (opened) CloseStore();
}

int TFormPlacement::ReadInt(const AnsiString& key, int defaultValue) {
  const bool opened = !FOpenIni && !FOpenRegistry;
  if (opened) OpenStore(true);
  try {
    const int value = StorageReadInteger(StorageObject(), IniSection(), key, defaultValue);
    if (opened) CloseStore();
    return value;
  } catch (...) {
    if (opened) CloseStore();
    throw;
  }
}

void TFormPlacement::WriteInt(const AnsiString& key, int value) {
  const bool opened = !FOpenIni && !FOpenRegistry;
  if (opened) OpenStore(false);
  try {
    StorageWriteInteger(StorageObject(), IniSection(), key, value);
  } catch (...) {
    if (opened) CloseStore();
    throw;
  }
  if (opened) CloseStore();
}

void TFormPlacement::AttachLink(TIniLink* link) {
  FLinkList.push_back(link);
  link->FPlacement = this;
}

void TFormPlacement::DetachLink(TIniLink* link) {
  link->FPlacement = nullptr;
  std::erase(FLinkList, link);
}

void TFormPlacement::BroadcastToLinks(bool store) {
  const std::vector<TIniLink*> links = FLinkList;
  for (TIniLink* link : links) {
    if (store)
      link->DoStore();
    else
      link->DoRetrieve();
  }
}

void TFormPlacement::AfterFormMessage(QObject*, TMessage& message, bool&) {
  QWidget* form = OwnerForm();
  if (FPreventResize && form) {
    switch (message.Msg) {
      case WM_GETMINMAXINFO:
        if (HandleAllocated(form) && form->isVisible()) {
          auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
          const TRect bounds = WindowBounds(form);
          info->ptMinTrackSize = info->ptMaxTrackSize = {bounds.Width(), bounds.Height()};
          message.Result = 1;
        }
        break;
      case WM_NCHITTEST:
        if (message.Result >= HTLEFT && message.Result <= HTBOTTOMRIGHT) message.Result = 0;
        break;
      case WM_INITMENUPOPUP:
        // The window manager keeps the window menu; a fixed size leaves its Size and Maximize idle.
        if ((static_cast<std::uint32_t>(message.LParam) >> 16) != 0) message.Result = 1;
        break;
      default:
        break;
    }
    return;
  }
  if (message.Msg != WM_GETMINMAXINFO) return;
  auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
  if (HasSizeLimits()) {
    const MINMAXINFO& limits = FMinMaxInfo->Limits();
    const auto copy = [](int from, int& to) {
      if (from != 0) to = from;
    };
    copy(limits.ptMinTrackSize.X, info->ptMinTrackSize.X);
    copy(limits.ptMinTrackSize.Y, info->ptMinTrackSize.Y);
    copy(limits.ptMaxTrackSize.X, info->ptMaxTrackSize.X);
    copy(limits.ptMaxTrackSize.Y, info->ptMaxTrackSize.Y);
    copy(limits.ptMaxSize.X, info->ptMaxSize.X);
    copy(limits.ptMaxSize.Y, info->ptMaxSize.Y);
    copy(limits.ptMaxPosition.X, info->ptMaxPosition.X);
    copy(limits.ptMaxPosition.Y, info->ptMaxPosition.Y);
  } else {
    info->ptMaxPosition = {0, 0};
  }
  message.Result = 1;
}

void TFormPlacement::UpdateHookNeed() {
  if (HasSizeLimits() || FPreventResize)
    HookOwnerForm();
  else
    UnhookOwnerForm();
  // The window takes its new limits at once, not at its next sizing.
  if (QWidget* form = OwnerForm(); form && form->isVisible()) QueryWindowLimits(form);
}

void TFormPlacement::HookOwnerForm() {
  if (HasState(csDesigning)) return;
  if (QWidget* form = OwnerForm()) FWindowHook->SetWinControl(form);
}

void TFormPlacement::UnhookOwnerForm() {
  if (FWindowHook) FWindowHook->SetWinControl(nullptr);
}

void TFormPlacement::SizeLimitsChanged() {
  AdjustMaximizedPosition();
  if (!HasState(csLoading)) UpdateHookNeed();
}

void TFormPlacement::ApplyPreventResize() {
  QWidget* form = OwnerForm();
  if (HasState(csDesigning) || !form) return;
  if (FPreventResize) FDefaultMaximize = HasBorderIcon(form, biMaximize);
  const bool wasActive = Active;
  Active = false;
  try {
    SetBorderIcon(form, biMaximize, !FPreventResize && FDefaultMaximize && FormBorderStyle(form) != bsDialog);
  } catch (...) {
    Active = wasActive;
    throw;
  }
  Active = wasActive;
  if (!HasState(csLoading)) UpdateHookNeed();
}

void TFormPlacement::AdjustMaximizedPosition() {
  QWidget* form = OwnerForm();
  if (!form || !HandleAllocated(form) || HasState(csLoading) || FPreventResize || HasSizeLimits()) return;
  WINDOWPLACEMENT placement;
  placement.length = sizeof(WINDOWPLACEMENT);
  GetWindowPlacement(form, &placement);
  if (!IsWindowVisible(form)) placement.showCmd = SW_HIDE;
  switch (FormBorderStyle(form)) {
    case bsNone:
      placement.ptMaxPosition = {0, 0};
      break;
    case bsSingle:
    case bsToolWindow:
      placement.ptMaxPosition = {-GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER)};
      break;
    case bsSizeable:
    case bsSizeToolWin:
      placement.ptMaxPosition = {-GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME)};
      break;
    case bsDialog:
      placement.ptMaxPosition = {-GetSystemMetrics(SM_CXDLGFRAME), -GetSystemMetrics(SM_CYDLGFRAME)};
      break;
  }
  SetWindowPlacement(form, &placement);
}
