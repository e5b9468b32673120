// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace fdbgen {

// Converts font units into the 1024 unit em of FDB fonts, rounding to the nearest unit with ties to
// even: fonts of 2048 units have many odd values, and halves rounded one way would bias every
// advance of a string the same way.
class EmScale {
public:
    static constexpr int64_t kFdbEm = 1024;
    // TrueType allows 16 to 16384 units per em.
    static constexpr int32_t kMinUnitsPerEm = 16;
    static constexpr int32_t kMaxUnitsPerEm = 16384;

    explicit EmScale(int32_t unitsPerEm)
        : m_unitsPerEm(unitsPerEm)
    {
        if (unitsPerEm < kMinUnitsPerEm || unitsPerEm > kMaxUnitsPerEm) {
            throw std::invalid_argument("units per em " + std::to_string(unitsPerEm) + " out of range");
        }
    }

    [[nodiscard]] int32_t operator()(int64_t fontUnits) const
    {
        const int64_t num = fontUnits * kFdbEm;
        int64_t q = num / m_unitsPerEm;
        int64_t r = num % m_unitsPerEm;
        if (r < 0) { // floor division
            q -= 1;
            r += m_unitsPerEm;
        }
        if (2 * r > m_unitsPerEm || (2 * r == m_unitsPerEm && (q & 1) != 0)) {
            q += 1;
        }
        return static_cast<int32_t>(q);
    }

    [[nodiscard]] int32_t unitsPerEm() const { return m_unitsPerEm; }

private:
    int32_t m_unitsPerEm;
};

} // namespace fdbgen
