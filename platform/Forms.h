#pragma once
// The window base of the program's forms: the modal result that buttons set.

#include <QWidget>

using TModalResult = int;
enum : TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

class TForm : public QWidget {
 public:
  explicit TForm(QWidget* parent = nullptr) : QWidget(parent) {}
  TModalResult ModalResult = mrNone;
};

// The form a control sits on, or nullptr.
[[nodiscard]] TForm* GetParentForm(QWidget* control);
