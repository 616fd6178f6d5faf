// The main window's dial, mail, web and help commands, driven as a user would: telephony against a
// fake ModemManager on a private bus, the shell through a fake xdg-open that records its arguments.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <optional>
#include <sstream>

#include "CodePage.h"
#include "Dialogs.h"
#include "FakeModemBus.h"
#include "FakeOpener.h"
#include "Form_About.h"
#include "Menus.h"
#include "Sound.h"
#include "TapiDial.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Form_About.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::FakeModemBus;
using testing_support::NoSystemBus;
using testing_support::TempProgramFolder;
using testing_support::UserClick;
using Lines = std::vector<std::string>;

struct Box {
  std::string Caption;
  std::string Text;
  bool operator==(const Box&) const = default;
};
[[maybe_unused]] void PrintTo(const Box& box, std::ostream* out) {
  *out << "[" << box.Caption << "] " << box.Text;
}

class CardCommands : public testing::Test {
 protected:
  CardCommands()
      : Previous(SetMessageBoxHandler([this](const MessageBoxRequest& request) {
          Boxes.push_back({AnsiToQString(request.Caption).toStdString(), AnsiToQString(request.Text).toStdString()});
          if (WhileBoxOpen) WhileBoxOpen();
          return IDOK;
        })) {
    SetSoundDevice("null");
  }
  ~CardCommands() override {
    Window.reset();
    SetMessageBoxHandler(std::move(Previous));
  }

  // The main window on an empty book, its dialer listing its texts in the status window.
  void Start() {
    Window = std::make_unique<TForm_Main>();
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    Window->TapiDialer->SetStatusWindow(true);
  }
  Ui::TForm_Main& Ui() { return Window->Controls(); }

  // Clicks the dial button. While its menu is open: reads the visible items, runs `meanwhile`, then
  // clicks the item captioned `choose`, or closes the menu. Returns the items; none when no menu opened.
  Lines DialMenu(const QString& choose = {}, const std::function<void()>& meanwhile = {}) {
    Lines shown;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      for (QAction* action : menu->actions())
        if (action->isVisible()) shown.push_back(action->isSeparator() ? "-" : action->iconText().toStdString());
      if (meanwhile) meanwhile();
      const auto actions = menu->actions();
      const auto item = std::find_if(actions.begin(), actions.end(),
                                     [&](QAction* a) { return a->isVisible() && a->iconText() == choose; });
      if (item == actions.end())
        menu->close();
      else
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*item).center());
    });
    UserClick(Ui().SButtonDial);
    QCoreApplication::processEvents();
    return shown;
  }

  static Lines Statuses() {
    Lines lines;
    if (QListWidget* list = StatusWindowList())
      for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
    return lines;
  }
  static bool WaitForStatus(const std::string& line) {
    return QTest::qWaitFor([&] { return std::ranges::count(Statuses(), line) > 0; }, 5000);
  }

  TempProgramFolder Folder;
  std::unique_ptr<TForm_Main> Window;
  std::vector<Box> Boxes;
  std::function<void()> WhileBoxOpen;
  MessageBoxHandler Previous;
};

