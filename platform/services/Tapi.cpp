#include "Tapi.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "CodePage.h"
#include "Dialogs.h"

using TDBusInterfaces = QMap<QString, QVariantMap>;
using TDBusManagedObjects = QMap<QDBusObjectPath, TDBusInterfaces>;
Q_DECLARE_METATYPE(TDBusInterfaces)
Q_DECLARE_METATYPE(TDBusManagedObjects)

namespace {

const QString kService = QStringLiteral("org.freedesktop.ModemManager1");
const QString kRootPath = QStringLiteral("/org/freedesktop/ModemManager1");
const QString kModemInterface = QStringLiteral("org.freedesktop.ModemManager1.Modem");
const QString kVoiceInterface = QStringLiteral("org.freedesktop.ModemManager1.Modem.Voice");
const QString kCallInterface = QStringLiteral("org.freedesktop.ModemManager1.Call");
const QString kDefaultSystemBus = QStringLiteral("unix:path=/run/dbus/system_bus_socket");

// Queries while the line opens wait briefly; requests about a call a bit longer. The bus and its
// queries together get kOpenTimeout; the hang-ups of a closing line share kCloseTimeoutMs.
constexpr int kQueryTimeoutMs = 1500;
constexpr int kCreateTimeoutMs = 2000;
constexpr int kCallTimeoutMs = 5000;
constexpr int kCloseTimeoutMs = 500;
constexpr std::chrono::milliseconds kOpenTimeout{1000};

constexpr LONG LINEERR_INVALCALLSTATE = kLineError(0x8000001C);

// ModemManager's call states and reasons.
enum : int { MM_CALL_DIALING = 1, MM_CALL_RINGING_OUT = 2, MM_CALL_ACTIVE = 4, MM_CALL_TERMINATED = 7 };
enum : unsigned { MM_REASON_TERMINATED = 4, MM_REASON_REFUSED_OR_BUSY = 5 };

// Receives the bus's replies and signals of one line application on the thread that opened it.
class TTapiReceiver final : public QObject {
  Q_OBJECT
 public:
  std::function<void(const QDBusMessage&)> OnStateChanged;
 public Q_SLOTS:
  void StateChanged(const QDBusMessage& message) {
    if (OnStateChanged) OnStateChanged(message);
  }
};

struct TLineApp {
  QString ConnectionName;
  bool Connected = false;  // false also when the bus did not answer in time
  LINECALLBACK Callback = nullptr;
  AnsiString AppName;
  std::vector<QString> Devices;  // object paths of the voice modems
  std::unique_ptr<TTapiReceiver> Receiver;
  [[nodiscard]] QDBusConnection Bus() const { return QDBusConnection(ConnectionName); }
};

struct TLine {
  HLINEAPP App = 0;
  DWORD Device = 0;
  DWORD Instance = 0;
};

struct TCall {
  HLINE Line = 0;
  QString Path;
  bool Terminated = false;
};

struct TTapiState {
  std::map<HLINEAPP, TLineApp> Apps;
  std::map<HLINE, TLine> Lines;
  std::map<HCALL, TCall> Calls;
  DWORD NextApp = 0;
  DWORD NextLine = 0;
  DWORD NextCall = 0;  // handles only grow, so none is used twice
  DWORD NextRequest = 0;
};

TTapiState& State() {
  static TTapiState state;
  return state;
}

void RegisterTypes() {
  static const bool registered = [] {
    qDBusRegisterMetaType<TDBusInterfaces>();
    qDBusRegisterMetaType<TDBusManagedObjects>();
    return true;
  }();
  (void)registered;
}

// Hands a callback to the application through its event loop; dropped when the application has
// shut the line API down meanwhile.
void Deliver(HLINEAPP app, DWORD instance, DWORD device, DWORD message, DWORD param1, DWORD param2, DWORD param3) {
  const auto found = State().Apps.find(app);
  if (found == State().Apps.end()) return;
  QMetaObject::invokeMethod(
      found->second.Receiver.get(),
      [=] {
        const auto live = State().Apps.find(app);
        if (live != State().Apps.end() && live->second.Callback)
          live->second.Callback(device, message, instance, param1, param2, param3);
      },
      Qt::QueuedConnection);
}

TLineApp* AppOfCall(const TCall& call, DWORD* instance = nullptr) {
  const auto line = State().Lines.find(call.Line);
  if (line == State().Lines.end()) return nullptr;
  if (instance) *instance = line->second.Instance;
  const auto app = State().Apps.find(line->second.App);
  return app == State().Apps.end() ? nullptr : &app->second;
}

void DeliverForCall(HCALL handle, DWORD message, DWORD param1, DWORD param2) {
  const auto call = State().Calls.find(handle);
  if (call == State().Calls.end()) return;
  DWORD instance = 0;
  if (!AppOfCall(call->second, &instance)) return;
  const DWORD device = message == LINE_CALLSTATE ? handle : 0;
  Deliver(State().Lines[call->second.Line].App, instance, device, message, param1, param2, 0);
}

// Where a request's reply goes: it arrives even when the call has been deallocated meanwhile.
struct TReplyTarget {
  HLINEAPP App = 0;
  DWORD Instance = 0;
};

TReplyTarget ReplyTargetOf(HLINE line) {
  const auto found = State().Lines.find(line);
  return found == State().Lines.end() ? TReplyTarget{} : TReplyTarget{found->second.App, found->second.Instance};
}

void Reply(const TReplyTarget& target, DWORD request, bool ok) {
  Deliver(target.App, target.Instance, 0, LINE_REPLY, request, static_cast<DWORD>(ok ? 0 : LINEERR_OPERATIONFAILED), 0);
}

void CallState(HCALL handle, DWORD state, DWORD mode = 0) {
  DeliverForCall(handle, LINE_CALLSTATE, state, mode);
}

// The call has ended: its disconnect, then idle.
void EndCall(HCALL handle, DWORD mode, bool busy) {
  const auto call = State().Calls.find(handle);
  if (call == State().Calls.end() || call->second.Terminated) return;
  call->second.Terminated = true;
  if (busy) CallState(handle, LINECALLSTATE_BUSY);
  CallState(handle, LINECALLSTATE_DISCONNECTED, mode);
  CallState(handle, LINECALLSTATE_IDLE);
}

void Watch(const TLineApp& app, const QDBusPendingCall& pending, std::function<void(const QDBusMessage&)> done) {
  auto* watcher = new QDBusPendingCallWatcher(pending, app.Receiver.get());
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, app.Receiver.get(), [watcher, done = std::move(done)] {
    watcher->deleteLater();
    done(watcher->reply());
  });
}

