#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <thread>

#include "CardBook.h"
#include "ContactsServer.h"
#include "Dialogs.h"
#include "Form_Export.h"
#include "Form_Grid.h"
#include "Form_Options.h"
#include "Form_Outlook.h"
#include "Menus.h"
#include "RegLib.h"
#include "Shell.h"
#include "Sound.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "UserInput.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Form_Options.h"
#include "ui_Form_Outlook.h"
#include "ui_Unit_Main.h"

namespace {

using testing_support::Card;
using testing_support::ChooseFromMenu;
using testing_support::ReadBytes;
using testing_support::TempProgramFolder;
using testing_support::UserClick;
using testing_support::WriteBytes;

std::string Fixture(const char* name) {
  return ReadBytes(std::filesystem::path(VAB_TEST_DATA) / "vcard" / name);
}

// A card line from its first fields in field order; the rest empty.
std::string Full(std::initializer_list<std::string_view> fields) {
  CardValues values{};
  std::size_t k = 0;
  for (std::string_view field : fields) values[k++] = field;
  return BuildCardLine(values);
}

std::vector<std::string> Lines(const TStringList& cards) {
  return {cards.begin(), cards.end()};
}

// The shared modal-window driver, with a context of its own.
template <class TWindow>
TWindow* Modal(const std::function<void()>& open, const std::function<void(TWindow&)>& drive) {
  QObject context;
  return testing_support::DriveModal<TWindow>(&context, open, drive);
}

// The main window over a program folder with a book of three cards; the message boxes answer as
// Answers says (OK by default) and the file dialogs with NextFile.
class OptionsWindow : public testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("null");
    PreviousBoxes = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
      Shown.push_back(request.Text);
      if (Answers.empty()) return static_cast<int>(IDOK);
      const int answer = Answers.front();
      Answers.erase(Answers.begin());
      return answer;
    });
    PreviousDialogs = SetOpenDialogHandler([this](const OpenDialogRequest& request) {
      Dialogs.push_back(request);
      return NextFile;
    });
    RegisterContactsServer();
  }
  void TearDown() override {
    Window.reset();
    SetMessageBoxHandler(std::move(PreviousBoxes));
    SetOpenDialogHandler(std::move(PreviousDialogs));
  }

  void Start(const std::vector<std::string>& cards = {Card("Cid"), Card("Ann"), Card("Bob")}) {
    testing_support::WriteBook(Folder.Path / "AddressBook.abk", cards);
    Window = std::make_unique<TForm_Main>();
    ASSERT_TRUE(testing_support::ShowActive(*Window, {150, 100}));
  }

  TFormOptions* Tools(const std::function<void(TFormOptions&)>& drive) {
    return Modal<TFormOptions>([this] { UserClick(Ui().Button_Tools); }, drive);
  }
  // Opens the import window from the options window and drives it.
  TFormOutlook* Import(const std::function<void(TFormOutlook&)>& drive) {
    TFormOutlook* opened = nullptr;
    Tools([&](TFormOptions& options) {
      opened = Modal<TFormOutlook>(
          [&] { ChooseFromMenu(options.Controls().VxBtnImpExp, options.pmImpExp->Items(0)->Action()); }, drive);
    });
    return opened;
  }
  void UseVCard(const std::string& data) {
    WriteBytes(Folder.Path / "contacts.vcf", data);
    NextFile = Folder.File("contacts.vcf");
  }

  Ui::TForm_Main& Ui() { return Window->Controls(); }

  TempProgramFolder Folder;
  std::unique_ptr<TForm_Main> Window;
  std::vector<AnsiString> Shown;
  std::vector<int> Answers;
  std::vector<OpenDialogRequest> Dialogs;
  std::optional<AnsiString> NextFile;
  MessageBoxHandler PreviousBoxes;
  OpenDialogHandler PreviousDialogs;
};

int StoredPlaySounds() {
  TRegLib settings;
  return settings.ReadInteger(kSettingsKey, "PlaySounds", -7, false);
}

