#pragma once
// Pop-up menus over QMenu: items with captions and click events, the alignment of the menu to the
// point it pops up at, and AutoPopup for the controls that open it themselves.

#include <QPointer>
#include <vector>

#include "Classes.h"

class QAction;
class QMenu;

enum class TPopupAlignment { paLeft, paRight, paCenter };

class TMenuItem final : public TComponent {
 public:
  TMenuItem(TComponent* AOwner, QAction* action);
  void SetCaption(const AnsiString& caption);
  [[nodiscard]] AnsiString Caption() const;
  void SetEnabled(bool enabled);
  [[nodiscard]] bool Enabled() const;
  void SetVisible(bool visible);
  void SetDefault(bool isDefault);
  // A check mark beside the caption.
  void SetChecked(bool checked);
  [[nodiscard]] bool Checked() const;
  // The text the status line and the tool tip show for the item.
  void SetHint(const AnsiString& hint);
  // Runs OnClick, as a choice from the menu does.
  void Click();
  [[nodiscard]] QAction* Action() const { return FAction; }

  TNotifyEvent OnClick;

 private:
  QAction* FAction;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* AOwner = nullptr);
  ~TPopupMenu() override;

  TMenuItem* Add(const AnsiString& caption, TNotifyEvent onClick = {});
  // The item "-": a separator line.
  TMenuItem* AddSeparator();
  // An item that opens submenu (not owned; it may also pop up on its own). Its items' clicks run
  // when they are chosen from this menu too.
  TMenuItem* AddSubmenu(const AnsiString& caption, TPopupMenu* submenu);
  [[nodiscard]] int Count() const { return static_cast<int>(FItems.size()); }
  [[nodiscard]] TMenuItem* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)); }

  // Shows the menu at the screen point (X, Y), placed by Alignment, and returns when it closes.
  // OnPopup runs first; the chosen item's OnClick runs after the menu has closed.
  virtual void Popup(int X, int Y);
  [[nodiscard]] QMenu* Menu() const { return FMenu; }
  // The horizontal position of the menu's left edge for a pop-up at X.
  [[nodiscard]] int AlignedLeft(int X) const;
  // Runs the click of the item, here or in a submenu, whose action is chosen; false when none is.
  bool ClickAction(const QAction* chosen);

  TPopupAlignment Alignment = TPopupAlignment::paLeft;
  bool AutoPopup = true;
  QObject* PopupComponent = nullptr;
  TNotifyEvent OnPopup;

 private:
  QMenu* FMenu;
  std::vector<TMenuItem*> FItems;
  std::vector<QPointer<TPopupMenu>> FSubmenus;
};
