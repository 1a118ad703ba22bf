// The site list cipher: RC4 keyed from the MD5 digest of a pass phrase the way the
// system's base cryptographic provider derives a 40-bit key (digest bytes 0..4, then
// 11 zero bytes), so files stay interchangeable with that provider.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vp {

// The pass phrase built into every copy of the program.
inline constexpr std::string_view kSiteListPassPhrase = "K72M19TQ4XBN";

std::array<std::uint8_t, 16> Md5Digest(const void* data, std::size_t length);

class Rc4 {
public:
    Rc4(const std::uint8_t* key, std::size_t keyLength);
    // XORs the next bytes of the key stream into the buffer.
    void Apply(std::uint8_t* buffer, std::size_t length);

private:
    std::array<std::uint8_t, 256> state_{};
    std::uint8_t i_ = 0;
    std::uint8_t j_ = 0;
};

class SiteListCipher {
public:
    SiteListCipher() = default;
    virtual ~SiteListCipher() = default;

    // The 16-byte RC4 key for a pass phrase (its bytes, without a terminator).
    static std::array<std::uint8_t, 16> DeriveKey(std::string_view passPhrase);
    // Each call is one key stream from its start, as each file is.
    void Encrypt(std::uint8_t* buffer, std::size_t length,
                 std::string_view passPhrase = kSiteListPassPhrase) const;
    void Decrypt(std::uint8_t* buffer, std::size_t length,
                 std::string_view passPhrase = kSiteListPassPhrase) const;
};

}  // namespace vp
