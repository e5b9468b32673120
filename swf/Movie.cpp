// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/Movie.h"

#include "swf/ByteWriter.h"
#include "swf/Error.h"
#include "swf/Matrix.h"
#include "swf/MovieState.h"
#include "swf/Rect.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <span>
#include <string>
#include <system_error>
#include <unordered_map>

namespace swf {

namespace detail {

FrameEvent& MovieState::openEventOf(size_t index)
{
    ItemState& item = items.at(index);
    if (!item.openEvent) {
        FrameEvent event;
        event.kind = FrameEvent::Kind::Modify;
        event.item = index;
        current.push_back(std::move(event));
        item.openEvent = current.size() - 1;
    }
    return current.at(*item.openEvent);
}

void MovieState::moveItem(size_t index, int32_t x, int32_t y)
{
    if (items.at(index).removed) {
        return;
    }
    FrameEvent& event = openEventOf(index);
    event.hasMatrix = true;
    event.x = x;
    event.y = y;
}

void MovieState::transformItem(size_t index, const ColorTransform& transform)
{
    if (items.at(index).removed) {
        return;
    }
    openEventOf(index).colorTransform = transform;
}

void MovieState::removeItem(size_t index)
{
    ItemState& item = items.at(index);
    if (item.removed) {
        return;
    }
    item.removed = true;
    item.openEvent.reset();
    FrameEvent event;
    event.kind = FrameEvent::Kind::Remove;
    event.item = index;
    current.push_back(std::move(event));
}

} // namespace detail

namespace {

// The most frames the UI16 frame count of the header can hold.
constexpr size_t kMaxFrames = 65535;

// Serialises one movie: gives ids, defines characters once, writes the tags in order. Tags go
// straight into one byte stream; a reserved tag is a hole at a position of that stream, filled
// once its content is known and spliced in when the stream is copied out.
class Serializer final : public DefinitionContext {
public:
    explicit Serializer(int version, size_t eventCount)
        : m_version(version)
    {
        m_ids.reserve(eventCount);
        // Most events give a tag of a few bytes, and many a definition too.
        m_stream.reserve(eventCount * 32 + 64);
    }

    uint16_t allocateId() override
    {
        if (m_nextId == 0) {
            throw Error("movie: more than 65535 characters");
        }
        return m_nextId++;
    }

    uint16_t define(const Character& character) override
    {
        // Id 0 is never given out, so it marks a character whose definition is being written.
        const auto [it, inserted] = m_ids.try_emplace(&character, 0);
        // Elements of an unordered_map keep their address when it grows, iterators do not.
        uint16_t& slot = it->second;
        if (!inserted) {
            if (slot == 0) {
                throw Error("movie: a character depends on itself");
            }
            return slot;
        }
        const uint16_t id = character.defineIn(*this);
        slot = id;
        return id;
    }

    void emit(Tag tag) override { writeTag(m_stream, tag); }
    void emit(uint16_t code, std::span<const uint8_t> body) { writeTag(m_stream, code, body); }

    size_t reserve() override
    {
        m_holes.push_back(Hole { m_stream.size(), Tag(), false });
        ++m_unfilled;
        return m_holes.size() - 1;
    }

    void fill(size_t slot, Tag tag) override
    {
        if (slot >= m_holes.size() || m_holes[slot].filled) {
            throw Error("movie: filling a tag place that was not reserved");
        }
        m_holes[slot].tag = std::move(tag);
        m_holes[slot].filled = true;
        --m_unfilled;
    }

    void atEnd(std::function<void()> task) override { m_tasks.push_back(std::move(task)); }

    [[nodiscard]] int version() const override { return m_version; }

    void finish()
    {
        // Tasks may register further tasks; run until none is left.
        for (size_t i = 0; i < m_tasks.size(); ++i) {
            auto task = std::move(m_tasks[i]);
            task();
        }
        if (m_unfilled != 0) {
            throw Error("movie: a character left a reserved tag unfilled");
        }
    }

