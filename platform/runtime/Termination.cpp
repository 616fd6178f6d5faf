#include "Termination.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int WatchPipe = -1;  // write end of the active watch's pipe

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(WatchPipe, &byte, 1);
  errno = saved;
}

}  // namespace

struct TTerminationWatch::TState {
  int Pipe[2] = {-1, -1};
  struct sigaction Previous[std::size(kSignals)] = {};
  std::unique_ptr<QSocketNotifier> Notifier;
};

TTerminationWatch::TTerminationWatch(std::function<void()> onTermination) : State(std::make_unique<TState>()) {
  if (WatchPipe >= 0 || ::pipe2(State->Pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  const int readEnd = State->Pipe[0];
  State->Notifier = std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read);
  QObject::connect(State->Notifier.get(), &QSocketNotifier::activated, State->Notifier.get(),
                   [readEnd, onTermination = std::move(onTermination)] {
                     char bytes[16];
                     while (::read(readEnd, bytes, sizeof bytes) > 0) {
                     }
                     if (onTermination) onTermination();
                   });
  WatchPipe = State->Pipe[1];
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &State->Previous[i]);
}

TTerminationWatch::~TTerminationWatch() {
  if (State->Pipe[0] < 0) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &State->Previous[i], nullptr);
  WatchPipe = -1;
  State->Notifier.reset();
  ::close(State->Pipe[0]);
  ::close(State->Pipe[1]);
}
