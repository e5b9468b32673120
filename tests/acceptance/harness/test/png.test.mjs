// SPDX-License-Identifier: GPL-3.0-or-later
import assert from "node:assert/strict";
import { test } from "node:test";
import { crc32, deflateSync } from "node:zlib";

import { decodePng } from "../png.mjs";

function chunk(type, body) {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(body.length, 0);
    head.write(type, 4, "latin1");
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(Buffer.concat([Buffer.from(type, "latin1"), body])), 0);
    return Buffer.concat([head, body, crc]);
}

function paeth(a, b, c) {
    const p = a + b - c;
    const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Encodes `samples` (width * height * channels bytes) with the given filter on every line.
function encodePng({ width, height, colourType, channels, samples, filter, palette, transparency }) {
    const stride = width * channels;
    const lines = [];
    for (let y = 0; y < height; y++) {
        const line = Buffer.alloc(stride + 1);
        line[0] = filter;
        for (let i = 0; i < stride; i++) {
            const x = samples[y * stride + i];
            const left = i >= channels ? samples[y * stride + i - channels] : 0;
            const up = y > 0 ? samples[(y - 1) * stride + i] : 0;
            const upLeft = y > 0 && i >= channels ? samples[(y - 1) * stride + i - channels] : 0;
            const predictor = [0, left, up, (left + up) >> 1, paeth(left, up, upLeft)][filter];
            line[i + 1] = (x - predictor) & 0xff;
        }
        lines.push(line);
    }
    const header = Buffer.alloc(13);
    header.writeUInt32BE(width, 0);
    header.writeUInt32BE(height, 4);
    header[8] = 8;
    header[9] = colourType;
    const parts = [Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk("IHDR", header)];
    if (palette) parts.push(chunk("PLTE", palette));
    if (transparency) parts.push(chunk("tRNS", transparency));
    const data = deflateSync(Buffer.concat(lines));
    // Split the data over two IDAT chunks, as encoders may.
    const half = data.length >> 1;
    parts.push(chunk("IDAT", data.subarray(0, half)), chunk("IDAT", data.subarray(half)), chunk("IEND", Buffer.alloc(0)));
    return Buffer.concat(parts);
}

const WIDTH = 5;
const HEIGHT = 4;
// Samples with steps in every direction, so that each filter's predictor matters.
function samplesFor(channels) {
    const out = Buffer.alloc(WIDTH * HEIGHT * channels);
    for (let i = 0; i < out.length; i++) out[i] = (i * 37 + (i % 7) * 91) & 0xff;
    return out;
}

function expectedRgba(colourType, samples, palette, transparency) {
    const out = [];
    const channels = { 0: 1, 2: 3, 3: 1, 4: 2, 6: 4 }[colourType];
    for (let p = 0; p < WIDTH * HEIGHT; p++) {
        const s = samples.subarray(p * channels, (p + 1) * channels);
        if (colourType === 0) out.push(s[0], s[0], s[0], 255);
        if (colourType === 4) out.push(s[0], s[0], s[0], s[1]);
        if (colourType === 2) out.push(s[0], s[1], s[2], 255);
        if (colourType === 6) out.push(s[0], s[1], s[2], s[3]);
        if (colourType === 3) {
            const i = s[0];
            out.push(palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2], i < transparency.length ? transparency[i] : 255);
        }
    }
    return Buffer.from(out);
}

test("every colour type and filter decodes to the pixels encoded", () => {
    const table = [
        { colourType: 0, channels: 1 },
        { colourType: 2, channels: 3 },
        { colourType: 4, channels: 2 },
        { colourType: 6, channels: 4 },
        { colourType: 3, channels: 1 },
    ];
    const palette = Buffer.alloc(256 * 3);
    for (let i = 0; i < palette.length; i++) palette[i] = (i * 13) & 0xff;
    const transparency = Buffer.from([0, 128, 255]);
    for (const { colourType, channels } of table) {
        for (let filter = 0; filter <= 4; filter++) {
            const samples = samplesFor(channels);
            const extra = colourType === 3 ? { palette, transparency } : {};
            const png = encodePng({ width: WIDTH, height: HEIGHT, colourType, channels, samples, filter, ...extra });
            const image = decodePng(png);
            assert.equal(image.width, WIDTH);
            assert.equal(image.height, HEIGHT);
            assert.deepEqual(image.rgba, expectedRgba(colourType, samples, palette, transparency),
                `colour type ${colourType}, filter ${filter}`);
        }
    }
});

test("damaged or unsupported images are refused with a reason", () => {
    const good = encodePng({ width: 2, height: 2, colourType: 2, channels: 3, samples: Buffer.alloc(12), filter: 0 });
    assert.throws(() => decodePng(Buffer.from("not a png")), /not a PNG/);
    assert.throws(() => decodePng(good.subarray(0, 30)), /runs past the end|without a header/);
    const badFilter = encodePng({ width: 2, height: 2, colourType: 2, channels: 3, samples: Buffer.alloc(12), filter: 0 });
    // A 16-bit image: change the depth byte of IHDR (offset 8 + 8 + 8).
    const deep = Buffer.from(badFilter);
    deep[24] = 16;
    assert.throws(() => decodePng(deep), /unsupported PNG form/);
    const interlaced = Buffer.from(good);
    interlaced[28] = 1;
    assert.throws(() => decodePng(interlaced), /unsupported PNG form/);
});
