#include "CodePage.h"

#include <unicode/ucol.h>

#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

struct LanguageCodePage {
  std::string_view language;
  unsigned codePage;
};

// Languages whose Windows ANSI code page is not 1252.
constexpr LanguageCodePage kCodePages[] = {
    {"cs", 1250}, {"pl", 1250}, {"hu", 1250}, {"sk", 1250}, {"sl", 1250}, {"hr", 1250}, {"ro", 1250}, {"sq", 1250},
    {"bs", 1250}, {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"sr", 1251}, {"mk", 1251}, {"kk", 1251},
    {"ky", 1251}, {"tt", 1251}, {"mn", 1251}, {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"uz", 1254}, {"he", 1255},
    {"iw", 1255}, {"yi", 1255}, {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"et", 1257}, {"lv", 1257}, {"lt", 1257},
    {"vi", 1258}, {"th", 874},  {"ja", 932},  {"ko", 949},  {"zh", 936},
};

const char* ConverterName(unsigned codePage) {
  switch (codePage) {
    case 874:
      return "windows-874";
    case 932:
      return "windows-31j";
    case 936:
      return "GBK";
    case 949:
      return "windows-949";
    case 950:
      return "Big5";
    case 1250:
      return "windows-1250";
    case 1251:
      return "windows-1251";
    case 1253:
      return "windows-1253";
    case 1254:
      return "windows-1254";
    case 1255:
      return "windows-1255";
    case 1256:
      return "windows-1256";
    case 1257:
      return "windows-1257";
    case 1258:
      return "windows-1258";
    default:
      return "windows-1252";
  }
}

bool IsSingleByte(unsigned codePage) {
  return codePage != 932 && codePage != 936 && codePage != 949 && codePage != 950;
}

// A single-byte code page as two tables. A byte the code page leaves undefined reads as a private
// character of its own (U+F700 + byte), so that every byte survives the way through a widget.
struct ByteTable {
  explicit ByteTable(unsigned codePage) {
    QStringDecoder decoder(ConverterName(codePage));
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      const QString one = decoder(QByteArrayView(&byte, 1));
      char16_t c = one.size() == 1 && one[0] != QChar::ReplacementCharacter ? one[0].unicode()
                                                                            : static_cast<char16_t>(0xF700 + b);
      if (b == 0) c = 0;
      ToUnicode[static_cast<std::size_t>(b)] = c;
      FromUnicode.insert(c, static_cast<char>(b));
    }
  }
  std::array<char16_t, 256> ToUnicode{};
  QHash<char16_t, char> FromUnicode;
};

// ICU collators of the user's locale: with case ignored (secondary strength) and observed.
struct Collator {
  Collator(const char* locale, UCollationStrength strength) {
    UErrorCode status = U_ZERO_ERROR;
    Handle = ucol_open(locale, &status);
    if (U_FAILURE(status)) Handle = ucol_open("", &(status = U_ZERO_ERROR));
    if (Handle) ucol_setStrength(Handle, strength);
  }
  ~Collator() {
    if (Handle) ucol_close(Handle);
  }
  Collator(const Collator&) = delete;
  Collator& operator=(const Collator&) = delete;
  UCollator* Handle = nullptr;
};

struct CodePageState {
  std::once_flag once;
  std::atomic<unsigned> codePage = 1252;
  std::unique_ptr<Collator> caseless;
  std::unique_ptr<Collator> caseful;
};

std::string CollationLocale() {
  // The C locale has no collation of its own; an English system's order stands in for it.
  const QLocale system = QLocale::system();
  return system.language() == QLocale::C ? std::string("en_US") : system.name().toStdString();
}

const ByteTable& LockedTableFor(unsigned codePage);

CodePageState& State() {
  static CodePageState state;
  std::call_once(state.once, [] {
    const char* name = nullptr;
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
      name = std::getenv(var);
      if (name && *name) break;
    }
    state.codePage = CodePageForLocale(name ? name : "");
    const std::string locale = CollationLocale();
    state.caseless = std::make_unique<Collator>(locale.c_str(), UCOL_SECONDARY);
    state.caseful = std::make_unique<Collator>(locale.c_str(), UCOL_TERTIARY);
  });
  return state;
}

const ByteTable& TableFor(unsigned codePage) {
  // Each thread remembers its last table: conversions on many threads take no lock.
  thread_local unsigned cachedCodePage = 0;
  thread_local const ByteTable* cached = nullptr;
  if (cached && cachedCodePage == codePage) return *cached;
  cached = &LockedTableFor(codePage);
  cachedCodePage = codePage;
  return *cached;
}

const ByteTable& LockedTableFor(unsigned codePage) {
  static std::mutex mutex;
  static std::map<unsigned, std::unique_ptr<ByteTable>> tables;
  const std::lock_guard lock(mutex);
  std::unique_ptr<ByteTable>& table = tables[codePage];
  if (!table) table = std::make_unique<ByteTable>(codePage);
  return *table;
}

}  // namespace

