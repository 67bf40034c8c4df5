#include "core/TakenWorker.h"

#include <chrono>
#include <utility>

#include "common/Sjis.h"

namespace tonbo {
namespace {

// A batch goes back at this many files, or sooner when reading is slow, so
// the column fills in as the files are read.
constexpr size_t kBatchFiles = 64;
constexpr std::chrono::milliseconds kBatchTime{30};

}  // namespace

TakenWorker::TakenWorker(Done done, Read read)
    : thread_(
          [done = std::move(done), read = read ? std::move(read) : Read(TTakenTimes::ReadPacked)](
              Job& job, LatestJobThread<Job>::Reply& reply) {
            return ReadJob(done, read, job, reply);
          }) {}

void TakenWorker::Post(std::uint64_t generation, TCsvDb table, std::vector<int> rows) {
  thread_.Post(Job{generation, std::move(table), std::move(rows)});
}

// False once the worker is gone; a newer list ends this one between two files.
bool TakenWorker::ReadJob(const Done& done, const Read& read, const Job& job,
                          LatestJobThread<Job>::Reply& reply) {
  using Clock = std::chrono::steady_clock;
  using Answered = LatestJobThread<Job>::Answered;
  std::vector<TTakenTimes::Dated> batch;
  Clock::time_point sent = Clock::now();
  for (size_t i = 0; i < job.rows.size(); ++i) {
    const std::string_view sjisPath = job.table.GetCell(colPath, job.rows[i]);
    batch.push_back({TTakenTimes::Key(sjisPath), read(enc::SjisToDisk(sjisPath))});
    if (i + 1 < job.rows.size() && batch.size() < kBatchFiles && Clock::now() - sent < kBatchTime)
      continue;
    const Answered answered = reply.Answer([&] { done(job.generation, std::move(batch)); });
    if (answered == Answered::OwnerGone) return false;
    if (answered == Answered::NewerWaits) return true;
    batch.clear();
    sent = Clock::now();
  }
  return true;
}

}  // namespace tonbo
