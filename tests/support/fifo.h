#pragma once
// Named pipes (FIFOs) where hint files are expected, for tests that the
// program never waits on one. A call that would block in open() is run on a
// thread and freed after the timeout by opening the pipe's other end, so a
// hang fails the test instead of stopping it.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <atomic>
#include <future>
#include <string>
#include <thread>
#include <vector>

// Makes a FIFO at path; false when the platform cannot.
inline bool MakeFifo(const std::filesystem::path& path) { return ::mkfifo(path.c_str(), 0600) == 0; }

// Opens every FIFO named for writing and closes it again: a wait in open()
// or read() on one of them ends.
inline void FreeFifoWaits(const std::vector<std::string>& fifos) {
  for (const std::string& fifo : fifos) {
    const int descriptor = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (descriptor >= 0) ::close(descriptor);
  }
}

// For code that must run on the calling thread (windows): from the timeout
// on, until destroyed, frees every wait on the FIFOs, and says it had to.
class TFifoWatchdog {
 public:
  TFifoWatchdog(std::vector<std::string> fifos, std::chrono::seconds timeout)
      : Worker([this, fifos = std::move(fifos), timeout] {
          const auto end = std::chrono::steady_clock::now() + timeout;
          while (!Done && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
          while (!Done) {
            Fired = true;
            FreeFifoWaits(fifos);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
          }
        }) {}
  ~TFifoWatchdog() {
    Done = true;
    Worker.join();
  }
  TFifoWatchdog(const TFifoWatchdog&) = delete;
  TFifoWatchdog& operator=(const TFifoWatchdog&) = delete;

  bool HasFired() const { return Fired; }

 private:
  std::atomic<bool> Done{false};
  std::atomic<bool> Fired{false};
  std::thread Worker;
};

// Runs call and tells whether it returned within the timeout. When it did
// not, every FIFO named in fifos is opened for writing and closed again,
// which ends a wait in open() or read(), and the call is waited for.
inline bool ReturnsPromptly(const std::function<void()>& call, const std::vector<std::string>& fifos,
                            std::chrono::seconds timeout = std::chrono::seconds(10)) {
  auto done = std::async(std::launch::async, call);
  if (done.wait_for(timeout) == std::future_status::ready) {
    done.get();
    return true;
  }
  while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) FreeFifoWaits(fifos);
  done.get();
  return false;
}
