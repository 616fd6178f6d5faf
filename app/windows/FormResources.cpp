#include "FormResources.h"

#include <QFile>
#include <QIcon>
#include <QImage>

#include "CardBook.h"
#include "CodePage.h"
#include "QMWave.h"
#include "VXCtrls.h"

namespace {

TButtonLayout LayoutNamed(const QString& name) {
  if (name == u"blGlyphLeft") return blGlyphLeft;
  if (name == u"blGlyphRight") return blGlyphRight;
  if (name == u"blGlyphBottom") return blGlyphBottom;
  return blGlyphTop;
}

// "$BBGGRR" or a colour name the layouts use.
TColor ColourNamed(const QString& text) {
  if (text.startsWith(u'$')) return static_cast<TColor>(text.mid(1).toUInt(nullptr, 16));
  if (text == u"clBlack") return clBlack;
  if (text == u"clRed") return clRed;
  return clWhite;
}

}  // namespace

void StreamSpeedButtons(QWidget* form) {
  for (QWidget* child : form->findChildren<QWidget*>()) {
    auto* button = dynamic_cast<TVxSpeedButton*>(child);
    if (!button) continue;
    if (const QVariant caption = button->property("caption"); caption.isValid())
      button->SetCaption(QStringToAnsi(caption.toString()).value_or(AnsiString()));
    if (const QVariant glyph = button->property("glyph"); glyph.isValid()) {
      TBitmap bitmap;
      bitmap.LoadFromImage(QImage(glyph.toString()));
      button->SetGlyph(&bitmap);
    }
    if (const QVariant layout = button->property("layout"); layout.isValid())
      button->SetLayout(LayoutNamed(layout.toString()));
    if (const QVariant flat = button->property("flat"); flat.isValid()) button->SetFlat(flat.toBool());
    if (const QVariant spacing = button->property("spacing"); spacing.isValid()) button->SetSpacing(spacing.toInt());
    if (const QVariant transparent = button->property("transparent"); transparent.isValid())
      button->SetTransparent(transparent.toBool());
    // The window's font, in the caption colour the layout asks for.
    TFont font = button->Font();
    font.Handle = button->parentWidget() ? button->parentWidget()->font() : form->font();
    if (const QVariant size = button->property("fontPointSize"); size.isValid())
      font.Handle.setPointSizeF(size.toDouble());
    font.Color = ColourNamed(button->property("fontColor").toString());
    button->SetFont(font);
    if (!button->toolTip().isEmpty()) {
      button->SetHint(QStringToAnsi(button->toolTip()).value_or(AnsiString()));
      button->SetShowHint(true);
    }
    button->Loaded();
  }
}

void LoadWaveResource(TQMWave& wave, const char* resource) {
  QFile file(QString::fromLatin1(resource));
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = file.readAll();
  TMemoryStream stream(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  try {
    wave.WaveData()->ReadData(stream);
  } catch (const EStreamError&) {
    wave.WaveData()->Clear();
  }
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 256}) icon.addFile(QStringLiteral(":/icons/velmora-%1.png").arg(size));
  return icon;
}

QValidator::State TAnsiTextValidator::validate(QString& input, int&) const {
  const std::optional<AnsiString> bytes = QStringToAnsi(input);
  return bytes && bytes->find(kFieldSeparator) == AnsiString::npos ? Acceptable : Invalid;
}
