#include "FormResources.h"

#include <QFile>
#include <QIcon>
#include <QMetaMethod>
#include <QWidget>

#include "QMWave.h"

void LoadedControls(QWidget* form) {
  for (QWidget* control : form->findChildren<QWidget*>()) {
    const QMetaObject* type = control->metaObject();
    const int loaded = type->indexOfMethod("Loaded()");
    if (loaded >= 0) type->method(loaded).invoke(control);
  }
}

void LoadWaveResource(TQMWave& wave, const char* resource) {
  QFile file(QString::fromLatin1(resource));
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = file.readAll();
  TMemoryStream stream(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  try {
    wave.WaveData()->ReadData(stream);
  } catch (const EStreamError&) {
    wave.WaveData()->Clear();
  }
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 256}) icon.addFile(QStringLiteral(":/icons/velmora-%1.png").arg(size));
  return icon;
}
