#pragma once
// The export window: the fields chosen in a check list, a header line, a delimiter, and the
// book written to a delimited text file of the user's choice.

#include <memory>

#include "Forms.h"
#include "SysUtils.h"

namespace Ui {
class TFormExport;
}

class TFormExport final : public TForm {
 public:
  explicit TFormExport(QWidget* parent = nullptr);
  ~TFormExport() override;

  void BtnExportClick(QObject* Sender);
  void BtnCancelClick(QObject* Sender);

  [[nodiscard]] Ui::TFormExport& Controls() const { return *ui; }

 private:
  std::unique_ptr<Ui::TFormExport> ui;
  AnsiString FFileName = "export";  // the dialog's last file name
};

// Created on first use and kept until the program ends.
extern TFormExport* FormExport;
