#include "sprites/Workers.h"

#include <algorithm>
#include <exception>

namespace quarn::sprites {

TWorkers::TWorkers(unsigned count)
{
  if (count == 0) count = std::max(1u, std::thread::hardware_concurrency());
  FMaxQueued = size_t(count) * 2;
  for (unsigned i = 0; i < count; ++i) FThreads.emplace_back([this] { Work(); });
}

TWorkers::~TWorkers()
{
  {
    std::unique_lock lock(FLock);
    FStopping = true;
  }
  FWork.notify_all();
  for (std::thread& thread : FThreads) thread.join();
}

void TWorkers::Post(TJob job)
{
  std::unique_lock lock(FLock);
  FRoom.wait(lock, [this] { return FQueue.size() < FMaxQueued; });
  FQueue.push_back(std::move(job));
  FWork.notify_one();
}

std::string TWorkers::Wait()
{
  std::unique_lock lock(FLock);
  FRoom.wait(lock, [this] { return FQueue.empty() && FRunning == 0; });
  return FError;
}

void TWorkers::Cancel()
{
  std::unique_lock lock(FLock);
  FQueue.clear();
  FRoom.notify_one();
}

bool TWorkers::Failed()
{
  std::unique_lock lock(FLock);
  return !FError.empty();
}

void TWorkers::Work()
{
  std::unique_lock lock(FLock);
  for (;;) {
    FWork.wait(lock, [this] { return FStopping || !FQueue.empty(); });
    if (FQueue.empty()) return;  // stopping, and nothing left to do
    TJob job = std::move(FQueue.front());
    FQueue.pop_front();
    ++FRunning;
    const bool skip = !FError.empty();
    FRoom.notify_one();  // only the one posting thread waits for room
    lock.unlock();
    std::string error;
    if (!skip) {
      try {
        error = job();
      } catch (const std::exception& exception) {
        error = exception.what();
      }
    }
    job = nullptr;  // frees what the job held before the next is taken
    lock.lock();
    if (FError.empty()) FError = error;
    --FRunning;
    FRoom.notify_one();
  }
}

}  // namespace quarn::sprites
