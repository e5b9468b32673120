// SPDX-License-Identifier: GPL-3.0-or-later
// Scenario files: a movie and the steps to play it through (see tests/acceptance/README.md).
// Loading checks the whole file before a browser starts, so that a typing error fails at once
// with the step that holds it.
import { execFile } from "node:child_process";
import { readFile } from "node:fs/promises";
import path from "node:path";

import { colourDistance, DEFAULT_WAIT_TIMEOUT, formatColour, parseColour } from "./ruffle-harness.mjs";

export const DEFAULT_TOLERANCE = 24;

// Replaces ${NAME} in every string of a JSON value with defines[NAME]; an unknown name is an error.
export function resolvePlaceholders(value, defines, where = "scenario") {
    if (typeof value === "string") {
        return value.replace(/\$\{([A-Za-z_][A-Za-z0-9_]*)\}/g, (_, name) => {
            if (!(name in defines) || defines[name] === undefined) {
                throw new Error(`${where}: placeholder \${${name}} has no value (set it with ${name}=... or in the environment)`);
            }
            return defines[name];
        });
    }
    if (Array.isArray(value)) return value.map((v, i) => resolvePlaceholders(v, defines, `${where}[${i}]`));
    if (value && typeof value === "object") {
        const out = {};
        for (const [k, v] of Object.entries(value)) out[k] = resolvePlaceholders(v, defines, `${where}.${k}`);
        return out;
    }
    return value;
}

const isPoint = (v) => Array.isArray(v) && v.length === 2 && v.every((n) => Number.isFinite(n) && n >= 0);
const isBox = (v) => Array.isArray(v) && v.length === 4 && v.every((n) => Number.isFinite(n) && n >= 0);
const isStringList = (v) => Array.isArray(v) && v.every((s) => typeof s === "string");
const isTimeout = (v) => v === undefined || (Number.isFinite(v) && v > 0);
const isColour = (v) => {
    try {
        parseColour(v);
        return true;
    } catch {
        return false;
    }
};
const isRegex = (v) => {
    try {
        new RegExp(v);
        return typeof v === "string";
    } catch {
        return false;
    }
};

// Step kinds: the key that names the step, the other keys it takes, and a check of its values.
const STEPS = {
    wait: { keys: [], check: (s) => Number.isFinite(s.wait) && s.wait >= 0, form: '{"wait": ms}' },
    waitForTrace: {
        keys: ["timeout", "count"],
        check: (s) => typeof s.waitForTrace === "string" && isTimeout(s.timeout) &&
            (s.count === undefined || (Number.isInteger(s.count) && s.count > 0)),
        form: '{"waitForTrace": "text", "timeout": ms, "count": n}',
    },
    click: { keys: [], check: (s) => isPoint(s.click), form: '{"click": [x, y]}' },
    hover: { keys: [], check: (s) => isPoint(s.hover), form: '{"hover": [x, y]}' },
    expectTrace: {
        keys: ["timeout"],
        check: (s) => isStringList(s.expectTrace) && isTimeout(s.timeout),
        form: '{"expectTrace": ["line", ...]}',
    },
    expectTraceContains: {
        keys: ["timeout"],
        check: (s) => isStringList(s.expectTraceContains) && isTimeout(s.timeout),
        form: '{"expectTraceContains": ["text", ...]}',
    },
    expectPixel: {
        keys: ["rgb", "tolerance", "timeout"],
        check: (s) => isPoint(s.expectPixel) && isColour(s.rgb) && isTimeout(s.timeout) &&
            (s.tolerance === undefined || (Number.isFinite(s.tolerance) && s.tolerance >= 0)),
        form: '{"expectPixel": [x, y], "rgb": "#RRGGBB", "tolerance": 24}',
    },
    expectNotPixel: {
        keys: ["rgb", "tolerance", "timeout"],
        check: (s) => isPoint(s.expectNotPixel) && isColour(s.rgb) && isTimeout(s.timeout) &&
            (s.tolerance === undefined || (Number.isFinite(s.tolerance) && s.tolerance >= 0)),
        form: '{"expectNotPixel": [x, y], "rgb": "#RRGGBB", "tolerance": 24}',
    },
    expectDrawn: {
        keys: ["background", "tolerance", "minPixels", "maxPixels", "timeout"],
        check: (s) => isBox(s.expectDrawn) && s.expectDrawn[2] > 0 && s.expectDrawn[3] > 0 &&
            isColour(s.background) && isTimeout(s.timeout) &&
            (s.minPixels === undefined || (Number.isInteger(s.minPixels) && s.minPixels >= 0)) &&
            (s.maxPixels === undefined || (Number.isInteger(s.maxPixels) && s.maxPixels >= (s.minPixels ?? 0))) &&
            (s.tolerance === undefined || (Number.isFinite(s.tolerance) && s.tolerance >= 0)),
        form: '{"expectDrawn": [x, y, width, height], "background": "#RRGGBB", "minPixels": n, "maxPixels": n}',
    },
    expectOpened: {
        keys: ["timeout"],
        check: (s) => isRegex(s.expectOpened) && isTimeout(s.timeout),
        form: '{"expectOpened": "regex"}',
    },
    expectNavigated: {
        keys: ["timeout"],
        check: (s) => isRegex(s.expectNavigated) && isTimeout(s.timeout),
        form: '{"expectNavigated": "regex"}',
    },
    expectNothingOpened: {
        keys: [],
        check: (s) => s.expectNothingOpened === true,
        form: '{"expectNothingOpened": true}',
    },
    expectNoPlayerErrors: {
        keys: [],
        check: (s) => s.expectNoPlayerErrors === true,
        form: '{"expectNoPlayerErrors": true}',
    },
    screenshot: { keys: [], check: (s) => typeof s.screenshot === "string" && s.screenshot !== "", form: '{"screenshot": "file.png"}' },
};
// Keys any step may carry: a note for the reader, a name used in messages.
const COMMON_KEYS = ["note", "name"];
const SCENARIO_KEYS = ["description", "prepare", "movie", "stage", "timeout", "expectLoadError", "steps"];
// A command of "prepare" that takes longer than this is taken as hung.
const PREPARE_TIMEOUT = 120000;

