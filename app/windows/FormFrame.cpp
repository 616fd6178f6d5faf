#include "FormFrame.h"

#include <QLabel>
#include <QMouseEvent>
#include <QWindow>

#include "Buttons.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Jpeg.h"
#include "Unit_Main.h"
#include "VXCtrls.h"

TSecondaryFrame::TSecondaryFrame(TForm* form, bool captionStrip, bool draggable, bool vxButtonsClick)
    : QObject(form), FForm(form), FVxButtonsClick(vxButtonsClick) {
  if (captionStrip) form->setWindowFlags(CaptionStrippedFlags(form->windowFlags()));
  if (!draggable) return;
  Watch(form);
  for (QWidget* child : form->findChildren<QWidget*>()) Watch(child);
}

void TSecondaryFrame::Watch(QWidget* widget) {
  // Windowed controls (edits, lists, grids) keep their own mouse handling.
  if (widget == FForm || qobject_cast<QLabel*>(widget) || dynamic_cast<TImage*>(widget) ||
      dynamic_cast<TSpeedButton*>(widget) || dynamic_cast<TVxSpeedButton*>(widget))
    widget->installEventFilter(this);
}

bool TSecondaryFrame::SparesFromDragging(const QWidget* widget) const {
  if (dynamic_cast<const TSpeedButton*>(widget)) return true;
  return FVxButtonsClick && dynamic_cast<const TVxSpeedButton*>(widget);
}

bool TSecondaryFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isEnabled() && !SparesFromDragging(widget)) {
      ++FDragRequests;
      if (QWindow* window = FForm->windowHandle()) window->startSystemMove();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void TSecondaryFrame::RefreshScheme() {
  if (!Form_Main || Form_Main->SkinIndex == -1 || Form_Main->SkinIndex == FSkinShown) return;
  FSkinShown = Form_Main->SkinIndex;
  try {
    const auto index = static_cast<std::size_t>(2 * FSkinShown);
    auto load = [](TImage* image, const AnsiString& file) {
      TJPEGImage jpeg;
      jpeg.LoadFromFile(file);
      image->SetPicture(jpeg.Bitmap());
    };
    if (FBack) load(FBack, Form_Main->SkinFiles.at(index));
    if (FTop) load(FTop, Form_Main->SkinFiles.at(index + 1));
  } catch (const std::exception& error) {
    HandleException(error);
  }
}
