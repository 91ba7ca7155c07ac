#pragma once
// The data block of a hint file's web page: the tree as the reader shows it,
// one entry per node, in JSON. The titles of nodes that stand outside every
// hint are plain; every other text, the titles of nodes among hints (at any
// depth) included, is scrambled (see ScrambleForPage) and only the page's
// script, revealing it, unscrambles it. Titles are cut as ShownTitle cuts
// them. Pictures travel as base64 PNG streams.
//
//   {"title": ROOT_TITLE, "key": MEMORY_KEY, "oldKey": OLD_MEMORY_KEY,
//    "nodes": [NODE, ...]}
//   NODE: {"k": KIND, "t": TITLE, "p": PARENT, ...}
//     "s": 1 where the node stands among hints: TITLE is scrambled
//     node 0 is the root; PARENT is the nearest node above that has a view
//     of its own (-1 for the root)
//     views:    "i": [ITEM, ...]
//     links:    "to": the node at the end of the link's chain, or -1
//     overlays: "g": PICTURE, "x", "y", "w", "h", "d": PNG (base64)
//   ITEM: "F" + scrambled text   a text line; F = '@' + flags: 1 ends the line,
//                                2 rule, 4 does not wrap, 8 fixed font,
//                                16 space after
//         -1                     a hint separator
//         [NODE, FLAGS]          a child node, shown by its title
//         {"g": PICTURE, "w", "h", "d": PNG, "r": [[L, T, R, B, NODE], ...]}
//                                a picture and its hot regions
// A picture or overlay whose data is damaged has no "d".

#include <string>

class THunk;
class THintFileBytes;

// Where the page remembers the revealed hints, and where pages written
// before kept them: the page moves a record it finds only there.
struct TPageMemoryKeys {
  std::string Key;
  std::string OldKey;
};

// The data of the page for the tree under root.
std::string PageDataJson(THunk& root, THintFileBytes& file, const TPageMemoryKeys& keys);
