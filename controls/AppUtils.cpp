#include "AppUtils.h"

#include <cxxabi.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdlib>
#include <memory>

#include "Application.h"
#include "CodePage.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Messages.h"
#include "Placement.h"
#include "WindowProc.h"

std::function<AnsiString()> DefaultIniNameFunc;
bool UseApplicationTitle = false;
AnsiString RegistrySubKey;

namespace {

bool IsDelimiter(char c, std::string_view delimiters) {
  return delimiters.find(c) != std::string_view::npos;
}

AnsiString ProgramBaseName() {
  return QStringToAnsi(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()).value_or("program");
}

AnsiString NameOf(const QObject* object) {
  if (const auto* component = dynamic_cast<const TComponent*>(object)) return component->Name;
  return QStringToAnsi(object->objectName()).value_or("");
}

bool IsForm(const QObject* object) {
  return dynamic_cast<const TForm*>(object) != nullptr;
}

// A value with the same quote at both ends would lose them when read back.
AnsiString Protected(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return "\"" + AnsiString(value) + "\"";
  return AnsiString(value);
}

// StrToIntDef of a word: 0 for a word that is missing or not a number.
int WordNumber(int n, std::string_view text, int defaultValue) {
  const AnsiString word = NthWord(n, text, " ,");
  if (word.empty()) return defaultValue;
  char* end = nullptr;
  const long value = std::strtol(word.c_str(), &end, 10);
  if (*end != '\0' || value < INT32_MIN || value > INT32_MAX) return defaultValue;
  return static_cast<int>(value);
}

bool OnSomeScreen(const TRect& r, const TScreenInfo& screen) {
  if (screen.Monitors.empty()) return true;
  for (const TRect& m : screen.Monitors)
    if (r.Left < m.Right && m.Left < r.Right && r.Top < m.Bottom && m.Top < r.Bottom) return true;
  return false;
}

}  // namespace

int WordStartIndex(int n, std::string_view text, std::string_view delimiters) {
  const auto size = static_cast<int>(text.size());
  int p = 1;
  int count = 0;
  while (p <= size && count != n) {
    while (p <= size && IsDelimiter(text[static_cast<std::size_t>(p - 1)], delimiters)) ++p;
    if (p <= size) ++count;
    if (count == n) return n > 0 ? p : 0;
    while (p <= size && !IsDelimiter(text[static_cast<std::size_t>(p - 1)], delimiters)) ++p;
  }
  return 0;
}

AnsiString NthWord(int n, std::string_view text, std::string_view delimiters) {
  const int start = WordStartIndex(n, text, delimiters);
  if (start == 0) return {};
  std::size_t end = static_cast<std::size_t>(start - 1);
  while (end < text.size() && !IsDelimiter(text[end], delimiters)) ++end;
  return AnsiString(text.substr(static_cast<std::size_t>(start - 1), end - static_cast<std::size_t>(start - 1)));
}

AnsiString DefaultIniFileName() {
  if (DefaultIniNameFunc) return DefaultIniNameFunc();
  return ProgramBaseName() + ".INI";
}

AnsiString DefaultRegistryKey() {
  AnsiString name = UseApplicationTitle && !ApplicationTitle().empty() ? ApplicationTitle() : ProgramBaseName();
  if (!RegistrySubKey.empty()) name = RegistrySubKey + "\\" + name;
  return "Software\\" + name;
}

AnsiString ClassNameOf(const QObject* object) {
  const char* mangled = typeid(*object).name();
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                         &std::free);
  AnsiString text = status == 0 && name ? AnsiString(name.get()) : AnsiString(mangled);
  if (const std::size_t colons = text.rfind("::"); colons != AnsiString::npos) text.erase(0, colons + 2);
  return text;
}

AnsiString DefaultSectionName(const QObject* component) {
  if (!component) return {};
  if (IsForm(component)) return ClassNameOf(component);
  const AnsiString name = NameOf(component);
  if (const auto* control = qobject_cast<const QWidget*>(component)) {
    if (const TForm* form = GetParentForm(const_cast<QWidget*>(control))) return ClassNameOf(form) + name;
    if (const QWidget* parent = control->parentWidget()) return NameOf(parent) + name;
    return name;
  }
  if (const QObject* owner = component->parent(); owner && IsForm(owner)) return ClassNameOf(owner) + "." + name;
  return name;
}

AnsiString StorageReadString(TStorageObject storage, std::string_view section, std::string_view key,
                             std::string_view defaultValue) {
  if (auto* reg = std::get_if<TRegIniFile*>(&storage); reg && *reg)
    return (*reg)->ReadString(section, key, defaultValue);
  if (auto* ini = std::get_if<TIniFile*>(&storage); ini && *ini) return (*ini)->ReadString(section, key, defaultValue);
  return AnsiString(defaultValue);
}

void StorageWriteString(TStorageObject storage, std::string_view section, std::string_view key,
                        std::string_view value) {
  if (auto* reg = std::get_if<TRegIniFile*>(&storage); reg && *reg)
    (*reg)->WriteString(section, key, value);
  else if (auto* ini = std::get_if<TIniFile*>(&storage); ini && *ini)
    (*ini)->WriteString(section, key, Protected(value));
}

int StorageReadInteger(TStorageObject storage, std::string_view section, std::string_view key, int defaultValue) {
  if (auto* reg = std::get_if<TRegIniFile*>(&storage); reg && *reg)
    return (*reg)->ReadInteger(section, key, defaultValue);
  if (auto* ini = std::get_if<TIniFile*>(&storage); ini && *ini) return (*ini)->ReadInteger(section, key, defaultValue);
  return defaultValue;
}

