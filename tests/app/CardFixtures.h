#pragma once
// Card values and card lines for the tests.

#include <string>
#include <string_view>

#include "CardBook.h"

namespace testing_support {

inline CardValues CardFields(std::string_view surname, std::string_view first = "", std::string_view picture = "",
                             std::string_view notes = "") {
  CardValues values{};
  values[cfSurname] = surname;
  values[cfFirstName] = first;
  values[cfPicture] = picture;
  values[cfNotes] = notes;
  return values;
}

inline std::string Card(std::string_view surname, std::string_view first = "", std::string_view picture = "") {
  return BuildCardLine(CardFields(surname, first, picture));
}

}  // namespace testing_support
