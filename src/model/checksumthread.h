#pragma once
// The checksum trail of a whole file, taken on a second thread while the
// loader reads the same file on the first: for a large file the checksum is
// then ready, or nearly, when the loader needs it. The thread has its own
// handle on the file and shares nothing with the loader but the trail,
// which the loader reads only after the thread has ended.

#include <atomic>
#include <string>
#include <thread>

#include "model/checksum.h"

class TChecksumThread {
 public:
  // Starts reading the file; when no thread can start, the trail stays
  // empty and the checker reads the file itself.
  explicit TChecksumThread(const std::string& path);
  ~TChecksumThread();  // stops the thread where it is
  TChecksumThread(const TChecksumThread&) = delete;
  TChecksumThread& operator=(const TChecksumThread&) = delete;

  // Waits for the thread and gives the trail of what it read: the whole
  // file, or the bytes before a read failed.
  const TChecksumTrail& Trail();

 private:
  void Run(const std::string& path);

  TChecksumTrail Taken;
  std::atomic<bool> Stopping{false};
  std::thread Worker;
};