export function stepKind(step) {
    return Object.keys(step).find((k) => k in STEPS);
}

export function describeStep(step, index) {
    const kind = stepKind(step);
    const label = step.name ? ` "${step.name}"` : "";
    return `step ${index + 1}${label} (${kind} ${JSON.stringify(step[kind])})`;
}

// Checks a parsed scenario; returns it with the movie path made absolute.
export function validateScenario(raw, { file = "scenario", baseDir = process.cwd() } = {}) {
    if (!raw || typeof raw !== "object" || Array.isArray(raw)) throw new Error(`${file}: a scenario is a JSON object`);
    for (const key of Object.keys(raw)) {
        if (!SCENARIO_KEYS.includes(key)) throw new Error(`${file}: unknown key "${key}" (known: ${SCENARIO_KEYS.join(", ")})`);
    }
    if (typeof raw.movie !== "string" || raw.movie === "") throw new Error(`${file}: "movie" must name the movie file`);
    if (raw.stage !== undefined && !(isPoint(raw.stage) && raw.stage[0] > 0 && raw.stage[1] > 0)) {
        throw new Error(`${file}: "stage" must be [width, height]`);
    }
    const prepare = raw.prepare ?? [];
    if (!Array.isArray(prepare) || !prepare.every((c) => Array.isArray(c) && c.length > 0 && isStringList(c) && c[0] !== "")) {
        throw new Error(`${file}: "prepare" must be a list of commands, each a list ["program", "argument", ...]`);
    }
    if (!isTimeout(raw.timeout)) throw new Error(`${file}: "timeout" must be a positive number of milliseconds`);
    if (raw.expectLoadError !== undefined && !isRegex(raw.expectLoadError)) {
        throw new Error(`${file}: "expectLoadError" must be a regular expression`);
    }
    const steps = raw.steps ?? [];
    if (!Array.isArray(steps)) throw new Error(`${file}: "steps" must be a list`);
    if (raw.expectLoadError !== undefined && steps.length > 0) {
        throw new Error(`${file}: a scenario that expects a load error has no steps`);
    }
    steps.forEach((step, i) => {
        if (!step || typeof step !== "object" || Array.isArray(step)) throw new Error(`${file}: step ${i + 1} is not an object`);
        const kinds = Object.keys(step).filter((k) => k in STEPS);
        if (kinds.length !== 1) {
            throw new Error(`${file}: step ${i + 1} ${JSON.stringify(step)} must have exactly one of: ${Object.keys(STEPS).join(", ")}`);
        }
        const rule = STEPS[kinds[0]];
        for (const key of Object.keys(step)) {
            if (key !== kinds[0] && !rule.keys.includes(key) && !COMMON_KEYS.includes(key)) {
                throw new Error(`${file}: ${describeStep(step, i)}: unknown key "${key}"; the form is ${rule.form}`);
            }
        }
        if (!rule.check(step)) throw new Error(`${file}: ${describeStep(step, i)}: bad values; the form is ${rule.form}`);
    });
    return { ...raw, prepare, steps, movie: path.resolve(baseDir, raw.movie) };
}

