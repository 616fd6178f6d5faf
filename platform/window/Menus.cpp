#include "Menus.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <memory>
#include <utility>

#include "CodePage.h"
#include "MessageQueue.h"

namespace {

// The press outside the open menus that closed them. Qt would replay it at once, inside the menu's
// own loop; the platform keeps it and posts it once the menu has returned, so that the code that
// popped the menu finds it pending, as the platform's menus leave it.
std::unique_ptr<QMouseEvent>& ClosingPress() {
  static std::unique_ptr<QMouseEvent> press;
  return press;
}

class TOutsidePressKeeper final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
      const auto& mouse = static_cast<const QMouseEvent&>(*event);
      const QWidget* under = QApplication::widgetAt(mouse.globalPosition().toPoint());
      if (under && under->window()->windowType() != Qt::Popup) ClosingPress().reset(mouse.clone());
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner, QAction* action) : TComponent(AOwner), FAction(action) {}

void TMenuItem::SetCaption(const AnsiString& caption) {
  FAction->setText(AnsiToQString(caption));
}

AnsiString TMenuItem::Caption() const {
  return QStringToAnsi(FAction->text()).value_or(AnsiString());
}

void TMenuItem::SetEnabled(bool enabled) {
  FAction->setEnabled(enabled);
}

bool TMenuItem::Enabled() const {
  return FAction->isEnabled();
}

void TMenuItem::SetVisible(bool visible) {
  FAction->setVisible(visible);
}

void TMenuItem::SetDefault(bool isDefault) {
  QFont font = FAction->font();
  font.setBold(isDefault);
  FAction->setFont(font);
}

void TMenuItem::SetChecked(bool checked) {
  FAction->setCheckable(true);
  FAction->setChecked(checked);
}

bool TMenuItem::Checked() const {
  return FAction->isChecked();
}

void TMenuItem::SetHint(const AnsiString& hint) {
  FAction->setStatusTip(AnsiToQString(hint));
  FAction->setToolTip(AnsiToQString(hint));
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FMenu(new QMenu) {
  FMenu->setAttribute(Qt::WA_NoMouseReplay);
  FMenu->installEventFilter(new TOutsidePressKeeper(FMenu));
}

TPopupMenu::~TPopupMenu() {
  delete FMenu;
}

TMenuItem* TPopupMenu::Add(const AnsiString& caption, TNotifyEvent onClick) {
  QAction* action = FMenu->addAction(AnsiToQString(caption));
  auto* item = new TMenuItem(this, action);
  item->OnClick = std::move(onClick);
  FItems.push_back(item);
  return item;
}

TMenuItem* TPopupMenu::AddSeparator() {
  auto* item = new TMenuItem(this, FMenu->addSeparator());
  FItems.push_back(item);
  return item;
}

TMenuItem* TPopupMenu::AddSubmenu(const AnsiString& caption, TPopupMenu* submenu) {
  QAction* action = FMenu->addAction(AnsiToQString(caption));
  action->setMenu(submenu->Menu());
  auto* item = new TMenuItem(this, action);
  FItems.push_back(item);
  FSubmenus.emplace_back(submenu);
  return item;
}

bool TPopupMenu::ClickAction(const QAction* chosen) {
  for (TMenuItem* item : FItems)
    if (item->Action() == chosen) {
      item->Click();
      return true;
    }
  for (const QPointer<TPopupMenu>& submenu : FSubmenus)
    if (submenu && submenu->ClickAction(chosen)) return true;
  return false;
}

int TPopupMenu::AlignedLeft(int X) const {
  const int width = FMenu->sizeHint().width();
  switch (Alignment) {
    case TPopupAlignment::paRight:
      return X - width;
    case TPopupAlignment::paCenter:
      return X - width / 2;
    default:
      return X;
  }
}

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  ClosingPress().reset();
  QAction* chosen = FMenu->exec(QPoint(AlignedLeft(X), Y));
  if (const std::unique_ptr<QMouseEvent> press = std::exchange(ClosingPress(), nullptr)) (void)PostMouseButton(*press);
  if (chosen) ClickAction(chosen);
}
