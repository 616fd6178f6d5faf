// Every window as the user opens it: its captions fit their controls in the fonts they are drawn
// in, and stay readable over the pictures the window shows when there is no colour scheme.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <functional>

#include "Application.h"
#include "Buttons.h"
#include "CodePage.h"
#include "Form_About.h"
#include "Form_Export.h"
#include "Form_Grid.h"
#include "Form_Img.h"
#include "Form_Navigate.h"
#include "Form_Options.h"
#include "Form_Outlook.h"
#include "Form_PrintDlg.h"
#include "Form_Search.h"
#include "Menus.h"
#include "RegLib.h"
#include "Sound.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Form_Options.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::Card;
using testing_support::ChooseFromMenu;
using testing_support::DriveModal;
using testing_support::MessageBoxRecorder;
using testing_support::TempProgramFolder;
using testing_support::UserClick;

// A window the test opens, and how the user opens it from the main window.
struct OpenedWindow {
  const char* Name;
  std::function<void(TForm_Main&, const std::function<void(QWidget&)>&)> Open;
};

template <class TWindow>
void OpenWith(TForm_Main& main, const std::function<void()>& open, const std::function<void(QWidget&)>& drive) {
  const TWindow* opened = DriveModal<TWindow>(&main, open, [&](TWindow& window) { drive(window); });
  EXPECT_NE(opened, nullptr) << "the window did not open";
}

// From the options window, which opens the export and import windows through its first menu.
template <class TWindow>
void OpenFromOptions(TForm_Main& main, int item, const std::function<void(QWidget&)>& drive) {
  OpenWith<TFormOptions>(
      main, [&main] { UserClick(main.Controls().Button_Tools); },
      [&](QWidget& options) {
        auto& tools = dynamic_cast<TFormOptions&>(options);
        OpenWith<TWindow>(
            main, [&] { ChooseFromMenu(tools.Controls().VxBtnImpExp, tools.pmImpExp->Items(item)->Action()); }, drive);
      });
}

const std::vector<OpenedWindow>& Windows() {
  static const std::vector<OpenedWindow> windows = {
      {"main", [](TForm_Main& main, const auto& drive) { drive(main); }},
      {"options",
       [](TForm_Main& main, const auto& drive) {
         OpenWith<TFormOptions>(
             main, [&] { UserClick(main.Controls().Button_Tools); }, drive);
       }},
      {"about",
       [](TForm_Main& main, const auto& drive) {
         OpenWith<TFormAbout>(
             main, [&] { UserClick(main.Controls().Button_About); }, drive);
       }},
      {"search",
       [](TForm_Main& main, const auto& drive) {
         OpenWith<TFormSearch>(
             main, [&] { UserClick(main.Controls().Button_Search); }, drive);
       }},
      {"letter list",
       [](TForm_Main& main, const auto& drive) {
         OpenWith<TFormNavigate>(
             main, [&] { UserClick(main.Controls().Button_List); }, drive);
       }},
      {"list view",
       [](TForm_Main& main, const auto& drive) {
         OpenWith<TFormGrid>(
             main, [&] { UserClick(main.Controls().VxSpeedButton3); }, drive);
       }},
      {"picture browser",
       [](TForm_Main& main, const auto& drive) {
         OpenWith<TFormImg>(
             main, [&] { testing_support::UserDoubleClick(main.Controls().BitMap_Main); }, drive);
       }},
      {"print dialog",
       [](TForm_Main& main, const auto& drive) {
         OpenWith<TFormPrintDlg>(
             main, [&] { UserClick(main.Controls().Button1); }, drive);
       }},
      {"import", [](TForm_Main& main, const auto& drive) { OpenFromOptions<TFormOutlook>(main, 0, drive); }},
      {"export", [](TForm_Main& main, const auto& drive) { OpenFromOptions<TFormExport>(main, 1, drive); }},
  };
  return windows;
}

QString WithoutMnemonics(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(u'&');
  text.replace(u'\x01', u'&');
  return text;
}

int WidestLine(const QFontMetrics& metrics, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r?\n"))))
    widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest;
}

// A caption that does not fit: what it says, how wide it is drawn and how much room it has.
struct Overflow {
  QString Control;
  QString Text;
  int Width;
  int Room;
};

std::ostream& operator<<(std::ostream& out, const Overflow& o) {
  return out << o.Control.toStdString() << " \"" << o.Text.toStdString() << "\": " << o.Width << " px in " << o.Room;
}

// The room a glyph button leaves its caption: inside its two-pixel frame, less the glyph beside it,
// the margin and spacing it keeps and the drop-down mark.
int CaptionRoom(const TVxSpeedButton& button) {
  int room = button.width() - 4;
  const bool side = button.Layout() == blGlyphLeft || button.Layout() == blGlyphRight;
  if (side) {
    if (const TBitmap* glyph = button.Glyph(); glyph && glyph->Width() > 0)
      room -= glyph->Width() / std::max(1, button.NumGlyphs());
    if (button.Margin() != -1) room -= button.Margin();
    if (button.Spacing() != -1) room -= button.Spacing();
    if (button.MarkDropDown() && button.DropDownMenu()) room -= 9;
  }
  return room;
}

