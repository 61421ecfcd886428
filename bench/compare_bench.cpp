// compare_bench [base raised]: times patch::CompareTables against its floor, merely reading both
// tables. With no arguments it builds a sparse, a dense and a capped 10 MB pair in a temporary
// folder, times each, and for comparison also times a cmp | perl pipeline doing the same search.
#include <sys/resource.h>

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
#include <optional>
#include <span>
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

// Each task's median times over rounds that run every task once in turn, so that a busy spell on
// the machine falls on all of them alike. One warm-up round, then at least 15 timed rounds and 2 s;
// slow tasks stop after 5 rounds and 10 s. Both the time on the clock and the processor time are
// taken: on a shared machine the latter leaves out the spells when another program ran.
struct Times {
  double wallMs = 0;
  double cpuMs = 0;
};

struct Timing {
  std::vector<Times> medians;
  int rounds = 0;
};

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// This process's processor time, and that of its finished children, in milliseconds.
double CpuMs(int who = RUSAGE_SELF) {
  rusage usage{};
  getrusage(who, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Timing Measure(const std::vector<std::function<void()>>& tasks) {
  for (const auto& task : tasks) task();
  std::vector<std::vector<double>> wall(tasks.size()), cpu(tasks.size());
  const Clock::time_point start = Clock::now();
  for (std::size_t rounds = 1;; ++rounds) {
    for (std::size_t t = 0; t < tasks.size(); ++t) {
      const Clock::time_point before = Clock::now();
      const double cpuBefore = CpuMs();
      tasks[t]();
      cpu[t].push_back(CpuMs() - cpuBefore);
      wall[t].push_back(Milliseconds(Clock::now() - before));
    }
    const double elapsed = Milliseconds(Clock::now() - start);
    if ((rounds >= 15 && elapsed >= 2000) || (rounds >= 5 && elapsed >= 10000) || rounds >= 1001) {
      Timing timing{{}, static_cast<int>(rounds)};
      for (std::size_t t = 0; t < tasks.size(); ++t) {
        timing.medians.push_back({Median(std::move(wall[t])), Median(std::move(cpu[t]))});
      }
      return timing;
    }
  }
}

// The floor: what any compare must at least do, reading both tables side by side a chunk of
// each at a time, through the same file layer as the compare, into buffers that stay in the
// cache. The buffers are made once, so that the floor holds no allocation, and start on a page
// as the compare's do: on some processors the system copies into a buffer off a 32-byte boundary
// several times slower, and the floor is the best that reading can do.
std::size_t ReadSideBySide(const fs::path& base, const fs::path& raised, std::span<std::uint8_t> a,
                           std::span<std::uint8_t> b) {
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

// Chunk sizes tried for the floor: every power of two from 16 KB to 1 MB, and the compare's own.
std::vector<std::size_t> FloorChunks() {
  std::vector<std::size_t> chunks;
  for (std::size_t chunk = 16 << 10; chunk <= 1 << 20; chunk *= 2) chunks.push_back(chunk);
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
// the compare's medians, none if it failed.
std::optional<Times> Report(const std::string& label, const fs::path& base,
                            const fs::path& raised) {
  const patch::CompareOutcome first = patch::CompareTables(base, raised);
  if (first.error) {
    std::printf("%s: compare failed: %s\n", label.c_str(),
                patch::ErrorReport(*first.error).c_str());
    return std::nullopt;
  }
  const std::string matches = first.matchCount.value_or("?");

  std::size_t sink = 0;
  std::vector<std::function<void()>> tasks = {[&] {
    const patch::CompareOutcome outcome = patch::CompareTables(base, raised);
    sink += outcome.appended.positions.size();
  }};
  const std::vector<std::size_t> chunks = FloorChunks();
  constexpr std::size_t kPage = 4096;
  std::vector<std::vector<std::uint8_t>> storage;
  std::vector<std::span<std::uint8_t>> buffers;
  for (const std::size_t chunk : chunks) {
    for (int file = 0; file < 2; ++file) {
      std::vector<std::uint8_t>& bytes = storage.emplace_back(chunk + kPage);
      const auto address = reinterpret_cast<std::uintptr_t>(bytes.data());
      buffers.emplace_back(bytes.data() + (kPage - address % kPage) % kPage, chunk);
    }
  }
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    tasks.push_back(
        [&, c] { sink += ReadSideBySide(base, raised, buffers[2 * c], buffers[2 * c + 1]); });
  }
  const Timing timing = Measure(tasks);
  std::printf("%s: matches %s (medians of %d rounds)\n", label.c_str(), matches.c_str(),
              timing.rounds);
  // The floor is the least of the chunk sizes' medians, by either clock.
  const auto line = [&](const char* clock, double Times::*time) {
    const double compare = timing.medians[0].*time;
    std::size_t best = 1;
    for (std::size_t t = 2; t < timing.medians.size(); ++t) {
      if (timing.medians[t].*time < timing.medians[best].*time) best = t;
    }
    const double floor = timing.medians[best].*time;
    std::printf("  %-14s compare %s ms, floor %s ms (%zu KB chunks), ratio %.2f\n", clock,
                Shown(compare).c_str(), Shown(floor).c_str(), chunks[best - 1] >> 10,
                compare / floor);
  };
  line("processor time", &Times::cpuMs);
  line("clock time", &Times::wallMs);
  if (sink == 0) std::printf("(nothing read)\n");
  return timing.medians[0];
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
// Prints its median times and how many times the compare's they are.
void ReportPipeline(const std::string& label, const fs::path& base, const fs::path& raised,
                    const fs::path& output, int runs, const Times& compare) {
  const std::string command = "cmp -l " + Quoted(base) + " " + Quoted(raised) +
                              " | perl -ne '@f = split; print \"$f[0]\\n\" if oct($f[2]) == "
                              "oct($f[1]) + 100' > " +
                              Quoted(output);
  std::vector<double> wall, cpu;
  for (int i = 0; i < runs; ++i) {
    const Clock::time_point before = Clock::now();
    const double cpuBefore = CpuMs(RUSAGE_CHILDREN);
    const int status = std::system(command.c_str());
    cpu.push_back(CpuMs(RUSAGE_CHILDREN) - cpuBefore);
    wall.push_back(Milliseconds(Clock::now() - before));
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
  const Times median{Median(wall), Median(cpu)};
  std::printf(
      "%s: cmp -l | perl: matches %zu (medians of %d); processor time %s ms, %.1f times the "
      "compare's; clock time %s ms, %.1f times the compare's\n",
      label.c_str(), lines, runs, Shown(median.cpuMs).c_str(), median.cpuMs / compare.cpuMs,
      Shown(median.wallMs).c_str(), median.wallMs / compare.wallMs);
}

int SelfContained() {
  constexpr std::size_t kSize = 10'000'000;
  std::error_code error;
  const fs::path folder =
      fs::temp_directory_path() /
      ("compare_bench_" + std::to_string(Clock::now().time_since_epoch().count()));
  fs::create_directories(folder);
  try {
    const demo::DemoSet sparseSet = demo::MakeDemoSet(kSize);
    WriteBytes(folder / "sparse0.tbl", sparseSet.base);
    WriteBytes(folder / "sparse100.tbl", sparseSet.raised);
    WriteLevelPair(folder / "dense0.tbl", folder / "dense100.tbl", kSize, false);
    WriteLevelPair(folder / "capped0.tbl", folder / "capped100.tbl", kSize, true);

    const std::optional<Times> sparse =
        Report("sparse 10 MB", folder / "sparse0.tbl", folder / "sparse100.tbl");
    const std::optional<Times> dense =
        Report("dense 10 MB", folder / "dense0.tbl", folder / "dense100.tbl");
    const std::optional<Times> capped =
        Report("capped 10 MB", folder / "capped0.tbl", folder / "capped100.tbl");
    if (!sparse || !dense || !capped) {
      fs::remove_all(folder, error);
      return 1;
    }
    ReportPipeline("sparse 10 MB", folder / "sparse0.tbl", folder / "sparse100.tbl",
                   folder / "pipeline.txt", 3, *sparse);
    ReportPipeline("dense 10 MB", folder / "dense0.tbl", folder / "dense100.tbl",
                   folder / "pipeline.txt", 3, *dense);
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
      return Report(fs::path(argv[1]).filename().string(), argv[1], argv[2]) ? 0 : 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "compare_bench: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: compare_bench [base-table raised-table]\n");
  return 2;
}
