// SPDX-License-Identifier: GPL-3.0-or-later
// Plays movies in Ruffle inside a headless Chromium driven by playwright-core, and observes them:
// trace output, pixels of the stage, clicks, windows the movie opens and navigations of its own page.
// Everything is served from a loopback HTTP server of our own; requests that leave it are recorded
// and refused, so a test never touches the network.
import { createServer } from "node:http";
import { mkdtemp, readFile, rm } from "node:fs/promises";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import path from "node:path";

import { decodePng } from "./png.mjs";
import { readSwfHeader } from "./swf-header.mjs";

const require = createRequire(import.meta.url);
const { chromium } = require("playwright-core");

export const CHROMIUM_PATH = process.env.MARROWLARK_CHROMIUM || "/usr/bin/chromium";
// Without the background-networking switches Chromium keeps trying to reach its services, which
// this machine's closed network refuses.
export const CHROMIUM_ARGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
];
// Stage used when a movie's header cannot be read (the player then reports the file).
const FALLBACK_STAGE = { width: 550, height: 400 };
// Ruffle compiles 14 MB of WebAssembly first; on a loaded 2-core machine that can take long.
export const DEFAULT_LOAD_TIMEOUT = 90000;
export const DEFAULT_WAIT_TIMEOUT = 20000;
const POLL_INTERVAL = 100;

const MIME = {
    ".js": "text/javascript",
    ".wasm": "application/wasm",
    ".swf": "application/x-shockwave-flash",
    ".html": "text/html; charset=utf-8",
};

const PLAYER_CONFIG = {
    autoplay: "on",
    splashScreen: false,
    unmuteOverlay: "hidden",
    contextMenu: "off",
    letterbox: "off",
    scale: "exactFit",
    warnOnUnsupportedContent: false,
    openUrlMode: "allow",
    // Lets a movie navigate its own page (getURL to "_self"), so that the harness can see it.
    allowScriptAccess: true,
    logLevel: "warn",
    publicPath: "/ruffle/",
};

const PAGE = `<!doctype html>
<html><head><meta charset="utf-8"><title>movie</title>
<style>html,body{margin:0;padding:0;overflow:hidden;background:#000}#stage{position:absolute;left:0;top:0}</style>
<script>window.RufflePlayer = { config: ${JSON.stringify(PLAYER_CONFIG)} };</script>
<script src="/ruffle/ruffle.js"></script>
</head><body><div id="stage"></div></body></html>`;

// Runs in the page: creates the player at the stage size, loads the movie and hooks the trace.
async function loadInPage({ url, width, height }) {
    const state = (window.__harness = { traces: [], errors: [], loaded: false });
    const host = document.getElementById("stage");
    host.replaceChildren();
    const player = window.RufflePlayer.newest().createPlayer();
    player.id = "player";
    player.style.width = `${width}px`;
    player.style.height = `${height}px`;
    player.style.display = "block";
    host.appendChild(player);
    player.addEventListener("loadedmetadata", () => {
        state.loaded = true;
    });
    // A software renderer makes Ruffle offer hardware acceleration in a box that catches clicks.
    const style = document.createElement("style");
    style.textContent = "#hardware-acceleration-modal{display:none !important}";
    player.shadowRoot?.appendChild(style);
    try {
        await player.ruffle().load({ url });
    } catch (e) {
        state.errors.push(String(e?.message ?? e));
    }
    player.ruffle().traceObserver = (message) => state.traces.push(String(message));
}

// Runs in the page: what the player shows besides the movie (an error or panic screen).
function playerStateInPage() {
    const state = window.__harness;
    const player = document.getElementById("player");
    const root = player?.shadowRoot;
    let message = "";
    if (root) {
        for (const el of root.querySelectorAll("#message-overlay, .message, #panic, .panic")) {
            const visible = !el.classList.contains("hidden") && el.getClientRects().length > 0;
            // The first lines say what went wrong; the error details below them are long.
            const text = (el.innerText || el.textContent).split("View Error Details")[0];
            if (visible && text.trim()) message += text.replace(/\s+/g, " ").trim() + " ";
        }
    }
    return {
        loaded: state?.loaded ?? false,
        traces: state?.traces ?? [],
        errors: state?.errors ?? [],
        message: message.trim(),
    };
}

