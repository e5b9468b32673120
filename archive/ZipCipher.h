// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The traditional PKWARE stream cipher of the ZIP format ("ZipCrypto"): three 32-bit keys set up
// from the password's bytes and updated with every plain byte. Weak by today's measure, but the one
// every unzip tool opens. The state moves on with each byte, so one object enciphers or deciphers
// one entry, from its 12-byte header to its last byte.
class CZipCipher {
public:
    // Length of the encryption header in front of each entry's data.
    static constexpr size_t kHeaderSize = 12;

    explicit CZipCipher(std::string_view password);

    void Encrypt(std::span<uint8_t> bytes);
    void Decrypt(std::span<uint8_t> bytes);

    // The enciphered header of an entry: the random bytes, then the two high bytes of the entry's
    // CRC-32, the last of which unzip tools compare to tell a wrong password.
    [[nodiscard]] std::array<uint8_t, kHeaderSize> EncryptHeader(
        std::span<const uint8_t, kHeaderSize - 2> random, uint32_t nCrc);

private:
    [[nodiscard]] uint8_t StreamByte() const;
    void UpdateKeys(uint8_t plain);

    uint32_t m_nKey0 = 0x12345678;
    uint32_t m_nKey1 = 0x23456789;
    uint32_t m_nKey2 = 0x34567890;
};
