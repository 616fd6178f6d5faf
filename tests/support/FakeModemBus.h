#pragma once
// A private system bus for the telephony tests: a dbus-daemon of the test's own, its address in
// DBUS_SYSTEM_BUS_ADDRESS while it lives, and optionally the fake ModemManager on it, whose log of
// requests the test reads. And buses that never answer: a stopped daemon, or a bare listener.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace testing_support {

class FakeModemBus {
 public:
  // An activatable service file for ModemManager, so that a test can see that nothing starts it.
  explicit FakeModemBus(bool activatable = false) {
    QDir(Dir.path()).mkpath(QStringLiteral("services"));
    if (activatable) {
      QFile service(Dir.filePath(QStringLiteral("services/org.freedesktop.ModemManager1.service")));
      if (service.open(QIODevice::WriteOnly))
        service.write(QStringLiteral("[D-BUS Service]\nName=org.freedesktop.ModemManager1\nExec=/usr/bin/touch %1\n")
                          .arg(ActivationMarker())
                          .toUtf8());
    }
    QFile config(Dir.filePath(QStringLiteral("bus.conf")));
    if (config.open(QIODevice::WriteOnly))
      config.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                                  "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                  "<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                  "<servicedir>%1/services</servicedir>"
                                  "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                  "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                       .arg(Dir.path())
                       .toUtf8());
    config.close();
    Daemon.setStandardErrorFile(QProcess::nullDevice());
    Daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config.fileName(),
                                                 QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    while (!Daemon.canReadLine() && Daemon.waitForReadyRead(5000)) {
    }
    Address = QString::fromUtf8(Daemon.readLine()).trimmed();
    setenv("DBUS_SYSTEM_BUS_ADDRESS", Address.toUtf8().constData(), 1);
  }
  ~FakeModemBus() {
    for (QProcess* process : {&Manager, &Daemon}) {
      process->kill();
      process->waitForFinished(3000);
    }
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  }
  FakeModemBus(const FakeModemBus&) = delete;
  FakeModemBus& operator=(const FakeModemBus&) = delete;

  // Starts the fake ModemManager ("--plain N", "--voice N", "--script ..."); true once it is ready.
  bool StartModemManager(const QStringList& arguments = {}) {
    Manager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Manager.start(QStringLiteral(VAB_FAKE_MODEM_MANAGER), arguments);
    return QTest::qWaitFor([this] { return Log().contains(QStringLiteral("ready")); }, 5000);
  }

  // The requests the fake has received so far, one per line ("ready" first).
  QStringList Log() {
    Output += QString::fromUtf8(Manager.readAllStandardOutput());
    return Output.split(u'\n', Qt::SkipEmptyParts);
  }
  bool WaitForLog(const QString& line, int timeoutMs = 5000) {
    return QTest::qWaitFor([&] { return Log().contains(line); }, timeoutMs);
  }

  // A stopped daemon keeps its socket: connections are taken, and nothing answers them.
  void StopDaemon() { ::kill(static_cast<pid_t>(Daemon.processId()), SIGSTOP); }
  void ContinueDaemon() { ::kill(static_cast<pid_t>(Daemon.processId()), SIGCONT); }

  [[nodiscard]] QString ActivationMarker() const { return Dir.filePath(QStringLiteral("activated")); }
  [[nodiscard]] bool Running() const { return !Address.isEmpty(); }

 private:
  QTemporaryDir Dir;
  QProcess Daemon;
  QProcess Manager;
  QString Output;
  QString Address;
};

// DBUS_SYSTEM_BUS_ADDRESS names a bus that does not exist, while it lives.
class NoSystemBus {
 public:
  NoSystemBus() { setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/vab-test-bus", 1); }
  ~NoSystemBus() { unsetenv("DBUS_SYSTEM_BUS_ADDRESS"); }
  NoSystemBus(const NoSystemBus&) = delete;
  NoSystemBus& operator=(const NoSystemBus&) = delete;
};

// DBUS_SYSTEM_BUS_ADDRESS names a socket that takes connections and never writes a byte, while it
// lives: a wedged bus.
class SilentBus {
 public:
  SilentBus() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s",
                  Dir.filePath(QStringLiteral("bus")).toLocal8Bit().constData());
    Socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    // The kernel completes the connections into the backlog; nobody reads or writes them.
    if (::bind(Socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) ::listen(Socket, 64);
    setenv("DBUS_SYSTEM_BUS_ADDRESS", (std::string("unix:path=") + address.sun_path).c_str(), 1);
  }
  ~SilentBus() {
    ::close(Socket);
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  }
  SilentBus(const SilentBus&) = delete;
  SilentBus& operator=(const SilentBus&) = delete;

 private:
  QTemporaryDir Dir;
  int Socket = -1;
};

}  // namespace testing_support
