// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

// Where an archive's bytes go. The ZIP writer goes back to fill in each local header once the
// entry's sizes are known, so the sink must seek. Failures are exceptions whose message names the
// file and the reason ("Cannot write /x/a.zip: No space left on device").
class IZipSink {
public:
    virtual ~IZipSink() = default;
    virtual void Write(std::span<const uint8_t> bytes) = 0;
    [[nodiscard]] virtual uint64_t Tell() const = 0;
    virtual void Seek(uint64_t nOffset) = 0;
};

// Where an entry's bytes come from, read once from start to end. Read fills some of the buffer and
// returns how many bytes it filled, 0 at the end; failures are exceptions.
class IZipSource {
public:
    virtual ~IZipSource() = default;
    [[nodiscard]] virtual size_t Read(std::span<uint8_t> buffer) = 0;
};

// A failure of a source (the file to pack could not be opened or read), as opposed to a failure of
// the archive itself. The writer throws it only before anything of that entry went out, so the
// caller can leave the file out and go on.
class CZipSourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
