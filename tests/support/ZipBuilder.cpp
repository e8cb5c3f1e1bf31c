#include "tests/support/ZipBuilder.h"

#include <zlib.h>

#include <stdexcept>

namespace testsupport {

namespace {
void Put16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string RawDeflate(const std::string& input) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2");
  }
  std::string out(deflateBound(&stream, static_cast<uLong>(input.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
  stream.avail_in = static_cast<uInt>(input.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}
}  // namespace

ZipBuilder& ZipBuilder::Folder(const std::string& name) {
  Entry entry;
  entry.name = name;
  entry.externalAttributes = 0x10;
  entries_.push_back(entry);
  return *this;
}

ZipBuilder& ZipBuilder::File(const std::string& name, const std::string& content, Method method) {
  Entry entry;
  entry.name = name;
  entry.size = static_cast<uint32_t>(content.size());
  entry.crc = static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
  entry.method = method == Method::kDeflated ? 8 : 0;
  entry.data = method == Method::kDeflated ? RawDeflate(content) : content;
  entry.externalAttributes = 0x20;
  entries_.push_back(entry);
  return *this;
}

ZipBuilder& ZipBuilder::ModifiedAt(uint32_t unixSeconds) {
  std::string& extra = entries_.back().extra;
  Put16(extra, 0x5455);
  Put16(extra, 5);
  extra += '\x01';
  Put32(extra, unixSeconds);
  return *this;
}

// The fields the local header and the directory record share, from the flags to the extra
// field's length.
void ZipBuilder::PutSharedFields(std::string& out, const Entry& entry) {
  // 2020-01-02 03:04:06 in DOS form.
  const uint16_t dosTime = (3 << 11) | (4 << 5) | 3;
  const uint16_t dosDate = ((2020 - 1980) << 9) | (1 << 5) | 2;
  Put16(out, 0);  // flags
  Put16(out, entry.method);
  Put16(out, dosTime);
  Put16(out, dosDate);
  Put32(out, entry.crc);
  Put32(out, static_cast<uint32_t>(entry.data.size()));
  Put32(out, entry.size);
  Put16(out, static_cast<uint32_t>(entry.name.size()));
  Put16(out, static_cast<uint32_t>(entry.extra.size()));
}

std::string ZipBuilder::Build() const {
  std::string out;
  std::string directory;
  for (const Entry& entry : entries_) {
    const uint32_t offset = static_cast<uint32_t>(out.size());
    Put32(out, 0x04034b50);
    Put16(out, 20);  // version needed
    PutSharedFields(out, entry);
    out += entry.name;
    out += entry.extra;
    out += entry.data;

    Put32(directory, 0x02014b50);
    Put16(directory, 20);  // version made by
    Put16(directory, 20);  // version needed
    PutSharedFields(directory, entry);
    Put16(directory, 0);  // comment length
    Put16(directory, 0);  // disk number
    Put16(directory, 0);  // internal attributes
    Put32(directory, entry.externalAttributes);
    Put32(directory, offset);
    directory += entry.name;
    directory += entry.extra;
  }
  const uint32_t directoryOffset = static_cast<uint32_t>(out.size());
  out += directory;
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint32_t>(entries_.size()));
  Put16(out, static_cast<uint32_t>(entries_.size()));
  Put32(out, static_cast<uint32_t>(directory.size()));
  Put32(out, directoryOffset);
  Put16(out, 0);
  return out;
}

}  // namespace testsupport