void StorageWriteInteger(TStorageObject storage, std::string_view section, std::string_view key, int value) {
  if (auto* reg = std::get_if<TRegIniFile*>(&storage); reg && *reg)
    (*reg)->WriteInteger(section, key, value);
  else if (auto* ini = std::get_if<TIniFile*>(&storage); ini && *ini)
    (*ini)->WriteInteger(section, key, value);
}

void StorageEraseSection(TStorageObject storage, std::string_view section) {
  if (auto* reg = std::get_if<TRegIniFile*>(&storage); reg && *reg)
    (*reg)->EraseSection(section);
  else if (auto* ini = std::get_if<TIniFile*>(&storage); ini && *ini)
    (*ini)->EraseSection(section);
}

AnsiString ScreenSizeSuffix() {
  return Format("(%dx%d)", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

AnsiString ReadScreenString(TStorageObject storage, std::string_view section, std::string_view key) {
  AnsiString value = StorageReadString(storage, section, AnsiString(key) + ScreenSizeSuffix(), "");
  if (value.empty()) value = StorageReadString(storage, section, key, "");
  return value;
}

void WriteScreenString(TStorageObject storage, std::string_view section, std::string_view key, std::string_view value) {
  StorageWriteString(storage, section, AnsiString(key) + ScreenSizeSuffix(), value);
  StorageWriteString(storage, section, key, value);
}

void WriteWindowPlacement(QWidget* form, TStorageObject storage, std::string_view section) {
  HandleNeeded(form);
  WINDOWPLACEMENT placement;
  placement.length = sizeof(WINDOWPLACEMENT);
  GetWindowPlacement(form, &placement);
  if (form == ApplicationMainForm() && IsIconic(form)) placement.showCmd = SW_SHOWMINIMIZED;
  StorageWriteInteger(storage, section, "Flags", static_cast<int>(placement.flags));
  StorageWriteInteger(storage, section, "ShowCmd", static_cast<int>(placement.showCmd));
  StorageWriteInteger(storage, section, "PixelsPerInch", ScreenInfo().PixelsPerInch);
  WriteScreenString(storage, section, "MinMaxPos",
                    Format("%d,%d,%d,%d", placement.ptMinPosition.X, placement.ptMinPosition.Y,
                           placement.ptMaxPosition.X, placement.ptMaxPosition.Y));
  const TRect& r = placement.rcNormalPosition;
  WriteScreenString(storage, section, "NormPos", Format("%d,%d,%d,%d", r.Left, r.Top, r.Right, r.Bottom));
}

void ReadWindowPlacement(QWidget* form, TStorageObject storage, std::string_view section, bool loadState,
                         bool loadPosition) {
  if (!loadState && !loadPosition) return;
  WINDOWPLACEMENT placement;
  placement.length = sizeof(WINDOWPLACEMENT);
  GetWindowPlacement(form, &placement);
  if (!IsWindowVisible(form)) placement.showCmd = SW_HIDE;
  const TScreenInfo screen = ScreenInfo();
  if (loadPosition) {
    bool found = false;
    placement.flags =
        static_cast<unsigned>(StorageReadInteger(storage, section, "Flags", static_cast<int>(placement.flags)));
    const AnsiString minMax = ReadScreenString(storage, section, "MinMaxPos");
    if (!minMax.empty()) {
      found = true;
      placement.ptMinPosition = {WordNumber(1, minMax, 0), WordNumber(2, minMax, 0)};
      placement.ptMaxPosition = {WordNumber(3, minMax, 0), WordNumber(4, minMax, 0)};
    }
    const AnsiString normal = ReadScreenString(storage, section, "NormPos");
    if (!normal.empty()) {
      found = true;
      const TRect bounds = WindowBounds(form);
      placement.rcNormalPosition = {WordNumber(1, normal, bounds.Left), WordNumber(2, normal, bounds.Top),
                                    WordNumber(3, normal, bounds.Right), WordNumber(4, normal, bounds.Bottom)};
    }
    if (StorageReadInteger(storage, section, "PixelsPerInch", screen.PixelsPerInch) != screen.PixelsPerInch)
      found = false;
    if (found) {
      TRect& r = placement.rcNormalPosition;
      const TBorderStyle border = FormBorderStyle(form);
      if (border != bsSizeable && border != bsSizeToolWin) {
        const TRect bounds = WindowBounds(form);
        r = {r.Left, r.Top, r.Left + bounds.Width(), r.Top + bounds.Height()};
      }
      // An empty rectangle, or one no screen shows, would lose the window.
      if (r.Right > r.Left && r.Bottom > r.Top && OnSomeScreen(r, screen)) {
        if (FormPosition(form) == poScreenCenter || FormPosition(form) == poDesktopCenter)
          SetFormPosition(form, poDesigned);
        SetWindowPlacement(form, &placement);
      }
    }
  }
  if (loadState) {
    QWidget* mainForm = ApplicationMainForm();
    const bool mainOrNone = !mainForm || form == mainForm;
    const TWindowState defaultState =
        mainOrNone && FormStyle(form) == fsNormal && FormPosition(form) == poDefault ? wsMaximized : wsNormal;
    TWindowState state = defaultState;
    switch (StorageReadInteger(storage, section, "ShowCmd", 0)) {
      case 1:
      case 5:
      case 9:
        state = wsNormal;
        break;
      case 2:
      case 6:
      case 7:
        state = wsMinimized;
        break;
      case 3:
        state = wsMaximized;
        break;
      default:
        break;
    }
    if (state == wsMinimized && mainOrNone) {
      RecordFormWindowState(form, wsNormal);
      PostMessageA(mainForm ? mainForm : form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      return;
    }
    SetFormWindowState(form, state);
  }
  form->update();
}
