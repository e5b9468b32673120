// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/ZipCipher.h"

namespace {

// The CRC-32 table of the ZIP format (reflected polynomial 0xEDB88320), which the key update uses.
constexpr std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table {};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? (0xEDB88320U ^ (c >> 1)) : (c >> 1);
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

constexpr uint32_t CrcStep(uint32_t crc, uint8_t byte)
{
    return kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

} // namespace

CZipCipher::CZipCipher(std::string_view password)
{
    for (const char c : password) {
        UpdateKeys(static_cast<uint8_t>(c));
    }
}

uint8_t CZipCipher::StreamByte() const
{
    const uint32_t temp = (m_nKey2 | 2) & 0xFFFF;
    return static_cast<uint8_t>((temp * (temp ^ 1)) >> 8);
}

void CZipCipher::UpdateKeys(uint8_t plain)
{
    m_nKey0 = CrcStep(m_nKey0, plain);
    m_nKey1 = (m_nKey1 + (m_nKey0 & 0xFF)) * 134775813U + 1;
    m_nKey2 = CrcStep(m_nKey2, static_cast<uint8_t>(m_nKey1 >> 24));
}

void CZipCipher::Encrypt(std::span<uint8_t> bytes)
{
    // Keys in locals: the compiler cannot keep members in registers across the stores to bytes.
    uint32_t k0 = m_nKey0;
    uint32_t k1 = m_nKey1;
    uint32_t k2 = m_nKey2;
    for (uint8_t& b : bytes) {
        const uint32_t temp = (k2 | 2) & 0xFFFF;
        const uint8_t plain = b;
        b = static_cast<uint8_t>(plain ^ static_cast<uint8_t>((temp * (temp ^ 1)) >> 8));
        k0 = CrcStep(k0, plain);
        k1 = (k1 + (k0 & 0xFF)) * 134775813U + 1;
        k2 = CrcStep(k2, static_cast<uint8_t>(k1 >> 24));
    }
    m_nKey0 = k0;
    m_nKey1 = k1;
    m_nKey2 = k2;
}

void CZipCipher::Decrypt(std::span<uint8_t> bytes)
{
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(b ^ StreamByte());
        UpdateKeys(b);
    }
}

std::array<uint8_t, CZipCipher::kHeaderSize> CZipCipher::EncryptHeader(
    std::span<const uint8_t, kHeaderSize - 2> random, uint32_t nCrc)
{
    std::array<uint8_t, kHeaderSize> header {};
    for (size_t i = 0; i < random.size(); ++i) {
        header[i] = random[i];
    }
    header[kHeaderSize - 2] = static_cast<uint8_t>(nCrc >> 16);
    header[kHeaderSize - 1] = static_cast<uint8_t>(nCrc >> 24);
    Encrypt(header);
    return header;
}
