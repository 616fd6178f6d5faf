#pragma once
// The print dialog: which cards to print as business cards (all, the current one or a range of
// card numbers) and how many copies of each, the cards and pages that makes, and the print and
// printer set-up of the report.

#include <memory>

#include "CardReport.h"
#include "Forms.h"

namespace Ui {
class TFormPrintDlg;
}
class TFormPrint;
class TSecondaryFrame;

class TFormPrintDlg final : public TForm {
 public:
  // report: the report window the dialog prints through.
  explicit TFormPrintDlg(TFormPrint* report, QWidget* parent = nullptr);
  ~TFormPrintDlg() override;

  void RbAllClick(QObject* Sender);
  void RbCurrentClick(QObject* Sender);
  void RbRangeClick(QObject* Sender);
  void cFromChange(QObject* Sender);
  void CBTemplateChange(QObject* Sender);
  void BtnPrintClick(QObject* Sender);
  void BtnSetupClick(QObject* Sender);
  void BtnExitClick(QObject* Sender);
  void UpdateTotal();
  void PrepareReport();

  [[nodiscard]] Ui::TFormPrintDlg& Controls() const { return *ui; }
  [[nodiscard]] TSecondaryFrame& Frame() const { return *FFrame; }

 protected:
  void FormActivate() override;

 private:
  void FormCreate();
  // First and last card number (1-based) and the copies, as the choices read them.
  struct TChoice {
    int First = 1;
    int Last = 1;
    int Copies = 1;
  };
  [[nodiscard]] TChoice ReadChoice() const;

  std::unique_ptr<Ui::TFormPrintDlg> ui;
  TFormPrint* FReport;
  TSecondaryFrame* FFrame = nullptr;
};
