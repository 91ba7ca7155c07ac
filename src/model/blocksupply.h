#pragma once
// Memory blocks whose pages a second thread has touched before they are
// handed out. Filling fresh memory makes the system find a page for every
// first touch, and for a large file that is a large part of its load; done
// ahead on the other core, it runs beside the reading instead of in it.
//
// The blocks are cut from large reservations that the taking thread
// allocates (the allocator and the system's huge pages serve that thread
// best); the helper thread touches one block ahead of the one in use, so no
// more than one block is ever touched and unused. The thread writes only to
// the block nobody has been given yet, and a block changes hands under the
// lock, so it never shares memory with the code that fills the blocks.

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TBlockSupply {
 public:
  TBlockSupply(std::size_t blockSize, std::size_t blocksPerReservation);
  ~TBlockSupply();  // stops the thread; frees every block
  TBlockSupply(const TBlockSupply&) = delete;
  TBlockSupply& operator=(const TBlockSupply&) = delete;

  std::size_t BlockSize() const { return Size; }
  // The next block, touched unless the thread could not run, and the one
  // after it set going. The block belongs to the supply.
  char* Take();
  // Ends the thread; the blocks handed out stay until the supply goes.
  void Stop();

 private:
  void Run();
  // A block cut from the current reservation, or from a new one.
  char* Cut();

  const std::size_t Size;
  const std::size_t PerReservation;
  std::vector<std::unique_ptr<char[]>> Reservations;
  std::size_t CutFromLast = 0;  // blocks cut from the last reservation

  std::mutex Lock;
  std::condition_variable Changed;
  char* Pending = nullptr;  // the block the thread touches next, or has touched
  bool PendingTouched = false;
  bool Stopping = false;
  std::thread Worker;
};
