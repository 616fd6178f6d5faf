#include "platform/Forms.h"

TForm* GetParentForm(QWidget* control) {
  for (QWidget* w = control ? control->parentWidget() : nullptr; w; w = w->parentWidget())
    if (auto* form = dynamic_cast<TForm*>(w)) return form;
  return nullptr;
}
