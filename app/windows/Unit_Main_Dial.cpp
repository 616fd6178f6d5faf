// The main window's dial, mail, web and help commands.
#include <QAction>
#include <QIcon>
#include <QLineEdit>

#include "CardLinks.h"
#include "CodePage.h"
#include "Menus.h"
#include "Shell.h"
#include "TapiDial.h"
#include "Unit_Main.h"
#include "ui_Unit_Main.h"

namespace {

AnsiString TrimmedText(const QLineEdit* edit) {
  return Trim(QStringToAnsi(edit->text()).value_or(AnsiString()));
}

// A menu caption that shows every "&" of the text instead of taking it as a shortcut mark.
AnsiString LiteralCaption(const AnsiString& text) {
  return StringReplaceAll(text, "&", "&&");
}

// A shell request with the default action; whatever happens is not reported.
void OpenInShell(const AnsiString& file) {
  try {
    ShellExecuteA(nullptr, nullptr, file, nullptr, nullptr, SW_SHOWNORMAL);
  } catch (const std::exception&) {
    // no mail program, browser or help viewer: the program goes on
  }
}

}  // namespace

void TForm_Main::CreateDialComponents() {
  TapiDialer = new TTapiDial(this);
  TapiDialer->SetTelephonNo("9865");
  TapiDialer->SetCallDialog(TCallDialog::None);
  TapiDialer->SetStatusWindow(false);
  TapiDialer->SetLanguage(TLanguage::english);

  DialMenu = new TPopupMenu(FComponents);
  const QIcon dial(QStringLiteral(":/glyphs/dial-16.png"));
  Phone1 = DialMenu->Add("Dial", [this](QObject* s) { Phone1Click(s); });
  Phone1->Action()->setIcon(dial);
  Phone2 = DialMenu->Add("Dial cellular", [this](QObject* s) { Phone2Click(s); });
  Phone2->Action()->setIcon(dial);
  N3 = DialMenu->AddSeparator();
  SetupTAPI = DialMenu->Add("Modem setup", [this](QObject* s) { SetupTAPIClick(s); });
  SetupTAPI->Action()->setIcon(QIcon(QStringLiteral(":/glyphs/tools-16.png")));
}

void TForm_Main::SButtonDialClick(QObject*) {
  const AnsiString phone = TrimmedText(ui->Edit_Phone);
  const AnsiString cellular = TrimmedText(ui->Edit_Fax);
  if (phone.empty() && cellular.empty()) return;
  if (!phone.empty()) Phone1->SetCaption(LiteralCaption("Dial " + phone));
  Phone1->SetVisible(!phone.empty());
  if (!cellular.empty()) Phone2->SetCaption(LiteralCaption("Dial cellular " + cellular));
  Phone2->SetVisible(!cellular.empty());
  SetupTAPI->SetVisible(true);
  const QPoint corner = ui->SButtonDial->mapToGlobal(QPoint(0, 0));
  DialMenu->Popup(corner.x(), corner.y());
}

void TForm_Main::Phone1Click(QObject*) {
  TapiDialer->SetTelephonNo(TrimmedText(ui->Edit_Phone));
  TapiDialer->Dial();
}

void TForm_Main::Phone2Click(QObject*) {
  TapiDialer->SetTelephonNo(TrimmedText(ui->Edit_Fax));
  TapiDialer->Dial();
}

void TForm_Main::SetupTAPIClick(QObject*) {
  TapiDialer->ConfigDialog();
}

void TForm_Main::SButtonEmailClick(QObject*) {
  const AnsiString address = TrimmedText(ui->Edit_Email);
  if (address.empty()) return;
  OpenInShell(MailtoUrl(address));
}

void TForm_Main::SButtonVisitClick(QObject*) {
  const AnsiString site = TrimmedText(ui->Edit_WebSite);
  if (site.empty()) return;
  OpenInShell(WebsiteUrl(site));
}

void TForm_Main::SpeedButton1Click(QObject*) {
  OpenInShell(ProgramFolder + "vab.html");
}
