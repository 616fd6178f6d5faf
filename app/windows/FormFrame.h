#pragma once
// The frame most secondary windows share: no caption bar (the client area keeps its size),
// dragging by any point of the face that is not a speed button, and the colour scheme's
// pictures, reloaded only when the scheme has changed since the window last showed it.

#include <QObject>

class TImage;
class QWidget;
class TForm;

class TSecondaryFrame final : public QObject {
 public:
  // vxButtonsClick: presses on the custom speed buttons click them too (else only the class
  // library's speed buttons are spared from dragging).
  TSecondaryFrame(TForm* form, bool captionStrip, bool draggable, bool vxButtonsClick);

  // The scheme pictures: back is the background, top the top bar (nullptr where the window has
  // none). A failed load is shown by the default handler; the window goes on.
  void SetSchemeImages(TImage* back, TImage* top) {
    FBack = back;
    FTop = top;
  }
  // Loads the current scheme when one is in use and it is not the one shown (creation and
  // activation).
  void RefreshScheme();
  [[nodiscard]] int SkinShown() const { return FSkinShown; }

  // Drags asked of the window system, for tests (the offscreen platform moves nothing).
  [[nodiscard]] int DragRequests() const { return FDragRequests; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  [[nodiscard]] bool SparesFromDragging(const QWidget* widget) const;
  void Watch(QWidget* widget);

  TForm* FForm;
  bool FVxButtonsClick;
  TImage* FBack = nullptr;
  TImage* FTop = nullptr;
  int FSkinShown = -1;
  int FDragRequests = 0;
};
