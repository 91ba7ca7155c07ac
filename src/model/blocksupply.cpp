#include "model/blocksupply.h"

#include <system_error>

namespace {
// The smallest page of the systems we run on; a larger page is touched at
// each of its small pages, which costs nothing more.
constexpr std::size_t PageSize = 4096;

void Touch(char* block, std::size_t size) {
  for (std::size_t at = 0; at < size; at += PageSize) block[at] = 0;
}
}  // namespace

TBlockSupply::TBlockSupply(std::size_t blockSize, std::size_t blocksPerReservation)
    : Size(blockSize), PerReservation(blocksPerReservation == 0 ? 1 : blocksPerReservation) {
  try {
    Worker = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    // No thread: blocks are handed out untouched.
  }
}

TBlockSupply::~TBlockSupply() { Stop(); }

void TBlockSupply::Stop() {
  {
    std::lock_guard<std::mutex> guard(Lock);
    Stopping = true;
  }
  Changed.notify_all();
  if (Worker.joinable()) Worker.join();
}

char* TBlockSupply::Cut() {
  if (Reservations.empty() || CutFromLast == PerReservation) {
    Reservations.push_back(std::unique_ptr<char[]>(new char[Size * PerReservation]));
    CutFromLast = 0;
  }
  return Reservations.back().get() + Size * CutFromLast++;
}

void TBlockSupply::Run() {
  std::unique_lock<std::mutex> guard(Lock);
  for (;;) {
    Changed.wait(guard, [this] { return Stopping || (Pending != nullptr && !PendingTouched); });
    if (Stopping) return;
    char* block = Pending;
    guard.unlock();
    Touch(block, Size);
    guard.lock();
    PendingTouched = true;
    Changed.notify_all();
  }
}

char* TBlockSupply::Take() {
  if (!Worker.joinable()) return Cut();
  char* block = nullptr;
  {
    std::unique_lock<std::mutex> guard(Lock);
    Changed.wait(guard, [this] { return Stopping || Pending == nullptr || PendingTouched; });
    block = Pending;
    Pending = nullptr;
  }
  // The first block (or one after Stop) is cut now; the next is cut here
  // too, outside the lock, as allocating may take a while.
  if (block == nullptr) block = Cut();
  char* next = Cut();
  {
    std::lock_guard<std::mutex> guard(Lock);
    if (!Stopping) {
      Pending = next;
      PendingTouched = false;
    }
  }
  Changed.notify_all();
  return block;
}