TEST_F(CardCommands, DialMenuOffersTheFilledNumbers) {
  NoSystemBus none;
  Start();
  const struct {
    const char* phone;
    const char* cellular;
    Lines items;
  } cases[] = {
      {" 555 1234 ", "", {"Dial 555 1234", "-", "Modem setup"}},
      {"", "555 1234", {"Dial cellular 555 1234", "-", "Modem setup"}},
      {"01 234", "099 8&7", {"Dial 01 234", "Dial cellular 099 8&7", "-", "Modem setup"}},
      {"  ", " ", {}},
  };
  for (const auto& c : cases) {
    Ui().Edit_Phone->setText(QString::fromLatin1(c.phone));
    Ui().Edit_Fax->setText(QString::fromLatin1(c.cellular));
    EXPECT_EQ(DialMenu(), c.items) << c.phone << "|" << c.cellular;
  }
  // The "&" is shown, not taken as the item's shortcut.
  EXPECT_TRUE(QKeySequence::mnemonic(Window->Phone2->Action()->text()).isEmpty());
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(CardCommands, CallPlacedShowsItsProgressBehindTheHangUpBoxAndHangsUp) {
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager({QStringLiteral("--plain"), QStringLiteral("1")}));
  Start();
  Ui().Edit_Phone->setText(QStringLiteral("555 0000"));
  WhileBoxOpen = [] { WaitForStatus("-> Connected: 555 1234 "); };
  // The number is read again when the item is chosen.
  DialMenu(QStringLiteral("Dial 555 0000"), [this] { Ui().Edit_Phone->setText(QStringLiteral(" 555 1234 ")); });
  ASSERT_EQ(Boxes, (std::vector<Box>{{"Talking to 555 1234", "HangUp?"}}));
  ASSERT_TRUE(QTest::qWaitFor([] { return Statuses().size() == 8; }, 5000)) << testing::PrintToString(Statuses());
  const Lines statuses = Statuses();
  EXPECT_EQ(Lines(statuses.begin(), statuses.begin() + 5),
            (Lines{"-> LINE_REPLY ok", "-> Dialing: 555 1234", "-> Proceeding", "-> Connected: 555 1234 ",
                   "-> Line Dropped"}));
  // The hang-up's reply and the modem's news of the call's end may arrive in either order.
  Lines ending(statuses.begin() + 5, statuses.end());
  std::erase(ending, "-> LINE_REPLY ok");
  EXPECT_EQ(ending, (Lines{"-> Disconnected: normal", "-> Idle - call deallocated"}));
  EXPECT_TRUE(bus.WaitForLog(QStringLiteral("DeleteCall /org/freedesktop/ModemManager1/Call/1")));
  EXPECT_EQ(bus.Log().mid(2), (QStringList{QStringLiteral("CreateCall /org/freedesktop/ModemManager1/Modem/1 5551234"),
                                           QStringLiteral("Start /org/freedesktop/ModemManager1/Call/1"),
                                           QStringLiteral("Hangup /org/freedesktop/ModemManager1/Call/1"),
                                           QStringLiteral("DeleteCall /org/freedesktop/ModemManager1/Call/1")}));
  EXPECT_EQ(Window->Cards.Count(), 0);  // the commands store nothing
}

TEST_F(CardCommands, CallsThatEndBeforeTheBoxIsClosedCannotBeDroppedLater) {
  const struct {
    const char* script;
    Lines ending;
  } cases[] = {
      {"busy", {"-> Busy", "-> Disconnected: busy"}},
      {"remote", {"-> Proceeding", "-> Connected: 0800 ", "-> Disconnected: normal"}},
      {"error", {"-> Disconnected: "}},
  };
  for (const auto& c : cases) {
    Boxes.clear();
    FakeModemBus bus;
    ASSERT_TRUE(bus.StartModemManager({QStringLiteral("--script"), QString::fromLatin1(c.script)}));
    Start();
    Ui().Edit_Fax->setText(QStringLiteral("0800"));
    WhileBoxOpen = [] { WaitForStatus("-> Idle - call deallocated"); };
    DialMenu(QStringLiteral("Dial cellular 0800"));
    ASSERT_EQ(Boxes.size(), 1u) << c.script;
    Lines expected{"-> LINE_REPLY ok", "-> Dialing: 0800"};
    expected.insert(expected.end(), c.ending.begin(), c.ending.end());
    expected.insert(expected.end(), {"-> Idle - call deallocated", "-> Error in lineDrop"});
    EXPECT_EQ(Statuses(), expected) << c.script;
    QTest::qWait(50);  // a hang-up must not follow, so the wait for it is short and fixed
    EXPECT_TRUE(bus.Log().filter(QStringLiteral("Hangup")).isEmpty()) << c.script;
    Window.reset();
  }
}

