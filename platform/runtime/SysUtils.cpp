#include "SysUtils.h"

#include <cstdarg>
#include <cstdio>

AnsiString Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  AnsiString result;
  if (size > 0) {
    result.resize(static_cast<std::size_t>(size));
    std::vsnprintf(result.data(), result.size() + 1, format, args);
  }
  va_end(args);
  return result;
}

AnsiString Trim(std::string_view s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && blank(s[begin])) ++begin;
  while (end > begin && blank(s[end - 1])) --end;
  return AnsiString(s.substr(begin, end - begin));
}

AnsiString UpperCase(std::string_view s) {
  AnsiString result(s);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

AnsiString LowerCase(std::string_view s) {
  AnsiString result(s);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

AnsiString ExtractFileName(std::string_view path) {
  const std::size_t pos = path.find_last_of("\\:/");
  return AnsiString(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

AnsiString ExtractFileExt(std::string_view path) {
  const std::size_t pos = path.find_last_of(".\\:/");
  if (pos == std::string_view::npos || path[pos] != '.') return {};
  return AnsiString(path.substr(pos));
}

AnsiString IntToStr(std::int64_t value) {
  return std::to_string(value);
}

AnsiString StringReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return AnsiString(s);
  AnsiString result;
  result.reserve(s.size());
  std::size_t start = 0;
  for (std::size_t pos; (pos = s.find(from, start)) != std::string_view::npos; start = pos + from.size()) {
    result.append(s.substr(start, pos - start));
    result.append(to);
  }
  result.append(s.substr(start));
  return result;
}
