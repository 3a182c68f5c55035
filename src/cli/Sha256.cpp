#include "cli/Sha256.h"

#include <openssl/evp.h>

#include <new>
#include <vector>

#include "cli/AnalyzeSections.h"
#include "platform/File.h"

namespace orvel::cli {

Sha256::Sha256() : m_context(EVP_MD_CTX_new()) {
  if (m_context == nullptr || EVP_DigestInit_ex(m_context, EVP_sha256(), nullptr) != 1) {
    EVP_MD_CTX_free(m_context);
    throw std::bad_alloc();
  }
}

Sha256::~Sha256() { EVP_MD_CTX_free(m_context); }

void Sha256::Update(const void* bytes, std::size_t count) {
  if (EVP_DigestUpdate(m_context, bytes, count) != 1) throw std::bad_alloc();
}

std::string Sha256::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(m_context, digest, &length) != 1) throw std::bad_alloc();
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

void HashFileContent(const std::string& path, Sha256& digest) {
  platform::InputFile file;
  if (!file.Open(path)) throw SectionFailure{"cannot open " + path};
  std::vector<unsigned char> buffer(1 << 20);
  try {
    for (std::size_t count; (count = file.Read(buffer.data(), buffer.size())) > 0;) digest.Update(buffer.data(), count);
  } catch (const platform::FileError&) {
    throw SectionFailure{"cannot read " + path};
  }
}

}  // namespace orvel::cli