TEST_F(CardCommands, DialingFailsWithTheErrorBoxWithoutDeviceOrForABadNumber) {
  const std::string tooLong(31, '1');
  const struct {
    const char* setting;  // "no bus", "no modem manager" or "modem"
    std::string number;
  } cases[] = {
      {"no bus", "555 1234"}, {"no modem manager", "555 1234"}, {"modem", "555 1234;ATH"}, {"modem", "555 1234 x 5"},
      {"modem", tooLong},
  };
  for (const auto& c : cases) {
    Boxes.clear();
    const std::string setting = c.setting;
    std::optional<NoSystemBus> none;
    std::optional<FakeModemBus> bus;
    if (setting == "no bus")
      none.emplace();
    else
      bus.emplace();
    if (setting == "modem") {
      ASSERT_TRUE(bus->StartModemManager());
    }
    Start();
    Ui().Edit_Phone->setText(QString::fromStdString(c.number));
    DialMenu(QStringLiteral("Dial ") + QString::fromStdString(c.number));
    EXPECT_EQ(Boxes, (std::vector<Box>{{ApplicationTitle(), "Error during dialing?!"}})) << c.number;
    EXPECT_EQ(LastStatusText(), "Error in lineMakeCall");
    if (setting == "modem") {
      EXPECT_TRUE(bus->Log().filter(QStringLiteral("CreateCall")).isEmpty()) << c.number;
    }
    Window.reset();
  }
}

TEST_F(CardCommands, ModemSetupShowsTheModemOrNothing) {
  {
    NoSystemBus none;
    Start();
    Ui().Edit_Phone->setText(QStringLiteral("1"));
    DialMenu(QStringLiteral("Modem setup"));
    EXPECT_TRUE(Boxes.empty());
    Window.reset();
  }
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager());
  Start();
  Ui().Edit_Phone->setText(QStringLiteral("1"));
  DialMenu(QStringLiteral("Modem setup"));
  EXPECT_EQ(Boxes, (std::vector<Box>{{"Modem setup",
                                      "Manufacturer: Velmora Test Modems\nModel: VX-1\nRevision: 1.0.7\n"
                                      "State: registered\nOwn numbers: +385 1 555 0100"}}));
}

// The shell's opener is a fake that records each argument it gets.
class ShellCommands : public CardCommands {
 protected:
  // Waits for the count-th argument and returns all arguments so far.
  Lines Opened(std::size_t count) const {
    Lines lines;
    std::istringstream text(Opener.Opened(static_cast<int>(count)));
    for (std::string line; std::getline(text, line);)
      if (!line.empty()) lines.push_back(line);
    return lines;
  }

  testing_support::FakeOpener Opener{Folder};
};

TEST_F(ShellCommands, MailAndWebOpenTheirAddressesAndNothingWhenBlank) {
  NoSystemBus none;
  Start();
  const struct {
    TVxSpeedButton* (*button)(Ui::TForm_Main&);
    TEdit* (*field)(Ui::TForm_Main&);
    const char* typed;
    const char* opened;  // nullptr: nothing
  } cases[] = {
      {[](Ui::TForm_Main& u) { return u.SButtonEmail; }, [](Ui::TForm_Main& u) { return u.Edit_Email; }, " bob@x.org ",
       "mailto:bob@x.org"},
      {[](Ui::TForm_Main& u) { return u.SButtonEmail; }, [](Ui::TForm_Main& u) { return u.Edit_Email; },
       "bob@x.org?attach=/etc/passwd", "mailto:bob@x.org%3Fattach%3D%2Fetc%2Fpasswd"},
      {[](Ui::TForm_Main& u) { return u.SButtonEmail; }, [](Ui::TForm_Main& u) { return u.Edit_Email; }, "   ",
       nullptr},
      {[](Ui::TForm_Main& u) { return u.VxSpeedButton2; }, [](Ui::TForm_Main& u) { return u.Edit_WebSite; },
       " www.example.org ", "http://www.example.org"},
      {[](Ui::TForm_Main& u) { return u.VxSpeedButton2; }, [](Ui::TForm_Main& u) { return u.Edit_WebSite; },
       "HTTPS://example.org/a", "HTTPS://example.org/a"},
      {[](Ui::TForm_Main& u) { return u.VxSpeedButton2; }, [](Ui::TForm_Main& u) { return u.Edit_WebSite; },
       "hTTp://example.org", "hTTp://example.org"},
      {[](Ui::TForm_Main& u) { return u.VxSpeedButton2; }, [](Ui::TForm_Main& u) { return u.Edit_WebSite; }, "",
       nullptr},
  };
  Lines expected;
  for (const auto& c : cases) {
    c.field(Ui())->setText(QString::fromLatin1(c.typed));
    UserClick(c.button(Ui()));
    if (c.opened) expected.push_back(c.opened);
    Opened(expected.size());  // each detached opener has written before the next one starts
  }
  EXPECT_EQ(Opened(expected.size()), expected);
  QTest::qWait(100);  // and nothing for the blank fields: a fixed wait, as nothing must come
  EXPECT_EQ(Opened(expected.size()), expected);
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(Window->Cards.Count(), 0);
}

