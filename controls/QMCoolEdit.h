#pragma once
// A one-line edit that changes its colours while it has the focus, takes only the characters of
// a given set (typed or pasted), can force upper case, can make Enter move to the next control
// and Esc bring back the text it held when the focus came.

#include <functional>
#include <memory>

#include "Classes.h"
#include "Graphics.h"
#include "StdCtrls.h"

class TQMCoolEditOptions final {
 public:
  bool EnterAsTab = false;
  bool EscCancels = false;
  bool UpperCase = false;
  bool FirstUpperCase = false;
};

class TQMCoolEdit final : public TEdit {
 public:
  explicit TQMCoolEdit(QWidget* parent = nullptr);
  ~TQMCoolEdit() override;

  [[nodiscard]] TColor Color() const { return FColor; }
  void SetColor(TColor color);
  [[nodiscard]] TColor FontColor() const { return FFontColor; }
  void SetFontColor(TColor color);

  [[nodiscard]] TColor ColorOnFocus() const { return FColorOnFocus; }
  void SetColorOnFocus(TColor color);
  TColor TextColorOnFocus = clWindowText;
  TColor SavedColor = clWindow;
  TColor SavedFontColor = clWindowText;

  // The accepted characters (8-bit, in the ANSI code page); empty accepts everything.
  [[nodiscard]] const AnsiString& AcceptChars() const { return FAcceptChars; }
  void SetAcceptChars(const AnsiString& chars);

  // The edit keeps its own options object; assigning copies the flags into it.
  [[nodiscard]] TQMCoolEditOptions* Options() const { return FOptions.get(); }
  void SetOptions(const TQMCoolEditOptions& options) { *FOptions = options; }

  // The text when the focus last came (at construction: the text then).
  QString EntryText;

  // The most characters the user can type or paste; 0 for no limit. A text the program sets is
  // kept whole.
  [[nodiscard]] int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int length) { FMaxLength = length; }
  // Sets the text as the program does: neither cut to the limit nor refused, shown from its start.
  void SetText(const QString& text);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TNotifyEvent OnChange;
  std::function<void(QObject* Sender, char& Key)> OnKeyPress;

 protected:
  void DoEnter();
  void DoExit();
  void KeyPress(char& Key, QKeyEvent* event);
  void Change();

  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  class TLimit;
  friend class TLimit;
  void ApplyColours();
  [[nodiscard]] bool Accepts(char key) const;
  [[nodiscard]] bool RoomForOneMore() const;
  void SetTextQuietly(const QString& text);
  void TextChanged();

  TColor FColor = clWindow;
  TColor FFontColor = clWindowText;
  TColor FColorOnFocus = clWindow;
  AnsiString FAcceptChars;
  std::unique_ptr<TQMCoolEditOptions> FOptions;
  int FMaxLength = 0;
  bool FProgramText = false;
  QString FLastText;
};
