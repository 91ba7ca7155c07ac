"use strict";
// The reader of one hint file in a web page. The data block holds the tree:
// the titles of nodes outside every hint plain, every other text scrambled
// until it is revealed (the titles of nodes among hints too). Each
// node with a view of its own is reached as "#vN"; questions reveal their
// hints one at a time and the browser remembers how many.
(() => {
  // Code points of the bytes 0x80 to 0x9F of the Windows Western code page.
  const HIGH = [0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178];
  const SOUND = 14, GIFA = 2, LINK = 9, OVERLAY = 13, BLANK = 6;
  const VIEWS = new Set([4, 3, 10, 0, 1, 5, 8, 11, 12]);
  const NOTES = {
    [SOUND]: "Sounds are not played by this reader.",
    [GIFA]: "Pictures of this older kind are not shown by this reader.",
  };
  const PICTURE_NOT_SHOWN = "This picture could not be shown: its data in the hint file is damaged.";

  const data = JSON.parse(document.getElementById("zeb-data").textContent);
  const nodes = data.nodes;
  const $ = (id) => document.getElementById(id);

  // ---- texts -----------------------------------------------------------
  const fromCodes = (codes) => {
    let out = "";
    for (let i = 0; i < codes.length; i += 8192) out += String.fromCharCode.apply(null, codes.subarray(i, i + 8192));
    return out;
  };
  // A text of the file (one byte per character) as characters.
  const plain = (s) => {
    if (!/[\x80-\x9f]/.test(s)) return s;
    const codes = new Uint16Array(s.length);
    for (let i = 0; i < s.length; i++) {
      const c = s.charCodeAt(i);
      codes[i] = c >= 0x80 && c < 0xa0 ? HIGH[c - 0x80] : c;
    }
    return fromCodes(codes);
  };
  // A scrambled text from its character at start on (an item's first
  // character is its flags).
  const unscramble = (s, start) => {
    const codes = new Uint16Array(s.length - start);
    for (let i = start; i < s.length; i++) {
      const p = i - start;
      const shift = (p * 31 + 7) % 380;
      let c = s.charCodeAt(i);
      if (c >= 0x20 && c <= 0x7e) {
        c = 0x20 + (c - 0x20 + 95 - shift % 95) % 95;
      } else if (c >= 0x80 && c <= 0xff) {
        c = 0x80 + (c - 0x80 + 128 - shift % 128) % 128;
        if (c < 0xa0) c = HIGH[c - 0x80];
      }
      codes[p] = c;
    }
    return fromCodes(codes);
  };
  const title = (n) => {
    const node = nodes[n];
    if (node.k === BLANK) return "";
    return node.s ? unscramble(node.t, 0) : plain(node.t);
  };
  // A text as nodes to append, with a chance to break (<wbr>) after every
  // LONG_RUN characters of a run with no space in it: laying out a long
  // word then never searches more than LONG_RUN characters for a place to
  // break. run: the length of the run that the text continues. Returns the
  // parts and the length of the run at the text's end.
  const LONG_RUN = 100;
  const breakable = (text, run) => {
    const parts = [];
    let from = 0;
    for (let i = 0; i < text.length; i++) {
      if (text.charCodeAt(i) <= 0x20) {
        run = 0;
      } else if (++run > LONG_RUN) {
        parts.push(text.slice(from, i), document.createElement("wbr"));
        from = i;
        run = 1;
      }
    }
    parts.push(text.slice(from));
    return [parts, run];
  };
  const el = (tag, className, text) => {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  };

  // ---- memory of revealed hints -------------------------------------------
  // A record kept by a page written before, under the title and a CRC-32
  // of the file, moves once to the key of today's pages.
  const readMemory = () => {
    try {
      let text = localStorage.getItem(data.key);
      if (text === null && data.oldKey) {
        text = localStorage.getItem(data.oldKey);
        if (text !== null) {
          localStorage.setItem(data.key, text);
          localStorage.removeItem(data.oldKey);
        }
      }
      const record = JSON.parse(text);
      return record && typeof record === "object" ? record : {};
    } catch (e) {
      return {};
    }
  };
  let memory = readMemory();
  const remember = (n, count) => {
    memory[n] = count;
    try { localStorage.setItem(data.key, JSON.stringify(memory)); } catch (e) { /* private mode: forget */ }
  };
  // The old key goes too: a page of before, opened after this one, may
  // have written there, and reading it again would bring the hints back.
  const forget = () => {
    memory = {};
    try {
      localStorage.removeItem(data.key);
      if (data.oldKey) localStorage.removeItem(data.oldKey);
    } catch (e) { /* nothing kept */ }
  };

  // ---- what a node does when it is chosen ---------------------------------
  const hasView = (n) => n === 0 || VIEWS.has(nodes[n].k);
  // A link stands for the node at the end of its chain.
  const resolve = (n) => (nodes[n].k === LINK ? nodes[n].to : n);
  const note = (text) => { $("status").textContent = text; };

  let current = -1;
  let view = null;
  const pendingOverlays = [];

  const activate = (n) => {
    if (n < 0) return;
    const node = nodes[n];
    if (node.k === OVERLAY) {
      if (view && view.n === node.p) {
        drawOverlay(n);
      } else {
        pendingOverlays.push(n);
        location.hash = "#v" + node.p;
      }
    } else if (NOTES[node.k]) {
      note(NOTES[node.k]);
    }
  };

  // The element that leads to node n: a link to its view, a button for
  // what happens in place, or plain text for what does nothing.
  const leadTo = (n, className, label) => {
    const target = resolve(n);
    let e;
    if (target >= 0 && hasView(target)) {
      e = el("a", className);
      e.href = "#v" + target;
    } else if (target >= 0 && (nodes[target].k === OVERLAY || NOTES[nodes[target].k])) {
      e = el("button", className ? className + " act" : "act");
      e.type = "button";
      e.addEventListener("click", () => activate(target));
    } else {
      e = el("span", className);
    }
    if (label) e.setAttribute("aria-label", label);
    else e.textContent = title(n);
    return e;
  };

  // ---- laying items out ---------------------------------------------------
  // Lines that wrap go into "flow" blocks, lines that must not wrap into
  // "pre" blocks that scroll sideways on their own; a line takes the kind
  // of its first item. Runs of text of one font become one text node.
  class Flow {
    constructor(container) {
      this.container = container;
      this.block = null;
      this.noWrap = false;
      this.lineStart = true;
      this.buffer = "";
      this.bufferFixed = false;
      this.spoken = "";
      this.run = 0;  // characters since the last space in the block
    }
    flush() {
      if (!this.buffer) return;
      let parts;
      [parts, this.run] = breakable(this.buffer, this.run);
      if (this.bufferFixed) {
        const span = el("span", "fixed");
        span.append(...parts);
        this.block.append(span);
      } else {
        this.block.append(...parts);
      }
      this.spoken += this.buffer;
      this.buffer = "";
    }
    startLine(noWrap) {
      if (this.block && (!this.lineStart || this.noWrap === noWrap)) return;
      this.flush();
      this.block = el("div", noWrap ? "pre" : "flow");
      this.noWrap = noWrap;
      this.run = 0;
      this.container.append(this.block);
    }
    text(s, fixed) {
      if (fixed !== this.bufferFixed) {
        this.flush();
        this.bufferFixed = fixed;
      }
      this.buffer += s;
    }
    endItem(flags) {
      if (flags & 16) this.text(" ", this.bufferFixed);
      if (flags & 1) this.text("\n", this.bufferFixed);
      this.lineStart = (flags & 1) !== 0;
    }
    // Something that stands on its own between blocks.
    blockElement(e) {
      this.flush();
      this.container.append(e);
      this.block = null;
      this.lineStart = true;
    }
    add(item) {
      if (item === -1) {
        this.blockElement(el("hr", "separator"));
      } else if (typeof item === "string") {
        const flags = item.charCodeAt(0) - 64;
        if (flags & 2) {
          this.blockElement(el("hr"));
          return;
        }
        this.startLine((flags & 4) !== 0);
        this.text(unscramble(item, 1), (flags & 8) !== 0);
        this.endItem(flags);
      } else if (Array.isArray(item)) {
        const [n, flags] = item;
        this.startLine((flags & 4) !== 0);
        this.flush();
        const e = leadTo(n, "node");
        this.block.append(e);
        this.spoken += e.textContent;
        this.endItem(flags);
      } else if (item && typeof item === "object") {
        this.blockElement(picture(item));
      }
    }
  }

  // A picture scaled to the width of the page, its hot regions placed in
  // proportion so that they stay on what they mark.
  const percent = (part, whole) => (100 * part / whole) + "%";
  const picture = (item) => {
    const box = el("div", "pic");
    if (!item.d) {
      note(PICTURE_NOT_SHOWN);
      return box;
    }
    box.style.width = "min(100%, " + item.w + "px)";
    const img = el("img");
    img.alt = "";
    img.width = item.w;
    img.height = item.h;
    img.addEventListener("error", () => note(PICTURE_NOT_SHOWN));
    img.src = "data:image/png;base64," + item.d;
    box.append(img);
    item.r.forEach(([left, top, right, bottom, n], i) => {
      const region = leadTo(n, "region", title(n) || "Picture region");
      // Where regions overlap the first one holds the point, as in the
      // reader: earlier regions lie above later ones.
      region.style.zIndex = String(item.r.length - i);
      region.style.left = percent(left, item.w);
      region.style.top = percent(top, item.h);
      region.style.width = percent(Math.max(0, right - left), item.w);
      region.style.height = percent(Math.max(0, bottom - top), item.h);
      box.append(region);
    });
    if (view) view.pictures.set(item.g, { box, item });
    return box;
  };

  const drawOverlay = (n) => {
    const overlay = nodes[n];
    const target = view && view.pictures.get(overlay.g);
    if (!target || !overlay.d) {
      note(PICTURE_NOT_SHOWN);
      return;
    }
    if (view.overlays.has(n)) return;
    view.overlays.add(n);
    const img = el("img", "overlay");
    img.alt = title(n);
    img.style.left = percent(overlay.x, target.item.w);
    img.style.top = percent(overlay.y, target.item.h);
    img.style.width = percent(overlay.w, target.item.w);
    img.addEventListener("error", () => note(PICTURE_NOT_SHOWN));
    img.src = "data:image/png;base64," + overlay.d;
    // Under the hot regions, so that they can still be chosen.
    target.box.insertBefore(img, target.box.querySelector(".region"));
  };

  // ---- views ----------------------------------------------------------------
  const drawPath = (n) => {
    const chain = [];
    for (let at = n; at >= 0 && chain.length < 1000; at = nodes[at].p) chain.unshift(at);
    const list = el("ol");
    chain.forEach((at, i) => {
      const li = el("li");
      if (i === chain.length - 1) {
        li.textContent = title(at);
        li.setAttribute("aria-current", "page");
      } else {
        const a = el("a", "", title(at));
        a.href = "#v" + at;
        li.append(a);
      }
      list.append(li);
    });
    $("path").replaceChildren(list);
  };

  const caption = () =>
    view.revealed >= view.count ? "No more hints." : "Hint " + view.revealed + " of " + view.count + ".  Another hint?";

  // Reveals the next hint: the items up to the next separator, or to the end.
  const reveal = () => {
    const items = view.items;
    view.revealed++;
    let next = -1;
    for (let i = view.last + 1; i < items.length; i++) {
      if (items[i] === -1) {
        next = i;
        break;
      }
    }
    view.last = next >= 0 ? next : items.length - 1;
    view.flow.spoken = "";
    for (; view.drawn <= view.last; view.drawn++) view.flow.add(items[view.drawn]);
    view.flow.flush();
    if (view.button) {
      view.button.textContent = caption();
      remember(view.n, view.revealed);
    }
    return view.flow.spoken;
  };

  const show = (n) => {
    current = n;
    note("");
    drawPath(n);
    const main = $("view");
    const heading = el("h1", "", title(n));
    heading.tabIndex = -1;
    const body = el("div", "body");
    main.replaceChildren(heading, body);
    document.title = n === 0 ? "ZEB: Hints for " + title(0) : title(n) + " - ZEB: Hints for " + title(0);
    const items = nodes[n].i || [];
    view = { n, items, count: 1, revealed: 0, last: 0, drawn: 0, flow: new Flow(body), button: null,
             pictures: new Map(), overlays: new Set() };
    // As the reader: the remembered hints, less one that showing reveals.
    const remembered = Number(memory[n]) || 0;
    view.revealed = remembered > 0 ? remembered - 1 : 0;
    items.forEach((item, i) => {
      if (item !== -1) return;
      if (view.revealed >= view.count) view.last = i;
      view.count++;
    });
    view.revealed = Math.min(view.revealed, view.count - 1);
    if (view.count > 1) {
      view.button = el("button");
      view.button.type = "button";
      view.button.id = "more";
      view.button.addEventListener("click", more);
      main.append(view.button);
    }
    if (items.length === 0) view.last = -1;
    reveal();
    while (pendingOverlays.length) {
      const overlay = pendingOverlays.shift();
      if (nodes[overlay].p === n) drawOverlay(overlay);
    }
    window.scrollTo(0, 0);
    // A view that was moved to takes the keyboard, as a new window does;
    // the page's first view leaves it where the browser puts it.
    if (steps > 0 || document.activeElement !== document.body) (view.button || heading).focus({ preventScroll: true });
  };

  let steps = 0;
  function more() {
    if (view.revealed < view.count) {
      $("announce").textContent = reveal();
      view.button.scrollIntoView({ block: "nearest" });
    } else if (steps > 0 && !(history.state && history.state.zebFirst)) {
      // The reader closes the question's window: back to the view before,
      // unless that would leave the page.
      history.back();
    } else {
      location.hash = "#v" + Math.max(0, nodes[view.n].p);
    }
  }

  const route = () => {
    const match = /^#v(\d+)$/.exec(location.hash);
    let n = match ? Number(match[1]) : 0;
    if (!(n < nodes.length) || !hasView(n)) n = 0;
    show(n);
  };

  // The entry the page was opened at: going back from it leaves the page.
  history.replaceState({ zebFirst: true }, "");
  window.addEventListener("hashchange", () => {
    steps++;
    route();
  });
  $("forget").addEventListener("click", () => {
    forget();
    show(current);
    note("All hints are hidden again.");
  });
  route();
  performance.mark("zeb-first-view");
})();
