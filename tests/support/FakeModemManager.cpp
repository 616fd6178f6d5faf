// A stand-in for ModemManager on a private bus: modems with and without voice calls, and calls that
// run by a script. Prints "ready" once it owns its name, then one line per request it receives.
//
//   vab_fake_modem_manager [--plain N] [--voice N] [--script answer|busy|remote|error|fail-start|refuse-call]
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QMap>
#include <QTimer>
#include <cstdio>
#include <map>

using Interfaces = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, Interfaces>;
Q_DECLARE_METATYPE(Interfaces)
Q_DECLARE_METATYPE(ManagedObjects)

namespace {

const QString kRoot = QStringLiteral("/org/freedesktop/ModemManager1");
const QString kModem = QStringLiteral("org.freedesktop.ModemManager1.Modem");
const QString kVoice = QStringLiteral("org.freedesktop.ModemManager1.Modem.Voice");
const QString kCall = QStringLiteral("org.freedesktop.ModemManager1.Call");

enum : int { kDialing = 1, kRingingOut = 2, kActive = 4, kTerminated = 7 };
enum : unsigned { kStarted = 1, kAccepted = 3, kHungUp = 4, kRefusedOrBusy = 5, kError = 6 };

void Log(const QString& line) {
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

class FakeModemManager final : public QDBusVirtualObject {
 public:
  FakeModemManager(int plain, int voice, QString script) : Plain(plain), Voice(voice), Script(std::move(script)) {}

  QString introspect(const QString&) const override { return {}; }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    const QString member = message.member();
    if (member == u"GetManagedObjects") {
      Log(QStringLiteral("GetManagedObjects"));
      ManagedObjects objects;
      for (int i = 0; i < Plain + Voice; ++i) {
        Interfaces interfaces{{kModem, ModemProperties()}};
        if (i >= Plain) interfaces.insert(kVoice, QVariantMap{});
        objects.insert(QDBusObjectPath(kRoot + QStringLiteral("/Modem/%1").arg(i)), interfaces);
      }
      connection.send(message.createReply(QVariant::fromValue(objects)));
    } else if (member == u"GetAll") {
      Log(QStringLiteral("GetAll %1").arg(message.path()));
      connection.send(message.createReply(ModemProperties()));
    } else if (member == u"CreateCall") {
      const QVariantMap properties = qdbus_cast<QVariantMap>(message.arguments().value(0));
      const QString path = kRoot + QStringLiteral("/Call/%1").arg(++LastCall);
      Log(QStringLiteral("CreateCall %1 %2")
              .arg(message.path(), properties.value(QStringLiteral("number")).toString()));
      if (Script == u"refuse-call") {
        connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.ModemManager1.Error.Core.Unsupported"),
                                                 QStringLiteral("voice calls are not allowed")));
        return true;
      }
      connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(path))));
    } else if (member == u"DeleteCall") {
      Log(QStringLiteral("DeleteCall %1").arg(message.arguments().value(0).value<QDBusObjectPath>().path()));
      connection.send(message.createReply());
    } else if (member == u"Start") {
      Log(QStringLiteral("Start %1").arg(message.path()));
      if (Script == u"fail-start") {
        connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.ModemManager1.Error.Core.Failed"),
                                                 QStringLiteral("no carrier")));
        return true;
      }
      connection.send(message.createReply());
      Run(message.path(), connection);
    } else if (member == u"Hangup") {
      Log(QStringLiteral("Hangup %1").arg(message.path()));
      connection.send(message.createReply());
      Emit(message.path(), kTerminated, kHungUp, connection);
    } else {
      return false;
    }
    return true;
  }

 private:
  static QVariantMap ModemProperties() {
    return {{QStringLiteral("Manufacturer"), QStringLiteral("Velmora Test Modems")},
            {QStringLiteral("Model"), QStringLiteral("VX-1")},
            {QStringLiteral("Revision"), QStringLiteral("1.0.7")},
            {QStringLiteral("State"), 8},
            {QStringLiteral("OwnNumbers"), QStringList{QStringLiteral("+385 1 555 0100")}}};
  }

  // The call's states after Start, 30 ms apart.
  void Run(const QString& path, const QDBusConnection& connection) {
    std::vector<std::pair<int, unsigned>> steps{{kDialing, kStarted}};
    if (Script == u"busy") {
      steps.push_back({kTerminated, kRefusedOrBusy});
    } else if (Script == u"error") {
      steps.push_back({kTerminated, kError});
    } else {
      steps.push_back({kRingingOut, kStarted});
      steps.push_back({kActive, kAccepted});
      if (Script == u"remote") steps.push_back({kTerminated, kHungUp});
    }
    int delay = 0;
    for (const auto& [state, reason] : steps) {
      delay += 30;
      QTimer::singleShot(
          delay, [this, path, state = state, reason = reason, connection] { Emit(path, state, reason, connection); });
    }
  }

  void Emit(const QString& path, int state, unsigned reason, const QDBusConnection& connection) {
    int& current = States[path];
    if (current == kTerminated) return;
    QDBusMessage signal = QDBusMessage::createSignal(path, kCall, QStringLiteral("StateChanged"));
    signal << current << state << reason;
    current = state;
    connection.send(signal);
  }

  int Plain;
  int Voice;
  QString Script;
  int LastCall = 0;
  std::map<QString, int> States;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  qDBusRegisterMetaType<Interfaces>();
  qDBusRegisterMetaType<ManagedObjects>();
  int plain = 0;
  int voice = 1;
  QString script = QStringLiteral("answer");
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == u"--plain") plain = args[i + 1].toInt();
    if (args[i] == u"--voice") voice = args[i + 1].toInt();
    if (args[i] == u"--script") script = args[i + 1];
  }
  QDBusConnection bus =
      QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("fake"));
  FakeModemManager manager(plain, voice, script);
  if (!bus.registerVirtualObject(kRoot, &manager, QDBusConnection::SubPath) ||
      !bus.registerService(QStringLiteral("org.freedesktop.ModemManager1"))) {
    std::fprintf(stderr, "fake ModemManager: %s\n", bus.lastError().message().toUtf8().constData());
    return 1;
  }
  Log(QStringLiteral("ready"));
  return app.exec();
}
