// SPDX-License-Identifier: GPL-3.0-or-later
import assert from "node:assert/strict";
import { mkdtemp, rm, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";
import { test } from "node:test";

import { containsInOrder, countDrawn, loadScenario, resolvePlaceholders, validateScenario } from "../scenario.mjs";

test("placeholders are replaced everywhere, and an unknown one is named", () => {
    const resolved = resolvePlaceholders(
        { movie: "${DIR}/a.swf", steps: [{ waitForTrace: "${WORD} ${WORD}" }], n: 3 },
        { DIR: "/tmp/m", WORD: "hi" }
    );
    assert.deepEqual(resolved, { movie: "/tmp/m/a.swf", steps: [{ waitForTrace: "hi hi" }], n: 3 });
    assert.throws(() => resolvePlaceholders({ steps: [{ click: "${NOPE}" }] }, {}), /steps\[0\]\.click: placeholder \$\{NOPE\} has no value/);
});

test("scenario files: movie relative to the file, placeholders from defines", async () => {
    const dir = await mkdtemp(path.join(tmpdir(), "scenario-test-"));
    try {
        const file = path.join(dir, "s.json");
        await writeFile(file, JSON.stringify({ movie: "movies/${NAME}.swf", steps: [{ wait: 1 }] }));
        const scenario = await loadScenario(file, { NAME: "basic" });
        assert.equal(scenario.movie, path.join(dir, "movies", "basic.swf"));
        await writeFile(file, "{ not json");
        await assert.rejects(loadScenario(file), /not valid JSON/);
    } finally {
        await rm(dir, { recursive: true, force: true });
    }
});

test("mistakes in a scenario are reported with the step and the expected form", () => {
    const bad = [
        [{ steps: [] }, /"movie" must name the movie file/],
        [{ movie: "m.swf", colour: 1 }, /unknown key "colour"/],
        [{ movie: "m.swf", steps: [{ clik: [1, 2] }] }, /step 1 .* must have exactly one of/],
        [{ movie: "m.swf", steps: [{ wait: 1 }, { click: [1, 2], wait: 3 }] }, /step 2 .* must have exactly one of/],
        [{ movie: "m.swf", steps: [{ expectPixel: [1, 2], rgb: "red" }] }, /step 1 \(expectPixel \[1,2\]\): bad values; the form is/],
        [{ movie: "m.swf", steps: [{ expectPixel: [1, 2], rgb: "#FFFFFF", tolerence: 3 }] }, /unknown key "tolerence"/],
        [{ movie: "m.swf", steps: [{ click: [-1, 2] }] }, /bad values/],
        [{ movie: "m.swf", steps: [{ expectOpened: "(" }] }, /bad values/],
        [{ movie: "m.swf", steps: [{ expectDrawn: [0, 0, 10, 10], background: "#FFFFFF", minPixels: 5, maxPixels: 2 }] }, /bad values/],
        [{ movie: "m.swf", expectLoadError: "x", steps: [{ wait: 1 }] }, /expects a load error has no steps/],
        [{ movie: "m.swf", prepare: ["convert a b"] }, /"prepare" must be a list of commands/],
        [{ movie: "m.swf", prepare: [[]] }, /"prepare" must be a list of commands/],
        [{ movie: "m.swf", steps: [{ hover: [1] }] }, /bad values/],
    ];
    for (const [raw, message] of bad) {
        assert.throws(() => validateScenario(raw, { file: "t.json", baseDir: "/tmp" }), message, JSON.stringify(raw));
    }
    const good = validateScenario(
        { movie: "m.swf", steps: [{ waitForTrace: "a", count: 2, name: "two", note: "n" }, { expectDrawn: [0, 0, 1, 1], background: "#000000", maxPixels: 0 }] },
        { file: "t.json", baseDir: "/tmp" }
    );
    assert.equal(good.movie, "/tmp/m.swf");
});

test("trace lines contain the wanted texts in order, each on its own line", () => {
    const lines = ["Card 1:[-]Link 1[N]", "score 5", "Card 2:[-]Next[N]"];
    assert.ok(containsInOrder(lines, ["Card 1", "Card 2"]));
    assert.ok(containsInOrder(lines, []));
    assert.ok(!containsInOrder(lines, ["Card 2", "Card 1"]));
    assert.ok(!containsInOrder(lines, ["Card", "Card", "Card"]));
});

test("drawn pixels are counted inside the box only, beyond the tolerance", () => {
    const width = 4, height = 3;
    const rgba = Buffer.alloc(width * height * 4, 255);
    const set = (x, y, v) => rgba.fill(v, (y * width + x) * 4, (y * width + x) * 4 + 3);
    set(1, 1, 0); // clearly drawn
    set(2, 1, 240); // within a tolerance of 24 of white
    set(3, 2, 0); // outside the box below
    const image = { width, height, rgba };
    const white = { r: 255, g: 255, b: 255 };
    assert.equal(countDrawn(image, [0, 0, 3, 2], white, 24), 1);
    assert.equal(countDrawn(image, [0, 0, 3, 2], white, 10), 2);
    assert.equal(countDrawn(image, [0, 0, 10, 10], white, 24), 2, "a box past the stage is clipped");
});
