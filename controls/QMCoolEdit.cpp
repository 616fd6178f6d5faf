#include "QMCoolEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <algorithm>

#include "CodePage.h"
#include "Forms.h"

namespace {

// The upper case of each character under the user's locale, where the code page holds it.
QString UpperInCodePage(const QString& text) {
  const QLocale locale;
  QString upper;
  upper.reserve(text.size());
  for (QChar c : text) {
    const QString mapped = locale.toUpper(QString(c));
    // A character whose capital is two ("\u00df" to "SS") or missing from the code page stays.
    upper += mapped.size() == 1 && FitsAnsiCodePage(mapped) ? mapped : QString(c);
  }
  return upper;
}

// The code-page byte of one character; false when the code page has none.
bool ByteOf(QChar c, char& byte) {
  const std::optional<AnsiString> bytes = QStringToAnsi(QString(c));
  if (!bytes || bytes->size() != 1) return false;
  byte = (*bytes)[0];
  return true;
}

}  // namespace

TQMCoolEdit::TQMCoolEdit(QWidget* parent) : TEdit(parent), FOptions(std::make_unique<TQMCoolEditOptions>()) {
  SetColorOnFocus(FColor);
  TextColorOnFocus = FFontColor;
  SavedColor = FColor;
  SavedFontColor = FFontColor;
  EntryText = text();
  FLastText = text();
  connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });
}

TQMCoolEdit::~TQMCoolEdit() = default;

void TQMCoolEdit::SetColor(TColor color) {
  FColor = color;
  ApplyColours();
}

void TQMCoolEdit::SetFontColor(TColor color) {
  FFontColor = color;
  ApplyColours();
}

void TQMCoolEdit::SetColorOnFocus(TColor color) {
  FColorOnFocus = color;
  update();
}

void TQMCoolEdit::SetAcceptChars(const AnsiString& chars) {
  FAcceptChars = chars;
  update();
}

void TQMCoolEdit::ApplyColours() {
  ensurePolished();
  QPalette colours = palette();
  // A disabled edit keeps the disabled look, whatever colours it has or gets back on leaving.
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    colours.setColor(group, QPalette::Base, QColor::fromRgb(ColorToQRgb(FColor)));
    colours.setColor(group, QPalette::Text, QColor::fromRgb(ColorToQRgb(FFontColor)));
  }
  setPalette(colours);
}

// Cuts what the user inserts to the room the length limit leaves; the text around the insertion
// stays as it was.
QValidator::State TQMCoolEdit::CheckInput(QString& input, int& position) const {
  const qsizetype limit = FMaxLength;
  if (FProgramText || limit <= 0 || input.size() <= limit) return QValidator::Acceptable;
  const QString& old = ShownText();
  qsizetype prefix = 0;
  while (prefix < old.size() && prefix < input.size() && old[prefix] == input[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < old.size() - prefix && suffix < input.size() - prefix &&
         old[old.size() - 1 - suffix] == input[input.size() - 1 - suffix])
    ++suffix;
  const qsizetype room = std::max<qsizetype>(0, limit - prefix - suffix);
  if (input.size() - prefix - suffix <= room) return QValidator::Acceptable;  // an over-long text made shorter
  input = input.left(prefix + room) + input.right(suffix);
  position = static_cast<int>(prefix + room);
  return QValidator::Acceptable;
}

bool TQMCoolEdit::ShowsLostText() const {
  // The accepted characters filter the "?" out again, with everything else they do not hold.
  return FAcceptChars.empty() || FAcceptChars.find('?') != AnsiString::npos;
}

void TQMCoolEdit::SetText(const QString& text) {
  const bool wasProgramText = FProgramText;
  FProgramText = true;
  setText(text);
  FProgramText = wasProgramText;
}

void TQMCoolEdit::focusInEvent(QFocusEvent* event) {
  TEdit::focusInEvent(event);
  // Activating the window or closing a menu over the edit does not enter it.
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) DoEnter();
}

void TQMCoolEdit::focusOutEvent(QFocusEvent* event) {
  TEdit::focusOutEvent(event);
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) DoExit();
}

void TQMCoolEdit::DoEnter() {
  SavedColor = FColor;
  SavedFontColor = FFontColor;
  EntryText = text();
  FColor = FColorOnFocus;
  FFontColor = TextColorOnFocus;
  ApplyColours();
  if (OnEnter) OnEnter(this);
}

void TQMCoolEdit::DoExit() {
  FColor = SavedColor;
  FFontColor = SavedFontColor;
  ApplyColours();
  if (OnExit) OnExit(this);
}

bool TQMCoolEdit::Accepts(char key) const {
  return FAcceptChars.empty() || static_cast<unsigned char>(key) < 32 || FAcceptChars.find(key) != AnsiString::npos;
}

bool TQMCoolEdit::RoomForOneMore() const {
  return FMaxLength <= 0 || text().size() - selectedText().size() < FMaxLength;
}

void TQMCoolEdit::keyPressEvent(QKeyEvent* event) {
  char key = KeyPressCharOf(*event);
  if (key == 0) {
    TEdit::keyPressEvent(event);  // keys that type nothing: caret, selection, Delete
    return;
  }
  KeyPress(key, event);
}

void TQMCoolEdit::KeyPress(char& Key, QKeyEvent* event) {
  event->accept();
  if (Key == '\r' && FOptions->EnterAsTab) {
    if (TForm* form = GetParentForm(this))
      form->SelectNext();
    else
      focusNextChild();
    Key = 0;
    return;
  }
  if (Key == '\x1B' && FOptions->EscCancels) {
    SetText(EntryText);
    Key = '\x0F';  // goes on to the edit as a control character, which types nothing
    return;
  }
  if (!Accepts(Key)) {
    Key = 0;
    return;
  }
  const char typed = Key;
  if (FOptions->UpperCase && static_cast<unsigned char>(Key) > 32) {
    char upper = Key;
    if (ByteOf(UpperInCodePage(AnsiToQString(std::string(1, Key))).front(), upper)) Key = upper;
  }
  if (OnKeyPress) OnKeyPress(this, Key);
  if (Key == 0) return;
  const bool printable = static_cast<unsigned char>(Key) >= 32;
  if (printable && !RoomForOneMore()) return;
  if (Key == typed)
    TEdit::keyPressEvent(event);
  else if (printable)
    insert(AnsiToQString(std::string(1, Key)));
}

void TQMCoolEdit::TextChanged() {
  // A change that left the text as it was (a refused insertion) is no change.
  if (text() == FLastText) return;
  FLastText = text();
  Change();
}

void TQMCoolEdit::Change() {
  if (!FAcceptChars.empty()) {
    const int caret = cursorPosition();
    QString kept;
    for (QChar c : text()) {
      char byte = 0;
      if (ByteOf(c, byte) && FAcceptChars.find(byte) != AnsiString::npos) kept += c;
    }
    if (kept != text()) {
      SetText(kept);
      setCursorPosition(std::min(caret, static_cast<int>(kept.size())));
    }
  }
  if (FOptions->UpperCase) {
    const QString upper = UpperInCodePage(text());
    if (upper != text()) SetText(upper);
  } else if (FOptions->FirstUpperCase && !text().isEmpty()) {
    const int caret = cursorPosition();
    const QString first = UpperInCodePage(text().left(1));
    const QString changed = first.left(1) + text().mid(1);
    if (changed != text()) {
      SetText(changed);
      setCursorPosition(caret);
    }
  }
  if (OnChange) OnChange(this);
}