// The controls of a window of the class; the controls' classes have no meta-object of their own.
template <class TControlClass>
std::vector<TControlClass*> ControlsOf(QWidget& window) {
  std::vector<TControlClass*> controls;
  for (QWidget* child : window.findChildren<QWidget*>())
    if (auto* control = dynamic_cast<TControlClass*>(child)) controls.push_back(control);
  return controls;
}

std::vector<Overflow> CaptionsThatDoNotFit(QWidget& window) {
  std::vector<Overflow> found;
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (label->text().isEmpty() || !label->isVisibleTo(&window)) continue;
    const QString text =
        label->textFormat() == Qt::PlainText || !label->buddy() ? label->text() : WithoutMnemonics(label->text());
    const QFontMetrics metrics(label->font());
    const QRect room = label->contentsRect();
    if (label->wordWrap()) {
      const int height = metrics.boundingRect(room, Qt::TextWordWrap, text).height();
      if (height > room.height()) found.push_back({label->objectName(), text, height, room.height()});
    } else if (const int width = WidestLine(metrics, text); width > room.width()) {
      found.push_back({label->objectName(), text, width, room.width()});
    }
  }
  for (TVxSpeedButton* button : ControlsOf<TVxSpeedButton>(window)) {
    const QString caption = WithoutMnemonics(AnsiToQString(button->Caption()));
    if (caption.trimmed().isEmpty() || !button->isVisibleTo(&window)) continue;
    const int width = WidestLine(QFontMetrics(button->Font().Handle), caption);
    if (const int room = CaptionRoom(*button); width > room)
      found.push_back({button->objectName(), caption, width, room});
  }
  for (TSpeedButton* button : ControlsOf<TSpeedButton>(window)) {
    const QString caption = WithoutMnemonics(button->text());
    if (caption.isEmpty() || !button->isVisibleTo(&window)) continue;
    const int width = QFontMetrics(button->font()).horizontalAdvance(caption);
    if (const int room = button->width() - 4; width > room)
      found.push_back({button->objectName(), caption, width, room});
  }
  return found;
}

// ---- contrast ----

double RelativeLuminance(const QColor& colour) {
  auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor QColorOf(TColor colour) {
  const TColor rgb = ColorToRGB(colour);
  return {int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)};
}

// The mean colour of the pixels of the image that the mask (when given) keeps.
QColor MeanColour(const QImage& image, const std::function<bool(int, int)>& keep = {}) {
  double r = 0, g = 0, b = 0, n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      if (keep && !keep(x, y)) continue;
      const QRgb pixel = image.pixel(x, y);
      r += qRed(pixel);
      g += qGreen(pixel);
      b += qBlue(pixel);
      ++n;
    }
  n = std::max(n, 1.0);
  return QColor::fromRgbF(float(r / n / 255), float(g / n / 255), float(b / n / 255));
}

// What a label's text lies over: the window drawn with the label hidden, over white, so that what
// nothing draws counts as white.
QColor MeanColourBehind(QWidget& window, QLabel& label) {
  const QRect text =
      label.style()->itemTextRect(label.fontMetrics(), label.contentsRect(), label.alignment(), true, label.text()) &
      label.rect();
  const QRect inWindow(label.mapTo(&window, text.topLeft()), text.size());
  QImage behind(inWindow.size(), QImage::Format_RGB32);
  behind.fill(Qt::white);
  label.hide();
  window.render(&behind, QPoint(), QRegion(inWindow));
  label.show();
  return MeanColour(behind);
}

// What a glyph button draws under its caption. The button draws its own face; drawn once with a
// black and once with a white caption, the pixels that differ are the caption's, and the others
// within their bounds are the face beneath it.
QColor MeanColourUnderCaption(TVxSpeedButton& button) {
  const TFont font = button.Font();
  auto drawnWith = [&](TColor colour) {
    TFont captionFont = font;
    captionFont.Color = colour;
    button.SetFont(captionFont);
    return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
  };
  const QImage black = drawnWith(clBlack);
  const QImage white = drawnWith(clWhite);
  button.SetFont(font);
  QRect caption;
  for (int y = 0; y < black.height(); ++y)
    for (int x = 0; x < black.width(); ++x)
      if (black.pixel(x, y) != white.pixel(x, y)) caption |= QRect(x, y, 1, 1);
  return MeanColour(black.copy(caption), [&](int x, int y) {
    return black.pixel(caption.x() + x, caption.y() + y) == white.pixel(caption.x() + x, caption.y() + y);
  });
}

// A caption drawn over the window's face, its colour, and the mean colour of what it lies over.
struct Caption {
  QWidget* Control;
  QString Text;
  QColor Colour;
  QColor Under;
};

