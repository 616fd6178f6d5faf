// Sort Alphabetically at 100,000 and 1,000,000 generated cards, and the contacts import of 10,000
// vCards (reading the file, the late-bound reads of every contact and the appends to the book). A
// book file "cards-N.abk" in $VAB_BENCH_DIR is used when present, so that bench/sort.sh can time
// sort -f on the same lines.

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "BookGenerator.h"
#include "BookTools.h"
#include "CodePage.h"
#include "ContactImport.h"
#include "ContactsServer.h"

namespace {

void BM_SortCards(benchmark::State& state) {
  const TStringList& cards = BenchCards(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    TStringList book = cards;
    state.ResumeTiming();
    SortCards(book);
    benchmark::DoNotOptimize(book);
  }
}
BENCHMARK(BM_SortCards)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// vCards of the three versions in turn, as mail clients write them.
std::string VCards(int count) {
  std::string data;
  const char* surnames[] = {"Smith", "M=FCller", "Papadopoulos", "O'Brien", "Lindqvist"};
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 3) {
      case 0:
        data += "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:" +
                std::string(surnames[i % 5]) + ";J=FCrgen " + n + "\r\nADR;HOME;ENCODING=QUOTED-PRINTABLE:;;" + n +
                " Main St=0D=0A=\r\nFlat 2;Springfield;IL;62701;USA\r\n"
                "TEL;HOME;VOICE:(555) 123," +
                n + "\r\nTEL;CELL:555-0100\r\nEMAIL;INTERNET:c" + n + "@example.com\r\nEND:VCARD\r\n";
        break;
      case 1:
        data += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Jane Doe\r\nN:Doe\\, Jr.;Jane " + n +
                ";;;\r\nORG:Acme\\; Sons;Sales\r\nADR;TYPE=HOME:;;12 Home St\\nFlat " + n +
                ";Hometown;CA;90210;US\r\nTEL;TYPE=HOME,VOICE:+1 555 " + n +
                "\r\nTEL;TYPE=CELL:+1 555 2\r\n"
                "EMAIL;TYPE=INTERNET,PREF:jane" +
                n + "@x.org\r\nURL:http://doe.example/\r\n " + n + "\r\nEND:VCARD\r\n";
        break;
      default:
        data +=
            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\xce\x93\xce\xb9\xcf\x8e\xcf\x81\xce\xb3\xce\xbf\xcf\x82\r\nN:"
            "\xce\xa0\xce\xb1\xcf\x80\xce\xb1\xce\xb4\xcf\x8c\xcf\x80\xce\xbf\xcf\x85\xce\xbb\xce\xbf\xcf\x82;"
            "\xce\x93\xce\xb9\xcf\x8e\xcf\x81\xce\xb3\xce\xbf\xcf\x82 " +
            n + ";;;\r\nADR;TYPE=\"home,postal\":;;Odos " + n +
            ";Athens;;10558;Greece\r\n"
            "TEL;VALUE=uri;TYPE=\"voice,home\":tel:+30-210-" +
            n + "\r\nEMAIL;PREF=1:g" + n +
            "@x.gr\r\nPHOTO:data:image/jpeg;base64,/9j/4AAQSkZJRgABAQAAAQABAAD\r\nEND:VCARD\r\n";
        break;
    }
  }
  return data;
}

void BM_ImportVCards(benchmark::State& state) {
  const std::string data = VCards(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const TStagedContacts staged = StageContacts(Variant(CreateContactsServer(data)));
    TStringList book;
    for (const TCardFields& fields : staged.Cards) {
      CardValues values;
      for (std::size_t f = 0; f < values.size(); ++f) values[f] = fields[f];
      book.Add(BuildCardLine(values));
    }
    if (book.Count() != state.range(0)) state.SkipWithError("contacts were lost");
    benchmark::DoNotOptimize(book);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_ImportVCards)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