TEST_F(OptionsWindow, ToolsStoresTheCardOpensBesideTheMainWindowAndShowsTheCardAfresh) {
  Start();
  UserClick(Ui().Button_Next);
  QTest::keyClicks(Ui().Edit_Company, QStringLiteral("Acme"));
  TFormOptions* options = Modal<TFormOptions>(
      [this] { QTest::keyClick(Window.get(), Qt::Key_T, Qt::AltModifier); },
      [&](TFormOptions& w) {
        EXPECT_EQ(Window->Cards[1], Full({"Ann", "", "Acme"}));  // stored before the window opened
        const QPoint client = Window->mapToGlobal(QPoint(0, 0));
        const QPoint tools = Ui().Button_Tools->mapToGlobal(QPoint(0, 0));
        EXPECT_EQ(w.pos(), QPoint(client.x() + 48, tools.y() + Ui().Button_Tools->height() / 4));
        EXPECT_EQ(w.size(), QSize(388, 328));
        EXPECT_EQ(w.Controls().Label4->text(), QStringLiteral("Velmora Address Book - Tools & Options"));
        Ui().Edit_SurName->setText(QStringLiteral("changed on view"));
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
      });
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(options, FormOptions);
  EXPECT_EQ(Ui().Edit_SurName->text(), QStringLiteral("Ann"));
  EXPECT_FALSE(Window->Modified);
}

TEST_F(OptionsWindow, SoundSwitchFollowsTheStoredValueActsAtOnceAndIsStoredAtClose) {
  {
    TRegLib settings;
    settings.WriteInteger(kSettingsKey, "PlaySounds", 2);
  }
  Start();
  EXPECT_FALSE(Window->SoundsOn);
  Tools([&](TFormOptions& w) { EXPECT_TRUE(w.Controls().CheckSound->isChecked()); });
  EXPECT_EQ(StoredPlaySounds(), 0);

  Tools([&](TFormOptions& w) {
    QTest::mouseClick(w.Controls().CheckSound, Qt::LeftButton);
    EXPECT_TRUE(Window->SoundsOn);  // at once
    UserClick(w.Controls().VxBtnClose);
  });
  EXPECT_EQ(StoredPlaySounds(), 1);

  Tools([&](TFormOptions& w) {
    QTest::mouseClick(w.Controls().CheckSound, Qt::LeftButton);
    EXPECT_FALSE(Window->SoundsOn);
    QTest::keyClick(&w, Qt::Key_Escape);
  });
  EXPECT_EQ(StoredPlaySounds(), 0);
  EXPECT_FALSE(Window->SoundsOn);
}

TEST_F(OptionsWindow, SortKeepsTheIndexGreysItsCaptionUntilTheNextOpening) {
  Start({Card("Smithson", "Al"), Card("smith", "Zoe"), Card("Smith", "Adam")});
  UserClick(Ui().Button_Next);  // index 1
  Tools([&](TFormOptions& w) {
    EXPECT_EQ(w.Controls().VxBtnSort->Font().Color, static_cast<TColor>(0xE6FFFD));
    UserClick(w.Controls().VxBtnSort);
    EXPECT_EQ(w.Controls().VxBtnSort->Font().Color, static_cast<TColor>(0xC0C0C0));
  });
  EXPECT_EQ(Lines(Window->Cards),
            (std::vector<std::string>{Card("Smith", "Adam"), Card("smith", "Zoe"), Card("Smithson", "Al")}));
  EXPECT_EQ(Window->CurrentCard, 1);
  EXPECT_EQ(Ui().Edit_Name->text(), QStringLiteral("Zoe"));
  Tools([&](TFormOptions& w) { EXPECT_EQ(w.Controls().VxBtnSort->Font().Color, static_cast<TColor>(0xE6FFFD)); });
}

TEST_F(OptionsWindow, BackupWritesTheBookWhereTheUserSaysAndReportsWhatFails) {
  Start();
  NextFile = Folder.File("saved.bkp");
  Tools([&](TFormOptions& w) { ChooseFromMenu(w.Controls().VxBtnBackup, w.pmBackup->Items(0)->Action()); });
  ASSERT_EQ(Dialogs.size(), 1u);
  EXPECT_TRUE(Dialogs[0].Save);
  EXPECT_EQ(Dialogs[0].FileName, "Address Book Backup");
  EXPECT_EQ(Dialogs[0].Filter, "Address Book Backup|*.bkp");
  EXPECT_EQ(Dialogs[0].DefaultExt, "bkp");  // the dialog adds it, and asks before overwriting
  EXPECT_EQ(Dialogs[0].InitialDir, Folder.Path.string() + "/");
  EXPECT_EQ(ReadBytes(Folder.Path / "saved.bkp"),
            "ABK10\r\n" + Card("Cid") + "\r\n" + Card("Ann") + "\r\n" + Card("Bob") + "\r\n");

  const std::vector<std::string> before = Lines(Window->Cards);
  for (const char* target : {"missing/x.bkp", "AddressBook.abk", "AddressBook.bkp"}) {
    Shown.clear();
    NextFile = Folder.File(target);
    Tools([&](TFormOptions& w) { ChooseFromMenu(w.Controls().VxBtnBackup, w.pmBackup->Items(0)->Action()); });
    EXPECT_EQ(Shown.size(), 1u) << target;
    EXPECT_EQ(Lines(Window->Cards), before);
  }
  EXPECT_NE(Shown.back().find("own file"), AnsiString::npos);
  EXPECT_FALSE(std::filesystem::exists(Folder.Path / "AddressBook.bkp"));

  Shown.clear();
  NextFile.reset();  // cancelled
  Tools([&](TFormOptions& w) { ChooseFromMenu(w.Controls().VxBtnBackup, w.pmBackup->Items(0)->Action()); });
  EXPECT_TRUE(Shown.empty());
}