// The page a request belongs to; null for the first navigation of a new window, whose frame does
// not exist yet.
function pageOf(request) {
    try {
        return request.frame().page();
    } catch {
        return null;
    }
}

// Answers "204 No Content": a browser stays on its page when a navigation gets no content, so the
// movie keeps playing; any other request simply gets nothing.
function refuse(route) {
    route.fulfill({ status: 204, body: "" }).catch(() => {});
}

function delay(ms) {
    return new Promise((resolve) => setTimeout(resolve, ms));
}

export function parseColour(text) {
    const m = /^#?([0-9a-fA-F]{6})$/.exec(String(text));
    if (!m) throw new Error(`"${text}" is not a colour (#RRGGBB)`);
    const v = parseInt(m[1], 16);
    return { r: (v >> 16) & 0xff, g: (v >> 8) & 0xff, b: v & 0xff };
}

export function formatColour({ r, g, b }) {
    return "#" + [r, g, b].map((c) => c.toString(16).padStart(2, "0").toUpperCase()).join("");
}

// Largest difference of one channel.
export function colourDistance(a, b) {
    return Math.max(Math.abs(a.r - b.r), Math.abs(a.g - b.g), Math.abs(a.b - b.b));
}

export class RuffleHarness {
    #server;
    #origin;
    #profile;
    #context;
    #page;
    #movie = null;
    #requests = [];
    #console = [];
    #consoleAtLoad = 0;
    #stage = FALLBACK_STAGE;
    #ruffleDir;

    // Starts the loopback server and Chromium (one browser per harness; close() ends both).
    static async start(options = {}) {
        const harness = new RuffleHarness();
        await harness.open(options);
        return harness;
    }

