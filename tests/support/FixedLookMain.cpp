// main of the tests that draw: an application with a fixed palette and font, so that system
// colours and text sizes are known.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QPalette>

int main(int argc, char** argv) {
  // Test discovery runs the program outside ctest's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QPalette palette;
  palette.setColor(QPalette::Button, QColor(192, 192, 192));
  palette.setColor(QPalette::Dark, QColor(128, 128, 128));
  palette.setColor(QPalette::Light, QColor(255, 255, 255));
  palette.setColor(QPalette::Shadow, QColor(0, 0, 0));
  palette.setColor(QPalette::ButtonText, QColor(0, 0, 0));
  palette.setColor(QPalette::Window, QColor(192, 192, 192));
  QApplication::setPalette(palette);
  QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