QDBusMessage ServiceCall(const QString& path, const QString& interface, const QString& method) {
  QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
  message.setAutoStartService(false);  // never start ModemManager for us
  return message;
}

bool IsReply(const QDBusMessage& message) {
  return message.type() == QDBusMessage::ReplyMessage;
}

void OnStateChanged(const QDBusMessage& message) {
  const auto call = std::find_if(State().Calls.begin(), State().Calls.end(),
                                 [&](const auto& entry) { return entry.second.Path == message.path(); });
  const QList<QVariant> arguments = message.arguments();
  if (call == State().Calls.end() || arguments.size() < 3) return;
  const HCALL handle = call->first;
  switch (arguments.at(1).toInt()) {
    case MM_CALL_DIALING:
      CallState(handle, LINECALLSTATE_DIALING);
      break;
    case MM_CALL_RINGING_OUT:
      CallState(handle, LINECALLSTATE_PROCEEDING);
      break;
    case MM_CALL_ACTIVE:
      CallState(handle, LINECALLSTATE_CONNECTED);
      break;
    case MM_CALL_TERMINATED: {
      const unsigned reason = arguments.at(2).toUInt();
      if (reason == MM_REASON_REFUSED_OR_BUSY)
        EndCall(handle, LINEDISCONNECTMODE_BUSY, true);
      else
        EndCall(handle, reason == MM_REASON_TERMINATED ? LINEDISCONNECTMODE_NORMAL : LINEDISCONNECTMODE_UNKNOWN, false);
      break;
    }
    default:
      break;
  }
}

