#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
// Plays one scenario file in Ruffle and exits 0 when every step passed, 1 when a step failed (the
// message names it), 2 when the scenario or the command line is wrong.
//
//   node run.mjs scenario.json [NAME=VALUE ...]
//
// NAME=VALUE pairs (and the environment) give the values of ${NAME} placeholders in the scenario.
// MARROWLARK_ARTIFACT_DIR (default: the current folder) receives screenshots, and on failure a
// screenshot of the stage named after the scenario.
import { mkdir, mkdtemp, rm } from "node:fs/promises";
import { tmpdir } from "node:os";
import path from "node:path";

import { RuffleHarness } from "./ruffle-harness.mjs";
import { loadScenario, runScenario } from "./scenario.mjs";

function usage(message) {
    console.error(`run.mjs: ${message}\nusage: node run.mjs scenario.json [NAME=VALUE ...]`);
    process.exit(2);
}

const args = process.argv.slice(2);
if (args.length < 1) usage("no scenario given");
const file = args[0];
const defines = { ...process.env };
for (const arg of args.slice(1)) {
    const m = /^([A-Za-z_][A-Za-z0-9_]*)=(.*)$/s.exec(arg);
    if (!m) usage(`"${arg}" is not NAME=VALUE`);
    defines[m[1]] = m[2];
}
const name = path.basename(file, ".json");
// A fresh folder for what the scenario's "prepare" commands make, removed at the end.
const workDir = await mkdtemp(path.join(tmpdir(), "marrowlark-scenario-"));
defines.WORK_DIR = workDir;
const removeWorkDir = () => rm(workDir, { recursive: true, force: true }).catch(() => {});

let scenario;
try {
    scenario = await loadScenario(file, defines);
} catch (e) {
    console.error(`${name}: bad scenario: ${e.message}`);
    await removeWorkDir();
    process.exit(2);
}

const artifactDir = path.resolve(process.env.MARROWLARK_ARTIFACT_DIR || ".");
await mkdir(artifactDir, { recursive: true });
const log = (line) => console.log(`${name}: ${line}`);

// A whole run ends well before CTest's own limit, so that a hang is reported with its step
// (and the browser is closed) instead of the runner being killed.
const deadline = Number(process.env.MARROWLARK_RUFFLE_DEADLINE) || 240000;
let current = "starting the browser";
let harness;
let timedOut = false;
const watchdog = setTimeout(async () => {
    timedOut = true;
    console.error(`${name}: FAILED: ${current} did not finish: the scenario ran out of its ${deadline} ms`);
    await Promise.race([harness?.close(), new Promise((resolve) => setTimeout(resolve, 10000))]);
    await removeWorkDir();
    process.exit(1);
}, deadline);

let failure = null;
try {
    harness = new RuffleHarness();
    await harness.open();
    await runScenario(scenario, harness, { artifactDir, workDir, log, onStep: (what) => (current = what) });
} catch (e) {
    failure = e;
}

if (failure && !timedOut) {
    console.error(`${name}: FAILED: ${failure.message}`);
    if (harness) {
        const shot = path.join(artifactDir, `${name}.failure.png`);
        try {
            await harness.screenshot(shot);
            console.error(`${name}: stage at the failure: ${shot}`);
        } catch {
            // No page to take a picture of.
        }
        const shown = await harness.playerMessage().catch(() => "");
        if (shown) console.error(`${name}: the player shows: ${shown}`);
        const lines = harness.console.filter((l) => !l.includes("GL Driver Message")).slice(-15);
        if (lines.length) console.error(`${name}: last page console lines:\n  ${lines.join("\n  ")}`);
    }
}
await harness?.close();
await removeWorkDir();
clearTimeout(watchdog);
if (failure) {
    process.exit(1);
}
log("passed");
