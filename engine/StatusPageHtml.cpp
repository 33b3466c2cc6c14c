#include "engine/StatusPageHtml.h"

// Its links and requests are relative, so that the page also works behind a proxy under a path.
// Texts of the project reach the page only through textContent and SVG attributes, never as
// markup: a note holding "<script>" stays a note.
const char* StatusPageHtml()
{
    return R"PAGE(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Quorvel status</title>
<style>
:root { --ok: #1b7f3b; --bad: #b3261e; --muted: #5f6368; --line: #d0d4d9; }
* { box-sizing: border-box; }
body { font: 15px/1.4 system-ui, sans-serif; margin: 0; padding: 1rem; color: #202124; background: #f6f7f9; }
header { display: flex; flex-wrap: wrap; align-items: baseline; gap: .5rem 1.5rem; margin-bottom: 1rem; }
h1 { font-size: 1.4rem; margin: 0; }
header .meta { color: var(--muted); font-size: .9rem; }
header a { color: inherit; }
#events { display: grid; grid-template-columns: repeat(auto-fill, minmax(22rem, 1fr)); gap: 1rem; }
.event { background: #fff; border: 1px solid var(--line); border-left: 6px solid var(--muted); border-radius: 6px;
         padding: .75rem 1rem; break-inside: avoid; }
.event.ok { border-left-color: var(--ok); }
.event.failed { border-left-color: var(--bad); }
.event h2 { font-size: 1.05rem; margin: 0 0 .2rem; overflow-wrap: anywhere; }
.event .description { color: var(--muted); font-size: .85rem; margin-bottom: .5rem; overflow-wrap: anywhere; }
dl { display: grid; grid-template-columns: max-content 1fr; gap: .15rem .75rem; margin: 0 0 .5rem; }
dt { color: var(--muted); }
dd { margin: 0; overflow-wrap: anywhere; }
.status-OK { color: var(--ok); font-weight: 600; }
.status-FAILED { color: var(--bad); font-weight: 600; }
.failure { color: var(--bad); }
svg.chart { width: 100%; height: 70px; display: block; border-top: 1px solid var(--line); padding-top: 4px; }
svg.chart .time { fill: none; stroke: #1a73e8; stroke-width: 1.5; }
svg.chart .value { fill: none; stroke: #e37400; stroke-width: 1.5; stroke-dasharray: 4 2; }
svg.chart .miss { fill: var(--bad); }
.legend { font-size: .75rem; color: var(--muted); }
.legend .t { color: #1a73e8; } .legend .v { color: #e37400; } .legend .f { color: var(--bad); }
#error { color: var(--bad); }
@media (max-width: 30rem) {
  body { padding: .5rem; font-size: 14px; }
  #events { grid-template-columns: 1fr; }
}
@media print {
  body { background: #fff; padding: 0; font-size: 11pt; }
  .event { border: 1px solid #999; border-left-width: 4px; }
  header a, #error { display: none; }
  #events { grid-template-columns: 1fr 1fr; }
}
</style>
</head>
<body>
<header>
  <h1 id="project">Quorvel status</h1>
  <span class="meta" id="updated"></span>
  <span class="meta"><a href="summary">Summary</a> · <a href="metrics">Metrics</a> · <a href="status.json">JSON</a></span>
  <span id="error"></span>
</header>
<main id="events"></main>
<script>
"use strict";
const refreshMs = 5000;
function el(tag, cls, text) {
  const e = document.createElement(tag);
  if (cls) e.className = cls;
  if (text !== undefined && text !== null) e.textContent = String(text);
  return e;
}
function row(dl, name, value, cls) {
  dl.append(el("dt", "", name));
  const dd = el("dd", cls || "", value === null || value === undefined || value === "" ? "–" : value);
  dl.append(dd);
  return dd;
}
function when(iso) { return iso ? new Date(iso).toLocaleString() : "–"; }
const SVG = "http://www.w3.org/2000/svg";
function line(points, cls) {
  const p = document.createElementNS(SVG, "polyline");
  p.setAttribute("class", cls);
  p.setAttribute("points", points.join(" "));
  return p;
}
function chart(recent) {
  const w = 300, h = 60, svg = document.createElementNS(SVG, "svg");
  svg.setAttribute("class", "chart");
  svg.setAttribute("viewBox", "0 0 " + w + " " + h);
  svg.setAttribute("preserveAspectRatio", "none");
  svg.setAttribute("role", "img");
  svg.setAttribute("aria-label", "recent check times and values");
  if (!recent || recent.length === 0) return svg;
  const step = recent.length > 1 ? w / (recent.length - 1) : 0;
  const y = (v, max) => (h - 2 - (max > 0 ? v / max : 0) * (h - 4)).toFixed(1);
  const maxMs = Math.max(1, ...recent.map(r => r.ms || 0));
  svg.append(line(recent.map((r, i) => (i * step).toFixed(1) + "," + y(r.ms || 0, maxMs)), "time"));
  const nums = recent.map(r => parseFloat(r.value)).filter(v => isFinite(v));
  if (nums.length > 0) {
    // Between its own extremes; a steady value runs through the middle.
    const lo = Math.min(...nums), span = Math.max(...nums) - lo;
    const pts = [];
    recent.forEach((r, i) => {
      const v = parseFloat(r.value);
      if (isFinite(v)) pts.push((i * step).toFixed(1) + "," + (span > 0 ? y(v - lo, span) : (h / 2).toFixed(1)));
    });
    svg.append(line(pts, "value"));
  }
  recent.forEach((r, i) => {
    if (r.ok) return;
    const c = document.createElementNS(SVG, "circle");
    c.setAttribute("class", "miss"); c.setAttribute("cx", (i * step).toFixed(1)); c.setAttribute("cy", h - 3); c.setAttribute("r", 2.5);
    svg.append(c);
  });
  return svg;
}
function card(ev) {
  const c = el("section", "event" + (ev.status === "OK" ? " ok" : ev.status === "FAILED" ? " failed" : ""));
  c.dataset.number = ev.number;
  c.append(el("h2", "note", ev.note || ("Event " + ev.number)));
  c.append(el("div", "description", ev.description));
  const dl = el("dl");
  let state = ev.state;
  if (ev.state === "waiting" && ev.until) state += " until " + when(ev.until);
  if (ev.state === "executing" && ev.executingSeconds !== null) state += " for " + ev.executingSeconds + " s";
  row(dl, "State", state, "state");
  row(dl, "Latest", ev.status, "status status-" + ev.status);
  row(dl, "Value", ev.value, "value");
  row(dl, "Check time", ev.checkMs === null ? null : ev.checkMs + " ms", "check-ms");
  row(dl, "Checked", when(ev.checked), "checked");
  const n = ev.counts || {};
  row(dl, "Counts", (n.executions || 0) + " executions, " + (n.failed || 0) + " failed, " + (n.actions || 0) + " actions"
      + (n.heldBack ? ", " + n.heldBack + " held back" : ""), "counts");
  if (ev.failure) {
    const f = ev.failure;
    row(dl, "Failure", f.what + " failed: " + f.reason + (f.count > 1 ? " (" + f.count + " times)" : "")
        + (f.open ? ", since " + when(f.since) : ", last " + when(f.latest)), "failure");
  }
  c.append(dl);
  c.append(chart(ev.recent));
  const legend = el("div", "legend");
  const times = (ev.recent || []).map(r => r.ms || 0);
  legend.append(el("span", "t", "— check time (up to " + Math.max(0, ...times) + " ms)"), " ",
                el("span", "v", "- - value"), " ", el("span", "f", "● failed"));
  c.append(legend);
  return c;
}
function show(s) {
  document.title = (s.project || "Quorvel") + " – status";
  document.getElementById("project").textContent = s.project || "Quorvel status";
  document.getElementById("updated").textContent = (s.running ? "running, " : "ended, ") + "updated " + when(s.updated);
  const list = document.getElementById("events");
  list.replaceChildren(...(s.events || []).map(card));
  document.getElementById("error").textContent = "";
}
async function refresh() {
  try {
    const r = await fetch("status.json", { cache: "no-store" });
    if (!r.ok) throw new Error("HTTP " + r.status);
    show(await r.json());
  } catch (e) {
    document.getElementById("error").textContent = "not updated: " + e.message;
  }
  setTimeout(refresh, refreshMs);
}
refresh();
</script>
</body>
</html>
)PAGE";
}
