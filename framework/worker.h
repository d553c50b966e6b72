#pragma once
// A thread of its own for work that may take long or never end, such as a
// photo on a drive that stalls: jobs run on it one at a time, in the order
// given, inside a COM multithreaded apartment. Nothing ever waits for it.
// Its owner going away only tells it to stop after the job in hand; a job
// that never returns keeps its thread and what the job holds, nothing
// else, and the process ends without them.
#include <windows.h>

#include <functional>
#include <memory>

namespace salvanto::win {

class WorkerThread {
public:
  // Starts the thread; a system that refuses one is a fatal run-time error.
  WorkerThread();
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Queues a job. A job must not throw, and must own (or share) whatever it
  // uses: it may run on after this object is gone.
  void Run(std::function<void()> job);

private:
  struct Queue;
  static DWORD WINAPI Main(void* parameter);
  std::shared_ptr<Queue> queue_;
};

}  // namespace salvanto::win
