// The dialer on a form, against a fake ModemManager on a private bus or against no bus at all.
#include "TapiDial.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CodePage.h"
#include "Dialogs.h"
#include "FakeModemBus.h"
#include "Forms.h"

namespace {

using testing_support::FakeModemBus;
using testing_support::NoSystemBus;

using Lines = std::vector<std::string>;

struct Box {
  QString Caption;
  QString Text;
};

// A form with a dialer; message boxes are recorded and answered with OK, after WhileBoxOpen has run
// inside them.
class Dialer : public testing::Test {
 protected:
  Dialer()
      : Previous(SetMessageBoxHandler([this](const MessageBoxRequest& request) {
          Boxes.push_back({AnsiToQString(request.Caption), AnsiToQString(request.Text)});
          if (WhileBoxOpen) WhileBoxOpen();
          return IDOK;
        })) {}
  ~Dialer() override {
    Tapi.reset();
    SetMessageBoxHandler(std::move(Previous));
  }

  void Create() { Tapi = std::make_unique<TTapiDial>(&Form); }

  // The status window's lines so far.
  static Lines Statuses() {
    Lines lines;
    if (QListWidget* list = StatusWindowList())
      for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
    return lines;
  }
  static bool WaitForStatus(const std::string& line) {
    return QTest::qWaitFor([&] { return std::ranges::count(Statuses(), line) > 0; }, 5000);
  }
  static Lines From(const Lines& lines, std::size_t first) {
    return first < lines.size() ? Lines(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end()) : Lines();
  }

  TForm Form;
  std::unique_ptr<TTapiDial> Tapi;
  std::vector<Box> Boxes;
  std::function<void()> WhileBoxOpen;
  MessageBoxHandler Previous;
};

TEST_F(Dialer, OnlyOneDialerAndOnlyOnAForm) {
  TComponent dataModule;
  for (QObject* owner : {static_cast<QObject*>(nullptr), static_cast<QObject*>(&dataModule)}) {
    try {
      TTapiDial dialer(owner);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message, "Please drop the component onto a Form!");
    }
  }
  NoSystemBus none;
  Create();
  try {
    TTapiDial second(&Form);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message, "There is TTApiDial component already on this form");
  }
  EXPECT_EQ(std::ranges::count_if(Form.children(), [](QObject* child) { return dynamic_cast<TTapiDial*>(child); }), 1);
}

