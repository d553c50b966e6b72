#include "framework/worker.h"

#include <deque>
#include <string>
#include <utility>

#include "base/errors.h"
#include "framework/handles.h"

namespace salvanto::win {

// Shared by the owner and the thread: whichever lets go last frees it.
struct WorkerThread::Queue {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;
  std::deque<std::function<void()>> jobs;  // under lock
  bool stop = false;                       // under lock
};

DWORD WINAPI WorkerThread::Main(void* parameter) {
  const std::unique_ptr<std::shared_ptr<Queue>> handedOver(static_cast<std::shared_ptr<Queue>*>(parameter));
  Queue& queue = **handedOver;
  // The user-interface thread goes first whenever the two want a processor.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
  // WIC's decoders need an apartment; a multithreaded one needs no messages.
  const com_apartment com(COINIT_MULTITHREADED);
  for (;;) {
    std::function<void()> job;
    {
      const exclusive_lock hold(queue.lock);
      while (queue.jobs.empty() && !queue.stop) SleepConditionVariableSRW(&queue.wake, &queue.lock, INFINITE, 0);
      if (queue.stop) return 0;
      job = std::move(queue.jobs.front());
      queue.jobs.pop_front();
    }
    job();
  }
}

WorkerThread::WorkerThread() : queue_(std::make_shared<Queue>()) {
  auto handedOver = std::make_unique<std::shared_ptr<Queue>>(queue_);
  // The handle is closed at once: the thread is never waited for.
  const unique_handle thread(CreateThread(nullptr, 0, &Main, handedOver.get(), 0, nullptr));
  if (!thread) {
    throw RuntimeError(
        ErrorKind::InvalidPropertyValue,
        L"The system refused a thread for loading photos (system error " + std::to_wstring(GetLastError()) + L").");
  }
  static_cast<void>(handedOver.release());  // the thread's now
}

WorkerThread::~WorkerThread() {
  {
    const exclusive_lock hold(queue_->lock);
    queue_->stop = true;
    queue_->jobs.clear();
  }
  WakeConditionVariable(&queue_->wake);
}

void WorkerThread::Run(std::function<void()> job) {
  {
    const exclusive_lock hold(queue_->lock);
    queue_->jobs.push_back(std::move(job));
  }
  WakeConditionVariable(&queue_->wake);
}

}  // namespace salvanto::win