std::vector<Caption> CaptionsOverTheWindow(QWidget& window) {
  std::vector<Caption> captions;
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (label->text().isEmpty() || !label->isVisibleTo(&window) || label->autoFillBackground() ||
        label->styleSheet().contains(QStringLiteral("background")))
      continue;
    captions.push_back(
        {label, label->text(), label->palette().color(label->foregroundRole()), MeanColourBehind(window, *label)});
  }
  for (TVxSpeedButton* button : ControlsOf<TVxSpeedButton>(window)) {
    if (button->Caption().empty() || !button->isVisibleTo(&window) || !button->Transparent()) continue;
    captions.push_back(
        {button, AnsiToQString(button->Caption()), QColorOf(button->Font().Color), MeanColourUnderCaption(*button)});
  }
  return captions;
}

class WindowTexts : public testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("null");
    std::filesystem::create_directories(Folder.Path / "skins");
    std::filesystem::create_directories(Folder.Path / "images");
    testing_support::WriteJpeg(Folder.Path / "images" / "000_HELP.JPG", 150, 160, qRgb(200, 220, 240));
  }
  void TearDown() override { Window.reset(); }

  void Start(const std::vector<std::string>& cards = {Card("Adams", "Alice"), Card("Baker", "Bob")}) {
    testing_support::WriteBook(Folder.Path / "AddressBook.abk", cards);
    Window = std::make_unique<TForm_Main>();
    ASSERT_TRUE(testing_support::ShowActive(*Window, {100, 80}));
  }

  TempProgramFolder Folder;
  std::unique_ptr<TForm_Main> Window;
  MessageBoxRecorder Boxes;
};

std::vector<std::string> HundredThousandCards() {
  std::vector<std::string> cards;
  cards.reserve(100000);
  for (int i = 0; i < 100000; ++i) cards.push_back(Card("Card" + std::to_string(i), "First"));
  return cards;
}

// Each window as the user opens it, over a small book and over one of a hundred thousand cards,
// whose counts are the widest numbers the windows show.
TEST_F(WindowTexts, EveryCaptionFitsItsControl) {
  for (const bool large : {false, true}) {
    SCOPED_TRACE(large ? "100000 cards" : "two cards");
    Start(large ? HundredThousandCards() : std::vector<std::string>{Card("Adams", "Alice"), Card("Baker", "Bob")});
    QTest::keyClick(Window.get(), Qt::Key_End);
    for (const OpenedWindow& opened : Windows()) {
      opened.Open(*Window, [&](QWidget& window) {
        for (const Overflow& overflow : CaptionsThatDoNotFit(window)) ADD_FAILURE() << opened.Name << ": " << overflow;
      });
    }
    Window.reset();
  }
}

// With no colour scheme each window shows the pictures its layout carries; every caption stays
// readable over them: with an empty skins folder, and with a scheme index past the last scheme.
TEST_F(WindowTexts, EveryCaptionIsReadableWithoutAScheme) {
  for (const bool pastTheLastScheme : {false, true}) {
    SCOPED_TRACE(pastTheLastScheme ? "index past the schemes" : "no schemes");
    if (pastTheLastScheme) {
      // Light schemes, so that a window that showed one instead would be seen.
      testing_support::WriteJpeg(Folder.Path / "skins" / "white1.jpg", 500, 300, qRgb(255, 255, 255));
      testing_support::WriteJpeg(Folder.Path / "skins" / "white2.jpg", 500, 60, qRgb(255, 255, 255));
      TRegLib settings;
      settings.WriteInteger(kSettingsKey, "CurrentSkin", 5);
    }
    Start();
    ASSERT_EQ(Window->SkinIndex, -1);
    for (const OpenedWindow& opened : Windows()) {
      opened.Open(*Window, [&](QWidget& window) {
        for (const Caption& caption : CaptionsOverTheWindow(window)) {
          EXPECT_GE(ContrastRatio(caption.Colour, caption.Under), 4.5)
              << opened.Name << ": " << caption.Control->objectName().toStdString() << " \""
              << caption.Text.toStdString() << "\" in " << caption.Colour.name().toStdString() << " over "
              << caption.Under.name().toStdString();
        }
      });
    }
    Window.reset();
  }
}

// The widest counter, "Card 100000 of 100000", in the counter's bold font.
TEST_F(WindowTexts, TheCounterOfAHundredThousandCardsFits) {
  Start(HundredThousandCards());
  QTest::keyClick(Window.get(), Qt::Key_End);
  QLabel* counter = Window->Controls().Label_CardNo;
  ASSERT_EQ(counter->text(), QStringLiteral("Card 100000 of 100000"));
  EXPECT_TRUE(counter->font().bold());
  // The look-alike of the windows' font that scripts/setup.sh installs (fonts-liberation2).
  EXPECT_EQ(QFontInfo(counter->font()).family(), QStringLiteral("Liberation Sans"));
  EXPECT_LE(QFontMetrics(counter->font()).horizontalAdvance(counter->text()), counter->contentsRect().width())
      << "in " << QFontInfo(counter->font()).family().toStdString() << " " << counter->font().pointSizeF();
}

}  // namespace

// The program's application object, so that the windows' fonts are found as in the program.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
