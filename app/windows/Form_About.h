#pragma once
// The about window: the program and its maker, the maker's website and mail address, and the help.

#include <memory>

#include "Forms.h"

namespace Ui {
class TFormAbout;
}
class TSecondaryFrame;

class TFormAbout final : public TForm {
 public:
  explicit TFormAbout(QWidget* parent = nullptr);
  ~TFormAbout() override;

  void VxBtnVisitClick(QObject* Sender);
  void sButtonEmailClick(QObject* Sender);
  void sButtonHelpClick(QObject* Sender);
  void Button_CloseClick(QObject* Sender);

  [[nodiscard]] Ui::TFormAbout& Controls() const { return *ui; }
  [[nodiscard]] TSecondaryFrame& Frame() const { return *FFrame; }

 protected:
  void FormActivate() override;
  void FormKeyPress(char& Key) override;

 private:
  void FormCreate();

  std::unique_ptr<Ui::TFormAbout> ui;
  TSecondaryFrame* FFrame = nullptr;
};

// The about window while it exists; the program's main block makes it.
extern TFormAbout* FormAbout;
