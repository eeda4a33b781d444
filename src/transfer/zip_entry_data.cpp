#include "transfer/zip_entry_data.h"

#include <zlib.h>

#include <algorithm>

#include "base/error.h"

namespace {

[[noreturn]] void StreamReadError() { throw Error(L"Stream read error"); }

[[noreturn]] void ZlibError(int code) {
  const char* message = zError(code);
  throw Error(std::wstring(message, message + std::char_traits<char>::length(message)));
}

void WriteBlock(OutputFile& file, const unsigned char* data, std::size_t size) {
  if (!file.Write(data, size)) throw Error(L"Stream write error");
}

std::uint32_t Crc32(std::uint32_t crc, const unsigned char* data, std::size_t size) {
  return static_cast<std::uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
}

// One decoder per entry, dropped on every path out.
class Inflater {
 public:
  Inflater() {
    const int code = inflateInit2(&stream_, -MAX_WBITS);  // raw Deflate: no header, no trailer
    if (code != Z_OK) ZlibError(code);
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
};

}  // namespace

std::uint32_t EntryCopier::CopyStored(ArchiveBuffer& archive, std::uint32_t size,
                                      OutputFile& file) {
  std::uint32_t crc = Crc32(0, nullptr, 0);
  std::uint32_t left = size;
  // Straight from the archive's block into the file, without a copy in between.
  while (left > 0) {
    const std::span<const unsigned char> bytes = archive.Available();
    if (bytes.empty()) StreamReadError();
    const std::size_t n = std::min<std::size_t>({bytes.size(), left, kOutputBlock});
    crc = Crc32(crc, bytes.data(), n);
    WriteBlock(file, bytes.data(), n);
    archive.Consume(n);
    left -= static_cast<std::uint32_t>(n);
  }
  return crc;
}

std::uint32_t EntryCopier::CopyInflated(ArchiveBuffer& archive, std::uint32_t size,
                                        OutputFile& file) {
  std::uint32_t crc = Crc32(0, nullptr, 0);
  if (size == 0) return crc;
  Inflater inflater;
  z_stream& z = inflater.stream();
  bool stream_ended = false;
  std::uint32_t left = size;
  while (left > 0) {
    const std::size_t block = std::min<std::size_t>(left, kOutputBlock);
    z.next_out = output_.data();
    z.avail_out = static_cast<uInt>(block);
    while (z.avail_out > 0 && !stream_ended) {
      const std::span<const unsigned char> input = archive.Available();
      if (input.empty()) break;
      z.next_in = const_cast<Bytef*>(input.data());
      z.avail_in = static_cast<uInt>(input.size());
      const int code = inflate(&z, Z_NO_FLUSH);
      // What the stream did not use stays in the block: the next header is read from there.
      archive.Consume(input.size() - z.avail_in);
      if (code == Z_STREAM_END) {
        stream_ended = true;
      } else if (code != Z_OK) {
        ZlibError(code);
      }
    }
    const std::size_t produced = block - z.avail_out;
    if (produced < block) StreamReadError();
    crc = Crc32(crc, output_.data(), produced);
    WriteBlock(file, output_.data(), produced);
    left -= static_cast<std::uint32_t>(produced);
  }
  return crc;
}
