// a mix of the language's constructs
var total = 0, names = [];
function add(a, b) { return a + b; }
for (var i = 0; i < 10; i++) { if (i % 2 == 0) continue; total += add(i, 1); }
o = {x: 1, "y": 'two', f: function () { return this.x; }};
for (k in o) { names.push(k); if (k === "f") break; }
do { total -= 1 } while (total > 5)
s = typeof o.f == "function" ? "\u00e9\n\t" : o["y"];
a = [1, 2.5, -3, 0x1F, true, null, undefined];
o.x <<= 2; a[1] |= 4; n = ~total ^ 3 >>> 1;
r = !(a instanceof Array) || delete o.y && new Date(2024, 1);
trace(getTimer() + random(10) + int("3") + Number("4") + String(5));
gotoAndPlay("end"); gotoAndStop(n + 1); fscommand("quit"); loadMovieNum("m.swf", 1);
