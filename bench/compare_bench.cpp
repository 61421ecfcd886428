// compare_bench [base raised]: times patch::CompareTables against its floor, merely reading both
// tables. With no arguments it builds a sparse, a dense and a capped 10 MB pair in a temporary
// folder, times each, and for comparison also times a cmp | perl pipeline doing the same search.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "demo_set.h"
#include "files.h"
#include "operations.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Each task's median time over rounds that run every task once in turn, so that a busy spell on
// the machine falls on all of them alike. One warm-up round, then at least 15 timed rounds and 2 s;
// slow tasks stop after 5 rounds and 10 s.
struct Timing {
  std::vector<double> medianMs;
  int rounds = 0;
};

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Timing Measure(const std::vector<std::function<void()>>& tasks) {
  for (const auto& task : tasks) task();
  std::vector<std::vector<double>> samples(tasks.size());
  const Clock::time_point start = Clock::now();
  for (std::size_t rounds = 1;; ++rounds) {
    for (std::size_t t = 0; t < tasks.size(); ++t) {
      const Clock::time_point before = Clock::now();
      tasks[t]();
      samples[t].push_back(Milliseconds(Clock::now() - before));
    }
    const double elapsed = Milliseconds(Clock::now() - start);
    if ((rounds >= 15 && elapsed >= 2000) || (rounds >= 5 && elapsed >= 10000) || rounds >= 1001) {
      Timing timing{{}, static_cast<int>(rounds)};
      for (auto& taskSamples : samples) timing.medianMs.push_back(Median(std::move(taskSamples)));
      return timing;
    }
  }
}

// The floor: what any compare must at least do, reading both tables side by side a chunk of
// each at a time, through the same file layer as the compare, into buffers that stay in the
// cache. The buffers are made once, so that the floor holds no allocation.
std::size_t ReadSideBySide(const fs::path& base, const fs::path& raised,
                           std::vector<std::uint8_t>& a, std::vector<std::uint8_t>& b) {
  patch::Expected<patch::File> first = patch::File::Open(base, patch::File::Access::kRead);
  patch::Expected<patch::File> second = patch::File::Open(raised, patch::File::Access::kRead);
  if (!first || !second) throw std::runtime_error("cannot open " + base.string());
  std::size_t total = 0;
  for (;;) {
    const patch::Expected<std::size_t> got = first->Read(a);
    const patch::Expected<std::size_t> gotToo = second->Read({b.data(), got ? *got : 0});
    if (!got || !gotToo) throw std::runtime_error("cannot read " + base.string());
    if (*got == 0) return total;
    total += *got + *gotToo;
  }
}

// Chunk sizes tried for the floor: the compare's own and others from 16 KB to 1 MB.
std::vector<std::size_t> FloorChunks() {
  std::vector<std::size_t> chunks = {16 << 10, 32 << 10, 128 << 10, 256 << 10, 512 << 10, 1 << 20};
  chunks.push_back(patch::kCompareChunk);
  std::sort(chunks.begin(), chunks.end());
  chunks.erase(std::unique(chunks.begin(), chunks.end()), chunks.end());
  return chunks;
}

// Milliseconds with one decimal, or more for short times.
std::string Shown(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, ms >= 10 ? "%.1f" : ms >= 1 ? "%.2f" : "%.3f", ms);
  return text;
}

// Compares once untimed for the full match count, then times the compare and the floor; returns
// the compare's median, or a negative number if it failed.
double Report(const std::string& label, const fs::path& base, const fs::path& raised) {
  const patch::CompareOutcome first = patch::CompareTables(base, raised);
  if (first.error) {
    std::printf("%s: compare failed: %s\n", label.c_str(),
                patch::ErrorReport(*first.error).c_str());
    return -1;
  }
  const std::string matches = first.matchCount.value_or("?");

  std::size_t sink = 0;
  std::vector<std::function<void()>> tasks = {[&] {
    const patch::CompareOutcome outcome = patch::CompareTables(base, raised);
    sink += outcome.appended.positions.size();
  }};
  const std::vector<std::size_t> chunks = FloorChunks();
  std::vector<std::vector<std::uint8_t>> buffers;
  for (const std::size_t chunk : chunks) {
    buffers.emplace_back(chunk);
    buffers.emplace_back(chunk);
  }
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    tasks.push_back(
        [&, c] { sink += ReadSideBySide(base, raised, buffers[2 * c], buffers[2 * c + 1]); });
  }
  const Timing timing = Measure(tasks);
  const double compare = timing.medianMs[0];
  const auto least = std::min_element(timing.medianMs.begin() + 1, timing.medianMs.end());
  const double floor = *least;
  const std::size_t floorChunk =
      chunks[static_cast<std::size_t>(least - timing.medianMs.begin() - 1)];
  std::printf(
      "%s: matches %s, compare %s ms, floor %s ms (%zu KB chunks; medians of %d), ratio %.2f\n",
      label.c_str(), matches.c_str(), Shown(compare).c_str(), Shown(floor).c_str(),
      floorChunk >> 10, timing.rounds, compare / floor);
  if (sink == 0) std::printf("(nothing read)\n");
  return compare;
}

void WriteBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// Levels 1..155 raised by 100 in the copy; the bytes between are noise, equal in both copies.
// Dense: one level at a random byte of three in eight 64-byte blocks, about 58,500 in 10 MB, so
// that whether a block holds one is a toss-up. Capped: every 5th byte a level, 2,000,000 in all,
// as in two unrelated files: the list stops at kMaxListedMatches lines.
void WriteLevelPair(const fs::path& base, const fs::path& raised, std::size_t size, bool capped) {
  std::vector<std::uint8_t> a(size);
  std::vector<bool> level(size);
  std::uint64_t state = 0x2545F4914F6CDD1DULL;
  std::size_t spreadLevel = size;  // the spread level of the current block, if it has one
  for (std::size_t i = 0; i < size; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    a[i] = static_cast<std::uint8_t>(state >> 32);
    if (i % 64 == 0) spreadLevel = state % 8 < 3 ? i + (state >> 8) % 64 : size;
    level[i] = capped ? i % 5 == 4 : i == spreadLevel;
  }
  std::vector<std::uint8_t> b = a;
  for (std::size_t i = 0; i < size; ++i) {
    if (!level[i]) continue;
    a[i] = static_cast<std::uint8_t>(1 + a[i] % 155);
    b[i] = static_cast<std::uint8_t>(a[i] + 100);
  }
  WriteBytes(base, a);
  WriteBytes(raised, b);
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// The shell way: cmp -l prints "offset base raised" with octal bytes for every differing byte.
// Prints its median time and how many times the compare's (compareMs) it is.
void ReportPipeline(const std::string& label, const fs::path& base, const fs::path& raised,
                    const fs::path& output, int runs, double compareMs) {
  const std::string command = "cmp -l " + Quoted(base) + " " + Quoted(raised) +
                              " | perl -ne '@f = split; print \"$f[0]\\n\" if oct($f[2]) == "
                              "oct($f[1]) + 100' > " +
                              Quoted(output);
  std::vector<double> samples;
  for (int i = 0; i < runs; ++i) {
    const Clock::time_point before = Clock::now();
    const int status = std::system(command.c_str());
    samples.push_back(Milliseconds(Clock::now() - before));
    if (status != 0) {
      std::printf("%s: cmp | perl pipeline failed (status %d)\n", label.c_str(), status);
      return;
    }
  }
  std::size_t lines = 0;
  {
    std::ifstream in(output, std::ios::binary);
    lines = static_cast<std::size_t>(
        std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
  }
  const double median = Median(samples);
  std::printf("%s: cmp -l | perl: matches %zu, %s ms (median of %d), %.1f times the compare's\n",
              label.c_str(), lines, Shown(median).c_str(), runs, median / compareMs);
}

int SelfContained() {
  constexpr std::size_t kSize = 10'000'000;
  std::error_code error;
  const fs::path folder =
      fs::temp_directory_path() /
      ("compare_bench_" + std::to_string(Clock::now().time_since_epoch().count()));
  fs::create_directories(folder);
  try {
    const demo::DemoSet sparse = demo::MakeDemoSet(kSize);
    WriteBytes(folder / "sparse0.tbl", sparse.base);
    WriteBytes(folder / "sparse100.tbl", sparse.raised);
    WriteLevelPair(folder / "dense0.tbl", folder / "dense100.tbl", kSize, false);
    WriteLevelPair(folder / "capped0.tbl", folder / "capped100.tbl", kSize, true);

    const double sparseMs =
        Report("sparse 10 MB", folder / "sparse0.tbl", folder / "sparse100.tbl");
    const double denseMs = Report("dense 10 MB", folder / "dense0.tbl", folder / "dense100.tbl");
    const double cappedMs =
        Report("capped 10 MB", folder / "capped0.tbl", folder / "capped100.tbl");
    if (sparseMs < 0 || denseMs < 0 || cappedMs < 0) {
      fs::remove_all(folder, error);
      return 1;
    }
    ReportPipeline("sparse 10 MB", folder / "sparse0.tbl", folder / "sparse100.tbl",
                   folder / "pipeline.txt", 3, sparseMs);
    ReportPipeline("dense 10 MB", folder / "dense0.tbl", folder / "dense100.tbl",
                   folder / "pipeline.txt", 3, denseMs);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "compare_bench: %s\n", e.what());
    fs::remove_all(folder, error);
    return 1;
  }
  fs::remove_all(folder, error);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 1) return SelfContained();
    if (argc == 3) {
      return Report(fs::path(argv[1]).filename().string(), argv[1], argv[2]) >= 0 ? 0 : 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "compare_bench: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: compare_bench [base-table raised-table]\n");
  return 2;
}