void StartCall(HCALL handle, DWORD request, const TReplyTarget& target) {
  const auto call = State().Calls.find(handle);
  TLineApp* app = call == State().Calls.end() ? nullptr : AppOfCall(call->second);
  if (!app) return;
  Watch(*app,
        app->Bus().asyncCall(ServiceCall(call->second.Path, kCallInterface, QStringLiteral("Start")), kCallTimeoutMs),
        [handle, request, target](const QDBusMessage& reply) {
          Reply(target, request, IsReply(reply));
          if (!IsReply(reply)) EndCall(handle, LINEDISCONNECTMODE_UNKNOWN, false);
        });
}

QDBusMessage DeleteCallMessage(const QString& device, const QString& path) {
  QDBusMessage remove = ServiceCall(device, kVoiceInterface, QStringLiteral("DeleteCall"));
  remove << QVariant::fromValue(QDBusObjectPath(path));
  return remove;
}

void DeleteModemCall(const TLineApp& app, const QString& device, const QString& path) {
  Watch(app, app.Bus().asyncCall(DeleteCallMessage(device, path), kQueryTimeoutMs), [](const QDBusMessage&) {});
}

QString CallPathOf(const QDBusMessage& reply) {
  return IsReply(reply) && !reply.arguments().isEmpty() ? reply.arguments().first().value<QDBusObjectPath>().path()
                                                        : QString();
}

// The modem's new call, waited for in a local event loop for kCreateTimeoutMs at most; the program's
// end cuts the wait short (LINEERR_REINIT). A call the modem creates after the wait is deleted again.
struct TCreated {
  LONG Result = 0;
  QString Path;
};

TCreated CreateModemCall(HLINEAPP handle, const QString& device, const AnsiString& number) {
  const TLineApp& app = State().Apps.at(handle);
  QDBusMessage create = ServiceCall(device, kVoiceInterface, QStringLiteral("CreateCall"));
  create << QVariantMap{{QStringLiteral("number"), QString::fromLatin1(number)}};
  constexpr int kAnswered = 1;
  QEventLoop loop;
  QPointer<QEventLoop> waiting(&loop);
  auto reply = std::make_shared<QDBusMessage>();
  // The request outlives the wait, so that a call the modem creates late is still deleted.
  Watch(app, app.Bus().asyncCall(create, kCallTimeoutMs), [waiting, reply, handle, device](const QDBusMessage& r) {
    if (waiting) {
      *reply = r;
      waiting->exit(kAnswered);
      return;
    }
    const auto late = State().Apps.find(handle);
    if (late != State().Apps.end() && !CallPathOf(r).isEmpty()) DeleteModemCall(late->second, device, CallPathOf(r));
  });
  QObject::connect(app.Receiver.get(), &QObject::destroyed, &loop, [&loop] { loop.exit(kAnswered); });
  QTimer::singleShot(kCreateTimeoutMs, &loop, [&loop] { loop.exit(kAnswered); });
  if (loop.exec() != kAnswered) return {LINEERR_REINIT, {}};
  const QString path = CallPathOf(*reply);
  return {path.isEmpty() ? LINEERR_OPERATIONFAILED : 0, path};
}

// The voice modems ModemManager offers, when it runs; never starts it.
std::vector<QString> VoiceModems(const QDBusConnection& bus) {
  QDBusMessage hasOwner =
      QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                     QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
  hasOwner << kService;
  const QDBusMessage owner = bus.call(hasOwner, QDBus::Block, kQueryTimeoutMs);
  if (!IsReply(owner) || owner.arguments().isEmpty() || !owner.arguments().first().toBool()) return {};
  const QDBusMessage reply = bus.call(
      ServiceCall(kRootPath, QStringLiteral("org.freedesktop.DBus.ObjectManager"), QStringLiteral("GetManagedObjects")),
      QDBus::Block, kQueryTimeoutMs);
  if (!IsReply(reply) || reply.arguments().isEmpty()) return {};
  const auto objects = qdbus_cast<TDBusManagedObjects>(reply.arguments().first());
  std::vector<QString> devices;
  for (auto object = objects.cbegin(); object != objects.cend(); ++object)
    if (object.value().contains(kVoiceInterface)) devices.push_back(object.key().path());
  return devices;
}

