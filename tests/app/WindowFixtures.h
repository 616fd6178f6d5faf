#pragma once
// What the window tests build their program folders from: card lines, JPEG files, book files,
// and a recorder standing in for the message boxes.

#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

#include "CardBook.h"
#include "CardFixtures.h"
#include "Dialogs.h"
#include "Jpeg.h"
#include "TestSupport.h"

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

}  // namespace testing_support
