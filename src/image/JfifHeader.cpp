#include "image/JfifHeader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "image/ByteOrder.h"
#include "platform/File.h"

namespace orvel {

namespace {

// Reads or writes exactly count bytes at offset 0, retrying short transfers; errno or 0, and
// for reads the number of bytes that arrived.
int ReadPrefix(int descriptor, std::uint8_t* buffer, std::size_t count, std::size_t& got) {
  got = 0;
  while (got < count) {
    const ssize_t n = pread(descriptor, buffer + got, count - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return 0;
}

int WritePrefix(int descriptor, const std::uint8_t* buffer, std::size_t count) {
  std::size_t written = 0;
  while (written < count) {
    const ssize_t n = pwrite(descriptor, buffer + written, count - written, static_cast<off_t>(written));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    written += static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace

int JfifHeader::ReadFrom(const std::string& path) {
  m_bytes.fill(0);
  const int descriptor = platform::OpenRegularFile(path);
  if (descriptor < 0) return errno;
  std::size_t got = 0;
  const int error = ReadPrefix(descriptor, m_bytes.data(), kSize, got);
  close(descriptor);
  if (error != 0) return error;
  static constexpr std::uint8_t kStart[] = {0xFF, 0xD8, 0xFF, 0xE0};
  static constexpr std::uint8_t kIdentifier[] = {'J', 'F', 'I', 'F', 0};
  const bool jfif = got == kSize && std::memcmp(m_bytes.data(), kStart, 4) == 0 && LoadBe16(&m_bytes[4]) != 0 &&
                    std::memcmp(&m_bytes[6], kIdentifier, 5) == 0;
  return jfif ? 0 : kNotJfif;
}

int JfifHeader::WriteTo(const std::string& path) const {
  // Never waits on a FIFO and never writes into anything but a regular file.
  const int descriptor = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return errno;
  struct stat info {};
  if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(descriptor);
    return EINVAL;
  }
  int error = WritePrefix(descriptor, m_bytes.data(), kSize);
  if (close(descriptor) != 0 && error == 0) error = errno;
  return error;
}

int JfifHeader::DpiOf(int offset) const {
  const int density = LoadBe16(&m_bytes[offset]);
  switch (m_bytes[kUnits]) {
    case 1: return density;
    case 2: return static_cast<int>(density * 2.54);
    default: return 704;
  }
}

void JfifHeader::SetDpi(int offset, int value) {
  m_bytes[kUnits] = 1;
  StoreBe16(&m_bytes[offset], static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF)));
}

}  // namespace orvel
