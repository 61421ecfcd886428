// A synthetic monster table set for tests, the benchmark and the demo run: no byte of it comes
// from the real game.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace demo {

struct DemoSet {
  std::vector<std::uint8_t> base;       // the table as shipped (t_mons0.tbl)
  std::vector<std::uint8_t> raised;     // the same table with every level + 100 (t_mons100.tbl)
  std::vector<std::int32_t> positions;  // 1-based level positions, in list order
};

// A table of tableSize bytes holding levelCount level bytes (1 to 99) at distinct positions
// spread through it; the same seed gives the same set.
DemoSet MakeDemoSet(std::size_t tableSize = 300 * 1024, int levelCount = 439,
                    std::uint32_t seed = 20261206);

// Writes t_mons0.tbl, t_mons100.tbl, t_mons.tbl (a copy of t_mons0.tbl) and drevon2.txt
// (one position a line, CR LF) into folder, which must exist.
void WriteDemoSet(const std::filesystem::path& folder, const DemoSet& set);

}  // namespace demo
