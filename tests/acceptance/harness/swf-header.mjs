// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the stage size, frame rate and frame count from a movie's header, so that the harness can
// size the player before the movie loads. Returns null for anything it cannot read; the player
// itself then decides whether the file plays.
import { inflateSync, constants } from "node:zlib";

// The header fits in the first 30 bytes; inflating a little more covers any RECT size.
const HEADER_PROBE = 64;

export function readSwfHeader(bytes) {
    const data = Buffer.from(bytes);
    if (data.length < 9) return null;
    const signature = data.toString("latin1", 0, 3);
    let body;
    if (signature === "FWS") {
        body = data.subarray(8);
    } else if (signature === "CWS") {
        try {
            body = inflateSync(data.subarray(8), { finishFlush: constants.Z_SYNC_FLUSH }).subarray(0, HEADER_PROBE);
        } catch {
            return null;
        }
    } else {
        return null;
    }
    if (body.length < 1) return null;
    const nbits = body[0] >> 3;
    const rectBytes = Math.ceil((5 + 4 * nbits) / 8);
    if (body.length < rectBytes + 4) return null;
    let bit = 5;
    const readSigned = () => {
        let value = 0;
        for (let i = 0; i < nbits; i++, bit++) {
            value = value * 2 + ((body[bit >> 3] >> (7 - (bit & 7))) & 1);
        }
        if (nbits > 0 && value >= 2 ** (nbits - 1)) value -= 2 ** nbits;
        return value;
    };
    const xmin = readSigned();
    const xmax = readSigned();
    const ymin = readSigned();
    const ymax = readSigned();
    const width = Math.round((xmax - xmin) / 20);
    const height = Math.round((ymax - ymin) / 20);
    if (width <= 0 || height <= 0) return null;
    return {
        signature,
        version: data[3],
        width,
        height,
        rate: body.readUInt16LE(rectBytes) / 256,
        frames: body.readUInt16LE(rectBytes + 2),
    };
}
