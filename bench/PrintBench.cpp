// Printing business cards into a PDF file: 1,000 cards (100 pages) that share three pictures,
// laid out and written through the report window, as the print dialog's Print does. The counters
// give the file's size and pages; every picture should be stored in the file once.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchFolders.h"
#include "BookGenerator.h"
#include "CardBook.h"
#include "Form_Print.h"
#include "Report.h"
#include "Unit_Main.h"

namespace {

namespace fs = std::filesystem;

// A program folder with the shipped card pictures and a book of cards using three of them.
class TPrintFolder : public TProgramFolder {
 public:
  explicit TPrintFolder(int cards) : TProgramFolder("vab-print") {
    CopyFromSource({"images"});
    const char* pictures[] = {"cat.jpg", "house.jpg", "phone.jpg"};
    TStringList book;
    for (int i = 0; i < cards; ++i) {
      const AnsiString surname = "Surname" + std::to_string(i);
      CardValues values{};
      values[cfSurname] = surname;
      values[cfFirstName] = "First";
      values[cfCompany] = "Company Ltd";
      values[cfAddress] = "12 Long Road";
      values[cfCity] = "Town";
      values[cfZip] = "12345";
      values[cfCountry] = "Country";
      values[cfPhone] = "555 1234";
      values[cfCellular] = "555 9876";
      values[cfEmail] = "someone@example.invalid";
      values[cfPicture] = pictures[i % 3];
      book.Add(BuildCardLine(values));
    }
    WriteBookFile(book, (Path / "AddressBook.abk").string());
  }
};

void BM_PrintCardsToPdf(benchmark::State& state) {
  const int cards = static_cast<int>(state.range(0));
  const TPrintFolder folder(cards);
  TForm_Main window;
  TFormPrint report;
  const fs::path pdf = folder.Path / "cards.pdf";
  report.QR->PrinterSettings.OutputFileName = QString::fromStdString(pdf.string());
  for (auto _ : state) {
    report.FirstCard = report.PrintCard = 0;
    report.LastCard = cards - 1;
    report.Copies = report.CopyNo = 1;
    report.Done = false;
    report.QR->Print();
  }
  state.counters["pages"] = report.QR->PageCount();
  state.counters["pdf_MB"] = static_cast<double>(fs::file_size(pdf)) / 1e6;
}
BENCHMARK(BM_PrintCardsToPdf)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