QString ModemStateName(int state) {
  static const char* const names[] = {"unknown",    "initializing",  "locked",     "disabled",
                                      "disabling",  "enabling",      "enabled",    "searching",
                                      "registered", "disconnecting", "connecting", "connected"};
  if (state == -1) return QStringLiteral("failed");
  if (state < 0 || state >= static_cast<int>(std::size(names))) return QString::number(state);
  return QString::fromLatin1(names[state]);
}

QStringList StringListOf(const QVariant& value) {
  if (value.canConvert<QDBusArgument>()) return qdbus_cast<QStringList>(value);
  return value.toStringList();
}

// The unix socket addresses ("unix:path=..." or "unix:abstract=...") of a bus address, as the
// peer name of a socket connected to them reads.
std::vector<std::string> UnixSocketNames(const QString& address) {
  std::vector<std::string> names;
  for (const QString& entry : address.split(u';', Qt::SkipEmptyParts)) {
    if (!entry.startsWith(QStringLiteral("unix:"))) continue;
    for (const QString& pair : entry.mid(5).split(u',')) {
      const QByteArray value = QByteArray::fromPercentEncoding(pair.section(u'=', 1).toUtf8());
      if (pair.startsWith(QStringLiteral("path="))) names.push_back(value.toStdString());
      if (pair.startsWith(QStringLiteral("abstract="))) names.push_back(std::string(1, '\0') + value.toStdString());
    }
  }
  return names;
}

// Shuts down this process's sockets connected to the bus at `address`: a connect that waits on a
// bus that never answers then fails at once instead of holding D-Bus for good.
void CutOffBus(const QString& address) {
  const std::vector<std::string> names = UnixSocketNames(address);
  if (names.empty()) return;
  DIR* fds = opendir("/proc/self/fd");
  if (!fds) return;
  while (const dirent* entry = readdir(fds)) {
    const int fd = std::atoi(entry->d_name);
    struct stat status {};
    if (fd <= 2 || fd == dirfd(fds) || fstat(fd, &status) != 0 || !S_ISSOCK(status.st_mode)) continue;
    sockaddr_un peer{};
    socklen_t length = sizeof(peer);
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 || peer.sun_family != AF_UNIX) continue;
    const std::size_t pathLength =
        length > offsetof(sockaddr_un, sun_path) ? length - offsetof(sockaddr_un, sun_path) : 0;
    std::string name(peer.sun_path, pathLength);
    if (!name.empty() && name[0] != '\0') name = name.c_str();  // a path ends at its terminator
    if (std::find(names.begin(), names.end(), name) != names.end()) shutdown(fd, SHUT_RDWR);
  }
  closedir(fds);
}

// A connection to the bus with its voice modems, made on a worker thread. When the caller gives up
// waiting, the worker drops the connection itself once it returns.
struct TBusOpening {
  std::mutex Mutex;
  std::condition_variable Changed;
  bool Ended = false;
  bool Abandoned = false;
  bool Connected = false;
  std::vector<QString> Devices;
};

struct TOpenedBus {
  bool Connected = false;
  std::vector<QString> Devices;
};

TOpenedBus OpenBus(const QString& address, const QString& name) {
  auto opening = std::make_shared<TBusOpening>();
  std::thread worker;
  try {
    worker = std::thread([opening, address, name] {
      const QDBusConnection bus = QDBusConnection::connectToBus(address, name);
      const bool connected = bus.isConnected();
      std::vector<QString> devices = connected ? VoiceModems(bus) : std::vector<QString>();
      std::unique_lock lock(opening->Mutex);
      if (opening->Abandoned || !connected) {
        lock.unlock();
        QDBusConnection::disconnectFromBus(name);
        lock.lock();
      } else {
        opening->Connected = true;
        opening->Devices = std::move(devices);
      }
      opening->Ended = true;
      opening->Changed.notify_all();
    });
  } catch (const std::system_error&) {
    return {};  // no thread to spare: no telephony
  }
  worker.detach();
  std::unique_lock lock(opening->Mutex);
  if (opening->Changed.wait_for(lock, kOpenTimeout, [&] { return opening->Ended; }))
    return {opening->Connected, opening->Devices};
  opening->Abandoned = true;
  // Free the worker, so that no later use of D-Bus waits behind it.
  for (int attempt = 0; attempt < 10 && !opening->Ended; ++attempt) {
    lock.unlock();
    CutOffBus(address);
    lock.lock();
    opening->Changed.wait_for(lock, std::chrono::milliseconds(100), [&] { return opening->Ended; });
  }
  return {};
}

}  // namespace

