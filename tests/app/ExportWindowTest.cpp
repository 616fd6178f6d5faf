#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "CardExport.h"
#include "CodePage.h"
#include "Dialogs.h"
#include "Form_Export.h"
#include "Sound.h"
#include "TestSupport.h"
#include "Unit_Main.h"
#include "VXCtrls.h"
#include "WindowFixtures.h"
#include "ui_Form_Export.h"

namespace {

using testing_support::MessageBoxRecorder;
using testing_support::ReadBytes;
using testing_support::TempProgramFolder;

std::string CardWith(std::initializer_list<std::pair<CardField, std::string_view>> fields) {
  CardValues values{};
  for (const auto& [field, value] : fields) values[field] = value;
  return BuildCardLine(values);
}

class ExportWindow : public testing::Test {
 protected:
  void SetUp() override {
    SetSoundDevice("null");
    testing_support::WriteBook(Folder.Path / "AddressBook.abk",
                               {CardWith({{cfSurname, "Smith"}, {cfFirstName, "Ann"}, {cfCity, "Leeds"}}),
                                CardWith({{cfSurname, "van  Dyke"},
                                          {cfFirstName, "Jo"},
                                          {cfCompany, "Dyke, Sons & \"Co\""},
                                          {cfPhone, "0113 496"},
                                          {cfEmail, "jo@dyke.example"},
                                          {cfNotes, "never exported"}})});
    Main = std::make_unique<TForm_Main>();
    ASSERT_TRUE(testing_support::ShowActive(*Main));
    Window = std::make_unique<TFormExport>();
    PreviousDialog = SetOpenDialogHandler([this](const OpenDialogRequest& request) -> std::optional<AnsiString> {
      Requests.push_back(request);
      return Answer;
    });
  }
  void TearDown() override {
    SetOpenDialogHandler(std::move(PreviousDialog));
    Window.reset();
    Main.reset();
  }

  // Shows the window modally and drives it once it is active.
  void Drive(const std::function<void()>& drive) {
    bool ran = false;
    QTimer::singleShot(0, Window.get(), [&] {
      ran = true;
      ASSERT_TRUE(QTest::qWaitFor([&] { return Window->isActiveWindow(); }, 5000));
      drive();
    });
    Window->ShowModal();
    ASSERT_TRUE(ran);
  }

  // Toggles a field in the chooser by a click in its check area.
  void ClickCheck(int item) {
    TVxCheckListBox* list = Ui().VxCLB;
    const TRect r = list->GetItemRect(item);
    QTest::mouseClick(list->Window()->viewport(), Qt::LeftButton, {}, QPoint(r.Left + 5, r.Top + 3));
  }

  Ui::TFormExport& Ui() { return Window->Controls(); }
  TempProgramFolder Folder;
  MessageBoxRecorder Boxes;
  std::unique_ptr<TForm_Main> Main;
  std::unique_ptr<TFormExport> Window;
  OpenDialogHandler PreviousDialog;
  std::vector<OpenDialogRequest> Requests;
  std::optional<AnsiString> Answer;
};

TEST_F(ExportWindow, LayoutAndTheChooserAsLoaded) {
  EXPECT_EQ(Window->size(), QSize(384, 319));
  EXPECT_EQ(Window->windowTitle(), QStringLiteral(" Export Address Book to Text-Delimited File"));
  const std::pair<QWidget*, QRect> places[] = {
      {Ui().Panel1, {10, 9, 61, 247}},         {Ui().VxCLB, {79, 53, 290, 180}}, {Ui().chkHeaders, {79, 240, 110, 17}},
      {Ui().edtDelimiter, {305, 238, 25, 21}}, {Ui().Bevel1, {10, 270, 359, 2}}, {Ui().BtnExport, {208, 282, 75, 25}},
      {Ui().BtnCancel, {294, 282, 75, 25}},
  };
  for (const auto& [widget, place] : places) EXPECT_EQ(widget->geometry(), place) << widget->objectName().toStdString();
  EXPECT_EQ(Ui().Label2->geometry().right() + 1, 300);
  EXPECT_EQ(Ui().BtnExport->text(), QStringLiteral("Export  >"));
  EXPECT_TRUE(Ui().chkHeaders->isChecked());
  EXPECT_EQ(Ui().edtDelimiter->text(), QStringLiteral(","));

  TVxCheckListBox* list = Ui().VxCLB;
  ASSERT_EQ(list->Items().Count(), 11);
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(list->Items().Get(i), kExportColumns[static_cast<std::size_t>(i)].ItemText);
    EXPECT_EQ(list->IsItemChecked(i), i <= 3 || (i >= 6 && i <= 9)) << i;
    EXPECT_TRUE(list->GetItemEnabled(i));
  }
  EXPECT_FALSE(list->AutoScroll());
  EXPECT_EQ(list->Columns(), 1);
  EXPECT_GE(list->ItemHeight(), 13);
}

