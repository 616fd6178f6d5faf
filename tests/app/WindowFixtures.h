#pragma once
// What the window tests build their program folders from: card lines, JPEG files, book files,
// and a recorder standing in for the message boxes; and how they show and drive their windows.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CardBook.h"
#include "CardFixtures.h"
#include "Dialogs.h"
#include "Jpeg.h"
#include "TestSupport.h"
#include "UserInput.h"

namespace testing_support {

inline void WriteJpeg(const std::filesystem::path& file, int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  TJPEGImage jpeg;
  jpeg.Assign(image);
  WriteBytes(file, jpeg.SaveToBytes());
}

// A book file: the header, then the card lines.
inline void WriteBook(const std::filesystem::path& file, const std::vector<std::string>& cards) {
  std::string text = "ABK10\r\n";
  for (const std::string& card : cards) text += card + "\r\n";
  WriteBytes(file, text);
}

// Answers every message box with OK and keeps its text, while it lives.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder()
      : Previous(SetMessageBoxHandler([this](const MessageBoxRequest& request) {
          Shown.push_back(request.Text);
          return IDOK;
        })) {}
  ~MessageBoxRecorder() { SetMessageBoxHandler(std::move(Previous)); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  std::vector<AnsiString> Shown;

 private:
  MessageBoxHandler Previous;
};

// Shows the window and makes it the active one; false when it did not become active.
[[nodiscard]] inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}
[[nodiscard]] inline bool ShowActive(QWidget& window, QPoint at) {
  window.move(at);
  return ShowActive(window);
}

// Runs open, which shows a modal TWindow, and drives that window once it is active. The window may
// open late, as a menu chosen on the way runs its own loop first. A window still open afterwards is
// closed; leftOpen, when given, says whether drive had left it open. The window, or nullptr when none
// opened.
template <typename TWindow>
TWindow* DriveModal(QObject* context, const std::function<void()>& open, const std::function<void(TWindow&)>& drive,
                    bool* leftOpen = nullptr) {
  TWindow* opened = nullptr;
  if (leftOpen) *leftOpen = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, context, [&] {
    auto* window = dynamic_cast<TWindow*>(QApplication::activeModalWidget());
    if (!window) return;
    poll.stop();
    opened = window;
    if (QTest::qWaitFor([window] { return window->isActiveWindow(); }, 5000)) {
      drive(*window);
      if (leftOpen && window->isVisible()) *leftOpen = true;
    } else {
      ADD_FAILURE() << "the window " << window->metaObject()->className() << " did not become active";
    }
    if (window->isVisible()) window->Close();
  });
  poll.start(5);
  open();
  return opened;
}

}  // namespace testing_support
