#pragma once
// A reader of vCard files (versions 2.1, 3.0 and 4.0): several cards a file, folded lines,
// quoted-printable values with soft line breaks, CHARSET parameters, UTF-8 with or without a byte
// order mark (UTF-16 with one), escapes, and inline binary data, which is skipped.

#include <QString>
#include <QStringList>
#include <string_view>
#include <vector>

struct TVCardProperty {
  QString Name;         // upper case, without its group
  QStringList Types;    // lower case: the TYPE values, and the bare parameters of version 2.1
  int Pref = 0;         // the PREF value (1 is the most preferred), 1 for TYPE=pref; 0 when not given
  bool Binary = false;  // inline binary data (a photo, a key): its value is not kept
  // The value split at each unescaped ";" into components, and each component at each unescaped ","
  // into its values (version 2.1 has no lists: a comma stays in its value); decoded and unescaped.
  QList<QStringList> Components;

  [[nodiscard]] bool HasType(QStringView type) const;
  // The values of a component; none when the value has no such component.
  [[nodiscard]] QStringList ComponentValues(int index) const {
    return index < Components.size() ? Components[index] : QStringList();
  }
  // A component as written: its values joined by ",".
  [[nodiscard]] QString Component(int index) const { return ComponentValues(index).join(u','); }
  // The whole value, its components joined by ";".
  [[nodiscard]] QString Value() const;
};

struct TVCard {
  QString Version;  // as the card states it; empty when it states none
  std::vector<TVCardProperty> Properties;
};

// Reads every card of a file's bytes; a card without END ends at the next BEGIN or at the end of
// the data. Lines outside the cards and lines without a value are ignored. Never raises.
[[nodiscard]] std::vector<TVCard> ParseVCards(std::string_view data);