TEST_F(ShellCommands, HelpButtonAndF1OpenTheHelpPage) {
  NoSystemBus none;
  Start();
  Ui().Edit_SurName->setFocus();
  QTest::keyClick(Ui().Edit_SurName, Qt::Key_F1);
  const std::string page = Folder.File("vab.html");
  EXPECT_EQ(Opened(1), Lines{page});  // each detached opener has written before the next one starts
  const TFormAbout* about = testing_support::DriveModal<TFormAbout>(
      Window.get(), [this] { UserClick(Ui().Button_About); },
      [](TFormAbout& window) { UserClick(window.Controls().VxBtnHelp); });
  EXPECT_NE(about, nullptr) << "the about window did not open";
  EXPECT_EQ(Opened(2), (Lines{page, page}));
}

// A modem that refuses the call, or a bus that stops answering after the start: no call exists, so
// the error box comes, within a few seconds, and never the hang-up box.
TEST_F(CardCommands, ACallNotPlacedShowsTheErrorBoxAndNoHangUpBox) {
  for (const bool refused : {true, false}) {
    Boxes.clear();
    FakeModemBus bus;
    ASSERT_TRUE(bus.StartModemManager(refused ? QStringList{QStringLiteral("--script"), QStringLiteral("refuse-call")}
                                              : QStringList{}));
    Start();
    if (!refused) bus.StopDaemon();
    Ui().Edit_Phone->setText(QStringLiteral("555 1234"));
    QElapsedTimer clock;
    clock.start();
    DialMenu(QStringLiteral("Dial 555 1234"));
    EXPECT_LT(clock.elapsed(), 3000) << refused;
    EXPECT_EQ(Boxes, (std::vector<Box>{{ApplicationTitle(), "Error during dialing?!"}})) << refused;
    EXPECT_EQ(Statuses(), Lines{"-> Error in lineMakeCall"}) << refused;
    Window.reset();
  }
}

TEST_F(CardCommands, AWedgedBusHoldsNeitherTheStartNorTheDialNorTheExit) {
  {
    testing_support::SilentBus wedged;
    QElapsedTimer clock;
    clock.start();
    Start();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(LastStatusText(), "Error!!");
    Ui().Edit_Phone->setText(QStringLiteral("555 1234"));
    clock.restart();
    DialMenu(QStringLiteral("Dial 555 1234"));
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_EQ(Boxes, (std::vector<Box>{{ApplicationTitle(), "Error during dialing?!"}}));
    Window.reset();
  }
  // Alt+X while the modem's answer is awaited ends the program's loop at once, with no box.
  Boxes.clear();
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager());
  Start();
  bus.StopDaemon();
  Ui().Edit_Phone->setText(QStringLiteral("555 1234"));
  QElapsedTimer sinceExit;
  QTimer::singleShot(0, [&] {
    // Once the item is chosen the menu is gone, and the dialer waits for the modem in a loop of its own.
    bool chosen = false;
    QTimer awaiting;
    awaiting.callOnTimeout([&] {
      if (!chosen || QApplication::activePopupWidget() || QThread::currentThread()->loopLevel() < 2) return;
      awaiting.stop();
      Window->activateWindow();  // as the closed menu leaves it
      EXPECT_TRUE(QTest::qWaitForWindowActive(Window.get()));
      sinceExit.start();
      QTest::keyClick(Window.get(), Qt::Key_X, Qt::AltModifier);
    });
    awaiting.start(10);
    DialMenu(QStringLiteral("Dial 555 1234"), [&] { chosen = true; });
  });
  QTimer guard;  // fails the test instead of hanging it
  guard.callOnTimeout(qApp, &QCoreApplication::quit);
  guard.start(10000);
  QApplication::exec();
  EXPECT_TRUE(guard.isActive());
  EXPECT_LT(sinceExit.elapsed(), 500);
  EXPECT_FALSE(Window->isVisible());
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(LastStatusText(), "Error in lineMakeCall");
  QElapsedTimer closing;
  closing.start();
  Window.reset();
  EXPECT_LT(closing.elapsed(), 1000);
}

}  // namespace
