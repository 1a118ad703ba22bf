#include "sites/SiteListCipher.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace vp {
namespace {

constexpr std::size_t kMd5BlockSize = 64;

// Per-step additive constants: floor(abs(sin(i + 1)) * 2^32).
constexpr std::array<std::uint32_t, 64> kMd5Constants = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Left rotations of each round, four per round.
constexpr std::array<int, 16> kMd5Rotations = {7, 12, 17, 22, 5, 9,  14, 20,
                                               4, 11, 16, 23, 6, 10, 15, 21};

void Md5ProcessBlock(std::array<std::uint32_t, 4>& state, const std::uint8_t* block) {
    std::array<std::uint32_t, 16> words;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::uint8_t* bytes = block + 4 * i;
        words[i] = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                   std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    }
    std::uint32_t a = state[0];
    std::uint32_t b = state[1];
    std::uint32_t c = state[2];
    std::uint32_t d = state[3];
    for (std::size_t step = 0; step < 64; ++step) {
        const std::size_t round = step / 16;
        std::uint32_t mixed = 0;
        std::size_t wordIndex = 0;
        switch (round) {
            case 0:
                mixed = (b & c) | (~b & d);
                wordIndex = step;
                break;
            case 1:
                mixed = (d & b) | (~d & c);
                wordIndex = (5 * step + 1) % 16;
                break;
            case 2:
                mixed = b ^ c ^ d;
                wordIndex = (3 * step + 5) % 16;
                break;
            default:
                mixed = c ^ (b | ~d);
                wordIndex = (7 * step) % 16;
                break;
        }
        const std::uint32_t sum = a + mixed + kMd5Constants[step] + words[wordIndex];
        a = d;
        d = c;
        c = b;
        b += std::rotl(sum, kMd5Rotations[round * 4 + step % 4]);
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

}  // namespace

std::array<std::uint8_t, 16> Md5Digest(const void* data, std::size_t length) {
    std::array<std::uint32_t, 4> state = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const std::size_t wholeBlocks = length / kMd5BlockSize * kMd5BlockSize;
    for (std::size_t offset = 0; offset < wholeBlocks; offset += kMd5BlockSize) {
        Md5ProcessBlock(state, bytes + offset);
    }

    // The rest of the message, the 0x80 marker, zeros and the bit length (little-endian)
    // fill one block, or two when fewer than 9 bytes are left after the rest.
    std::array<std::uint8_t, 2 * kMd5BlockSize> tail{};
    const std::size_t restLength = length - wholeBlocks;
    if (restLength != 0) {
        std::memcpy(tail.data(), bytes + wholeBlocks, restLength);
    }
    tail[restLength] = 0x80;
    const std::size_t tailLength = restLength < kMd5BlockSize - 8 ? kMd5BlockSize : tail.size();
    const std::uint64_t bitLength = static_cast<std::uint64_t>(length) * 8;
    for (std::size_t i = 0; i < 8; ++i) {
        tail[tailLength - 8 + i] = static_cast<std::uint8_t>(bitLength >> (8 * i));
    }
    for (std::size_t offset = 0; offset < tailLength; offset += kMd5BlockSize) {
        Md5ProcessBlock(state, tail.data() + offset);
    }

    std::array<std::uint8_t, 16> digest;
    for (std::size_t i = 0; i < digest.size(); ++i) {
        digest[i] = static_cast<std::uint8_t>(state[i / 4] >> (8 * (i % 4)));
    }
    return digest;
}

Rc4::Rc4(const std::uint8_t* key, std::size_t keyLength) {
    for (std::size_t i = 0; i < state_.size(); ++i) {
        state_[i] = static_cast<std::uint8_t>(i);
    }
    std::uint8_t j = 0;
    for (std::size_t i = 0; i < state_.size(); ++i) {
        // An empty key schedules as a single zero byte.
        const std::uint8_t keyByte = keyLength == 0 ? 0 : key[i % keyLength];
        j = static_cast<std::uint8_t>(j + state_[i] + keyByte);
        std::swap(state_[i], state_[j]);
    }
}

void Rc4::Apply(std::uint8_t* buffer, std::size_t length) {
    for (std::size_t n = 0; n < length; ++n) {
        i_ = static_cast<std::uint8_t>(i_ + 1);
        j_ = static_cast<std::uint8_t>(j_ + state_[i_]);
        std::swap(state_[i_], state_[j_]);
        buffer[n] ^= state_[static_cast<std::uint8_t>(state_[i_] + state_[j_])];
    }
}

std::array<std::uint8_t, 16> SiteListCipher::DeriveKey(std::string_view passPhrase) {
    // A 40-bit key: the first 5 digest bytes; the other 11 bytes stay zero.
    constexpr std::size_t kKeyBytes = 5;
    const std::array<std::uint8_t, 16> digest = Md5Digest(passPhrase.data(), passPhrase.size());
    std::array<std::uint8_t, 16> key{};
    std::copy_n(digest.begin(), kKeyBytes, key.begin());
    return key;
}

void SiteListCipher::Encrypt(std::uint8_t* buffer, std::size_t length,
                             std::string_view passPhrase) const {
    const std::array<std::uint8_t, 16> key = DeriveKey(passPhrase);
    Rc4 keyStream(key.data(), key.size());
    keyStream.Apply(buffer, length);
}

void SiteListCipher::Decrypt(std::uint8_t* buffer, std::size_t length,
                             std::string_view passPhrase) const {
    // RC4 is its own inverse.
    Encrypt(buffer, length, passPhrase);
}

}  // namespace vp
