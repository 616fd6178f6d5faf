#pragma once
// What the X server holds for a shown top-level window, read with the X tools (tests run under
// OnXvfbWithWindowManager.sh).

#include <QProcess>
#include <QRect>
#include <QString>
#include <QTest>
#include <QWidget>

namespace testing_support {

// A property of a top-level window as xprop prints it, or empty while the window has none.
inline QString XWindowProperty(const QWidget& window, const char* name) {
  QProcess xprop;
  xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()), QLatin1String(name)});
  xprop.waitForFinished();
  const QString text = QString::fromLatin1(xprop.readAllStandardOutput()).trimmed();
  return text.contains(QLatin1String("no such atom")) || text.contains(QLatin1String("not found")) ? QString() : text;
}

// The value of a property that xprop prints as "NAME(TYPE) = value", or empty.
inline QString XWindowPropertyValue(const QWidget& window, const char* name) {
  const QString text = XWindowProperty(window, name);
  return text.contains(QLatin1Char('=')) ? text.section(QLatin1Char('='), 1).trimmed() : QString();
}

// Saves the screen's strip from the window's frame, `extraWidth` wider and `height` high, as
// NAME.png in the folder VAB_SCREENSHOT names; nothing without it.
inline void SaveScreenStrip(const QWidget& window, const QString& name, int height, int extraWidth = 0) {
  const QByteArray folder = qgetenv("VAB_SCREENSHOT");
  if (folder.isEmpty()) return;
  QTest::qWait(300);  // painted and framed: only a picture for a person to look at depends on it
  const QRect frame = window.frameGeometry();
  QProcess::execute(
      QStringLiteral("import"),
      {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
       QStringLiteral("%1x%2+%3+%4").arg(frame.width() + extraWidth).arg(height).arg(frame.x()).arg(frame.y()),
       QString::fromLocal8Bit(folder) + QLatin1Char('/') + name + QStringLiteral(".png")});
}

}  // namespace testing_support