std::optional<AnsiString> DialableNumber(std::string_view number) {
  AnsiString dialable;
  for (const char c : number) {
    if (c == ' ' || c == '-' || c == '(' || c == ')' || c == '.' || c == '/') continue;
    const bool digit = c >= '0' && c <= '9';
    if (!(digit || c == '*' || c == '#' || (c == '+' && dialable.empty()))) return std::nullopt;
    dialable += c;
  }
  if (dialable.empty() || dialable == "+") return std::nullopt;
  return dialable;
}

LONG lineInitialize(HLINEAPP* lphLineApp, HINSTANCE, LINECALLBACK lpfnCallback, const char* lpszAppName,
                    DWORD* lpdwNumDevs) {
  if (!lphLineApp || !lpdwNumDevs) return LINEERR_INVALPOINTER;
  RegisterTypes();
  TTapiState& state = State();
  const HLINEAPP handle = ++state.NextApp;
  TLineApp app;
  app.Callback = lpfnCallback;
  app.AppName = lpszAppName ? lpszAppName : "";
  app.ConnectionName = QStringLiteral("vab-tapi-%1").arg(handle);
  app.Receiver = std::make_unique<TTapiReceiver>();
  app.Receiver->OnStateChanged = OnStateChanged;
  QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
  if (address.isEmpty()) address = kDefaultSystemBus;
  TOpenedBus bus = OpenBus(address, app.ConnectionName);
  app.Connected = bus.Connected;
  app.Devices = std::move(bus.Devices);
  *lpdwNumDevs = static_cast<DWORD>(app.Devices.size());
  *lphLineApp = handle;
  state.Apps.emplace(handle, std::move(app));
  return 0;
}

LONG lineShutdown(HLINEAPP hLineApp) {
  TTapiState& state = State();
  const auto app = state.Apps.find(hLineApp);
  if (app == state.Apps.end()) return LINEERR_INVALAPPHANDLE;
  std::vector<HLINE> lines;
  for (const auto& [handle, line] : state.Lines)
    if (line.App == hLineApp) lines.push_back(handle);
  for (const HLINE line : lines) lineClose(line);
  const QString name = app->second.ConnectionName;
  const bool connected = app->second.Connected;
  state.Apps.erase(app);  // its receiver goes, and with it every reply still outstanding
  if (connected) QDBusConnection::disconnectFromBus(name);
  return 0;
}

LONG lineNegotiateAPIVersion(HLINEAPP hLineApp, DWORD dwDeviceID, DWORD dwAPILowVersion, DWORD dwAPIHighVersion,
                             DWORD* lpdwAPIVersion, LINEEXTENSIONID* lpExtensionID) {
  constexpr DWORD kLowest = 0x00010004;
  constexpr DWORD kHighest = 0x00020000;
  const auto app = State().Apps.find(hLineApp);
  if (app == State().Apps.end()) return LINEERR_INVALAPPHANDLE;
  if (dwDeviceID >= app->second.Devices.size()) return LINEERR_BADDEVICEID;
  if (!lpdwAPIVersion || !lpExtensionID) return LINEERR_INVALPOINTER;
  if (dwAPIHighVersion < kLowest || dwAPILowVersion > kHighest || dwAPILowVersion > dwAPIHighVersion)
    return LINEERR_INCOMPATIBLEAPIVERSION;
  *lpdwAPIVersion = std::min(dwAPIHighVersion, kHighest);
  *lpExtensionID = LINEEXTENSIONID{};
  return 0;
}

