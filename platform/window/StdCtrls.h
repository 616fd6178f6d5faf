#pragma once
// The standard controls the windows place: the one-line and the multi-line edit, and the list box
// with 8-bit items, optionally kept in the platform's alphabetical order, a selection, and the
// double-click and key-press events the windows use.
//
// Text comes into both edits, typed or pasted, as the platform's ANSI windows take it: each
// character the code page cannot hold becomes "?", so the user sees where text was lost. A refused
// byte typed alone is refused; inside a longer text it becomes "?" as well. When text of more than
// one character lost some this way, a message box says so once, after the change.

#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QValidator>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "Classes.h"

// A one-line edit that shows a text the program puts in (the window resource's as well) from its
// first character, with the caret at the start; a long value does not open on its end.
class TEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TEdit(QWidget* parent = nullptr);

  // Hides QLineEdit::setText, so that the generated window code takes this way too.
  void setText(const QString& text);

  // Code-page bytes the edit does not take.
  void SetRefusedChars(AnsiString refused) { FRefusedChars = std::move(refused); }

 protected:
  // A further rule of the edit, on a changed text that the code page holds.
  virtual QValidator::State CheckInput(QString& input, int& position) const;
  // False where the edit drops "?" itself, so that no mark would show where text was lost.
  [[nodiscard]] virtual bool ShowsLostText() const { return true; }
  // The text as the edit last showed it.
  [[nodiscard]] const QString& ShownText() const { return FShownText; }

 private:
  class TInput;
  AnsiString FRefusedChars;
  QString FShownText;
};

// The multi-line edit, under the same rule for text that comes in.
class TMemo : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TMemo(QWidget* parent = nullptr);

  void SetRefusedChars(AnsiString refused) { FRefusedChars = std::move(refused); }

 private:
  void TextChanged();

  AnsiString FRefusedChars;
  QString FShownText;
};

class TListBox : public QListView {
 public:
  explicit TListBox(QWidget* parent = nullptr);
  ~TListBox() override;

  // Sorted lists keep their items in the locale's order with case ignored; equal items keep the
  // order they were added in.
  void SetSorted(bool sorted);
  [[nodiscard]] bool Sorted() const { return FSorted; }

  int Add(std::string_view item);
  // An item with a value of the caller's (an index) that stays with it wherever the item is
  // sorted to.
  int AddObject(std::string_view item, int object);
  void Clear();
  // Between the two, added items are only collected; EndUpdate puts them in order at once.
  void BeginUpdate();
  void EndUpdate();
  // EndUpdate for items added in the list's order already: a sorted list keeps them as added,
  // after its rows, without sorting them again.
  void EndUpdateInOrder();

  [[nodiscard]] int Count() const;
  // The text stays valid until the list next changes.
  [[nodiscard]] std::string_view Items(int index) const;
  // The value the item was added with; 0 for items added without one.
  [[nodiscard]] int Objects(int index) const;
  // -1 when no item is selected.
  [[nodiscard]] int ItemIndex() const;
  void SetItemIndex(int index);

  TNotifyEvent OnDblClick;
  std::function<void(QObject* Sender, char& Key)> OnKeyPress;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  class TItems;
  void FinishUpdate(bool sort);
  struct TSpan {  // an item's place in the text of all items, and its value; 16 bytes
    std::size_t Offset;
    std::uint32_t Size;
    int Object;
  };
  TItems* FItems;
  std::vector<TSpan> FPending;  // added between BeginUpdate and EndUpdate
  bool FSorted = false;
  int FUpdating = 0;
};