    // At most the bytes of every tag written, holes filled (a hole counts the long header).
    [[nodiscard]] size_t size() const
    {
        size_t total = m_stream.size();
        for (const Hole& hole : m_holes) {
            total += hole.tag.body.size() + 6;
        }
        return total;
    }

    // Appends every tag, in order, with the reserved ones in their places.
    void writeTo(ByteWriter& out) const
    {
        const std::vector<uint8_t>& stream = m_stream.data();
        size_t done = 0;
        for (const Hole& hole : m_holes) {
            out.bytes(std::span(stream).subspan(done, hole.position - done));
            writeTag(out, hole.tag);
            done = hole.position;
        }
        out.bytes(std::span(stream).subspan(done));
    }

    // A writer for the body of a small tag, emptied for each use.
    ByteWriter& scratch()
    {
        m_scratch.clear();
        return m_scratch;
    }

protected:
    std::shared_ptr<void>& stateSlot(const Character& character) override { return m_states[&character]; }

private:
    struct Hole {
        size_t position = 0; // in m_stream
        Tag tag;
        bool filled = false;
    };

    int m_version;
    uint16_t m_nextId = 1;
    ByteWriter m_stream;
    ByteWriter m_scratch;
    std::vector<Hole> m_holes;
    size_t m_unfilled = 0;
    std::unordered_map<const Character*, uint16_t> m_ids;
    std::unordered_map<const Character*, std::shared_ptr<void>> m_states;
    std::vector<std::function<void()>> m_tasks;
};

void writePlaceTag(
    Serializer& out, const detail::FrameEvent& event, uint16_t depth, std::optional<uint16_t> id)
{
    ByteWriter& w = out.scratch();
    uint8_t flags = 0;
    if (id) {
        flags |= 0x02 | 0x04; // a new placement always carries its matrix
    } else {
        flags |= 0x01;
        if (event.hasMatrix) {
            flags |= 0x04;
        }
    }
    if (event.colorTransform) {
        flags |= 0x08;
    }
    w.u8(flags);
    w.u16(depth);
    if (id) {
        w.u16(*id);
    }
    if ((flags & 0x04) != 0) {
        Matrix m;
        m.translateX = event.x;
        m.translateY = event.y;
        writeMatrix(w, m);
    }
    if (event.colorTransform) {
        writeColorTransform(w, *event.colorTransform);
    }
    w.alignBits();
    out.emit(static_cast<uint16_t>(TagCode::PlaceObject2), w.data());
}

void writeEvent(Serializer& out, const detail::MovieState& state, const detail::FrameEvent& event)
{
    using Kind = detail::FrameEvent::Kind;
    switch (event.kind) {
    case Kind::Place: {
        const detail::ItemState& item = state.items.at(event.item);
        const uint16_t id = out.define(*item.character);
        writePlaceTag(out, event, item.depth, id);
        break;
    }
    case Kind::Modify:
        if (event.hasMatrix || event.colorTransform) {
            writePlaceTag(out, event, state.items.at(event.item).depth, std::nullopt);
        }
        break;
    case Kind::Remove: {
        ByteWriter& w = out.scratch();
        w.u16(state.items.at(event.item).depth);
        out.emit(static_cast<uint16_t>(TagCode::RemoveObject2), w.data());
        break;
    }
    case Kind::Action:
    case Kind::Raw:
        out.emit(event.tag.code, event.tag.body);
        break;
    case Kind::Factory:
        out.emit(event.factory(out));
        break;
    }
}

// `shownOnly` leaves out removals (the open frame at output, whose removals could show nothing).
void writeFrame(Serializer& out, const detail::MovieState& state,
    const std::vector<detail::FrameEvent>& frame, bool shownOnly = false)
{
    for (const auto& event : frame) {
        if (shownOnly && event.kind == detail::FrameEvent::Kind::Remove) {
            continue;
        }
        writeEvent(out, state, event);
    }
    out.emit(static_cast<uint16_t>(TagCode::ShowFrame), {});
}

} // namespace

Movie::Movie(int version)
    : m_state(std::make_shared<detail::MovieState>())
{
    if (version < 1 || version > 255) {
        throw Error("movie: version " + std::to_string(version) + " is out of range");
    }
    m_state->version = version;
}

Movie::Movie(Movie&&) noexcept = default;
Movie& Movie::operator=(Movie&&) noexcept = default;
Movie::~Movie() = default;

void Movie::setDimension(float width, float height)
{
    m_state->width = width;
    m_state->height = height;
}

void Movie::setRate(float rate)
{
    m_state->rate = rate;
}

void Movie::setBackground(uint8_t red, uint8_t green, uint8_t blue)
{
    m_state->background[0] = red;
    m_state->background[1] = green;
    m_state->background[2] = blue;
}

int Movie::version() const
{
    return m_state->version;
}
float Movie::width() const
{
    return m_state->width;
}
float Movie::height() const
{
    return m_state->height;
}
float Movie::rate() const
{
    return m_state->rate;
}
int Movie::frameCount() const
{
    return static_cast<int>(m_state->frames.size());
}

DisplayItem Movie::add(CharacterPtr character)
{
    if (!character) {
        throw Error("movie: adding an empty character");
    }
    if (m_state->items.size() >= 65535) {
        throw Error("movie: no depth left for another display item");
    }
    detail::ItemState item;
    item.depth = static_cast<uint16_t>(m_state->items.size() + 1);
    item.character = std::move(character);
    detail::FrameEvent event;
    event.kind = detail::FrameEvent::Kind::Place;
    event.item = m_state->items.size();
    m_state->current.push_back(std::move(event));
    item.openEvent = m_state->current.size() - 1;
    m_state->items.push_back(std::move(item));
    return DisplayItem(m_state, m_state->items.size() - 1);
}

void Movie::add(const ActionBlock& block)
{
    detail::FrameEvent event;
    event.kind = detail::FrameEvent::Kind::Action;
    event.tag = Tag(TagCode::DoAction, block.bytes());
    m_state->current.push_back(std::move(event));
}

void Movie::addAction(std::vector<uint8_t> actionBytes)
{
    add(ActionBlock(std::move(actionBytes)));
}

void Movie::addTag(Tag tag)
{
    detail::FrameEvent event;
    event.kind = detail::FrameEvent::Kind::Raw;
    event.tag = std::move(tag);
    m_state->current.push_back(std::move(event));
}

void Movie::addTag(TagFactory factory)
{
    if (!factory) {
        throw Error("movie: adding an empty tag factory");
    }
    detail::FrameEvent event;
    event.kind = detail::FrameEvent::Kind::Factory;
    event.factory = std::move(factory);
    m_state->current.push_back(std::move(event));
}

void Movie::nextFrame()
{
    if (m_state->frames.size() >= kMaxFrames) {
        throw Error("movie: more than 65535 frames");
    }
    // Only items with an event in this frame can have one open: reset those, not every item.
    for (const auto& event : m_state->current) {
        if (event.kind == detail::FrameEvent::Kind::Place || event.kind == detail::FrameEvent::Kind::Modify) {
            m_state->items[event.item].openEvent.reset();
        }
    }
    const size_t eventCount = m_state->current.size();
    m_state->frames.push_back(std::move(m_state->current));
    m_state->current.clear();
    // Frames of a movie tend to be alike: room for as many events as the last one.
    m_state->current.reserve(eventCount);
}

void Movie::remove(const DisplayItem& item)
{
    if (item.m_state == m_state) {
        m_state->removeItem(item.m_index);
    }
}

std::vector<uint8_t> Movie::toBytes(int compressionLevel) const
{
    if (compressionLevel < -1 || compressionLevel > 9) {
        throw Error("movie: compression level " + std::to_string(compressionLevel) + " is not -1 to 9");
    }
    const detail::MovieState& state = *m_state;
    size_t eventCount = state.current.size();
    for (const auto& frame : state.frames) {
        eventCount += frame.size() + 1;
    }
    Serializer out(state.version, eventCount);
    const uint8_t background[3] = { state.background[0], state.background[1], state.background[2] };
    out.emit(static_cast<uint16_t>(TagCode::SetBackgroundColor), background);
    for (const auto& frame : state.frames) {
        writeFrame(out, state, frame);
    }
    size_t frameCount = state.frames.size();
    const bool openFrameShows = std::any_of(state.current.begin(), state.current.end(),
        [](const auto& e) { return e.kind != detail::FrameEvent::Kind::Remove; });
    if (openFrameShows || frameCount == 0) {
        if (frameCount >= kMaxFrames) {
            throw Error("movie: more than 65535 frames");
        }
        writeFrame(out, state, state.current, true);
        ++frameCount;
    }
    out.finish();

    // The uncompressed file is the header and the body in one buffer; the compressed one packs
    // the body alone after the header.
    constexpr size_t kHeaderSize = 8;
    const bool packed = compressionLevel >= 0;
    // Signature, version and file length (set afterwards for the uncompressed file).
    const auto writeHeader = [&state](ByteWriter& w, char first, uint32_t length) {
        w.u8(static_cast<uint8_t>(first));
        w.u8('W');
        w.u8('S');
        w.u8(static_cast<uint8_t>(state.version));
        w.u32(length);
    };
    ByteWriter body;
    // Header, RECT (at most 17 bytes), rate, frame count, the tags and End.
    body.reserve(kHeaderSize + 17 + 4 + out.size() + 2);
    if (!packed) {
        writeHeader(body, 'F', 0);
    }
    writeRect(body, Rect { 0, toTwips(state.width), 0, toTwips(state.height) });
    const double rate = std::floor(static_cast<double>(state.rate) * 256.0);
    const auto rateField = static_cast<int64_t>(std::isfinite(rate) ? rate : 0.0);
    body.u16(static_cast<uint16_t>(static_cast<uint64_t>(rateField) & 0xffffU));
    body.u16(static_cast<uint16_t>(frameCount));
    out.writeTo(body);
    writeTag(body, static_cast<uint16_t>(TagCode::End), {});

    const uint64_t fileLength = (packed ? kHeaderSize : 0) + static_cast<uint64_t>(body.size());
    if (fileLength > 0xffffffffULL) {
        throw Error("movie: longer than 4 GiB");
    }
    if (!packed) {
        body.patchU32(4, static_cast<uint32_t>(fileLength));
        return body.take();
    }
    const std::vector<uint8_t> rest = body.take();
    ByteWriter file;
    writeHeader(file, 'C', static_cast<uint32_t>(fileLength));
    uLongf packedLength = compressBound(static_cast<uLong>(rest.size()));
    std::vector<uint8_t> packedBytes(packedLength);
    if (compress2(packedBytes.data(), &packedLength, rest.data(), static_cast<uLong>(rest.size()),
            compressionLevel) != Z_OK) {
        throw Error("movie: zlib compression failed");
    }
    packedBytes.resize(packedLength);
    file.bytes(packedBytes);
    return file.take();
}

void Movie::write(std::ostream& out, int compressionLevel) const
{
    const std::vector<uint8_t> bytes = toBytes(compressionLevel);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw Error("movie: writing the movie to the stream failed");
    }
}

void Movie::write(const std::filesystem::path& path, int compressionLevel) const
{
    const std::vector<uint8_t> bytes = toBytes(compressionLevel);
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) {
            throw Error("movie: cannot create " + temporary.string());
        }
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw Error("movie: cannot write " + temporary.string());
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw Error("movie: cannot replace " + path.string() + ": " + error.message());
    }
}

} // namespace swf