TEST_F(OptionsWindow, RestoreReplacesTheBookInMemoryAndAsksBeforeTakingANonBook) {
  Start();
  UserClick(Ui().Button_Next);
  UserClick(Ui().Button_Next);  // index 2
  WriteBytes(Folder.Path / "one.bkp", "ABK10\r\n" + Card("Zed") + "\r\n");
  NextFile = Folder.File("one.bkp");
  Tools([&](TFormOptions& w) { ChooseFromMenu(w.Controls().VxBtnBackup, w.pmBackup->Items(1)->Action()); });
  EXPECT_FALSE(Dialogs.back().Save);
  EXPECT_EQ(Lines(Window->Cards), std::vector<std::string>{Card("Zed")});
  EXPECT_TRUE(Shown.empty());
  // The index stays past the shorter book: the fields keep what they showed.
  EXPECT_EQ(Window->CurrentCard, 2);
  EXPECT_EQ(Ui().Label_CardNo->text(), QStringLiteral("Card 3 of 2"));
  EXPECT_EQ(ReadBytes(Folder.Path / "AddressBook.abk").find("Zed"), std::string::npos);  // not saved yet

  WriteBytes(Folder.Path / "list.csv", "Name;Phone\nDoe;555\nRoe;556\n");
  NextFile = Folder.File("list.csv");
  Answers = {IDNO};
  Tools([&](TFormOptions& w) { ChooseFromMenu(w.Controls().VxBtnBackup, w.pmBackup->Items(1)->Action()); });
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_NE(Shown[0].find("not an address book backup"), AnsiString::npos);
  EXPECT_EQ(Lines(Window->Cards), std::vector<std::string>{Card("Zed")});

  Answers = {IDYES};
  Tools([&](TFormOptions& w) { ChooseFromMenu(w.Controls().VxBtnBackup, w.pmBackup->Items(1)->Action()); });
  EXPECT_EQ(Lines(Window->Cards), (std::vector<std::string>{"Doe;555", "Roe;556"}));

  Shown.clear();
  NextFile = Folder.File("gone.bkp");
  Tools([&](TFormOptions& w) { ChooseFromMenu(w.Controls().VxBtnBackup, w.pmBackup->Items(1)->Action()); });
  EXPECT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Lines(Window->Cards), (std::vector<std::string>{"Doe;555", "Roe;556"}));
}

TEST_F(OptionsWindow, ListViewExportAndWebPageLaunchers) {
  Start({});
  Tools([&](TFormOptions& w) {
    EXPECT_EQ(Modal<TFormGrid>([&] { UserClick(w.Controls().VxSpeedButton1); }, [](TFormGrid&) {}), nullptr);
  });
  EXPECT_EQ(Shown, std::vector<AnsiString>{"Your Address Book is Empty - ZuruVavad is not available"});

  Window.reset();
  Start();
  Tools([&](TFormOptions& w) {
    TFormGrid* grid = Modal<TFormGrid>([&] { UserClick(w.Controls().VxSpeedButton1); },
                                       [&](TFormGrid& g) { EXPECT_EQ(g.Opener, &w); });
    EXPECT_NE(grid, nullptr);
    EXPECT_NE(Modal<TFormExport>([&] { ChooseFromMenu(w.Controls().VxBtnImpExp, w.pmImpExp->Items(1)->Action()); },
                                 [](TFormExport&) {}),
              nullptr);
    SetShellVerbHandler("print", [](HWND, std::string_view, int) { return 42; });
    ChooseFromMenu(w.Controls().VxBtnHTML, w.PopupMenuExport->Items(1)->Action());
    SetShellVerbHandler("print", {});
  });
  EXPECT_NE(ReadBytes(Folder.Path / "indexprn.html").find("Ann"), std::string::npos);
}

