#include "core/ClashWorker.h"

#include <utility>

namespace tonbo {

ClashWorker::ClashWorker(Done done)
    : thread_([done = std::move(done), seen = std::make_shared<SeenFiles>()](
                  Job& job, LatestJobThread<Job>::Reply& reply) {
        ClashCheck check = CheckClashesOnDisk(job.table, seen.get());
        using Answered = LatestJobThread<Job>::Answered;
        return reply.Answer([&] {
          done(job.generation, std::move(check), std::move(job.table));
        }) != Answered::OwnerGone;
      }) {}

void ClashWorker::Post(std::uint64_t generation, TCsvDb table) {
  thread_.Post(Job{generation, std::move(table)});
}

}  // namespace tonbo