LONG lineOpen(HLINEAPP hLineApp, DWORD dwDeviceID, HLINE* lphLine, DWORD, DWORD, DWORD dwCallbackInstance, DWORD, DWORD,
              const LINECALLPARAMS*) {
  const auto app = State().Apps.find(hLineApp);
  if (app == State().Apps.end()) return LINEERR_INVALAPPHANDLE;
  if (!lphLine) return LINEERR_INVALPOINTER;
  if (app->second.Devices.empty()) return LINEERR_NODEVICE;
  const DWORD device = dwDeviceID == LINEMAPPER ? 0 : dwDeviceID;
  if (device >= app->second.Devices.size()) return LINEERR_BADDEVICEID;
  const HLINE handle = ++State().NextLine;
  State().Lines[handle] = TLine{hLineApp, device, dwCallbackInstance};
  *lphLine = handle;
  return 0;
}

LONG lineClose(HLINE hLine) {
  TTapiState& state = State();
  const auto line = state.Lines.find(hLine);
  if (line == state.Lines.end()) return LINEERR_INVALLINEHANDLE;
  const TLineApp& app = state.Apps.at(line->second.App);
  const QString device = app.Devices.at(line->second.Device);
  // Calls still on the line end with it, on the modem too. The requests go out in order and only
  // the last is waited for, briefly: a bus that does not answer never holds the program's end.
  std::optional<QDBusPendingCall> last;
  for (auto call = state.Calls.begin(); call != state.Calls.end();) {
    if (call->second.Line != hLine) {
      ++call;
      continue;
    }
    if (!call->second.Terminated)
      app.Bus().asyncCall(ServiceCall(call->second.Path, kCallInterface, QStringLiteral("Hangup")), kCloseTimeoutMs);
    last = app.Bus().asyncCall(DeleteCallMessage(device, call->second.Path), kCloseTimeoutMs);
    call = state.Calls.erase(call);
  }
  if (last) last->waitForFinished();
  state.Lines.erase(line);
  return 0;
}

LONG lineMakeCall(HLINE hLine, HCALL* lphCall, const char* lpszDestAddress, DWORD, const LINECALLPARAMS*) {
  TTapiState& state = State();
  const auto line = state.Lines.find(hLine);
  if (line == state.Lines.end()) return LINEERR_INVALLINEHANDLE;
  if (!lphCall) return LINEERR_INVALPOINTER;
  const std::optional<AnsiString> number = DialableNumber(lpszDestAddress ? lpszDestAddress : "");
  if (!number) return LINEERR_INVALADDRESS;
  const TReplyTarget target = ReplyTargetOf(hLine);
  const QString device = state.Apps.at(target.App).Devices.at(line->second.Device);
  const TCreated created = CreateModemCall(target.App, device, *number);
  if (created.Result < 0) return created.Result;
  // The line may have closed while the modem answered.
  const auto app = state.Apps.find(target.App);
  if (app == state.Apps.end()) return LINEERR_INVALLINEHANDLE;
  if (state.Lines.count(hLine) == 0) {
    DeleteModemCall(app->second, device, created.Path);
    return LINEERR_INVALLINEHANDLE;
  }
  const HCALL handle = ++state.NextCall;
  const DWORD request = ++state.NextRequest;
  state.Calls[handle] = TCall{hLine, created.Path, false};
  *lphCall = handle;
  app->second.Bus().connect(kService, created.Path, kCallInterface, QStringLiteral("StateChanged"),
                            app->second.Receiver.get(), SLOT(StateChanged(QDBusMessage)));
  StartCall(handle, request, target);
  return static_cast<LONG>(request);
}

LONG lineDrop(HCALL hCall, const char*, DWORD) {
  TTapiState& state = State();
  const auto call = state.Calls.find(hCall);
  if (call == state.Calls.end()) return LINEERR_INVALCALLHANDLE;
  if (call->second.Terminated) return LINEERR_INVALCALLSTATE;
  const DWORD request = ++state.NextRequest;
  const TLineApp* app = AppOfCall(call->second);
  Watch(*app,
        app->Bus().asyncCall(ServiceCall(call->second.Path, kCallInterface, QStringLiteral("Hangup")), kCallTimeoutMs),
        [request, target = ReplyTargetOf(call->second.Line)](const QDBusMessage& reply) {
          Reply(target, request, IsReply(reply));
        });
  return static_cast<LONG>(request);
}

