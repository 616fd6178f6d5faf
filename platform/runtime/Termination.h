#pragma once
// While it exists, a request from outside to end the program (SIGTERM, SIGINT, SIGHUP) runs a
// handler on the thread's event loop instead of what those signals did before; the previous
// handling comes back when it goes. One watch at a time.

#include <functional>
#include <memory>

class QSocketNotifier;

class TTerminationWatch final {
 public:
  explicit TTerminationWatch(std::function<void()> onTermination);
  ~TTerminationWatch();
  TTerminationWatch(const TTerminationWatch&) = delete;
  TTerminationWatch& operator=(const TTerminationWatch&) = delete;

 private:
  struct TState;
  std::unique_ptr<TState> State;
};
