#pragma once
// What a one-line edit shows: whether its text is seen from the first character.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QValidator>
#include <algorithm>

namespace testing_support {

// Draws the edit as it stands, then holding only a beginning of its text that fills half of it:
// the columns of that beginning must look the same in both drawings. The edit gets its text and
// caret back afterwards.
inline ::testing::AssertionResult ShowsFromItsStart(QLineEdit& edit) {
  const QString text = edit.text();
  const QFontMetrics metrics(edit.font());
  qsizetype length = 0;
  while (length < text.size() && metrics.horizontalAdvance(text.left(length + 1)) < edit.width() / 2) ++length;
  if (length == 0) return ::testing::AssertionFailure() << "no beginning of \"" << text.toStdString() << "\" fits";

  const QImage shown = edit.grab().toImage();
  const int caret = edit.cursorPosition();
  const bool modified = edit.isModified();
  const QPointer<const QValidator> validator = edit.validator();
  const QSignalBlocker quiet(edit);
  edit.setValidator(nullptr);  // the edit's limits must not cut the text put back
  edit.QLineEdit::setText(text.left(length));
  edit.setCursorPosition(std::min(caret, static_cast<int>(length)));
  const QImage start = edit.grab().toImage();
  edit.setCursorPosition(static_cast<int>(length));
  const int startEnds =
      edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x() - 1;  // short of the next character
  edit.QLineEdit::setText(text);
  edit.setCursorPosition(caret);
  edit.setModified(modified);
  edit.setValidator(validator.data());

  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < startEnds; ++x)
      if (shown.pixel(x, y) != start.pixel(x, y))
        return ::testing::AssertionFailure()
               << "\"" << text.toStdString() << "\" is not shown from \"" << text.left(length).toStdString()
               << "\" (pixel " << x << "," << y << " differs)";
  return ::testing::AssertionSuccess();
}

}  // namespace testing_support