LONG lineDeallocateCall(HCALL hCall) {
  TTapiState& state = State();
  const auto call = state.Calls.find(hCall);
  if (call == state.Calls.end()) return LINEERR_INVALCALLHANDLE;
  const TLineApp* app = AppOfCall(call->second);
  if (app) {
    app->Bus().disconnect(kService, call->second.Path, kCallInterface, QStringLiteral("StateChanged"),
                          app->Receiver.get(), SLOT(StateChanged(QDBusMessage)));
    const QString device = app->Devices.at(state.Lines.at(call->second.Line).Device);
    DeleteModemCall(*app, device, call->second.Path);
  }
  state.Calls.erase(call);
  return 0;
}

LONG lineGetCallInfo(HCALL hCall, LINECALLINFO* lpCallInfo) {
  const auto call = State().Calls.find(hCall);
  if (call == State().Calls.end()) return LINEERR_INVALCALLHANDLE;
  if (!lpCallInfo) return LINEERR_INVALPOINTER;
  const DWORD total = lpCallInfo->dwTotalSize;
  if (total < sizeof(LINECALLINFO)) return LINEERR_STRUCTURETOOSMALL;
  const TLineApp* app = AppOfCall(call->second);
  const AnsiString name = app ? app->AppName : AnsiString();
  const DWORD nameSize = name.empty() ? 0 : static_cast<DWORD>(name.size() + 1);
  *lpCallInfo = LINECALLINFO{};
  lpCallInfo->dwTotalSize = total;
  lpCallInfo->dwNeededSize = static_cast<DWORD>(sizeof(LINECALLINFO)) + nameSize;
  lpCallInfo->dwUsedSize = static_cast<DWORD>(sizeof(LINECALLINFO));
  lpCallInfo->hLine = call->second.Line;
  lpCallInfo->dwLineDeviceID = State().Lines.count(call->second.Line) ? State().Lines.at(call->second.Line).Device : 0;
  lpCallInfo->dwBearerMode = LINEBEARERMODE_VOICE;
  lpCallInfo->dwMediaMode = LINEMEDIAMODE_INTERACTIVEVOICE;
  if (nameSize != 0 && lpCallInfo->dwNeededSize <= total) {
    std::memcpy(reinterpret_cast<char*>(lpCallInfo) + sizeof(LINECALLINFO), name.c_str(), nameSize);
    lpCallInfo->dwAppNameSize = nameSize;
    lpCallInfo->dwAppNameOffset = static_cast<DWORD>(sizeof(LINECALLINFO));
    lpCallInfo->dwUsedSize = lpCallInfo->dwNeededSize;
  }
  return 0;
}

LONG lineConfigDialog(DWORD dwDeviceID, HWND hwndOwner, const char*) {
  // The line application opened last knows the devices.
  const auto& apps = State().Apps;
  if (apps.empty()) return LINEERR_NODEVICE;
  const TLineApp& app = apps.rbegin()->second;
  if (dwDeviceID >= app.Devices.size()) return LINEERR_BADDEVICEID;
  QDBusMessage getAll =
      ServiceCall(app.Devices[dwDeviceID], QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
  getAll << kModemInterface;
  const QDBusMessage reply = app.Bus().call(getAll, QDBus::Block, kQueryTimeoutMs);
  if (!IsReply(reply) || reply.arguments().isEmpty()) return LINEERR_OPERATIONFAILED;
  const auto properties = qdbus_cast<QVariantMap>(reply.arguments().first());
  const QString text =
      QStringLiteral("Manufacturer: %1\nModel: %2\nRevision: %3\nState: %4\nOwn numbers: %5")
          .arg(properties.value(QStringLiteral("Manufacturer")).toString(),
               properties.value(QStringLiteral("Model")).toString(),
               properties.value(QStringLiteral("Revision")).toString(),
               ModemStateName(properties.value(QStringLiteral("State")).toInt()),
               StringListOf(properties.value(QStringLiteral("OwnNumbers"))).join(QStringLiteral(", ")));
  std::optional<AnsiString> bytes = QStringToAnsi(text);
  if (!bytes) bytes = AnsiString(text.toLatin1().constData());
  MessageBoxA(hwndOwner, *bytes, "Modem setup", MB_OK | MB_ICONINFORMATION);
  return 0;
}

#include "Tapi.moc"
