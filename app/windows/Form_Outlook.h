#pragma once
// The contacts import wizard: the choice between appending the contacts to the book and replacing
// the book with them, then the connection to the contacts server with its version and count, and
// the import with its progress.

#include <QString>
#include <memory>

#include "Forms.h"

namespace Ui {
class TFormOutlook;
}

class TFormOutlook final : public TForm {
 public:
  explicit TFormOutlook(QWidget* parent = nullptr);
  ~TFormOutlook() override;

  // True when the contacts server is "not available".
  [[nodiscard]] bool Connect();
  [[nodiscard]] int CountContacts();
  void ImportContacts();
  static void CleanAddress(AnsiString& Text);
  static void CleanPhone(AnsiString& Text);

  void BtnPrevClick();
  void BtnNextClick();
  void BtnCancelClick();
  void PGCtrlChange();
  void rbOverrideClick();

  QString OutlookVersion;
  int ContactCount = 0;

  [[nodiscard]] Ui::TFormOutlook& Controls() const { return *ui; }
  // Whether the unit's application object holds the contacts server.
  [[nodiscard]] static bool Connected();

 protected:
  void FormActivate() override;

 private:
  void FormCreate();
  void Finish();
  [[nodiscard]] bool ConfirmOverride();

  std::unique_ptr<Ui::TFormOutlook> ui;
  bool FImporting = false;
};
