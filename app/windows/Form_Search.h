#pragma once
// The search window: finds the first card whose line holds one search string, or two.

#include <memory>

#include "Forms.h"

namespace Ui {
class TFormSearch;
}
class TQMWave;
class TSecondaryFrame;

class TFormSearch final : public TForm {
 public:
  explicit TFormSearch(QWidget* parent = nullptr);
  ~TFormSearch() override;

  // Index into the book of the card found; -1 for none.
  int SelectedCard = -1;

  void SearchClick(QObject* Sender);
  void BitBtn2Click(QObject* Sender);

  [[nodiscard]] Ui::TFormSearch& Controls() const { return *ui; }
  [[nodiscard]] TSecondaryFrame& Frame() const { return *FFrame; }
  TQMWave* WaveSearch = nullptr;

 protected:
  void FormActivate() override;
  void FormKeyPress(char& Key) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();

  std::unique_ptr<Ui::TFormSearch> ui;
  TSecondaryFrame* FFrame = nullptr;
};
