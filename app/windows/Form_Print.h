#pragma once
// The report window: it carries the business-card report, whose bands it fills card by card from
// the book. It is never shown.

#include "CardReport.h"
#include "Forms.h"

class TQuickRep;
class TQRImage;
class TQRLabel;
class TQRShape;

class TFormPrint final : public TForm, public TPrintState {
 public:
  explicit TFormPrint(QWidget* parent = nullptr);
  ~TFormPrint() override;

  TQuickRep* QR = nullptr;
  TQRShape* QRShape1 = nullptr;
  TQRImage* QRImg = nullptr;
  TQRLabel* QRName = nullptr;
  TQRLabel* QRCompany = nullptr;
  TQRLabel* QREmail = nullptr;
  TQRShape* QRShape2 = nullptr;
  TQRLabel* QRAddress = nullptr;
  TQRLabel* QRCountry = nullptr;
  TQRLabel* QRPhone = nullptr;

  // Fills the band with the card at PrintCard and says whether the report goes on.
  void QRNeedData(QObject* Sender, bool& MoreData);
  [[nodiscard]] TCardTexts ReadCard(int Index) const;

 private:
  void FormCreate();
  // The default picture of the picture folder; raises when there is none or it cannot be read.
  void LoadDefaultPicture();
};