TEST_F(OptionsWindow, VisitHandsTheUnscrambledAddressToTheOpener) {
  // A fake opener first on PATH that records its arguments.
  const auto bin = Folder.Path / "bin";
  std::filesystem::create_directory(bin);
  const auto log = Folder.Path / "opened.log";
  WriteBytes(bin / "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + log.string() + "'\n");
  std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
  const std::string path = getenv("PATH");
  setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
  Start();
  Tools([&](TFormOptions& w) { UserClick(w.Controls().VxBtnVisit); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return ReadBytes(log) == "https://velmora.example/\n"; }, 5000)) << ReadBytes(log);
  setenv("PATH", path.c_str(), 1);
}

// ---- the contacts import ----

TEST_F(OptionsWindow, ImportAppendsTheContactsOfTheChosenFile) {
  Start();
  UserClick(Ui().Button_Next);  // index 1
  UseVCard(Fixture("v21.vcf"));
  TFormOutlook* import = Import([&](TFormOutlook& w) {
    auto& c = w.Controls();
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" Import vCard Contacts"));
    EXPECT_EQ(c.PGCtrl->currentIndex(), 0);
    EXPECT_FALSE(c.BtnPrev->isEnabled());
    EXPECT_TRUE(c.rbAppend->isChecked());
    EXPECT_FALSE(c.lblWarn->isVisible());
    UserClick(c.BtnNext);
    EXPECT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(c.PGCtrl->currentIndex(), 1);
    EXPECT_EQ(c.lblOutlookVersion->text(), QStringLiteral("2.1"));
    EXPECT_EQ(c.lblOutlookContacts->text(), QStringLiteral("2"));
    EXPECT_TRUE(c.lblWarn->isVisible());
    // What the import does here, not a mail client's security prompt, in the label's own room.
    EXPECT_TRUE(c.lblWarn->text().startsWith(u"The contacts are read from the vCard file you chose"))
        << c.lblWarn->text().toStdString();
    EXPECT_LE(c.lblWarn->heightForWidth(c.lblWarn->width()), c.lblWarn->height());
    EXPECT_EQ(c.lblFinish->text(), QStringLiteral("Click [Finish] to import your vCard Contacts"));
    EXPECT_EQ(c.BtnNext->text(), QStringLiteral("Finish"));
    EXPECT_TRUE(c.BtnPrev->isEnabled());
    UserClick(c.BtnPrev);
    EXPECT_EQ(c.BtnNext->text(), QStringLiteral("Next >"));
    UserClick(c.BtnNext);
    EXPECT_EQ(Dialogs.size(), 1u);  // still connected: no second dialog
    UserClick(c.BtnNext);           // Finish
    EXPECT_FALSE(w.isVisible());
  });
  ASSERT_NE(import, nullptr);
  EXPECT_EQ(Lines(Window->Cards),
            (std::vector<std::string>{
                Card("Cid"), Card("Ann"), Card("Bob"),
                Full({"M\xFCller", "J\xFCrgen", "Acme", "Line one Line two", "Springfield", "62701", "IL", "USA",
                      "555 123 4567", "555-0100", "j@example.com", "http://example.com/a very/long"}),
                Full({"Roe", "Rick", "", "", "", "", "", "", "555-2000"})}));
  EXPECT_EQ(Window->CurrentCard, 3);  // advanced by one per contact, then shown afresh
  EXPECT_TRUE(Shown.empty());
  EXPECT_TRUE(TFormOutlook::Connected());

  // A later opening finds the server still running and shows the earlier figures.
  Import([&](TFormOutlook& w) {
    EXPECT_EQ(w.Controls().BtnNext->text(), QStringLiteral("Finish"));  // the caption of the last page change
    UserClick(w.Controls().BtnNext);
    EXPECT_EQ(w.Controls().lblOutlookContacts->text(), QStringLiteral("2"));
    UserClick(w.Controls().BtnCancel);
  });
  EXPECT_EQ(Dialogs.size(), 1u);
  EXPECT_FALSE(TFormOutlook::Connected());
  EXPECT_EQ(Window->Cards.Count(), 5);
}

