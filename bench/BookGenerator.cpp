#include "BookGenerator.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string_view>

#include "CardBook.h"

namespace {

using std::string_view_literals::operator""sv;

constexpr std::array kSurnames = {
    "Smith"sv, "Johnson"sv, "Williams"sv, "Brown"sv, "Garcia"sv, "Miller"sv, "Davis"sv, "Rodriguez"sv, "Martinez"sv,
    "Anderson"sv, "Taylor"sv, "Moore"sv, "Jackson"sv, "Martin"sv, "Lee"sv, "Thompson"sv, "Harris"sv, "Clark"sv,
    "Lewis"sv, "Walker"sv, "Young"sv, "Allen"sv, "King"sv, "Wright"sv, "Dubois"sv, "Schmidt"sv, "Rossi"sv, "Nowak"sv,
    "Jansen"sv, "Lindqvist"sv, "O'Brien"sv, "van der Berg"sv,
    // Greek surnames in Windows-1253.
    "\xd0\xe1\xf0\xe1\xe4\xfc\xf0\xef\xf5\xeb\xef\xf2"sv, "\xcf\xe9\xea\xef\xed\xfc\xec\xef\xf5"sv,
    "\xc3\xe5\xf9\xf1\xe3\xdf\xef\xf5"sv, "\xc6\xe1\xf7\xe1\xf1\xdf\xef\xf5"sv,
    "\xc8\xe5\xef\xe4\xf9\xf1\xdf\xe4\xe7\xf2"sv, "\xc7\xeb\xe9\xfc\xf0\xef\xf5\xeb\xef\xf2"sv,
    "\xc1\xeb\xe5\xee\xdf\xef\xf5"sv, "\xcd\xe9\xea\xef\xeb\xdc\xef\xf5"sv};
constexpr std::array kFirstNames = {"James"sv,
                                    "Mary"sv,
                                    "Robert"sv,
                                    "Patricia"sv,
                                    "John"sv,
                                    "Jennifer"sv,
                                    "Michael"sv,
                                    "Linda"sv,
                                    "David"sv,
                                    "Elizabeth"sv,
                                    "Anna"sv,
                                    "Lukas"sv,
                                    "Sofia"sv,
                                    "Marco"sv,
                                    "Ingrid"sv,
                                    "Pierre"sv,
                                    "\xc5\xeb\xdd\xed\xe7"sv,
                                    "\xc4\xe7\xec\xde\xf4\xf1\xe7\xf2"sv,
                                    "\xd3\xef\xf6\xdf\xe1"sv,
                                    "\xca\xf9\xed\xf3\xf4\xe1\xed\xf4\xdf\xed\xef\xf2"sv,
                                    "\xd7\xf1\xde\xf3\xf4\xef\xf2"sv};
constexpr std::array kCompanies = {
    ""sv, ""sv, "Acme Ltd"sv, "Northwind Traders"sv, "Blue Harbour Shipping"sv, "City Hospital"sv, "Kappa Electric"sv};
constexpr std::array kStreets = {"Main Street"sv,   "Oak Avenue"sv,           "Harbour Road"sv,  "Station Lane"sv,
                                 "Hill Crescent"sv, "\xc5\xf1\xec\xef\xfd"sv, "Rue de la Paix"sv};
constexpr std::array kCities = {"Springfield"sv,
                                "Riverton"sv,
                                "Lakeside"sv,
                                "Patras"sv,
                                "\xc1\xe8\xde\xed\xe1"sv,
                                "\xc8\xe5\xf3\xf3\xe1\xeb\xef\xed\xdf\xea\xe7"sv,
                                "Lyon"sv,
                                "Hamburg"sv};
constexpr std::array kStates = {""sv, ""sv, "CA"sv, "NY"sv, "Attica"sv};
constexpr std::array kCountries = {"USA"sv, "Greece"sv, "France"sv, "Germany"sv, "UK"sv};
constexpr std::array kNotes = {""sv, ""sv, "Met at the trade fair"sv, "Call after 6 pm@!Prefers e-mail"sv,
                               "Birthday in May@!Two children@!Likes sailing"sv};

class Generator {
 public:
  explicit Generator(std::uint64_t seed) : Random(seed) {}

  template <std::size_t N>
  std::string_view Pick(const std::array<std::string_view, N>& items) {
    return items[Number(N) % N];
  }
  std::size_t Number(std::size_t below) { return static_cast<std::size_t>(Random() % below); }
  bool Chance(int percent) { return Number(100) < static_cast<std::size_t>(percent); }

 private:
  std::mt19937_64 Random;
};

}  // namespace

TStringList GenerateCards(int count, std::uint64_t seed) {
  Generator g(seed);
  TStringList cards;
  cards.Reserve(count);
  for (int i = 0; i < count; ++i) {
    const std::string_view surname = g.Pick(kSurnames);
    const std::string_view first = g.Pick(kFirstNames);
    const std::size_t house = 1 + g.Number(250);
    const std::string_view street = g.Pick(kStreets);
    const AnsiString address = Format("%zu %.*s", house, int(street.size()), street.data());
    const AnsiString zip = Format("%05zu", g.Number(100000));
    const AnsiString phone = Format("+30 210 %07zu", g.Number(10000000));
    const AnsiString cellular = g.Chance(60) ? Format("+30 69%08zu", g.Number(100000000)) : AnsiString();
    const AnsiString email = Format("contact%d@mail.example.org", i);
    const AnsiString website = g.Chance(35) ? Format("www.site%d.example.com", i) : AnsiString();
    const AnsiString picture = g.Chance(30) ? Format("photo%04zu.jpg", g.Number(10000)) : AnsiString();
    cards.Add(BuildCardLine({surname, first, g.Pick(kCompanies), address, g.Pick(kCities), zip, g.Pick(kStates),
                             g.Pick(kCountries), phone, cellular, email, website, picture, g.Pick(kNotes)}));
  }
  return cards;
}

void WriteBookFile(const TStringList& cards, const AnsiString& fileName) {
  TStringList book = cards;
  book.Insert(0, kBookHeader);
  book.SaveToFile(fileName);
}

const TStringList& BenchCards(int count) {
  static std::map<int, TStringList> loaded;
  auto it = loaded.find(count);
  if (it != loaded.end()) return it->second;
  TStringList cards;
  const char* dir = std::getenv("VAB_BENCH_DIR");
  const std::filesystem::path file =
      std::filesystem::path(dir ? dir : "") / ("cards-" + std::to_string(count) + ".abk");
  if (dir && std::filesystem::exists(file))
    LoadBook(cards, file.string(), BackupFileName(file.string()));
  else
    cards = GenerateCards(count);
  return loaded.emplace(count, std::move(cards)).first->second;
}