unsigned CodePageForLocale(std::string_view localeName) {
  const std::string_view language = localeName.substr(0, localeName.find_first_of("_.@"));
  if (language == "zh") {
    // Traditional Chinese locales use Big5, the others GBK.
    const bool traditional = localeName.find("_TW") != std::string_view::npos ||
                             localeName.find("_HK") != std::string_view::npos ||
                             localeName.find("_MO") != std::string_view::npos;
    return traditional ? 950 : 936;
  }
  for (const auto& entry : kCodePages)
    if (entry.language == language) return entry.codePage;
  return 1252;
}

unsigned AnsiCodePage() {
  return State().codePage;
}

void SetAnsiCodePage(unsigned codePage) {
  State().codePage = codePage;
}

const char* AnsiCodePageCharset() {
  return ConverterName(AnsiCodePage());
}

namespace {

constexpr char16_t kRawByteBase = 0xF700;  // a byte no character stands for reads as U+F700 + byte

std::optional<QByteArray> EncodeStrictly(const char* converter, QStringView text) {
  QStringEncoder encoder(converter, QStringConverter::Flag::Stateless);
  QByteArray bytes = encoder(text);
  if (encoder.hasError()) return std::nullopt;
  return bytes;
}

// A multi-byte code page: characters where the bytes make one, and U+F700 + byte for each byte
// that is no part of a character, so that the bytes come back unchanged.
QString DecodeMultiByte(const char* converter, std::string_view text) {
  const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
  QStringDecoder whole(converter, QStringConverter::Flag::Stateless);
  QString decoded = whole(bytes);
  if (!whole.hasError() && EncodeStrictly(converter, decoded) == bytes) return decoded;
  QString result;
  for (qsizetype i = 0; i < bytes.size();) {
    bool taken = false;
    for (qsizetype length : {2, 1}) {
      if (i + length > bytes.size()) continue;
      QStringDecoder one(converter, QStringConverter::Flag::Stateless);
      const QString character = one(bytes.sliced(i, length));
      if (!one.hasError() && !character.isEmpty() && character.size() <= 2 &&
          EncodeStrictly(converter, character) == bytes.sliced(i, length)) {
        result += character;
        i += length;
        taken = true;
        break;
      }
    }
    if (!taken) result += QChar(static_cast<char16_t>(kRawByteBase + static_cast<unsigned char>(bytes[i++])));
  }
  return result;
}

std::optional<AnsiString> EncodeMultiByte(const char* converter, const QString& text) {
  AnsiString result;
  qsizetype start = 0;
  auto flush = [&](qsizetype end) {
    if (end == start) return true;
    const std::optional<QByteArray> bytes = EncodeStrictly(converter, QStringView(text).mid(start, end - start));
    if (!bytes) return false;
    result.append(bytes->constData(), static_cast<std::size_t>(bytes->size()));
    return true;
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < kRawByteBase || c > kRawByteBase + 0xFF) continue;
    if (!flush(i)) return std::nullopt;
    result += static_cast<char>(c - kRawByteBase);
    start = i + 1;
  }
  if (!flush(text.size())) return std::nullopt;
  return result;
}

}  // namespace

QString AnsiToQString(std::string_view text) {
  const unsigned codePage = AnsiCodePage();
  if (!IsSingleByte(codePage)) return DecodeMultiByte(ConverterName(codePage), text);
  const ByteTable& table = TableFor(codePage);
  QString result(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  QChar* out = result.data();
  for (char c : text) *out++ = QChar(table.ToUnicode[static_cast<unsigned char>(c)]);
  return result;
}

std::optional<AnsiString> QStringToAnsi(const QString& text) {
  const unsigned codePage = AnsiCodePage();
  if (!IsSingleByte(codePage)) return EncodeMultiByte(ConverterName(codePage), text);
  const ByteTable& table = TableFor(codePage);
  AnsiString result;
  result.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) {
    const auto found = table.FromUnicode.constFind(c.unicode());
    if (found == table.FromUnicode.cend()) return std::nullopt;
    result += *found;
  }
  return result;
}

bool FitsAnsiCodePage(const QString& text) {
  return QStringToAnsi(text).has_value();
}