TEST_F(OptionsWindow, ImportReplacesTheBookOnlyWhenConfirmedTwice) {
  Start();
  UseVCard(Fixture("v30.vcf") + Fixture("v21.vcf"));
  // Cancel at the radio button returns the choice to append.
  Answers = {IDCANCEL};
  Import([&](TFormOutlook& w) {
    QTest::mouseClick(w.Controls().rbOverride, Qt::LeftButton);
    EXPECT_TRUE(w.Controls().rbAppend->isChecked());
    EXPECT_FALSE(w.Controls().rbOverride->isChecked());
  });
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0], "This will override your address book\r\nAre you sure ?");

  // OK there, Cancel at Finish: nothing changes.
  Answers = {IDOK, IDCANCEL};
  Import([&](TFormOutlook& w) {
    QTest::mouseClick(w.Controls().rbOverride, Qt::LeftButton);
    EXPECT_TRUE(w.Controls().rbOverride->isChecked());
    UserClick(w.Controls().BtnNext);
    UserClick(w.Controls().BtnNext);
    EXPECT_FALSE(w.isVisible());
  });
  EXPECT_EQ(Window->Cards.Count(), 3);

  // OK twice: the book is the contacts alone, the first one on view.
  Answers = {IDOK, IDOK};
  Import([&](TFormOutlook& w) {
    QTest::mouseClick(w.Controls().rbOverride, Qt::LeftButton);
    UserClick(w.Controls().BtnNext);
    UserClick(w.Controls().BtnNext);
  });
  ASSERT_EQ(Window->Cards.Count(), 3);
  EXPECT_EQ(SplitCardLine(Window->Cards[0])[cfSurname], "Doe, Jr.");
  EXPECT_EQ(SplitCardLine(Window->Cards[2])[cfSurname], "Roe");
  EXPECT_EQ(Window->CurrentCard, 0);
  EXPECT_EQ(Ui().Edit_SurName->text(), QStringLiteral("Doe, Jr."));
}

TEST_F(OptionsWindow, ImportWithoutContactsLeavesTheBookAsItWas) {
  Start();
  const std::vector<std::string> book = Lines(Window->Cards);
  struct Case {
    const char* what;
    std::optional<std::string> file;  // nullopt: the dialog is cancelled
    const char* version;
    const char* finish;
  };
  const Case cases[] = {
      {"cancelled", std::nullopt, "vCard not available", "vCard Import is not available. Click [Finish] to end."},
      {"empty file", "", "none", "The file holds no contacts. Click [Finish] to end."},
      {"not a vCard", std::string("\x00\x01garbage:\xFF\n;;\n", 15), "none",
       "The file holds no contacts. Click [Finish] to end."},
      {"a mail export", "From: a@example.com\nSubject: Contacts\n\nN:Smith;Mary\n", "none",
       "The file holds no contacts. Click [Finish] to end."},
  };
  std::size_t asked = Dialogs.size();
  for (const Case& c : cases) {
    if (c.file)
      UseVCard(*c.file);
    else
      NextFile.reset();
    Shown.clear();
    Import([&](TFormOutlook& w) {
      QTest::mouseClick(w.Controls().rbOverride, Qt::LeftButton);  // confirmed
      UserClick(w.Controls().BtnNext);
      EXPECT_EQ(w.Controls().lblOutlookVersion->text(), QString::fromLatin1(c.version)) << c.what;
      EXPECT_EQ(w.Controls().lblOutlookContacts->text(), QStringLiteral("0")) << c.what;
      EXPECT_EQ(w.Controls().lblFinish->text(), QString::fromLatin1(c.finish)) << c.what;
      UserClick(w.Controls().BtnNext);
      EXPECT_FALSE(w.isVisible()) << c.what;
    });
    EXPECT_EQ(Dialogs.size(), ++asked) << c.what;  // a file without contacts is not kept: each case asks anew
    EXPECT_FALSE(TFormOutlook::Connected()) << c.what;
    EXPECT_EQ(Shown.size(), 1u) << c.what;  // the radio button's box alone
    EXPECT_EQ(Lines(Window->Cards), book) << c.what;
  }
}

