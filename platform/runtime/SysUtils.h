#pragma once
// Core types and routines of the class library the units are written against: 8-bit strings,
// exceptions carrying a text, and the few string and file-name helpers the units call.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

using AnsiString = std::string;  // 8-bit text in the ANSI code page
using HWND = void*;              // an opaque window handle; 0 is "no window"

// The class library's base exception. Message is 8-bit text in the ANSI code page.
class Exception : public std::exception {
 public:
  explicit Exception(AnsiString message) : Message(std::move(message)) {}
  [[nodiscard]] const char* what() const noexcept override { return Message.c_str(); }
  AnsiString Message;
};

class EConvertError : public Exception {
  using Exception::Exception;
};
class EStreamError : public Exception {
  using Exception::Exception;
};
class EFOpenError : public EStreamError {
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
  using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
  using EStreamError::EStreamError;
};
class EStringListError : public Exception {
  using Exception::Exception;
};
class EOutOfResources : public Exception {
  using Exception::Exception;
};
class ERegistryException : public Exception {
  using Exception::Exception;
};

// printf-style formatting into an AnsiString.
[[nodiscard]] AnsiString Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Removes leading and trailing blanks and control characters (every byte up to and including ' ').
[[nodiscard]] AnsiString Trim(std::string_view s);
// ASCII-only case mapping, as the class library's UpperCase and LowerCase.
[[nodiscard]] AnsiString UpperCase(std::string_view s);
[[nodiscard]] AnsiString LowerCase(std::string_view s);
// The file-name part of a path: the text after the last path delimiter ("\", ":" or "/").
[[nodiscard]] AnsiString ExtractFileName(std::string_view path);
// The extension of the file-name part, with its dot ("" when there is none).
[[nodiscard]] AnsiString ExtractFileExt(std::string_view path);
[[nodiscard]] AnsiString IntToStr(std::int64_t value);
// Replaces every occurrence of `from` by `to`.
[[nodiscard]] AnsiString StringReplaceAll(std::string_view s, std::string_view from, std::string_view to);
