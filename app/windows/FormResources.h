#pragma once
// What the windows take from their resources: the last step of loading their controls, the
// sounds, the program icon, and the rule for text typed into card fields.

#include <QValidator>

class QIcon;
class QWidget;
class TQMWave;

// Runs Loaded on every control of the form that has one, once its layout has set all properties.
void LoadedControls(QWidget* form);

// Loads a sound resource in the stream format into wave; a missing resource leaves it empty.
void LoadWaveResource(TQMWave& wave, const char* resource);

[[nodiscard]] QIcon ProgramIcon();

// Accepts only text that the ANSI code page holds and that keeps a card line intact (no
// separator byte).
class TAnsiTextValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};