TEST_F(ExportWindow, ExportsTheChosenFieldsOfTheBook) {
  const std::string file = Folder.File("book.csv");
  Answer = file;
  Drive([&] {
    ClickCheck(2);  // City off
    ClickCheck(4);  // State on
    Ui().edtDelimiter->selectAll();
    QTest::keyClicks(Ui().edtDelimiter, QStringLiteral(";"));
    QTest::mouseClick(Ui().BtnExport, Qt::LeftButton);
  });
  EXPECT_FALSE(Window->isVisible());
  EXPECT_EQ(ReadBytes(file),
            "Name;Address;Zip;State;Phone;Cellular;Company;eMail\r\n"
            "Smith Ann;;;;;;;\r\n"
            "van Dyke Jo;;;;0113 496;;\"Dyke, Sons & \"\"Co\"\"\";jo@dyke.example\r\n");
  ASSERT_EQ(Boxes.Shown.size(), 1U);
  EXPECT_EQ(Boxes.Shown[0], "           Export Successful         ");
  ASSERT_EQ(Requests.size(), 1U);
  EXPECT_TRUE(Requests[0].Save);
  EXPECT_EQ(Requests[0].FileName, "export");
  EXPECT_EQ(Requests[0].DefaultExt, "csv");
  EXPECT_EQ(Requests[0].InitialDir, QStringToAnsi(QDir::homePath()));
  EXPECT_EQ(Requests[0].Filter, "Comma Separated Values (CSV)|*.csv|All Files (*.*)|*.*");

  // The window keeps its choices and the file name; without headers, a blank for an empty edit.
  Drive([&] {
    EXPECT_FALSE(Ui().VxCLB->IsItemChecked(2));
    QTest::mouseClick(Ui().chkHeaders, Qt::LeftButton);
    Ui().edtDelimiter->clear();
    for (int item : {1, 3, 4, 6, 7, 8, 9}) ClickCheck(item);  // only the name is left
    ClickCheck(9);
    QTest::mouseClick(Ui().BtnExport, Qt::LeftButton);
  });
  EXPECT_EQ(Requests.back().FileName, file);
  // Values holding the blank delimiter are quoted.
  EXPECT_EQ(ReadBytes(file), "\"Smith Ann\" \r\n\"van Dyke Jo\" jo@dyke.example\r\n");
}

TEST_F(ExportWindow, CancelledOrFailedExportsLeaveTheWindowOpen) {
  Drive([&] {
    QTest::mouseClick(Ui().BtnExport, Qt::LeftButton);  // the dialog cancelled
    EXPECT_TRUE(Window->isVisible());
    Answer = Folder.File("no/such/folder/out.csv");
    QTest::mouseClick(Ui().BtnExport, Qt::LeftButton);
    EXPECT_TRUE(Window->isVisible());
    QTest::keyClicks(Ui().edtDelimiter, QStringLiteral("\""));  // refused
    EXPECT_EQ(Ui().edtDelimiter->text(), QStringLiteral(","));
    QTest::mouseClick(Ui().BtnCancel, Qt::LeftButton);
  });
  EXPECT_FALSE(Window->isVisible());
  ASSERT_EQ(Boxes.Shown.size(), 1U);  // the failure, and no success
  EXPECT_NE(Boxes.Shown[0].find("no/such/folder/out.csv"), std::string::npos) << Boxes.Shown[0];
}

