#include "Termination.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t Requested = 0;
int WakePipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  Requested = 1;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(WakePipe[1], &byte, 1);
  errno = saved;
}

struct TWatches {
  std::vector<std::pair<unsigned long long, std::function<void()>>> Handlers;
  unsigned long long NextId = 1;
  struct sigaction Previous[std::size(kSignals)] = {};
  std::unique_ptr<QSocketNotifier> Notifier;
};

TWatches& Watches() {
  static TWatches watches;
  return watches;
}

// Runs every handler once per wake-up; a handler may end watches, its own included.
void RunHandlers() {
  char bytes[16];
  while (::read(WakePipe[0], bytes, sizeof bytes) > 0) {
  }
  std::vector<unsigned long long> ids;
  for (const auto& handler : Watches().Handlers) ids.push_back(handler.first);
  for (const unsigned long long id : ids) {
    auto& handlers = Watches().Handlers;
    const auto it = std::find_if(handlers.begin(), handlers.end(), [id](const auto& h) { return h.first == id; });
    if (it == handlers.end() || !it->second) continue;
    const std::function<void()> handler = it->second;  // the watch may go while it runs
    handler();
  }
}

bool StartWatching() {
  TWatches& watches = Watches();
  if (WakePipe[0] < 0 && ::pipe2(WakePipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  Requested = 0;
  watches.Notifier = std::make_unique<QSocketNotifier>(WakePipe[0], QSocketNotifier::Read);
  QObject::connect(watches.Notifier.get(), &QSocketNotifier::activated, watches.Notifier.get(), RunHandlers);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &watches.Previous[i]);
  return true;
}

void StopWatching() {
  TWatches& watches = Watches();
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &watches.Previous[i], nullptr);
  watches.Notifier.reset();
  char bytes[16];
  while (::read(WakePipe[0], bytes, sizeof bytes) > 0) {
  }
  Requested = 0;
}

}  // namespace

TTerminationWatch::TTerminationWatch(std::function<void()> onTermination) : Id(Watches().NextId++) {
  TWatches& watches = Watches();
  if (watches.Handlers.empty() && !StartWatching()) {
    Id = 0;
    return;
  }
  watches.Handlers.emplace_back(Id, std::move(onTermination));
}

TTerminationWatch::~TTerminationWatch() {
  if (Id == 0) return;
  auto& handlers = Watches().Handlers;
  std::erase_if(handlers, [this](const auto& h) { return h.first == Id; });
  if (handlers.empty()) StopWatching();
}

bool TerminationRequested() {
  return Requested != 0;
}
