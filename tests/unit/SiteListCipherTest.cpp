#include "sites/SiteListCipher.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace vp {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string Hex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

std::string Md5Hex(std::string_view text) {
    return Hex(Md5Digest(text.data(), text.size()));
}

std::string Rc4Hex(std::string_view key, std::string_view plainText) {
    std::vector<std::uint8_t> buffer = Bytes(plainText);
    const std::vector<std::uint8_t> keyBytes = Bytes(key);
    Rc4 cipher(keyBytes.data(), keyBytes.size());
    cipher.Apply(buffer.data(), buffer.size());
    return Hex(buffer);
}

TEST(Md5, MatchesTheReferenceTestSuiteAndPadsCorrectlyAroundBlockBoundaries) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234"
                     "567890"),
              "57edf4a22be3c955ac49da2e2107b67a");

    // 55 bytes leave room for the length in one block, 56 do not; 64 and 128 fill whole
    // blocks, 119 and 120 straddle the second block's boundary.
    const std::vector<std::pair<std::size_t, std::string_view>> expected = {
        {55, "ef1772b6dff9a122358552954ad0df65"},  {56, "3b0c8ac703f828b04c6c197006d17218"},
        {63, "b06521f39153d618550606be297466d5"},  {64, "014842d480b571495a4a0363793f7367"},
        {65, "c743a45e0d2e6a95cb859adae0248435"},  {119, "8a7bd0732ed6a28ce75f6dabc90e1613"},
        {120, "5f61c0ccad4cac44c75ff505e1f1e537"}, {128, "e510683b3f5ffe4093d021808bc6ff70"},
    };
    for (const auto& [length, digest] : expected) {
        EXPECT_EQ(Md5Hex(std::string(length, 'a')), digest) << length << " bytes";
    }
    EXPECT_EQ(Md5Hex(std::string(1000000, 'a')), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Rc4, MatchesPublishedTestVectorsAlsoAppliedInPieces) {
    EXPECT_EQ(Rc4Hex("Key", "Plaintext"), "bbf316e8d940af0ad3");
    EXPECT_EQ(Rc4Hex("Wiki", "pedia"), "1021bf0420");
    EXPECT_EQ(Rc4Hex("Secret", "Attack at dawn"), "45a01f645fc35b383552544b9bf5");

    // One key stream continues across calls.
    const std::vector<std::uint8_t> key = Bytes("Secret");
    std::vector<std::uint8_t> pieces = Bytes("Attack at dawn");
    Rc4 cipher(key.data(), key.size());
    cipher.Apply(pieces.data(), 5);
    cipher.Apply(pieces.data() + 5, 0);
    cipher.Apply(pieces.data() + 5, pieces.size() - 5);
    EXPECT_EQ(Hex(pieces), "45a01f645fc35b383552544b9bf5");
}

TEST(SiteListCipher, KeyIsFiveDigestBytesAndElevenZeros) {
    // MD5("K72M19TQ4XBN") = 448c75092ed896df29a32c31ad27ca0a
    EXPECT_EQ(Hex(SiteListCipher::DeriveKey(kSiteListPassPhrase)),
              "448c75092e0000000000000000000000");
    // Only the phrase's own bytes are hashed: MD5("abc") starts 900150983c.
    EXPECT_EQ(Hex(SiteListCipher::DeriveKey("abc")), "900150983c0000000000000000000000");
}

TEST(SiteListCipher, EncryptsWithRc4UnderTheDerivedKey) {
    // The encrypted empty site list, as RC4 with the 16-byte key 448c75092e + 11 zero bytes
    // produces it.
    std::vector<std::uint8_t> text = Bytes("Quenhollow Available Site List\r\n\r\n\r\n");
    SiteListCipher().Encrypt(text.data(), text.size());
    EXPECT_EQ(Hex(text),
              "9300d0cd6c68be31de3c6fd258fc638a9507d6e6624bd21b4baf280c44ca5ec5e9db5b5d");

    // The whole key stream, also past the first bytes, is that of RC4 under the key.
    const std::array<std::uint8_t, 16> key = {0x44, 0x8c, 0x75, 0x09, 0x2e};
    std::vector<std::uint8_t> keyStream(4096, 0);
    std::vector<std::uint8_t> expected(4096, 0);
    SiteListCipher().Encrypt(keyStream.data(), keyStream.size());
    Rc4(key.data(), key.size()).Apply(expected.data(), expected.size());
    EXPECT_EQ(keyStream, expected);
}

TEST(SiteListCipher, EveryCallStartsAFreshKeyStream) {
    const SiteListCipher cipher;
    const std::vector<std::uint8_t> plain =
        Bytes("Quenhollow Available Site List\r\n\r\nNews\r\n\r\n");
    std::vector<std::uint8_t> first = plain;
    std::vector<std::uint8_t> second = plain;
    cipher.Encrypt(first.data(), first.size());
    cipher.Encrypt(second.data(), second.size());
    EXPECT_NE(first, plain);
    EXPECT_EQ(first, second);

    cipher.Decrypt(first.data(), first.size());
    EXPECT_EQ(first, plain);

    // Another pass phrase gives another key stream.
    std::vector<std::uint8_t> other = plain;
    cipher.Encrypt(other.data(), other.size(), "K72M19TQ4XBM");
    EXPECT_NE(other, second);
}

TEST(SiteListCipher, AcceptsAnEmptyBuffer) {
    std::uint8_t unused = 0x5A;
    SiteListCipher().Decrypt(&unused, 0);
    EXPECT_EQ(unused, 0x5A);
}

}  // namespace
}  // namespace vp
