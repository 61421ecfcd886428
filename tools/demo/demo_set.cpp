// Builds a synthetic monster table: a small header, then fixed-size records with an id, a name,
// stats and script bytes. The listed level bytes sit in records spread evenly through the table;
// the raised copy is the base with exactly those bytes increased by 100.
#include "demo_set.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>

namespace demo {
namespace {

// splitmix64: the same seed gives the same bytes with every compiler and standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // A value in [low, high], both included. The slight modulo bias does not matter here.
  std::uint32_t Between(std::uint32_t low, std::uint32_t high) {
    return low + static_cast<std::uint32_t>(Next() % (std::uint64_t{high} - low + 1));
  }

  std::uint8_t Byte() { return static_cast<std::uint8_t>(Next() >> 56); }

 private:
  std::uint64_t state_;
};

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kRecordSize = 96;
constexpr std::size_t kNameOffset = 4;
constexpr std::size_t kNameSize = 24;
constexpr std::size_t kLevelOffset = 28;  // the level byte of a monster record
constexpr std::size_t kStatsOffset = 29;
constexpr std::size_t kScriptOffset = 64;
constexpr int kMaxLevel = 99;
constexpr int kRaise = 100;

void PutLittleEndian(std::uint8_t* out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A name of Latin syllables or of GBK-range double bytes, zero padded.
void PutName(std::uint8_t* out, Random& random) {
  static constexpr std::array<const char*, 16> kSyllables = {
      "gor", "ba", "lin", "dra", "kon", "mi",  "zel", "tha",
      "rok", "va", "sku", "ne",  "qua", "rel", "bo",  "shi"};
  std::memset(out, 0, kNameSize);
  std::size_t length = 0;
  if (random.Between(0, 2) == 0) {
    const std::uint32_t characters = random.Between(2, 5);
    for (std::uint32_t i = 0; i < characters; ++i) {
      out[length++] = static_cast<std::uint8_t>(random.Between(0xB0, 0xD7));
      out[length++] = static_cast<std::uint8_t>(random.Between(0xA1, 0xFE));
    }
    return;
  }
  const std::uint32_t syllables = random.Between(2, 4);
  for (std::uint32_t i = 0; i < syllables; ++i) {
    const char* syllable =
        kSyllables[random.Between(0, static_cast<std::uint32_t>(kSyllables.size() - 1))];
    for (const char* c = syllable; *c != '\0' && length + 1 < kNameSize; ++c) {
      out[length++] = static_cast<std::uint8_t>(*c);
    }
  }
  out[0] = static_cast<std::uint8_t>(out[0] - 'a' + 'A');
  if (random.Between(0, 3) == 0 && length + 3 < kNameSize) {
    out[length++] = '_';
    out[length++] = static_cast<std::uint8_t>('0' + random.Between(0, 9));
    out[length++] = static_cast<std::uint8_t>('0' + random.Between(0, 9));
  }
}

void PutRecord(std::uint8_t* record, std::uint32_t id, Random& random) {
  PutLittleEndian(record, id, 4);
  PutName(record + kNameOffset, random);
  // The level field of a monster record; records the list does not name hold other small values.
  record[kLevelOffset] = static_cast<std::uint8_t>(random.Between(0, 15));
  std::uint8_t* stats = record + kStatsOffset;
  stats[0] = static_cast<std::uint8_t>(random.Between(0, 7));  // element
  PutLittleEndian(stats + 1, random.Between(0, 999), 2);       // magic points
  PutLittleEndian(stats + 3, random.Between(10, 250000), 4);   // hit points
  for (int i = 0; i < 4; ++i) {                                // attack .. speed
    PutLittleEndian(stats + 7 + 2 * i, random.Between(1, 9999), 2);
  }
  PutLittleEndian(stats + 15, random.Between(0, 1000000), 4);  // experience
  PutLittleEndian(stats + 19, random.Between(0, 65535), 4);    // gold
  for (int i = 0; i < 4; ++i) {                                // drop item ids
    PutLittleEndian(stats + 23 + 2 * i, random.Between(0, 3) == 0 ? 0 : random.Between(1, 800), 2);
  }
  // Up to 32 bytes of action script: opcode/argument pairs, then zero padding.
  const std::uint32_t pairs = random.Between(0, 16);
  for (std::uint32_t i = 0; i < pairs; ++i) {
    record[kScriptOffset + 2 * i] = static_cast<std::uint8_t>(random.Between(1, 0x3F));
    record[kScriptOffset + 2 * i + 1] = random.Byte();
  }
}

}  // namespace

DemoSet MakeDemoSet(std::size_t tableSize, int levelCount, std::uint32_t seed) {
  if (levelCount < 0 || static_cast<std::size_t>(levelCount) > tableSize) {
    throw std::invalid_argument("MakeDemoSet: more level bytes than table bytes");
  }
  if (tableSize > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::invalid_argument("MakeDemoSet: table too large for 32-bit positions");
  }
  Random random(0xD1B54A32D192ED03ULL ^ seed);
  DemoSet set;
  set.base.assign(tableSize, 0);

  const std::size_t records =
      tableSize >= kHeaderSize ? (tableSize - kHeaderSize) / kRecordSize : 0;
  if (tableSize >= kHeaderSize) {
    std::uint8_t* header = set.base.data();
    std::memcpy(header, "DMON", 4);  // a made-up tag: this is not the game's format
    PutLittleEndian(header + 4, 1, 2);
    PutLittleEndian(header + 6, kRecordSize, 2);
    PutLittleEndian(header + 8, records, 4);
    PutLittleEndian(header + 12, seed, 4);
  }
  for (std::size_t r = 0; r < records; ++r) {
    PutRecord(set.base.data() + kHeaderSize + r * kRecordSize, static_cast<std::uint32_t>(r + 1),
              random);
  }
  // Whatever follows the last whole record is trailing noise.
  for (std::size_t i = kHeaderSize + records * kRecordSize; i < tableSize; ++i) {
    set.base[i] = random.Byte();
  }

  set.positions.reserve(static_cast<std::size_t>(levelCount));
  const auto count = static_cast<std::size_t>(levelCount);
  if (count > 0 && records >= count) {
    // One monster record in each of levelCount equal stretches of the records.
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t first = i * records / count;
      const std::size_t last = (i + 1) * records / count - 1;
      const std::size_t record =
          first + random.Between(0, static_cast<std::uint32_t>(last - first));
      const std::size_t offset = kHeaderSize + record * kRecordSize + kLevelOffset;
      set.positions.push_back(static_cast<std::int32_t>(offset + 1));
    }
  } else {
    // Too small for whole records: one byte in each of levelCount equal stretches of the table.
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t first = i * tableSize / count;
      const std::size_t last = (i + 1) * tableSize / count - 1;
      const std::size_t offset =
          first + random.Between(0, static_cast<std::uint32_t>(last - first));
      set.positions.push_back(static_cast<std::int32_t>(offset + 1));
    }
  }

  for (std::int32_t position : set.positions) {
    set.base[static_cast<std::size_t>(position) - 1] =
        static_cast<std::uint8_t>(random.Between(1, kMaxLevel));
  }
  // The raised copy differs from the base at the level bytes only.
  set.raised = set.base;
  for (std::int32_t position : set.positions) {
    set.raised[static_cast<std::size_t>(position) - 1] += kRaise;
  }
  return set;
}

namespace {

void WriteFile(const std::filesystem::path& file, const void* data, std::size_t size) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (out) out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (out) out.close();
  if (!out) {
    const auto name = file.u8string();
    throw std::runtime_error("cannot write " + std::string(name.begin(), name.end()));
  }
}

}  // namespace

void WriteDemoSet(const std::filesystem::path& folder, const DemoSet& set) {
  WriteFile(folder / "t_mons0.tbl", set.base.data(), set.base.size());
  WriteFile(folder / "t_mons100.tbl", set.raised.data(), set.raised.size());
  WriteFile(folder / "t_mons.tbl", set.base.data(), set.base.size());
  std::string list;
  list.reserve(set.positions.size() * 8);
  for (std::int32_t position : set.positions) {
    list += std::to_string(position);
    list += "\r\n";
  }
  WriteFile(folder / "drevon2.txt", list.data(), list.size());
}

}  // namespace demo
