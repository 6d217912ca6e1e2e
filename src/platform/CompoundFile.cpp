#include "platform/CompoundFile.h"

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/FileOutput.h"

namespace jxc {

namespace {

constexpr size_t kSector = 512;
constexpr uint32_t kFatEntriesPerSector = kSector / 4;             // 128
constexpr uint32_t kHeaderFatSlots = 109;                          // allocation sectors listed in the header
constexpr uint32_t kDifatEntriesPerSector = kFatEntriesPerSector - 1;  // the last slot chains to the next
constexpr uint32_t kDifSect = 0xFFFFFFFC, kFatSect = 0xFFFFFFFD, kEndOfChain = 0xFFFFFFFE, kFree = 0xFFFFFFFF;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

void Put16(std::string& b, size_t at, uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
uint16_t Get16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}
uint32_t Get32(std::string_view b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

uint32_t CeilDiv(uint64_t a, uint64_t b) { return static_cast<uint32_t>((a + b - 1) / b); }

// One 128-byte directory entry.
std::string DirectoryEntry(std::string_view name, uint8_t type, uint32_t child, uint32_t start, uint32_t size) {
  std::string e(128, '\0');
  for (size_t i = 0; i < name.size(); ++i) Put16(e, 2 * i, static_cast<unsigned char>(name[i]));
  Put16(e, 64, static_cast<uint16_t>(name.empty() ? 0 : 2 * (name.size() + 1)));
  e[66] = static_cast<char>(type);
  e[67] = 1;  // black
  Put32(e, 68, kNoStream);
  Put32(e, 72, kNoStream);
  Put32(e, 76, child);
  Put32(e, 116, start);
  Put32(e, 120, size);
  return e;
}

[[noreturn]] void NotAWorkbook() { throw Exception("不是Excel97-2003文件"); }

}  // namespace

void WriteCompoundFile(FileOutput& out, std::string_view streamName, const std::vector<std::string_view>& pieces) {
  uint64_t streamSize = 0;
  for (std::string_view piece : pieces) streamSize += piece.size();
  if (streamSize < kCompoundMinStreamSize || streamName.empty() || streamName.size() > 31 || streamSize > 0xFFFFFFFFull)
    throw EArgumentError("compound stream too short or badly named");

  // Sectors: the stream, one directory sector, then the allocation table and its extension sectors, whose
  // counts depend on each other.
  const uint32_t streamSectors = CeilDiv(streamSize, kSector);
  const uint32_t dirSector = streamSectors;
  uint32_t fatSectors = 1, difatSectors = 0;
  for (;;) {
    uint32_t total = streamSectors + 1 + fatSectors + difatSectors;
    uint32_t needFat = CeilDiv(total, kFatEntriesPerSector);
    uint32_t needDifat = needFat > kHeaderFatSlots ? CeilDiv(needFat - kHeaderFatSlots, kDifatEntriesPerSector) : 0;
    if (needFat == fatSectors && needDifat == difatSectors) break;
    fatSectors = needFat;
    difatSectors = needDifat;
  }
  const uint32_t firstFat = dirSector + 1, firstDifat = firstFat + fatSectors;

  std::vector<uint32_t> fat(static_cast<size_t>(fatSectors) * kFatEntriesPerSector, kFree);
  for (uint32_t s = 0; s < streamSectors; ++s) fat[s] = s + 1 < streamSectors ? s + 1 : kEndOfChain;
  fat[dirSector] = kEndOfChain;
  for (uint32_t s = 0; s < fatSectors; ++s) fat[firstFat + s] = kFatSect;
  for (uint32_t s = 0; s < difatSectors; ++s) fat[firstDifat + s] = kDifSect;

  std::string header(kSector, '\0');
  std::memcpy(header.data(), kSignature, 8);
  Put16(header, 0x18, 0x003E);  // minor version
  Put16(header, 0x1A, 0x0003);  // major version 3
  Put16(header, 0x1C, 0xFFFE);  // little-endian
  Put16(header, 0x1E, 9);       // 512-byte sectors
  Put16(header, 0x20, 6);       // 64-byte small sectors
  Put32(header, 0x2C, fatSectors);
  Put32(header, 0x30, dirSector);
  Put32(header, 0x38, static_cast<uint32_t>(kCompoundMinStreamSize));
  Put32(header, 0x3C, kEndOfChain);  // no small-stream table
  Put32(header, 0x44, difatSectors ? firstDifat : kEndOfChain);
  Put32(header, 0x48, difatSectors);
  for (uint32_t i = 0; i < kHeaderFatSlots; ++i) Put32(header, 0x4C + 4 * i, i < fatSectors ? firstFat + i : kFree);
  out.Write(header);

  for (std::string_view piece : pieces) out.Write(piece);
  if (size_t tail = streamSize % kSector) out.Write(std::string(kSector - tail, '\0'));

  std::string dir = DirectoryEntry("Root Entry", 5, 1, kEndOfChain, 0) +
                    DirectoryEntry(streamName, 2, kNoStream, 0, static_cast<uint32_t>(streamSize));
  std::string unused = DirectoryEntry("", 0, kNoStream, 0, 0);
  unused[67] = 0;
  dir += unused + unused;
  out.Write(dir);

  std::string fatBytes(fat.size() * 4, '\0');
  for (size_t i = 0; i < fat.size(); ++i) Put32(fatBytes, 4 * i, fat[i]);
  out.Write(fatBytes);

  for (uint32_t d = 0; d < difatSectors; ++d) {
    std::string sector(kSector, '\0');
    for (uint32_t k = 0; k < kDifatEntriesPerSector; ++k) {
      uint32_t fatIndex = kHeaderFatSlots + d * kDifatEntriesPerSector + k;
      Put32(sector, 4 * k, fatIndex < fatSectors ? firstFat + fatIndex : kFree);
    }
    Put32(sector, 4 * kDifatEntriesPerSector, d + 1 < difatSectors ? firstDifat + d + 1 : kEndOfChain);
    out.Write(sector);
  }
}

std::string ReadCompoundStream(std::string_view file, std::string_view streamName) {
  if (file.size() < kSector || std::memcmp(file.data(), kSignature, 8) != 0) NotAWorkbook();
  const size_t sectorSize = size_t{1} << Get16(file, 0x1E);
  if (sectorSize != 512 && sectorSize != 4096) NotAWorkbook();
  const size_t sectorCount = (file.size() - sectorSize + sectorSize - 1) / sectorSize;
  auto sectorAt = [&](uint32_t s) -> std::string_view {
    size_t at = sectorSize * (static_cast<size_t>(s) + 1);
    if (s >= sectorCount) NotAWorkbook();
    return file.substr(at, std::min(sectorSize, file.size() - at));
  };
  const uint32_t perSector = static_cast<uint32_t>(sectorSize / 4);

  // The allocation table, gathered from the header's slots and the extension chain.
  std::vector<uint32_t> fatSectors;
  uint32_t fatCount = Get32(file, 0x2C);
  for (uint32_t i = 0; i < kHeaderFatSlots && fatSectors.size() < fatCount; ++i) fatSectors.push_back(Get32(file, 0x4C + 4 * i));
  for (uint32_t d = Get32(file, 0x44); d < kDifSect && fatSectors.size() < fatCount;) {
    std::string_view sector = sectorAt(d);
    for (uint32_t k = 0; k + 1 < perSector && fatSectors.size() < fatCount; ++k) fatSectors.push_back(Get32(sector, 4 * k));
    d = Get32(sector, 4 * (perSector - 1));
  }
  std::vector<uint32_t> fat;
  for (uint32_t s : fatSectors) {
    std::string_view sector = sectorAt(s);
    for (size_t k = 0; k + 4 <= sector.size(); k += 4) fat.push_back(Get32(sector, k));
  }
  auto chain = [&](uint32_t start, size_t limitBytes) {
    std::string bytes;
    for (uint32_t s = start; s < kDifSect && bytes.size() < limitBytes;) {
      bytes += sectorAt(s);
      if (s >= fat.size() || bytes.size() > file.size()) NotAWorkbook();  // a looping chain
      s = fat[s];
    }
    return bytes;
  };

  std::string dir = chain(Get32(file, 0x30), file.size());
  for (size_t at = 0; at + 128 <= dir.size(); at += 128) {
    size_t nameBytes = Get16(dir, at + 64);
    if (dir[at + 66] != 2 || nameBytes < 2 || nameBytes > 64) continue;
    std::string name;
    for (size_t i = 0; i + 2 < nameBytes; i += 2) name += static_cast<char>(Get16(dir, at + i) & 0xFF);
    if (name != streamName) continue;
    uint32_t size = Get32(dir, at + 120);
    if (size < Get32(file, 0x38)) NotAWorkbook();  // small streams are not read
    std::string bytes = chain(Get32(dir, at + 116), size);
    if (bytes.size() < size) NotAWorkbook();
    bytes.resize(size);
    return bytes;
  }
  NotAWorkbook();
}

}  // namespace jxc
