#pragma once
// What the windows take from their resources: the last step of loading their controls, the
// sounds and the program icon.

class QIcon;
class QWidget;
class TQMWave;

// Runs Loaded on every control of the form that has one, once its layout has set all properties.
void LoadedControls(QWidget* form);

// Loads a sound resource in the stream format into wave; a missing resource leaves it empty.
void LoadWaveResource(TQMWave& wave, const char* resource);

[[nodiscard]] QIcon ProgramIcon();