    // As start(), on a harness made with `new`: close() may then be called while it is still
    // starting, and removes whatever was made so far.
    async open({ chromiumPath = CHROMIUM_PATH } = {}) {
        this.#ruffleDir = path.dirname(require.resolve("@ruffle-rs/ruffle/package.json"));
        this.#server = createServer((req, res) => {
            this.#serve(req, res).catch((e) => {
                res.writeHead(500);
                res.end(String(e));
            });
        });
        await new Promise((resolve, reject) => {
            this.#server.once("error", reject);
            this.#server.listen(0, "127.0.0.1", resolve);
        });
        this.#origin = `http://127.0.0.1:${this.#server.address().port}`;
        this.#profile = await mkdtemp(path.join(tmpdir(), "marrowlark-chromium-"));
        this.#context = await chromium.launchPersistentContext(this.#profile, {
            executablePath: chromiumPath,
            headless: true,
            args: CHROMIUM_ARGS,
            viewport: FALLBACK_STAGE,
            deviceScaleFactor: 1,
            timeout: DEFAULT_LOAD_TIMEOUT,
        });
        // Every request that leaves our server is recorded and refused: the movie's getURL calls
        // show up here without the page going anywhere.
        await this.#context.route(
            (url) => !url.href.startsWith(this.#origin + "/"),
            (route) => {
                const request = route.request();
                const page = pageOf(request);
                this.#requests.push({
                    url: request.url(),
                    navigation: request.isNavigationRequest(),
                    popup: page !== this.#page,
                });
                refuse(route);
            }
        );
        // Navigations of the player's own page to other pages of our server are refused the same way.
        await this.#context.route(
            (url) => url.href.startsWith(this.#origin + "/") && !this.#isOwnResource(url),
            (route) => {
                const request = route.request();
                const page = pageOf(request);
                this.#requests.push({
                    url: request.url(),
                    navigation: request.isNavigationRequest(),
                    popup: page !== this.#page,
                });
                if (request.isNavigationRequest()) {
                    refuse(route);
                } else {
                    route.fallback().catch(() => {});
                }
            }
        );
        this.#page = this.#context.pages()[0] ?? (await this.#context.newPage());
        // A window opened by the movie is recorded by its request; the window itself is not needed.
        this.#context.on("page", (page) => {
            if (page !== this.#page) setTimeout(() => page.close().catch(() => {}), 1000);
        });
        this.#page.on("console", (m) => this.#console.push(`${m.type()}: ${m.text()}`));
        this.#page.on("pageerror", (e) => this.#console.push(`pageerror: ${e.message}`));
        await this.#page.goto(`${this.#origin}/`, { timeout: DEFAULT_LOAD_TIMEOUT });
    }

    #isOwnResource(url) {
        return url.pathname === "/" || url.pathname.startsWith("/ruffle/") || url.pathname.startsWith("/movie/");
    }

    async #serve(req, res) {
        const url = new URL(req.url, this.#origin);
        let body;
        let type;
        if (url.pathname === "/") {
            body = Buffer.from(PAGE);
            type = MIME[".html"];
        } else if (url.pathname.startsWith("/ruffle/")) {
            const name = path.basename(url.pathname);
            if (name.endsWith(".map")) {
                res.writeHead(404);
                res.end();
                return;
            }
            body = await readFile(path.join(this.#ruffleDir, name)).catch(() => null);
            type = MIME[path.extname(name)] ?? "application/octet-stream";
        } else if (url.pathname.startsWith("/movie/") && this.#movie) {
            body = this.#movie.bytes;
            type = MIME[".swf"];
        }
        if (!body) {
            res.writeHead(404, { "Content-Type": "text/plain" });
            res.end("not found");
            return;
        }
        res.writeHead(200, { "Content-Type": type, "Content-Length": body.length, "Cache-Control": "no-store" });
        res.end(body);
    }

    // The stage size in pixels (from the movie's header, else the fallback).
    get stage() {
        return { ...this.#stage };
    }

    // Loads a movie file; resolves once the player has read the movie, throws when it refuses it.
    async load(file, { timeout = DEFAULT_LOAD_TIMEOUT, stage } = {}) {
        const bytes = await readFile(file);
        const header = readSwfHeader(bytes);
        this.#stage = stage ?? (header ? { width: header.width, height: header.height } : FALLBACK_STAGE);
        this.#movie = { bytes, name: path.basename(file), header };
        this.#requests = [];
        this.#consoleAtLoad = this.#console.length;
        await this.#page.setViewportSize(this.#stage);
        await this.#page.evaluate(loadInPage, {
            url: `${this.#origin}/movie/${encodeURIComponent(this.#movie.name)}`,
            width: this.#stage.width,
            height: this.#stage.height,
        });
        const error = await this.#waitFor(
            async () => {
                const s = await this.#state();
                if (s.errors.length) return { failed: s.errors.join("; ") };
                if (s.message) return { failed: s.message };
                return s.loaded ? { ok: true } : null;
            },
            timeout
        ).catch(() => ({ failed: `the player did not load the movie within ${timeout} ms` }));
        if (error.failed) {
            throw new Error(`${this.#movie.name}: the player refused the movie: ${error.failed}`);
        }
    }

    async #state() {
        return this.#page.evaluate(playerStateInPage);
    }

    // Polls check() until it returns something other than null/undefined/false, or throws on timeout.
    async #waitFor(check, timeout) {
        const end = Date.now() + timeout;
        for (;;) {
            const result = await check();
            if (result) return result;
            if (Date.now() >= end) throw new Error("timeout");
            await delay(POLL_INTERVAL);
        }
    }

    // Polls check() (returning a result, or null to go on) until it yields one or the time is up;
    // on timeout returns null.
    async poll(check, timeout = DEFAULT_WAIT_TIMEOUT) {
        return this.#waitFor(check, timeout).catch((e) => {
            if (e.message === "timeout") return null;
            throw e;
        });
    }

    // What the player shows instead of the movie (an error or crash screen), else "".
    async playerMessage() {
        return (await this.#state()).message;
    }

    // Trace lines so far, in order.
    async traces() {
        return (await this.#state()).traces;
    }

    // Waits until `count` trace lines contain `text`; returns the trace lines.
    async waitForTrace(text, { timeout = DEFAULT_WAIT_TIMEOUT, count = 1 } = {}) {
        const found = await this.poll(async () => {
            const lines = await this.traces();
            return lines.filter((l) => l.includes(text)).length >= count ? lines : null;
        }, timeout);
        if (!found) {
            const lines = await this.traces();
            throw new Error(`no trace line containing "${text}" within ${timeout} ms; trace so far: ${JSON.stringify(lines)}`);
        }
        return found;
    }

    // Clicks at a stage point: moves there first (buttons see the pointer come over them), then
    // presses and releases.
    async click(x, y) {
        this.#checkPoint(x, y);
        const mouse = this.#page.mouse;
        await mouse.move(x + 0.5, y + 0.5, { steps: 2 });
        await delay(60);
        await mouse.down();
        await delay(60);
        await mouse.up();
    }

    // Moves the pointer to a stage point and leaves it there (a button shows its over state).
    async hover(x, y) {
        this.#checkPoint(x, y);
        await this.#page.mouse.move(x + 0.5, y + 0.5, { steps: 2 });
    }

    #checkPoint(x, y) {
        if (!(x >= 0 && y >= 0 && x < this.#stage.width && y < this.#stage.height)) {
            throw new Error(`point (${x}, ${y}) lies outside the ${this.#stage.width}x${this.#stage.height} stage`);
        }
    }

    // The stage as RGBA pixels, 1:1 with stage pixels.
    async capture() {
        const png = await this.#page.screenshot({
            clip: { x: 0, y: 0, width: this.#stage.width, height: this.#stage.height },
            type: "png",
            animations: "allow",
            caret: "initial",
            scale: "css",
        });
        return decodePng(png);
    }

    // RGB at a stage point.
    async pixel(x, y) {
        this.#checkPoint(x, y);
        const image = await this.capture();
        const i = (Math.floor(y) * image.width + Math.floor(x)) * 4;
        return { r: image.rgba[i], g: image.rgba[i + 1], b: image.rgba[i + 2] };
    }

    async screenshot(file) {
        await this.#page.screenshot({
            path: file,
            clip: { x: 0, y: 0, width: this.#stage.width, height: this.#stage.height },
            type: "png",
        });
    }

    // Windows the movie opened (getURL to "_blank" or another window name), as URLs in order.
    opened() {
        return this.#requests.filter((r) => r.popup && r.navigation).map((r) => r.url);
    }

    // Navigations of the movie's own page (getURL to "_self"), as URLs in order.
    navigations() {
        return this.#requests.filter((r) => r.navigation && !r.popup).map((r) => r.url);
    }

    // Everything that left the server (for diagnostics).
    get requests() {
        return [...this.#requests];
    }

    // Errors the player logged (and script errors of the page) since the movie was loaded, without
    // the console's styling.
    playerErrors() {
        return this.#console
            .slice(this.#consoleAtLoad)
            .filter((l) => l.startsWith("pageerror:") || /%cERROR%c/.test(l))
            .map((l) => l.replace(/%c/g, "").replace(/\s+color:.*$/s, "").replace(/^log:\s*/, "").trim());
    }

    // Console messages of the page (for diagnostics).
    get console() {
        return [...this.#console];
    }

    async close() {
        await this.#context?.close().catch(() => {});
        await new Promise((resolve) => (this.#server ? this.#server.close(resolve) : resolve()));
        if (this.#profile) await rm(this.#profile, { recursive: true, force: true }).catch(() => {});
    }
}
