// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/ZipCipher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> FromHex(const std::string& strHex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < strHex.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoi(strHex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// A stored entry locked by Info-ZIP's zip 3.0 with the password "pässwörd" (UTF-8): the 12-byte
// header and the text as zip wrote them, and as they are in plain.
const std::string kWrongPassword = "p\xC3\xA4sschw\xC3\xB6rd";
const std::string kUtf8Password = "p\xC3\xA4ssw\xC3\xB6rd";
const std::vector<uint8_t> kCipherText = FromHex("b652983e8fec6ec6c862a1210190c1414ae92065d638c4e054ec4e81bba"
                                                 "494f3299452759ed2e2d8736ae79c4bafb4d0682c858f16"
                                                 "19370a39");
const std::vector<uint8_t> kPlainHeader = FromHex("29d75d0913385a826917351a");
const std::string kPlainText = "Known answer: traditional PKWARE encryption.\n";

std::vector<uint8_t> PlainEntry()
{
    std::vector<uint8_t> plain = kPlainHeader;
    plain.insert(plain.end(), kPlainText.begin(), kPlainText.end());
    return plain;
}

} // namespace

TEST(ZipCipherTest, MatchesTheKnownAnswerBothWays)
{
    std::vector<uint8_t> bytes = PlainEntry();
    CZipCipher encrypt(kUtf8Password);
    encrypt.Encrypt(bytes);
    EXPECT_EQ(bytes, kCipherText);

    CZipCipher decrypt(kUtf8Password);
    decrypt.Decrypt(bytes);
    EXPECT_EQ(bytes, PlainEntry());

    // Block boundaries do not matter: the key state carries over from call to call.
    std::vector<uint8_t> pieces = PlainEntry();
    CZipCipher inPieces(kUtf8Password);
    inPieces.Encrypt(std::span(pieces).first(5));
    inPieces.Encrypt(std::span(pieces).subspan(5, 20));
    inPieces.Encrypt(std::span(pieces).subspan(25));
    EXPECT_EQ(pieces, kCipherText);
}

TEST(ZipCipherTest, WrongPasswordFailsTheCheckByteAndHeaderCarriesTheCrc)
{
    std::vector<uint8_t> bytes = kCipherText;
    CZipCipher wrong(kWrongPassword);
    wrong.Decrypt(bytes);
    EXPECT_NE(bytes[11], kPlainHeader[11]);
    EXPECT_NE(std::vector<uint8_t>(bytes.begin() + 12, bytes.end()),
        std::vector<uint8_t>(kPlainText.begin(), kPlainText.end()));

    // The header ends in the CRC's two high bytes, the last being the check byte unzip tools use.
    const std::array<uint8_t, 10> random { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 };
    CZipCipher encrypt("secret");
    std::array<uint8_t, CZipCipher::kHeaderSize> header = encrypt.EncryptHeader(random, 0xA1B2C3D4);
    CZipCipher decrypt("secret");
    decrypt.Decrypt(header);
    EXPECT_EQ(header[9], 10);
    EXPECT_EQ(header[10], 0xB2);
    EXPECT_EQ(header[11], 0xA1);
}
