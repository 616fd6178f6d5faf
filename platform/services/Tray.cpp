#include "Tray.h"

#include <QAction>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <set>

#include "CodePage.h"

namespace {

QObject* FindWindow(HWND window) {
  return UtilityWindowObject(window);
}

struct TShellIcon {
  QPointer<QObject> Window;
  unsigned Id = 0;
  unsigned CallbackMessage = 0;
  bool Notify = false;
  std::unique_ptr<QSystemTrayIcon> Icon;
};

std::vector<std::unique_ptr<TShellIcon>>& ShellIcons() {
  static std::vector<std::unique_ptr<TShellIcon>> icons;
  return icons;
}

ShellNotifyListener& Listener() {
  static ShellNotifyListener listener;
  return listener;
}

std::vector<std::unique_ptr<TShellIcon>>::iterator FindShellIcon(HWND window, unsigned id) {
  auto& icons = ShellIcons();
  return std::find_if(icons.begin(), icons.end(), [&](const std::unique_ptr<TShellIcon>& icon) {
    return icon->Window.data() == window && icon->Id == id;
  });
}

QIcon BlankIcon() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  return QIcon(pixmap);
}

void ApplyFields(TShellIcon& icon, const NOTIFYICONDATAA& data) {
  if (data.uFlags & NIF_MESSAGE) {
    icon.Notify = true;
    icon.CallbackMessage = data.uCallbackMessage;
  }
  if (data.uFlags & NIF_ICON) icon.Icon->setIcon(data.hIcon && !data.hIcon->isNull() ? *data.hIcon : BlankIcon());
  if (data.uFlags & NIF_TIP) icon.Icon->setToolTip(AnsiToQString({data.szTip, strnlen(data.szTip, sizeof data.szTip)}));
}

void RemoveShellIconsOf(HWND window);

bool AddShellIcon(const NOTIFYICONDATAA& data) {
  if (FindShellIcon(data.hWnd, data.uID) != ShellIcons().end()) return false;
  // A window's icons go with it.
  SetUtilityWindowEndListener([](HWND window) { RemoveShellIconsOf(window); });
  auto icon = std::make_unique<TShellIcon>();
  icon->Window = FindWindow(data.hWnd);
  icon->Id = data.uID;
  icon->Icon = std::make_unique<QSystemTrayIcon>();
  icon->Icon->setIcon(BlankIcon());
  ApplyFields(*icon, data);
  TShellIcon* raw = icon.get();
  QObject::connect(raw->Icon.get(), &QSystemTrayIcon::activated, raw->Icon.get(),
                   [raw](QSystemTrayIcon::ActivationReason reason) {
                     if (!raw->Notify || !raw->Window) return;
                     for (const unsigned mouseMessage : ShellMouseMessages(reason))
                       PostMessageA(raw->Window.data(), raw->CallbackMessage, raw->Id, mouseMessage);
                   });
  raw->Icon->show();
  ShellIcons().push_back(std::move(icon));
  return true;
}

void RemoveShellIconsOf(HWND window) {
  std::erase_if(ShellIcons(), [&](const std::unique_ptr<TShellIcon>& icon) {
    return !icon->Window || icon->Window.data() == window;
  });
}

}  // namespace

TIcon::TIcon() = default;

TIcon::~TIcon() = default;

void TIcon::Assign(const TPersistent* Source) {
  if (Source && !dynamic_cast<const TIcon*>(Source)) {
    TPersistent::Assign(Source);
    return;
  }
  const auto* source = static_cast<const TIcon*>(Source);
  FImage = source && source->FImage ? std::make_unique<QIcon>(*source->FImage) : nullptr;
  if (OnChange) OnChange();
}

void TIcon::SetImage(const QIcon& image) {
  FImage = image.isNull() ? nullptr : std::make_unique<QIcon>(image);
  if (OnChange) OnChange();
}

HICON TIcon::Handle() const {
  return FImage.get();
}

HICON ApplicationIcon() {
  static QIcon icon;
  const QIcon windowIcon = QApplication::windowIcon();
  if (!windowIcon.isNull()) {
    icon = windowIcon;
  } else {
    // A framed white page, as a program without an icon of its own shows.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(2, 1, 11, 13);
    painter.end();
    icon = QIcon(pixmap);
  }
  return &icon;
}

bool Shell_NotifyIconA(unsigned message, const NOTIFYICONDATAA* data) {
  if (!data) return false;
  if (Listener()) Listener()(message, *data);
  if (!QApplication::instance() || !FindWindow(data->hWnd)) return false;
  switch (message) {
    case NIM_ADD:
      return AddShellIcon(*data);
    case NIM_MODIFY: {
      const auto found = FindShellIcon(data->hWnd, data->uID);
      if (found == ShellIcons().end()) return false;
      ApplyFields(**found, *data);
      return true;
    }
    case NIM_DELETE: {
      const auto found = FindShellIcon(data->hWnd, data->uID);
      if (found == ShellIcons().end()) return false;
      ShellIcons().erase(found);
      return true;
    }
    default:
      return false;
  }
}

std::vector<unsigned> ShellMouseMessages(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return {WM_LBUTTONDOWN, WM_LBUTTONUP};
    // Follows the Trigger of the first press.
    case QSystemTrayIcon::DoubleClick:
      return {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    case QSystemTrayIcon::Context:
      return {WM_RBUTTONDOWN, WM_RBUTTONUP};
    case QSystemTrayIcon::MiddleClick:
      return {WM_MBUTTONDOWN, WM_MBUTTONUP};
    default:
      return {};
  }
}

ShellNotifyListener SetShellNotifyListener(ShellNotifyListener listener) {
  return std::exchange(Listener(), std::move(listener));
}

QSystemTrayIcon* ShellNotifyIconObject(HWND window, unsigned id) {
  const auto found = FindShellIcon(window, id);
  return found == ShellIcons().end() ? nullptr : (*found)->Icon.get();
}

int MenuItemHeight() {
  QMenu menu;
  QAction* item = menu.addAction(QStringLiteral("X"));
  return menu.actionGeometry(item).height();
}
