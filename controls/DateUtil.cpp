#include "DateUtil.h"

#include <QLocale>

#include "CodePage.h"
#include "SysUtils.h"

namespace {

bool gFourDigitYear = false;

}  // namespace

bool HasFourDigitYear(std::string_view shortDateFormat) {
  return UpperCase(shortDateFormat).find("YYYY") != AnsiString::npos;
}

void InitializeDateUtil() {
  const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
  gFourDigitYear = HasFourDigitYear(QStringToAnsi(format).value_or(AnsiString()));
}

bool FourDigitYear() {
  return gFourDigitYear;
}
