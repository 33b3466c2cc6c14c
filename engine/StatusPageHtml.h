#pragma once

// The status page itself: one HTML document with its style and script, which draws the project from
// /status.json and fetches it again every few seconds. Nothing is loaded from elsewhere.
const char* StatusPageHtml();
