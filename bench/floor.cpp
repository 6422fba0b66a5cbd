// The I/O floor the benchmark compares the program with: what any converter
// of a report must at least do. Reads the input in 1 MiB blocks and finds its
// lines with memchr, fills an output-sized buffer in memory, writes it to the
// output file in large writes and to standard output in 8 KiB writes.
//
//   floor INPUT OUTPUT OUTPUT_SIZE

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool write_all(int descriptor, const char* data, std::size_t size, std::size_t piece) {
  while (size > 0) {
    const ssize_t written = write(descriptor, data, size < piece ? size : piece);
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 4) return 2;
  const int input = open(argv[1], O_RDONLY);
  if (input < 0) return 1;
  const std::size_t output_size = std::strtoull(argv[3], nullptr, 10);
  std::string output;
  output.reserve(output_size);
  std::vector<char> block(1 << 20);
  for (ssize_t got; (got = read(input, block.data(), block.size())) > 0;) {
    const char* at = block.data();
    const char* end = at + got;
    while (const void* feed = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
      const char* next = static_cast<const char*>(feed) + 1;
      // Output as large as the program's, built from the lines read.
      if (output.size() < output_size)
        output.append(at, std::min<std::size_t>(static_cast<std::size_t>(next - at), output_size - output.size()));
      at = next;
    }
  }
  while (output.size() < output_size) output.append(std::min<std::size_t>(output_size - output.size(), 4096), 'x');
  close(input);
  const int file = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (file < 0 || !write_all(file, output.data(), output.size(), 1 << 20) || close(file) != 0) return 1;
  if (!write_all(STDOUT_FILENO, output.data(), output.size(), 8 << 10)) return 1;
  return 0;
}
