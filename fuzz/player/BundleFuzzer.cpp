// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/bundle/Bundle.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const std::optional<CBundle> bundle = ReadBundle({ data, size });
        if (bundle) {
            // Whatever was read must be writable again and read back the same.
            const std::vector<uint8_t> payload = WriteBundlePayload(bundle->m_entries);
            const std::optional<CBundle> again = ReadBundle(payload);
            if (!again || again->m_entries != bundle->m_entries || again->m_nProgramSize != 0) {
                __builtin_trap();
            }
        }
    } catch (const CBundleError&) {
    }
    return 0;
}
