// SPDX-License-Identifier: GPL-3.0-or-later
import assert from "node:assert/strict";
import { test } from "node:test";
import { deflateSync } from "node:zlib";

import { readSwfHeader } from "../swf-header.mjs";

function movie(signature, rect, rate256, frames) {
    const body = Buffer.concat([Buffer.from(rect), Buffer.from([rate256 & 0xff, rate256 >> 8, frames & 0xff, frames >> 8]), Buffer.from([0, 0])]);
    const head = Buffer.from([...Buffer.from(signature, "latin1"), 6, 0, 0, 0, 0]);
    head.writeUInt32LE(8 + body.length, 4);
    return Buffer.concat([head, signature === "CWS" ? deflateSync(body) : body]);
}

const RECT_640_480 = [0x78, 0x00, 0x06, 0x40, 0x00, 0x00, 0x12, 0xc0, 0x00];
const RECT_1_1 = [0x30, 0x0a, 0x00, 0xa0];

test("stage size, rate and frames come from plain and compressed headers", () => {
    const table = [
        { signature: "FWS", rect: RECT_640_480, rate256: 12 * 256, frames: 3, want: { width: 640, height: 480, rate: 12, frames: 3 } },
        { signature: "CWS", rect: RECT_640_480, rate256: 0, frames: 200, want: { width: 640, height: 480, rate: 0, frames: 200 } },
        { signature: "FWS", rect: RECT_1_1, rate256: 0x0080, frames: 1, want: { width: 1, height: 1, rate: 0.5, frames: 1 } },
    ];
    for (const { signature, rect, rate256, frames, want } of table) {
        const header = readSwfHeader(movie(signature, rect, rate256, frames));
        assert.deepEqual(header, { signature, version: 6, ...want });
    }
});

test("anything that is not a readable header gives null", () => {
    assert.equal(readSwfHeader(Buffer.from("hello, world")), null);
    assert.equal(readSwfHeader(Buffer.from("FWS")), null);
    // Signature and length, then a RECT cut short.
    assert.equal(readSwfHeader(Buffer.from([0x46, 0x57, 0x53, 6, 0xff, 0xff, 0, 0, 0xf8, 0x00])), null);
    // A compressed header whose stream is not zlib.
    assert.equal(readSwfHeader(Buffer.from([0x43, 0x57, 0x53, 6, 20, 0, 0, 0, 1, 2, 3, 4, 5, 6])), null);
    // An empty stage.
    assert.equal(readSwfHeader(movie("FWS", [0x08, 0x00], 0, 1)), null);
});
