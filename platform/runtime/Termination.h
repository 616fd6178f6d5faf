#pragma once
// Requests from outside to end the program (SIGTERM, SIGINT, SIGHUP). While at least one watch
// exists, such a signal no longer ends the program at once: the request is remembered, and every
// watch's handler runs on the event loop of the thread that made the first watch, in the order
// the watches were made. The previous handling of the signals comes back when the last watch goes.

#include <functional>

class TTerminationWatch final {
 public:
  explicit TTerminationWatch(std::function<void()> onTermination);
  ~TTerminationWatch();
  TTerminationWatch(const TTerminationWatch&) = delete;
  TTerminationWatch& operator=(const TTerminationWatch&) = delete;

 private:
  unsigned long long Id;
};

// Whether such a signal has come while watches exist; forgotten when the last watch goes. It is
// known at once, even while no event loop runs.
[[nodiscard]] bool TerminationRequested();
