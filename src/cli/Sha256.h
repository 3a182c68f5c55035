#pragma once
// SHA-256 digests through OpenSSL's libcrypto, for the provenance of orvel-analyze's results.
#include <cstddef>
#include <string>

struct evp_md_ctx_st;  // OpenSSL's digest context; only Sha256.cpp includes its headers

namespace orvel::cli {

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(const void* bytes, std::size_t count);
  void Update(const std::string& text) { Update(text.data(), text.size()); }
  // The digest of everything given so far as 64 lower-case hexadecimal digits; ends the digest.
  std::string HexDigest();

 private:
  evp_md_ctx_st* m_context;
};

// Adds the bytes of the file at path; throws SectionFailure when it cannot be read whole.
void HashFileContent(const std::string& path, Sha256& digest);

}  // namespace orvel::cli
