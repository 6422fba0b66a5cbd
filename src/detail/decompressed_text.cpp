#include "detail/decompressed_text.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <new>

#include "detail/line_reader.h"

namespace Detail {

namespace {

// zlib counts in 32-bit units; larger texts are fed and filled in slices.
constexpr std::size_t max_slice = UINT_MAX;

// The size a gzip member's trailer gives for its text (modulo 2^32): a hint
// that spares the text's growth by doubling, which would cost up to twice
// its size in memory at the end.
std::uint64_t stated_size(std::string_view compressed) {
  if (compressed.size() < 18) return 0;
  const auto byte = [&](std::size_t from_end) {
    return static_cast<std::uint64_t>(static_cast<unsigned char>(compressed[compressed.size() - from_end]));
  };
  return byte(4) | byte(3) << 8 | byte(2) << 16 | byte(1) << 24;
}

std::uint64_t limit_for(std::size_t compressed_size) {
  return std::clamp<std::uint64_t>(max_expansion * compressed_size, min_decompressed_limit, max_decompressed_size);
}

std::string limit_text(std::uint64_t limit) {
  std::string text = std::to_string(limit);
  text.append(" bytes (the limit: ").append(std::to_string(max_expansion));
  text.append(" times the compressed size, at least 1 MiB, at most 4 GiB)");
  return text;
}

class Inflater {
 public:
  Inflater() {
    // 16 + MAX_WBITS: a gzip wrapper, not zlib's own.
    if (inflateInit2(&stream_, 16 + MAX_WBITS) != Z_OK) throw std::bad_alloc();
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
};

}  // namespace

bool is_gzip(std::string_view data) {
  return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1f &&
         static_cast<unsigned char>(data[1]) == 0x8b;
}

std::string gunzip(std::string_view compressed, std::size_t spare, std::uint64_t limit, std::string& problem) {
  problem.clear();
  std::string text;
  text.reserve(static_cast<std::size_t>(std::min(stated_size(compressed), limit)) + spare);
  Inflater inflater;
  z_stream& stream = inflater.stream();
  std::size_t in_offset = 0;
  std::size_t size = 0;
  for (;;) {
    if (text.size() - size < spare + 1) {
      const std::uint64_t wanted = std::max<std::uint64_t>(2 * text.size(), 1 << 16);
      text.resize(static_cast<std::size_t>(std::min(wanted, limit + 1 + spare)));
    }
    const std::size_t in_slice = std::min(compressed.size() - in_offset, max_slice);
    const std::size_t out_slice = std::min(text.size() - spare - size, max_slice);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data() + in_offset));
    stream.avail_in = static_cast<uInt>(in_slice);
    stream.next_out = reinterpret_cast<Bytef*>(text.data() + size);
    stream.avail_out = static_cast<uInt>(out_slice);
    const int result = inflate(&stream, Z_NO_FLUSH);
    in_offset += in_slice - stream.avail_in;
    size += out_slice - stream.avail_out;
    if (size > limit) {
      problem = "the gzip stream expands past " + limit_text(limit);
      return {};
    }
    if (result == Z_MEM_ERROR) throw std::bad_alloc();
    if (result == Z_STREAM_END) {
      // gzip files joined end to end are one stream of several members.
      const std::string_view rest = compressed.substr(in_offset);
      if (rest.empty()) break;
      if (!is_gzip(rest)) {
        problem = "other data follows the gzip stream at offset " + std::to_string(in_offset);
        return {};
      }
      inflateReset(&stream);
      continue;
    }
    if (result == Z_OK) continue;
    if (result == Z_BUF_ERROR && in_offset == compressed.size()) {
      problem = "the gzip stream is cut short";
    } else {
      problem = std::string("the gzip stream is damaged (") + (stream.msg ? stream.msg : "invalid data") + ")";
    }
    return {};
  }
  text.resize(size);
  return text;
}

std::string read_whole_decompressed(std::istream& in, std::size_t spare, std::string& problem) {
  problem.clear();
  std::string text = read_whole(in, spare);
  if (!is_gzip(text)) return text;
  const std::uint64_t limit = limit_for(text.size());
  std::string decompressed = gunzip(text, spare, limit, problem);
  return decompressed;
}

}  // namespace Detail
