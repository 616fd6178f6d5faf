#include "ShellPrint.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>
#include <cstdio>

#include "Shell.h"
#include "TestSupport.h"

namespace {

using testing_support::TempProgramFolder;
using testing_support::WriteBytes;

// The output of a command line.
std::string Output(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    pclose(pipe);
  }
  return output;
}

// Answers the print dialog with a PDF file, or cancels; counts the questions.
struct PdfAnswer {
  explicit PdfAnswer(std::string file, bool accept = true)
      : Previous(SetPrintDialogHandler([this, file = std::move(file), accept](QPrinter& printer) {
          ++Asked;
          printer.setOutputFormat(QPrinter::PdfFormat);
          printer.setOutputFileName(QString::fromStdString(file));
          return accept;
        })) {}
  ~PdfAnswer() { SetPrintDialogHandler(std::move(Previous)); }
  PdfAnswer(const PdfAnswer&) = delete;
  PdfAnswer& operator=(const PdfAnswer&) = delete;
  int Asked = 0;
  PrintDialogHandler Previous;
};

TEST(ShellPrint, PrintVerbRendersThePageWithItsPicturesIntoThePrinterChosen) {
  TempProgramFolder folder;
  std::filesystem::create_directory(folder.Path / "images");
  QImage picture(150, 160, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(QString::fromStdString(folder.File("images/p.jpg")), "PNG"));
  // Code-page text: e acute is the byte 0xE9.
  WriteBytes(folder.File("indexprn.html"),
             "<html><body><table><tr><td><img width=150 height=160 src=\"images/p.jpg\"></td>"
             "<td><strong>Caf\xE9 Lee &amp; Co</strong></td></tr></table></body></html>\r\n");
  const std::string pdf = folder.File("out.pdf");
  PdfAnswer answer(pdf);
  RegisterShellPrint();
  EXPECT_EQ(ShellExecuteA(nullptr, "print", folder.File("indexprn.html"), nullptr, nullptr, SW_SHOWNORMAL), 42);
  SetShellVerbHandler("print", {});

  EXPECT_EQ(answer.Asked, 1);
  EXPECT_NE(Output("pdftotext '" + pdf + "' -").find("Café Lee & Co"), std::string::npos);
  EXPECT_NE(Output("pdfimages -list '" + pdf + "'").find("image"), std::string::npos);
}

TEST(ShellPrint, CancelOrAMissingPagePrintsNothing) {
  TempProgramFolder folder;
  WriteBytes(folder.File("page.html"), "<html><body>x</body></html>");
  PdfAnswer cancel(folder.File("out.pdf"), false);
  EXPECT_EQ(PrintHtmlFile(nullptr, folder.File("page.html"), SW_SHOWNORMAL), 5);
  EXPECT_EQ(PrintHtmlFile(nullptr, folder.File("missing.html"), SW_SHOWNORMAL), 2);
  EXPECT_EQ(cancel.Asked, 1);
  EXPECT_FALSE(std::filesystem::exists(folder.Path / "out.pdf"));
}

}  // namespace