export async function loadScenario(file, defines = {}) {
    const text = await readFile(file, "utf8");
    let raw;
    try {
        raw = JSON.parse(text);
    } catch (e) {
        throw new Error(`${file}: not valid JSON: ${e.message}`);
    }
    const baseDir = path.dirname(path.resolve(file));
    const resolved = resolvePlaceholders(raw, { SCENARIO_DIR: baseDir, ...defines }, path.basename(file));
    return validateScenario(resolved, { file: path.basename(file), baseDir });
}

// Trace lines `lines` hold each of `wanted` as a substring, in order, on distinct lines.
export function containsInOrder(lines, wanted) {
    let at = 0;
    for (const w of wanted) {
        while (at < lines.length && !lines[at].includes(w)) at++;
        if (at === lines.length) return false;
        at++;
    }
    return true;
}

// Counts the pixels of a box that differ from the background by more than the tolerance.
export function countDrawn(image, [x, y, w, h], background, tolerance) {
    let count = 0;
    for (let j = y; j < Math.min(y + h, image.height); j++) {
        for (let i = x; i < Math.min(x + w, image.width); i++) {
            const k = (j * image.width + i) * 4;
            const c = { r: image.rgba[k], g: image.rgba[k + 1], b: image.rgba[k + 2] };
            if (colourDistance(c, background) > tolerance) count++;
        }
    }
    return count;
}

function runCommand([program, ...args], { cwd }) {
    return new Promise((resolve, reject) => {
        execFile(program, args, { cwd, timeout: PREPARE_TIMEOUT, maxBuffer: 16 * 1024 * 1024 }, (error, stdout, stderr) => {
            if (error) {
                const why = error.killed ? `no end within ${PREPARE_TIMEOUT} ms` : error.code !== undefined ? `exit status ${error.code}` : error.message;
                reject(new Error(`${why}${stderr.trim() ? `: ${stderr.trim()}` : ""}`));
            } else {
                resolve(stdout);
            }
        });
    });
}

function delay(ms) {
    return new Promise((resolve) => setTimeout(resolve, ms));
}

