#pragma once
// The letter list: the cards as "surname, first name" under initial-letter filters; a
// double-click fetches the card the entry was made from.

#include <memory>

#include "CardLookup.h"
#include "Forms.h"

namespace Ui {
class TFormNavigate;
}
class TSecondaryFrame;
class TSpeedButton;

class TFormNavigate final : public TForm {
 public:
  explicit TFormNavigate(QWidget* parent = nullptr);
  ~TFormNavigate() override;

  // Index into the book of the card chosen by double-click; -1 for none.
  int SelectedCard = -1;
  // The button whose filter the list shows; its caption is drawn red.
  TSpeedButton* ChosenButton = nullptr;

  void SBAClick(QObject* Sender);
  void LB_NameDblClick(QObject* Sender);
  void LB_NameKeyPress(QObject* Sender, char& Key);
  void BitBtn2Click(QObject* Sender);

  [[nodiscard]] Ui::TFormNavigate& Controls() const { return *ui; }
  [[nodiscard]] TSecondaryFrame& Frame() const { return *FFrame; }

 protected:
  void FormActivate() override;
  void FormClose() override;
  void FormKeyPress(char& Key) override;

 private:
  void FormCreate();
  void Fill(char letter);
  [[nodiscard]] char LetterOf(QObject* button) const;

  std::unique_ptr<Ui::TFormNavigate> ui;
  TSecondaryFrame* FFrame = nullptr;
  TLetterListOrder FOrder;
};
