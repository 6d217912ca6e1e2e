#pragma once
// The container of Excel 97-2003 workbooks (the compound document format, version 3, 512-byte sectors):
// a header, the stream's sectors, one directory sector and the allocation table, with as many extension
// sectors as a large stream needs. Holds exactly one stream under the root.

#include <string>
#include <string_view>
#include <vector>

namespace jxc {

class FileOutput;

// Streams shorter than this would belong in the container's small-stream area, which the writer does not
// make: callers pad such streams to this size.
inline constexpr size_t kCompoundMinStreamSize = 4096;

// Writes the container holding one stream of that name (ASCII, at most 31 characters), made of the pieces
// in order. The stream must hold at least kCompoundMinStreamSize bytes (EArgumentError otherwise).
void WriteCompoundFile(FileOutput& out, std::string_view streamName, const std::vector<std::string_view>& pieces);

// Reads back the named stream of a container written as above or by another program (tests and the
// print preview read workbooks with it). Raises Exception "不是Excel97-2003文件" when the bytes are not a
// compound document or lack the stream.
std::string ReadCompoundStream(std::string_view file, std::string_view streamName);

}  // namespace jxc
