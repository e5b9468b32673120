// SPDX-License-Identifier: GPL-3.0-or-later
#include "swf/read/PrebuiltClip.h"

#include "swf/ByteReader.h"
#include "swf/ByteWriter.h"
#include "swf/read/IdFields.h"
#include "swf/read/Records.h"
#include "swf/read/SwfFile.h"

#include <optional>
#include <unordered_map>

namespace swf {

namespace {

// Definition: a tag of the host's main timeline, before the clip's sprite. Timeline: a tag of the
// clip's sprite. InitAction: a tag that only a main timeline may hold and that must run once the
// clip's characters are defined, so it follows the clip's sprite on the host's main timeline.
enum class Role { Definition, Timeline, InitAction, Drop, Refuse };

// FileAttributes flag telling that the movie's scripts are ActionScript 3.
constexpr uint8_t kActionScript3Flag = 0x08;

Role roleOf(TagCode code)
{
    switch (code) {
    case TagCode::ShowFrame:
    case TagCode::PlaceObject:
    case TagCode::PlaceObject2:
    case TagCode::PlaceObject3:
    case TagCode::RemoveObject:
    case TagCode::RemoveObject2:
    case TagCode::DoAction:
    case TagCode::FrameLabel:
    case TagCode::StartSound:
    case TagCode::SoundStreamHead:
    case TagCode::SoundStreamHead2:
    case TagCode::SoundStreamBlock:
    case TagCode::VideoFrame:
        return Role::Timeline;
    // Class definitions and symbol registrations (ActionScript 2) of one sprite of the file. A
    // player takes them on the main timeline only: inside a sprite they are malformed, and Ruffle
    // stops the whole movie on them.
    case TagCode::DoInitAction:
        return Role::InitAction;
    // ExportAssets and ImportAssets are main-timeline tags too; they stay definitions, so they reach
    // the host's main timeline before the clip's sprite. Two clips of one file export the same
    // names; both name identical characters, so whichever the player keeps shows the same thing.
    // An import names a file by URL, which the player fetches if it is there; the gift does not
    // carry that file, and an import that fails leaves only its characters out.
    //
    // Authoring and player hints of the file itself, meaningless inside another movie. The
    // background colour belongs to the host; binary data is reachable only from ActionScript 3.
    // NameCharacter names a character for authoring tools and some command-line compilers write it;
    // no player reads it. The debugger tags and DebugID serve a debugging session of the file
    // alone. ScriptLimits and SetTabIndex would set the host's script limits and tab order.
    case TagCode::FileAttributes:
    case TagCode::Metadata:
    case TagCode::NameCharacter:
    case TagCode::ProductInfo:
    case TagCode::EnableDebugger:
    case TagCode::EnableDebugger2:
    case TagCode::DebugID:
    case TagCode::ScriptLimits:
    case TagCode::SetTabIndex:
    case TagCode::SetBackgroundColor:
    case TagCode::Protect:
    case TagCode::EnableTelemetry:
    case TagCode::DefineSceneAndFrameLabelData:
    case TagCode::DefineBinaryData:
        return Role::Drop;
    case TagCode::DoABC:
    case TagCode::SymbolClass:
    case TagCode::StartSound2:
        return Role::Refuse;
    default:
        return idFieldsKnown(static_cast<uint16_t>(code)) ? Role::Definition : Role::Refuse;
    }
}

std::string describe(uint16_t code)
{
    return std::string(tagName(code)) + " (tag " + std::to_string(code) + ")";
}

// Clip event flags (the "all events" field and each event record's flags) are a UI16 in files of
// version 5 and older and a UI32 from version 6 on; the low two bytes mean the same events. A
// placement of an old file must therefore be rewritten to play inside a newer host. The action
// lengths stay, the tag grows by two bytes per flags field. Returns nothing when `body` carries no
// clip event flags (inside a sprite: when none of its timeline's placements does).
std::optional<std::vector<uint8_t>> widenedClipEvents(
    uint16_t code, std::span<const uint8_t> body, int nesting)
{
    if (code == static_cast<uint16_t>(TagCode::PlaceObject2)) {
        const auto p = rec::readPlacement(body, 2, 5);
        if (p.clipActionsEnd == 0) {
            return std::nullopt;
        }
        ByteWriter w;
        w.bytes(body.first(p.clipActionsOffset + 4)); // up to the reserved field and all events
        w.u16(0);
        for (const auto& a : p.clipActions) {
            w.u32(a.events);
            w.u32(static_cast<uint32_t>(a.actions.size()));
            w.bytes(a.actions);
        }
        w.u32(0);
        w.bytes(body.subspan(p.clipActionsEnd));
        return w.take();
    }
    if (code != static_cast<uint16_t>(TagCode::DefineSprite)) {
        return std::nullopt;
    }
    if (nesting >= kMaxSpriteNesting) {
        throw ParseError("DefineSprite: sprites nested deeper than " + std::to_string(kMaxSpriteNesting));
    }
    if (body.size() < 4) {
        throw ParseError("DefineSprite: too short for its id and frame count");
    }
    const auto timeline = body.subspan(4);
    const auto tags = readTagStream(timeline, "DefineSprite timeline");
    ByteWriter w;
    w.bytes(body.first(4));
    bool changed = false;
    size_t end = 0; // end of the last tag copied, inside the timeline
    for (const auto& t : tags) {
        auto wide = widenedClipEvents(t.code, t.body, nesting + 1);
        if (wide) {
            writeTag(w, Tag(t.code, std::move(*wide)));
            changed = true;
        } else {
            w.bytes(timeline.subspan(t.offset, t.bodyOffset + t.body.size() - t.offset));
        }
        end = t.bodyOffset + t.body.size();
    }
    if (!changed) {
        return std::nullopt;
    }
    w.bytes(timeline.subspan(end)); // End and whatever follows it
    return w.take();
}

} // namespace

std::shared_ptr<PrebuiltClip> PrebuiltClip::fromFile(const std::filesystem::path& path)
{
    const auto bytes = readFileBytes(path.string());
    try {
        return fromBytes(bytes);
    } catch (const ParseError& e) {
        throw ParseError(path.string() + ": " + e.what());
    }
}

std::shared_ptr<PrebuiltClip> PrebuiltClip::fromBytes(std::span<const uint8_t> file)
{
    const auto movie = uncompressedMovie(file);
    std::shared_ptr<PrebuiltClip> clip(new PrebuiltClip());
    clip->m_version = movie[3];
    ByteReader header(movie, "movie header");
    header.skip(8);
    (void)rec::readBounds(header);
    (void)header.u16();
    const uint16_t declaredFrames = header.u16();
    const auto tags = readTagStream(std::span<const uint8_t>(movie).subspan(header.pos()), "movie");

    std::vector<uint8_t> jpegTables;
    uint16_t shownFrames = 0;
    bool openFrame = false;
    for (const auto& t : tags) {
        const auto code = static_cast<TagCode>(t.code);
        if (code == TagCode::FileAttributes && !t.body.empty() && (t.body[0] & kActionScript3Flag)) {
            throw ParseError(
                "movie: ActionScript 3 content (FileAttributes) cannot play in a version 6 movie");
        }
        if (t.code == 72) {
            throw ParseError(
                "movie: ActionScript 3 content (" + describe(t.code) + ") cannot play in a version 6 movie");
        }
        const Role role = roleOf(code);
        if (role == Role::Refuse) {
            if (code == TagCode::DoABC || code == TagCode::SymbolClass || code == TagCode::StartSound2) {
                throw ParseError("movie: ActionScript 3 content (" + describe(t.code) +
                    ") cannot play in a version 6 movie");
            }
            throw ParseError(
                "movie: unknown tag " + describe(t.code) + " at offset " + std::to_string(t.offset));
        }
        if (role == Role::Drop) {
            continue;
        }
        if (code == TagCode::JPEGTables) {
            // Tables shared by DefineBits; folded into each of them below, since a host movie has
            // room for one table only and may carry several clips.
            jpegTables.assign(t.body.begin(), t.body.end());
            continue;
        }
        Part part;
        try {
            part.idOffsets = characterIdOffsets(t.code, t.body, clip->m_version);
        } catch (const ParseError& e) {
            throw ParseError(
                "movie: " + describe(t.code) + " at offset " + std::to_string(t.offset) + ": " + e.what());
        }
        if (code == TagCode::DefineBits) {
            std::vector<uint8_t> body(t.body.begin(), t.body.begin() + 2);
            body.insert(body.end(), jpegTables.begin(), jpegTables.end());
            body.insert(body.end(), t.body.begin() + 2, t.body.end());
            part.tag = Tag(TagCode::DefineBitsJPEG2, std::move(body));
        } else {
            part.tag = Tag(t.code, std::vector<uint8_t>(t.body.begin(), t.body.end()));
        }
        if (clip->m_version <= 5) {
            try {
                if (auto wide = widenedClipEvents(t.code, part.tag.body, 0)) {
                    auto widePart = std::make_shared<Part>();
                    widePart->idOffsets = characterIdOffsets(t.code, *wide, 6);
                    widePart->tag = Tag(t.code, std::move(*wide));
                    part.wide = std::move(widePart);
                }
            } catch (const ParseError& e) {
                throw ParseError("movie: " + describe(t.code) + " at offset " + std::to_string(t.offset) +
                    ": " + e.what());
            }
        }
        if (role == Role::InitAction) {
            // Moved out of the sprite whichever frame of the file holds it, as a sprite's frames
            // have no place for it: all of them run when the clip is first shown, before any of
            // its frames, which can only make a class ready earlier than the file had it.
            clip->m_initActions.push_back(std::move(part));
        } else if (role == Role::Timeline) {
            if (code == TagCode::ShowFrame) {
                ++shownFrames;
                openFrame = false;
            } else {
                openFrame = true;
            }
            clip->m_timeline.push_back(std::move(part));
        } else {
            clip->m_definitions.push_back(std::move(part));
        }
    }
    if (openFrame) {
        // Timeline tags after the last ShowFrame would never be shown inside a sprite.
        clip->m_timeline.push_back(Part { Tag(TagCode::ShowFrame, {}), {}, nullptr });
        ++shownFrames;
    }
    clip->m_frameCount = declaredFrames != 0 ? declaredFrames : shownFrames;
    return clip;
}

uint16_t PrebuiltClip::defineIn(DefinitionContext& context) const
{
    std::unordered_map<uint16_t, uint16_t> ids;
    const bool widen = m_version <= 5 && context.version() >= 6;
    const auto renumber = [&](const Part& original) {
        const Part& part = widen && original.wide ? *original.wide : original;
        Tag tag = part.tag;
        for (const size_t offset : part.idOffsets) {
            const uint16_t old = static_cast<uint16_t>(tag.body[offset] | (tag.body[offset + 1] << 8));
            auto it = ids.find(old);
            if (it == ids.end()) {
                it = ids.emplace(old, context.allocateId()).first;
            }
            tag.body[offset] = static_cast<uint8_t>(it->second);
            tag.body[offset + 1] = static_cast<uint8_t>(it->second >> 8);
        }
        return tag;
    };
    for (const auto& part : m_definitions) {
        context.emit(renumber(part));
    }
    const uint16_t spriteId = context.allocateId();
    ByteWriter sprite;
    sprite.u16(spriteId);
    sprite.u16(m_frameCount);
    for (const auto& part : m_timeline) {
        writeTag(sprite, renumber(part));
    }
    writeTag(sprite, Tag(TagCode::End, {}));
    context.emit(Tag(TagCode::DefineSprite, sprite.take()));
    // The definition stream is the host's main timeline, and a character is defined in the frame
    // that first shows it, just before its placement (or the button that holds it): there the
    // init actions run once, in the file's order, before anything of the clip plays.
    for (const auto& part : m_initActions) {
        context.emit(renumber(part));
    }
    return spriteId;
}

} // namespace swf