namespace {

int Compare(UCollator* collator, std::string_view a, std::string_view b) {
  const QString x = AnsiToQString(a);
  const QString y = AnsiToQString(b);
  return ucol_strcoll(collator, reinterpret_cast<const UChar*>(x.utf16()), static_cast<int32_t>(x.size()),
                      reinterpret_cast<const UChar*>(y.utf16()), static_cast<int32_t>(y.size()));
}

// The sort keys of a run of texts, one after another in one buffer, each padded with zero bytes to
// whole eight-byte words.
struct SortKeys {
  std::string Bytes;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> Spans;  // offset, words
};

constexpr std::size_t kWord = 8;

void MakeSortKeys(const UCollator* collator, const std::vector<std::string_view>& texts, std::size_t begin,
                  std::size_t end, SortKeys& keys) {
  keys.Spans.reserve(end - begin);
  keys.Bytes.reserve((end - begin) * 56);
  std::vector<uint8_t> key(256);
  const unsigned codePage = AnsiCodePage();
  const ByteTable* table = IsSingleByte(codePage) ? &TableFor(codePage) : nullptr;
  std::vector<UChar> buffer;
  QString converted;
  for (std::size_t i = begin; i < end; ++i) {
    const UChar* chars = nullptr;
    int32_t length = 0;
    if (table) {
      // Straight into a reused buffer: no allocation per text.
      buffer.resize(texts[i].size());
      std::transform(texts[i].begin(), texts[i].end(), buffer.begin(),
                     [table](char c) { return static_cast<UChar>(table->ToUnicode[static_cast<unsigned char>(c)]); });
      chars = buffer.data();
      length = static_cast<int32_t>(buffer.size());
    } else {
      converted = AnsiToQString(texts[i]);
      chars = reinterpret_cast<const UChar*>(converted.utf16());
      length = static_cast<int32_t>(converted.size());
    }
    int32_t size = ucol_getSortKey(collator, chars, length, key.data(), static_cast<int32_t>(key.size()));
    if (size > static_cast<int32_t>(key.size())) {
      key.resize(static_cast<std::size_t>(size));
      size = ucol_getSortKey(collator, chars, length, key.data(), size);
    }
    const std::size_t words = (static_cast<std::size_t>(size) + kWord - 1) / kWord;
    keys.Spans.emplace_back(static_cast<std::uint32_t>(keys.Bytes.size()), static_cast<std::uint32_t>(words));
    keys.Bytes.append(reinterpret_cast<const char*>(key.data()), static_cast<std::size_t>(size));
    keys.Bytes.append(words * kWord - static_cast<std::size_t>(size), '\0');
  }
}

}  // namespace

int AnsiCompareText(std::string_view a, std::string_view b) {
  return Compare(State().caseless->Handle, a, b);
}

