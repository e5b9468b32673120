// SPDX-License-Identifier: GPL-3.0-or-later
// A small PNG decoder for the harness's screenshots: 8-bit greyscale, grey+alpha, RGB, RGBA and
// palette images, not interlaced (what Chromium writes). Returns RGBA pixels.
import { inflateSync } from "node:zlib";

const SIGNATURE = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
// Screenshots are stage-sized; anything larger than this is not one of ours.
const MAX_PIXELS = 64 * 1024 * 1024;
const CHANNELS = { 0: 1, 2: 3, 3: 1, 4: 2, 6: 4 };

function paeth(a, b, c) {
    const p = a + b - c;
    const pa = Math.abs(p - a);
    const pb = Math.abs(p - b);
    const pc = Math.abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

export function decodePng(buffer) {
    const data = Buffer.from(buffer);
    if (data.length < 8 || !data.subarray(0, 8).equals(SIGNATURE)) {
        throw new Error("not a PNG image");
    }
    let offset = 8;
    let header = null;
    let palette = null;
    let transparency = null;
    const compressed = [];
    while (offset + 8 <= data.length) {
        const length = data.readUInt32BE(offset);
        const type = data.toString("latin1", offset + 4, offset + 8);
        const start = offset + 8;
        if (start + length + 4 > data.length) {
            throw new Error(`PNG chunk ${type} runs past the end of the image`);
        }
        const body = data.subarray(start, start + length);
        if (type === "IHDR") {
            if (length < 13) throw new Error("PNG header chunk too short");
            header = {
                width: body.readUInt32BE(0),
                height: body.readUInt32BE(4),
                depth: body[8],
                colourType: body[9],
                interlace: body[12],
            };
        } else if (type === "PLTE") {
            palette = body;
        } else if (type === "tRNS") {
            transparency = body;
        } else if (type === "IDAT") {
            compressed.push(body);
        } else if (type === "IEND") {
            break;
        }
        offset = start + length + 4;
    }
    if (!header) throw new Error("PNG image without a header chunk");
    const { width, height, depth, colourType, interlace } = header;
    const channels = CHANNELS[colourType];
    if (depth !== 8 || channels === undefined || interlace !== 0) {
        throw new Error(`unsupported PNG form (depth ${depth}, colour type ${colourType}, interlace ${interlace})`);
    }
    if (width === 0 || height === 0 || width * height > MAX_PIXELS) {
        throw new Error(`PNG image of unsupported size ${width}x${height}`);
    }
    if (colourType === 3 && !palette) throw new Error("palette PNG image without a palette");
    const raw = inflateSync(Buffer.concat(compressed));
    const stride = width * channels;
    if (raw.length < (stride + 1) * height) throw new Error("PNG image data too short");

    const lines = Buffer.alloc(stride * height);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)];
        const src = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        const out = y * stride;
        for (let i = 0; i < stride; i++) {
            const left = i >= channels ? lines[out + i - channels] : 0;
            const up = y > 0 ? lines[out - stride + i] : 0;
            const upLeft = y > 0 && i >= channels ? lines[out - stride + i - channels] : 0;
            let value;
            switch (filter) {
                case 0: value = src[i]; break;
                case 1: value = src[i] + left; break;
                case 2: value = src[i] + up; break;
                case 3: value = src[i] + ((left + up) >> 1); break;
                case 4: value = src[i] + paeth(left, up, upLeft); break;
                default: throw new Error(`PNG line ${y} has unknown filter ${filter}`);
            }
            lines[out + i] = value & 0xff;
        }
    }

    const rgba = Buffer.alloc(width * height * 4);
    for (let p = 0; p < width * height; p++) {
        const s = p * channels;
        let r, g, b, a = 255;
        switch (colourType) {
            case 0: r = g = b = lines[s]; break;
            case 4: r = g = b = lines[s]; a = lines[s + 1]; break;
            case 2: r = lines[s]; g = lines[s + 1]; b = lines[s + 2]; break;
            case 6: r = lines[s]; g = lines[s + 1]; b = lines[s + 2]; a = lines[s + 3]; break;
            case 3: {
                const index = lines[s];
                if (index * 3 + 2 >= palette.length) throw new Error("PNG palette index out of range");
                r = palette[index * 3];
                g = palette[index * 3 + 1];
                b = palette[index * 3 + 2];
                if (transparency && index < transparency.length) a = transparency[index];
                break;
            }
        }
        rgba[p * 4] = r;
        rgba[p * 4 + 1] = g;
        rgba[p * 4 + 2] = b;
        rgba[p * 4 + 3] = a;
    }
    return { width, height, rgba };
}
