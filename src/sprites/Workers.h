#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quarn::sprites {

// Threads that run posted jobs (encoding and writing files) while the caller goes on drawing.
// A job returns "" or the one-line reason it failed; the first failure is kept and later jobs
// are skipped. Posting waits while MaxQueued jobs are waiting, which bounds the memory held.
// One thread posts and waits.
class TWorkers {
public:
  using TJob = std::function<std::string()>;

  // count 0: one thread per core.
  explicit TWorkers(unsigned count = 0);
  ~TWorkers();  // finishes every posted job
  TWorkers(const TWorkers&) = delete;
  TWorkers& operator=(const TWorkers&) = delete;

  void Post(TJob job);
  // Waits until every posted job has finished; the first failure, or "".
  std::string Wait();
  // Drops the jobs not yet started (those running finish).
  void Cancel();
  bool Failed();

private:
  void Work();

  std::mutex FLock;
  std::condition_variable FWork;  // a job was posted, or the workers stop
  std::condition_variable FRoom;  // a job was taken or finished: the poster may go on
  std::deque<TJob> FQueue;
  size_t FRunning = 0;
  size_t FMaxQueued = 0;
  bool FStopping = false;
  std::string FError;
  std::vector<std::thread> FThreads;
};

}  // namespace quarn::sprites