namespace {

std::uint64_t BigEndianWord(const char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
  return word;
}

// A text's sort key and its place in the list. The first two words of the key are held here, so
// that most comparisons read nothing else. A key holds no zero byte but its last, so keys padded
// with zeros compare as whole words, and equal words up to the shorter end mean equal keys.
struct CollationKey {
  std::uint64_t First;
  std::uint64_t Second;
  const char* Bytes;
  std::uint32_t Words;
  std::uint32_t Index;
};

// Ordered by key, and equal keys by their place in the list.
bool operator<(const CollationKey& x, const CollationKey& y) {
  if (x.First != y.First) return x.First < y.First;
  if (x.Second != y.Second) return x.Second < y.Second;
  const std::uint32_t words = std::min(x.Words, y.Words);
  for (std::uint32_t k = 2; k < words; ++k) {
    const std::uint64_t a = BigEndianWord(x.Bytes + k * kWord);
    const std::uint64_t b = BigEndianWord(y.Bytes + k * kWord);
    if (a != b) return a < b;
  }
  return x.Index < y.Index;
}

bool SameKey(const CollationKey& x, const CollationKey& y) {
  return x.Words == y.Words && std::memcmp(x.Bytes, y.Bytes, x.Words * kWord) == 0;
}

// Runs job(0) to job(count - 1), on threads of their own where threads can be had.
void InParallel(std::size_t count, const std::function<void(std::size_t)>& job) {
  std::vector<std::thread> helpers;
  std::size_t started = 1;
  for (; started < count; ++started) {
    try {
      helpers.emplace_back(job, started);
    } catch (const std::system_error&) {
      break;
    }
  }
  job(0);
  for (std::thread& helper : helpers) helper.join();
  for (std::size_t i = started; i < count; ++i) job(i);
}

// The caseless sort keys of texts, in parts that hold their bytes; keys[i] belongs to texts[i].
// Large lists compute their keys on several threads, each with a collator of its own.
std::vector<CollationKey> CaselessKeys(const std::vector<std::string_view>& texts, std::vector<SortKeys>& parts) {
  constexpr std::size_t kPerThread = 16384;
  const std::size_t threads =
      std::clamp<std::size_t>(texts.size() / kPerThread, 1, std::max(1u, std::thread::hardware_concurrency()));
  const std::size_t chunk = (texts.size() + threads - 1) / threads;
  parts.assign(threads, {});
  std::vector<CollationKey> keys(texts.size());
  auto range = [&](std::size_t t) {
    return std::pair{std::min(texts.size(), t * chunk), std::min(texts.size(), (t + 1) * chunk)};
  };
  auto fill = [&](std::size_t t) {
    std::size_t i = range(t).first;
    for (const auto& [offset, words] : parts[t].Spans) {
      const char* bytes = parts[t].Bytes.data() + offset;
      keys[i] = {BigEndianWord(bytes), words > 1 ? BigEndianWord(bytes + kWord) : 0, bytes, words,
                 static_cast<std::uint32_t>(i)};
      ++i;
    }
  };
  UCollator* const collator = State().caseless->Handle;
  std::vector<char> done(threads, 0);
  InParallel(threads, [&](std::size_t t) {
    if (t == 0) {
      MakeSortKeys(collator, texts, range(t).first, range(t).second, parts[t]);
    } else {
      // A collator serves one thread at a time; a thread that cannot have its own leaves its run
      // to this one.
      UErrorCode status = U_ZERO_ERROR;
      UCollator* clone = ucol_clone(collator, &status);
      if (U_FAILURE(status) || !clone) return;
      try {
        MakeSortKeys(clone, texts, range(t).first, range(t).second, parts[t]);
      } catch (const std::bad_alloc&) {
        parts[t] = {};
        ucol_close(clone);
        return;
      }
      ucol_close(clone);
    }
    fill(t);
    done[t] = 1;
  });
  for (std::size_t t = 1; t < threads; ++t) {
    if (done[t]) continue;
    MakeSortKeys(collator, texts, range(t).first, range(t).second, parts[t]);
    fill(t);
  }
  return keys;
}

// Sorts the keys: each thread's run on that thread, then neighbouring runs merged, every thread
// merging one slice of the first run with the part of the second that sorts beside it.
void SortKeysInParallel(std::vector<CollationKey>& keys, std::size_t threads) {
  const std::size_t chunk = (keys.size() + threads - 1) / threads;
  std::vector<std::size_t> bounds;
  for (std::size_t t = 0; t <= threads; ++t) bounds.push_back(std::min(keys.size(), t * chunk));
  const auto at = [&](std::vector<CollationKey>& v, std::size_t i) {
    return v.begin() + static_cast<std::ptrdiff_t>(i);
  };
  InParallel(threads, [&](std::size_t run) { std::sort(at(keys, bounds[run]), at(keys, bounds[run + 1])); });
  std::vector<CollationKey> merged(keys.size());
  const auto mergeRuns = [&](std::size_t first, std::size_t middle, std::size_t last) {
    std::vector<std::size_t> a(threads + 1), b(threads + 1);
    a[0] = first;
    b[0] = middle;
    a[threads] = middle;
    b[threads] = last;
    for (std::size_t t = 1; t < threads; ++t) {
      a[t] = first + (middle - first) * t / threads;
      b[t] =
          a[t] == middle
              ? last
              : static_cast<std::size_t>(std::lower_bound(at(keys, middle), at(keys, last), keys[a[t]]) - keys.begin());
    }
    InParallel(threads, [&](std::size_t t) {
      std::merge(at(keys, a[t]), at(keys, a[t + 1]), at(keys, b[t]), at(keys, b[t + 1]),
                 at(merged, a[t] - first + b[t] - middle + first));
    });
    std::copy(at(merged, first), at(merged, last), at(keys, first));
  };
  while (bounds.size() > 2) {
    std::vector<std::size_t> next;
    for (std::size_t i = 0; i + 2 < bounds.size(); i += 2) {
      mergeRuns(bounds[i], bounds[i + 1], bounds[i + 2]);
      next.push_back(bounds[i]);
    }
    if (bounds.size() % 2 == 0) next.push_back(bounds[bounds.size() - 2]);
    next.push_back(bounds.back());
    bounds = std::move(next);
  }
}

}  // namespace

std::vector<std::size_t> CaselessOrder(const std::vector<std::string_view>& texts) {
  std::vector<SortKeys> parts;
  std::vector<CollationKey> keys = CaselessKeys(texts, parts);
  SortKeysInParallel(keys, parts.size());
  std::vector<std::size_t> order(keys.size());
  std::transform(keys.begin(), keys.end(), order.begin(), [](const CollationKey& key) { return key.Index; });
  return order;
}

std::vector<std::uint32_t> CaselessRanks(const std::vector<std::string_view>& texts) {
  std::vector<SortKeys> parts;
  std::vector<CollationKey> keys = CaselessKeys(texts, parts);
  SortKeysInParallel(keys, parts.size());
  std::vector<std::uint32_t> ranks(texts.size());
  std::uint32_t rank = 0;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    if (k > 0 && !SameKey(keys[k - 1], keys[k])) ++rank;
    ranks[keys[k].Index] = rank;
  }
  return ranks;
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
  return Compare(State().caseful->Handle, a, b);
}
