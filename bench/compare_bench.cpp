// compare_bench [base raised]: times patch::CompareTables against merely reading both tables.
// With no arguments it builds a sparse and a dense 10 MB pair in a temporary folder, times both,
// and for comparison also times a cmp | perl pipeline doing the same search.
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
#include "operations.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Timing {
  double medianMs = 0;
  int runs = 0;
};

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One warm-up run, then at least 15 timed runs and 2 s; a slow task stops after 5 runs and 10 s.
Timing Measure(const std::function<void()>& task) {
  task();
  std::vector<double> samples;
  const Clock::time_point start = Clock::now();
  for (;;) {
    const Clock::time_point before = Clock::now();
    task();
    samples.push_back(Milliseconds(Clock::now() - before));
    const double elapsed = Milliseconds(Clock::now() - start);
    const std::size_t runs = samples.size();
    if ((runs >= 15 && elapsed >= 2000) || (runs >= 5 && elapsed >= 10000) || runs >= 1001) break;
  }
  return {Median(samples), static_cast<int>(samples.size())};
}

// Reads a whole file into buffer, which already has the file's size: the buffers are reused
// from run to run, so the timing is the reading alone, not the first touch of fresh memory
// (which glibc's malloc may or may not hand back from run to run).
void ReadWhole(const fs::path& file, std::vector<char>& buffer) {
  std::ifstream in(file, std::ios::binary);
  in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  if (!in || in.peek() != std::char_traits<char>::eof()) {
    throw std::runtime_error("cannot read " + file.string() + " whole");
  }
}

// Milliseconds with one decimal, or more for short times.
std::string Shown(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, ms >= 10 ? "%.1f" : ms >= 1 ? "%.2f" : "%.3f", ms);
  return text;
}

// Compares once untimed for the full match count, then times compare and read-only.
bool Report(const std::string& label, const fs::path& base, const fs::path& raised) {
  const patch::CompareOutcome first = patch::CompareTables(base, raised);
  if (first.error) {
    std::printf("%s: compare failed: %s\n", label.c_str(),
                patch::ErrorReport(*first.error).c_str());
    return false;
  }
  const std::string matches = first.matchCount.value_or("?");

  std::size_t sink = 0;
  const Timing compare = Measure([&] {
    const patch::CompareOutcome outcome = patch::CompareTables(base, raised);
    sink += outcome.appended.positions.size();
  });
  std::vector<char> a(static_cast<std::size_t>(fs::file_size(base)));
  std::vector<char> b(static_cast<std::size_t>(fs::file_size(raised)));
  const Timing readOnly = Measure([&] {
    ReadWhole(base, a);
    ReadWhole(raised, b);
    sink += static_cast<unsigned char>(a.empty() ? 1 : a.back()) + b.size();
  });
  std::printf(
      "%s: matches %s, compare %s ms (median of %d), read-only %s ms (median of %d), "
      "ratio %.2f\n",
      label.c_str(), matches.c_str(), Shown(compare.medianMs).c_str(), compare.runs,
      Shown(readOnly.medianMs).c_str(), readOnly.runs, compare.medianMs / readOnly.medianMs);
  if (sink == 0) std::printf("(nothing read)\n");
  return true;
}

void WriteBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// Levels 1..155 raised by 100 in the copy; the bytes between are noise, equal in both copies.
// Dense: every 5th byte a level. Spread: one level at a random byte of three in eight 64-byte
// blocks, about 61,000 in 10 MB, so that whether a block holds one is a toss-up.
void WriteLevelPair(const fs::path& base, const fs::path& raised, std::size_t size, bool dense) {
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
    level[i] = dense ? i % 5 == 4 : i == spreadLevel;
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
void ReportPipeline(const std::string& label, const fs::path& base, const fs::path& raised,
                    const fs::path& output, int runs) {
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
  std::printf("%s: cmp -l | perl: matches %zu, %s ms (median of %d)\n", label.c_str(), lines,
              Shown(Median(samples)).c_str(), runs);
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
    WriteLevelPair(folder / "dense0.tbl", folder / "dense100.tbl", kSize, true);
    WriteLevelPair(folder / "spread0.tbl", folder / "spread100.tbl", kSize, false);

    bool ok = Report("sparse 10 MB", folder / "sparse0.tbl", folder / "sparse100.tbl");
    ok = Report("dense 10 MB", folder / "dense0.tbl", folder / "dense100.tbl") && ok;
    ok = Report("spread 10 MB", folder / "spread0.tbl", folder / "spread100.tbl") && ok;
    if (!ok) {
      fs::remove_all(folder, error);
      return 1;
    }
    ReportPipeline("sparse 10 MB", folder / "sparse0.tbl", folder / "sparse100.tbl",
                   folder / "pipeline.txt", 3);
    ReportPipeline("dense 10 MB", folder / "dense0.tbl", folder / "dense100.tbl",
                   folder / "pipeline.txt", 3);
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
