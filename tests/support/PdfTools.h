#pragma once
// Reads PDF files back with poppler-utils: page count and size, the text of a page, the image
// objects drawn, and a page rendered into a picture.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <set>
#include <string>

namespace testing_support {

// Runs a tool and answers its standard output.
inline QString RunTool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  EXPECT_TRUE(process.waitForFinished(60000)) << tool.toStdString();
  EXPECT_EQ(process.exitCode(), 0) << tool.toStdString() << process.readAllStandardError().toStdString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString PdfInfo(const std::string& pdf) {
  return RunTool(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf)});
}

inline int PdfPageCount(const std::string& pdf) {
  const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(PdfInfo(pdf));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The text of one page (1-based) as laid out.
inline QString PdfPageText(const std::string& pdf, int page) {
  return RunTool(QStringLiteral("pdftotext"),
                 {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                  QString::number(page), QString::fromStdString(pdf), QStringLiteral("-")});
}

// The images drawn, one entry per drawing, as their object numbers.
inline std::vector<int> PdfImageObjects(const std::string& pdf) {
  const QStringList rows = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), QString::fromStdString(pdf)})
                               .split(u'\n', Qt::SkipEmptyParts);
  std::vector<int> objects;
  for (const QString& row : rows.mid(2)) objects.push_back(row.simplified().section(u' ', 10, 10).toInt());
  return objects;
}

// Page (1-based) rendered at dpi into a picture; stem names the temporary file.
inline QImage PdfPagePicture(const std::string& pdf, int page, int dpi, const std::string& stem) {
  RunTool(QStringLiteral("pdftoppm"),
          {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(page),
           QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile"), QStringLiteral("-png"),
           QString::fromStdString(pdf), QString::fromStdString(stem)});
  return QImage(QString::fromStdString(stem + ".png"));
}

}  // namespace testing_support