// The book and its backup are rewritten at exit: an export over either is refused, however the
// name reaches them. A link the user chose to any other file is written through, as confirmed.
TEST_F(ExportWindow, RefusesTheBookAndItsBackupAsDestination) {
  const std::filesystem::path book = Folder.Path / "AddressBook.abk";
  const std::filesystem::path backup = Folder.Path / "AddressBook.bkp";
  testing_support::WriteBytes(backup, "ABK10\r\nearlier\r\n");
  const std::string bookBytes = ReadBytes(book);
  std::filesystem::create_directories(Folder.Path / "sub");
  std::filesystem::create_symlink(book, Folder.Path / "book-link.csv");
  std::filesystem::create_symlink("../AddressBook.bkp", Folder.Path / "sub" / "backup-link.csv");
  const std::string refused[] = {
      book.string(),
      Folder.File("sub/../AddressBook.abk"),
      Folder.File("book-link.csv"),
      Folder.File("ADDRESSBOOK.ABK"),
      backup.string(),
      Folder.File("sub/backup-link.csv"),
  };
  for (const std::string& file : refused) {
    Answer = file;
    Boxes.Shown.clear();
    Drive([&] {
      QTest::mouseClick(Ui().BtnExport, Qt::LeftButton);
      EXPECT_TRUE(Window->isVisible()) << file;
      QTest::mouseClick(Ui().BtnCancel, Qt::LeftButton);
    });
    ASSERT_EQ(Boxes.Shown.size(), 1U) << file;
    EXPECT_EQ(Boxes.Shown[0], "\"" + file +
                                  "\" is the address book's own file, which the program rewrites when it ends. "
                                  "Choose another name for the export.");
  }
  EXPECT_EQ(ReadBytes(book), bookBytes);
  EXPECT_EQ(ReadBytes(backup), "ABK10\r\nearlier\r\n");
  EXPECT_TRUE(std::filesystem::is_symlink(Folder.Path / "book-link.csv"));

  std::filesystem::create_directories(Folder.Path / "synced");
  testing_support::WriteBytes(Folder.Path / "synced" / "out.csv", "an earlier export");
  std::filesystem::create_symlink("synced/out.csv", Folder.Path / "mine.csv");
  Answer = Folder.File("mine.csv");
  Boxes.Shown.clear();
  Drive([&] {
    ClickCheck(1);
    QTest::mouseClick(Ui().BtnExport, Qt::LeftButton);
  });
  EXPECT_EQ(Boxes.Shown, std::vector<AnsiString>{"           Export Successful         "});
  EXPECT_TRUE(std::filesystem::is_symlink(Folder.Path / "mine.csv"));
  EXPECT_EQ(ReadBytes(Folder.Path / "synced" / "out.csv").substr(0, 8), "Name,Cit");
}

TEST_F(ExportWindow, TheDelimiterOpensWithTheCaretBeforeIt) {
  Drive([&] {
    EXPECT_EQ(Ui().edtDelimiter->cursorPosition(), 0);
    QTest::mouseClick(Ui().BtnCancel, Qt::LeftButton);
  });
}

// A delimiter the code page cannot hold shows as "?", and the export uses what the edit shows.
TEST_F(ExportWindow, ADelimiterTypedIsTheOneExportedInTheCodePage) {
  const struct {
    unsigned codePage;
    QString shown;
    std::string_view delimiter;
  } cases[] = {{1252, QStringLiteral("?"), "?"}, {1253, QString(QChar(0x03A9)), "\xD9"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.codePage);
    SetAnsiCodePage(c.codePage);
    const std::string file = Folder.File("omega" + std::to_string(c.codePage) + ".csv");
    Answer = file;
    Drive([&] {
      if (c.codePage == 1252)
        for (int item : {1, 3, 6, 7, 8, 9}) ClickCheck(item);  // the name and the city are left
      Ui().edtDelimiter->selectAll();
      QTest::sendKeyEvent(QTest::Click, Ui().edtDelimiter, Qt::Key_unknown, QString(QChar(0x03A9)), Qt::NoModifier);
      EXPECT_EQ(Ui().edtDelimiter->text(), c.shown);
      QTest::mouseClick(Ui().BtnExport, Qt::LeftButton);
    });
    const std::string d(c.delimiter);
    EXPECT_EQ(ReadBytes(file), "Name" + d + "City\r\nSmith Ann" + d + "Leeds\r\nvan Dyke Jo" + d + "\r\n");
  }
  SetAnsiCodePage(1252);
}

}  // namespace