TEST_F(Dialer, OpeningTheLineListsItsStepsInTheHiddenStatusWindow) {
  {
    NoSystemBus none;
    Create();
    ASSERT_NE(StatusWindowForm(), nullptr);
    EXPECT_FALSE(StatusWindowForm()->isVisible());
    EXPECT_EQ(StatusWindowForm()->windowTitle(), QStringLiteral("Dial Stauts"));
    EXPECT_EQ(Statuses(), (Lines{"-> Initializing TAPI", "-> No TAPI devices", "-> Error!!"}));
    Tapi.reset();  // the last text reaches no list
    EXPECT_EQ(LastStatusText(), "TAPI terminated");
    EXPECT_EQ(StatusWindowForm(), nullptr);
  }
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager());
  Create();
  EXPECT_EQ(Statuses(), (Lines{"-> Initializing TAPI", "-> TAPI successfully initialized"}));

  // The same call dialog changes nothing; another reopens the line.
  Tapi->SetCallDialog(TCallDialog::None);
  EXPECT_EQ(Statuses().size(), 2u);
  Tapi->SetCallDialog(TCallDialog::Win95);
  EXPECT_EQ(From(Statuses(), 2), (Lines{"-> Call dialog set to: Win95", "-> TAPI terminated", "-> Initializing TAPI",
                                        "-> TAPI successfully initialized"}));

  // With the platform's own call dialog, a placed call shows no box.
  Tapi->SetTelephonNo("555 77");
  Tapi->Dial();
  EXPECT_TRUE(bus.WaitForLog(QStringLiteral("CreateCall /org/freedesktop/ModemManager1/Modem/0 55577")));
  EXPECT_TRUE(WaitForStatus("-> Connected: 555 77 "));
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(Dialer, StatusWindowShowsAndGoes) {
  NoSystemBus none;
  Create();
  Tapi->SetStatusWindow(false);  // as the main window streams it: the hidden window goes
  EXPECT_EQ(StatusWindowForm(), nullptr);
  Tapi->SetTelephonNo("1");
  Tapi->Dial();
  EXPECT_EQ(LastStatusText(), "Error in lineMakeCall");
  Tapi->SetStatusWindow(true);
  ASSERT_NE(StatusWindowForm(), nullptr);
  EXPECT_TRUE(StatusWindowForm()->isVisible());
  EXPECT_TRUE(StatusWindowForm()->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(StatusWindowForm()->geometry().size(), QSize(230, 100));
  Tapi->Dial();
  EXPECT_EQ(Statuses(), Lines{"-> Error in lineMakeCall"});
  EXPECT_EQ(StatusWindowList()->currentRow(), 0);
}

TEST_F(Dialer, NumbersThatAreEmptyOrTooLongPlaceNoCall) {
  FakeModemBus bus;
  ASSERT_TRUE(bus.StartModemManager());
  Create();
  Tapi->SetTelephonNo("");
  Tapi->Dial();
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(LastStatusText(), "TAPI successfully initialized");

  const AnsiString thirtyOne(31, '5');
  Tapi->SetTelephonNo(thirtyOne);
  Tapi->Dial();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text, QStringLiteral("Error during dialing?!"));
  EXPECT_EQ(LastStatusText(), "Error in lineMakeCall");

  Tapi->SetTelephonNo(thirtyOne.substr(1));  // 30 characters are dialled whole
  Tapi->Dial();
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[1].Text, QStringLiteral("HangUp?"));
  EXPECT_TRUE(bus.WaitForLog(QStringLiteral("CreateCall /org/freedesktop/ModemManager1/Modem/0 ") + QString(30, u'5')));
  EXPECT_EQ(bus.Log().filter(QStringLiteral("CreateCall")).size(), 1);
}

TEST_F(Dialer, CroatianTextsReadAsWindows1250) {
  std::optional<FakeModemBus> bus(std::in_place);
  ASSERT_TRUE(bus->StartModemManager({QStringLiteral("--script"), QStringLiteral("remote")}));
  Create();
  Tapi->SetLanguage(TLanguage::croatian);
  Tapi->SetStatusWindow(false);
  Tapi->SetStatusWindow(true);
  EXPECT_EQ(StatusWindowForm()->windowTitle(), QStringLiteral("Status Linije"));
  Tapi->SetTelephonNo("555 1");
  WhileBoxOpen = [] { WaitForStatus("-> Poziv je odbačen"); };
  Tapi->Dial();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Caption, QStringLiteral("Talking to 555 1"));
  EXPECT_EQ(Boxes[0].Text, QStringLiteral("Kada završite razgovor, pritisnite dugme da prekinete vezu."));
  EXPECT_EQ(Statuses(),
            (Lines{"-> LINE_REPLY ok", "-> Zovem: 555 1", "-> Nastavljam", "-> Veza je uspostavljena: 555 1 ",
                   "-> Linija je isključena: normalno", "-> Poziv je odbačen", "-> Greška u zatvaranju linije."}));

  bus.emplace();  // a bus without ModemManager: no device
  Tapi->SetCallDialog(TCallDialog::Win95);
  EXPECT_EQ(From(Statuses(), 7), (Lines{"-> Dijalog za poziv je promjenjen u: Win95", "-> Završili smo sa TAPI-jem.",
                                        "-> Inicijaliziram TAPI", "-> Nemate instaliranih TAPI uređaja"}));
  Tapi->Dial();
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[1].Text, QStringLiteral("Greška u zvanju"));
}

}  // namespace