TEST_F(OptionsWindow, ImportTellsHowManyContactsLostCharacters) {
  Start();
  UseVCard(Fixture("v40.vcf") + Fixture("v30.vcf"));
  Import([&](TFormOutlook& w) {
    UserClick(w.Controls().BtnNext);
    UserClick(w.Controls().BtnNext);
  });
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_NE(Shown[0].find("2 contacts were imported. 1 of them"), AnsiString::npos) << Shown[0];
  EXPECT_EQ(Window->Cards.Count(), 5);
  EXPECT_EQ(SplitCardLine(Window->Cards[3])[cfCity], "?????");
}

// A contacts server of its own under the mail client's ProgID: count contacts, each answering
// only "LastName" through read(i); Count raises once failCountAfter reads have been made.
class TFakeServer final : public IDispatch {
 public:
  TFakeServer(int count, int failCountAfter, std::function<QString(int)> read)
      : FCount(count), FFailAfter(failCountAfter), FRead(std::move(read)) {}
  Variant Invoke(std::string_view Name, const std::vector<Variant>& Args) override {
    if (SameMemberName(Name, "Version")) return Variant("fake");
    if (SameMemberName(Name, "GetNamespace") || SameMemberName(Name, "GetDefaultFolder")) return Self();
    if (SameMemberName(Name, "Items")) {
      if (Args.empty()) return Self();
      FItem = Args.at(0).ToInteger();
      return Self();
    }
    if (SameMemberName(Name, "Count")) {
      if (FCountReads++ >= FFailAfter) throw EOleError("The server went away");
      return Variant(FCount);
    }
    if (SameMemberName(Name, "LastName")) return Variant(FRead(FItem));
    throw EOleError("Unknown name");
  }

 private:
  Variant Self() { return Variant(IDispatchPtr(Me.lock())); }
  int FCount;
  int FFailAfter;
  std::function<QString(int)> FRead;
  int FItem = 0;
  int FCountReads = 0;

 public:
  std::weak_ptr<IDispatch> Me;
};

void RegisterFakeServer(int count, int failCountAfter, std::function<QString(int)> read) {
  RegisterOleClass(kMailClientProgID, [=] {
    auto server = std::make_shared<TFakeServer>(count, failCountAfter, read);
    server->Me = server;
    return IDispatchPtr(server);
  });
}

TEST_F(OptionsWindow, AFailedImportLeavesTheBookAsItWasAndSaysSo) {
  Start();
  const std::vector<std::string> book = Lines(Window->Cards);
  RegisterFakeServer(2, 1, [](int i) { return QStringLiteral("Contact %1").arg(i); });  // the import's count fails
  Answers = {IDOK, IDOK};
  Import([&](TFormOutlook& w) {
    QTest::mouseClick(w.Controls().rbOverride, Qt::LeftButton);
    UserClick(w.Controls().BtnNext);
    EXPECT_EQ(w.Controls().lblOutlookContacts->text(), QStringLiteral("2"));
    UserClick(w.Controls().BtnNext);
  });
  ASSERT_EQ(Shown.size(), 3u);
  EXPECT_NE(Shown[2].find("The server went away"), AnsiString::npos) << Shown[2];
  EXPECT_NE(Shown[2].find("not changed"), AnsiString::npos) << Shown[2];
  EXPECT_EQ(Lines(Window->Cards), book);
}

TEST_F(OptionsWindow, ImportKeepsItsButtonsDisabledWhileItRunsAndAppendsPastAnyCount) {
  std::vector<std::string> big;
  for (int i = 0; i < 65537; ++i) big.push_back(Card("Card"));
  Start(big);
  std::vector<bool> enabled;
  TFormOutlook* import = nullptr;
  RegisterFakeServer(2, 100, [&](int i) {
    for (QPushButton* button : {import->Controls().BtnPrev, import->Controls().BtnNext, import->Controls().BtnCancel})
      enabled.push_back(button->isEnabled());
    QTest::mouseClick(import->Controls().BtnCancel, Qt::LeftButton);  // ignored while the import runs
    return QStringLiteral("Contact %1").arg(i);
  });
  Import([&](TFormOutlook& w) {
    import = &w;
    UserClick(w.Controls().BtnNext);
    enabled.clear();
    UserClick(w.Controls().BtnNext);
  });
  EXPECT_EQ(enabled, std::vector<bool>(6, false));
  ASSERT_EQ(Window->Cards.Count(), 65539);
  EXPECT_EQ(SplitCardLine(Window->Cards[65537])[cfSurname], "Contact 1");
  EXPECT_EQ(SplitCardLine(Window->Cards[65538])[cfSurname], "Contact 2");
}

}  // namespace
