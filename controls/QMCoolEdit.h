#pragma once
// A one-line edit that changes its colours while it has the focus, takes only the characters of
// a given set (typed or pasted), can force upper case, can make Enter move to the next control
// and Esc bring back the text it held when the focus came.

#include <QByteArray>
#include <QColor>
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

// The published properties are Qt properties, so that a window's layout sets them; the four
// options appear one by one.
class TQMCoolEdit final : public TEdit {
  Q_OBJECT
  Q_PROPERTY(QColor ColorOnFocus READ ColorOnFocusColour WRITE SetColorOnFocusColour)
  Q_PROPERTY(QColor TextColorOnFocus READ TextColorOnFocusColour WRITE SetTextColorOnFocusColour)
  Q_PROPERTY(QByteArray AcceptChars READ AcceptCharBytes WRITE SetAcceptCharBytes)
  Q_PROPERTY(bool EnterAsTab READ EnterAsTab WRITE SetEnterAsTab)
  Q_PROPERTY(bool EscCancels READ EscCancels WRITE SetEscCancels)
  Q_PROPERTY(bool UpperCase READ UpperCase WRITE SetUpperCase)
  Q_PROPERTY(bool FirstUpperCase READ FirstUpperCase WRITE SetFirstUpperCase)
  Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)

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

  [[nodiscard]] QColor ColorOnFocusColour() const { return QColor(ColorToQRgb(FColorOnFocus)); }
  void SetColorOnFocusColour(const QColor& colour) { SetColorOnFocus(ColourOf(colour)); }
  [[nodiscard]] QColor TextColorOnFocusColour() const { return QColor(ColorToQRgb(TextColorOnFocus)); }
  void SetTextColorOnFocusColour(const QColor& colour) { TextColorOnFocus = ColourOf(colour); }
  [[nodiscard]] QByteArray AcceptCharBytes() const { return QByteArray::fromStdString(FAcceptChars); }
  void SetAcceptCharBytes(const QByteArray& chars) { SetAcceptChars(chars.toStdString()); }
  [[nodiscard]] bool EnterAsTab() const { return FOptions->EnterAsTab; }
  void SetEnterAsTab(bool value) { FOptions->EnterAsTab = value; }
  [[nodiscard]] bool EscCancels() const { return FOptions->EscCancels; }
  void SetEscCancels(bool value) { FOptions->EscCancels = value; }
  [[nodiscard]] bool UpperCase() const { return FOptions->UpperCase; }
  void SetUpperCase(bool value) { FOptions->UpperCase = value; }
  [[nodiscard]] bool FirstUpperCase() const { return FOptions->FirstUpperCase; }
  void SetFirstUpperCase(bool value) { FOptions->FirstUpperCase = value; }

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
  QValidator::State CheckInput(QString& input, int& position) const override;
  [[nodiscard]] bool ShowsLostText() const override;

 private:
  [[nodiscard]] static TColor ColourOf(const QColor& colour) {
    return RGB(colour.red(), colour.green(), colour.blue());
  }
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
