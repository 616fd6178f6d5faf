// Each window under a real window manager (OnXvfbWithWindowManager.sh): whether it has a caption
// bar, the border icons it asks the window manager for (the Motif hints that window managers read),
// and whether the window manager lets it be maximised.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>

#include "Form_About.h"
#include "Form_Export.h"
#include "Form_Grid.h"
#include "Form_Img.h"
#include "Form_Navigate.h"
#include "Form_Options.h"
#include "Form_Outlook.h"
#include "Form_Print.h"
#include "Form_PrintDlg.h"
#include "Form_Search.h"
#include "Sound.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "WindowFixtures.h"
#include "XWindow.h"

namespace {

QList<unsigned> Numbers(const QString& list) {
  QList<unsigned> numbers;
  for (const QString& item : list.split(QLatin1Char(','))) numbers.push_back(item.trimmed().toUInt(nullptr, 0));
  return numbers;
}

struct TBorder {
  bool CaptionBar = false;
  // The boxes beside the caption: close (the system menu), minimise, maximise.
  bool Close = false;
  bool Minimize = false;
  bool Maximize = false;
  // The window manager lets the window be maximised.
  bool Maximizable = false;
};

std::ostream& operator<<(std::ostream& out, const TBorder& b) {
  return out << "caption bar " << b.CaptionBar << ", close " << b.Close << ", minimise " << b.Minimize << ", maximise "
             << b.Maximize << ", maximisable " << b.Maximizable;
}

// What a shown window asks for and is offered, once the window manager has framed it.
TBorder SeenBorder(const QWidget& window) {
  QString actions;
  QString extents;
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        actions = testing_support::XWindowPropertyValue(window, "_NET_WM_ALLOWED_ACTIONS");
        extents = testing_support::XWindowPropertyValue(window, "_NET_FRAME_EXTENTS");
        return !actions.isEmpty() && !extents.isEmpty();
      },
      5000));
  TBorder seen;
  // Left, right, top, bottom: a caption bar makes the top much deeper than the sides.
  const QList<unsigned> frame = Numbers(extents);
  seen.CaptionBar = frame.size() == 4 && frame[2] > frame[0] + 4;
  // Flags, functions, decorations, ...: functions count when their flag is set, else all are allowed.
  const QList<unsigned> motif = Numbers(testing_support::XWindowPropertyValue(window, "_MOTIF_WM_HINTS"));
  const bool allFunctions = motif.size() < 2 || !(motif[0] & 1) || (motif[1] & 1);
  seen.Close = allFunctions || (motif[1] & 0x20);
  seen.Minimize = allFunctions || (motif[1] & 0x08);
  seen.Maximize = allFunctions || (motif[1] & 0x10);
  seen.Maximizable = actions.contains(QLatin1String("_NET_WM_ACTION_MAXIMIZE_HORZ"));
  return seen;
}

// The caption bar's strip of the screen, when VAB_SCREENSHOT names a folder for it.
void SaveCaptionBar(const QWidget& window, const char* name) {
  testing_support::SaveScreenStrip(window, QLatin1String(name), 60);
}

TEST(BorderIcons, EachWindowHasTheCaptionBarAndBoxesOfItsBorder) {
  SetSoundDevice("null");
  testing_support::TempProgramFolder folder;
  testing_support::MessageBoxRecorder boxes;
  TForm_Main main;
  auto* report = new TFormPrint(&main);
  struct Case {
    const char* Window;
    std::function<QWidget*()> Make;
    TBorder Expected;
  };
  // The caption bar of a window that drops it takes its boxes along: those are not read.
  const Case cases[] = {
      {"main", [&] { return &main; }, {true, true, true, false, false}},  // single, system menu and minimise
      {"picture-browser", [] { return new TFormImg(); }, {}},
      {"about", [] { return new TFormAbout(); }, {}},
      {"search", [] { return new TFormSearch(); }, {}},
      {"list-view", [] { return new TFormGrid(); }, {}},
      {"letter-list", [] { return new TFormNavigate(); }, {}},
      {"export", [] { return new TFormExport(); }, {true, false, false, false, false}},  // single, no icons
      {"options", [] { return new TFormOptions(); }, {}},
      {"import", [] { return new TFormOutlook(); }, {true, true, true, false, false}},  // system menu, minimise
      {"print-dialog", [&] { return new TFormPrintDlg(report, &main); }, {true, true, false, false, false}},
      // Single border with the default icons; the program never shows it, and it is sized at creation.
      {"report", [&] { return report; }, {true, true, true, true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Window);
    QWidget* window = c.Make();
    window->show();
    TBorder seen = SeenBorder(*window);
    SaveCaptionBar(*window, c.Window);
    if (!c.Expected.CaptionBar) seen.Close = seen.Minimize = seen.Maximize = false;
    EXPECT_EQ(testing::PrintToString(seen), testing::PrintToString(c.Expected));
    window->hide();
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