// Runs one step against a loaded harness; throws an Error saying what was seen instead.
async function runStep(step, harness, { timeout, artifactDir }) {
    const kind = stepKind(step);
    const wait = step.timeout ?? timeout;
    const tolerance = step.tolerance ?? DEFAULT_TOLERANCE;
    switch (kind) {
        case "wait":
            await delay(step.wait);
            return;
        case "waitForTrace":
            await harness.waitForTrace(step.waitForTrace, { timeout: wait, count: step.count ?? 1 });
            return;
        case "click":
            await harness.click(step.click[0], step.click[1]);
            return;
        case "hover":
            await harness.hover(step.hover[0], step.hover[1]);
            return;
        case "expectTrace":
        case "expectTraceContains": {
            const wanted = step[kind];
            const matches = (lines) =>
                kind === "expectTrace"
                    ? lines.length === wanted.length && lines.every((l, i) => l === wanted[i])
                    : containsInOrder(lines, wanted);
            const ok = await harness.poll(async () => matches(await harness.traces()), wait);
            if (!ok) throw new Error(`trace is ${JSON.stringify(await harness.traces())}`);
            return;
        }
        case "expectPixel":
        case "expectNotPixel": {
            const [x, y] = step[kind];
            const want = parseColour(step.rgb);
            let seen;
            const ok = await harness.poll(async () => {
                seen = await harness.pixel(x, y);
                const near = colourDistance(seen, want) <= tolerance;
                return kind === "expectPixel" ? near : !near;
            }, wait);
            if (!ok) {
                const relation = kind === "expectPixel" ? "expected" : "expected anything but";
                throw new Error(`pixel (${x}, ${y}) is ${formatColour(seen)}, ${relation} ${formatColour(want)} ± ${tolerance}`);
            }
            return;
        }
        case "expectDrawn": {
            const background = parseColour(step.background);
            // With only maxPixels given, the box is to be (nearly) empty.
            const min = step.minPixels ?? (step.maxPixels === undefined ? 1 : 0);
            const max = step.maxPixels ?? Infinity;
            let count = 0;
            const ok = await harness.poll(async () => {
                count = countDrawn(await harness.capture(), step.expectDrawn, background, tolerance);
                return count >= min && count <= max;
            }, wait);
            if (!ok) {
                const range = max === Infinity ? `at least ${min}` : `${min} to ${max}`;
                throw new Error(`${count} pixel(s) of the box differ from ${formatColour(background)} ± ${tolerance}; expected ${range}`);
            }
            return;
        }
        case "expectOpened":
        case "expectNavigated": {
            const pattern = new RegExp(step[kind]);
            const list = () => (kind === "expectOpened" ? harness.opened() : harness.navigations());
            const ok = await harness.poll(async () => list().some((u) => pattern.test(u)), wait);
            if (!ok) {
                const what = kind === "expectOpened" ? "windows opened" : "navigations of the page";
                throw new Error(`no URL matches /${step[kind]}/; ${what}: ${JSON.stringify(list())}; ` +
                    `other requests: ${JSON.stringify(harness.requests.map((r) => r.url))}`);
            }
            return;
        }
        case "expectNothingOpened": {
            const opened = harness.opened();
            const navigated = harness.navigations();
            if (opened.length || navigated.length) {
                throw new Error(`windows opened: ${JSON.stringify(opened)}; navigations: ${JSON.stringify(navigated)}`);
            }
            return;
        }
        case "expectNoPlayerErrors": {
            const errors = harness.playerErrors();
            if (errors.length) throw new Error(`the player logged: ${JSON.stringify(errors)}`);
            return;
        }
        case "screenshot":
            await harness.screenshot(path.resolve(artifactDir, step.screenshot));
            return;
    }
    throw new Error(`unknown step kind ${kind}`);
}

// Plays a scenario; resolves when every step passed, else throws an Error naming the failed step.
// onStep(description) is told which step (or the load) is running, for a watchdog's message.
// Commands of "prepare" run first, in workDir, and must exit 0.
export async function runScenario(
    scenario,
    harness,
    { artifactDir = process.cwd(), workDir = process.cwd(), log = () => {}, onStep = () => {} } = {}
) {
    for (const [i, command] of (scenario.prepare ?? []).entries()) {
        onStep(`prepare command ${i + 1}`);
        await runCommand(command, { cwd: workDir }).catch((e) => {
            throw new Error(`prepare command ${i + 1} (${command.join(" ")}) failed: ${e.message}`);
        });
        log(`prepared: ${command.join(" ")}`);
    }
    onStep("loading the movie");
    const timeout = scenario.timeout ?? DEFAULT_WAIT_TIMEOUT;
    const stage = scenario.stage ? { width: scenario.stage[0], height: scenario.stage[1] } : undefined;
    if (scenario.expectLoadError !== undefined) {
        const pattern = new RegExp(scenario.expectLoadError);
        try {
            await harness.load(scenario.movie, { stage });
        } catch (e) {
            if (!pattern.test(e.message)) throw new Error(`the load failed, but with "${e.message}", which does not match /${pattern.source}/`);
            log(`load refused as expected: ${e.message}`);
            return;
        }
        throw new Error(`the movie loaded, but a load error matching /${pattern.source}/ was expected`);
    }
    await harness.load(scenario.movie, { stage });
    log(`loaded ${scenario.movie} (${harness.stage.width}x${harness.stage.height})`);
    for (const [i, step] of scenario.steps.entries()) {
        onStep(describeStep(step, i));
        try {
            await runStep(step, harness, { timeout, artifactDir });
        } catch (e) {
            const error = new Error(`${describeStep(step, i)} failed: ${e.message}`);
            error.step = i;
            throw error;
        }
        log(`ok ${describeStep(step, i)}`);
    }
}
