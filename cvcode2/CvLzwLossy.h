// Lossy string matching for the LZW encoder: each string goes on as far as dictionary strings whose pixels may stand
// for the coming ones lead. No pixel is coded further than the tolerance from its source; locked entries stay exact.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CvColorTable;

constexpr uint8_t kCvLossyMax = 100;

// Of a pixel's colour error (its colour plus what it inherited, less the colour coded), these sixteenths go to the
// next pixel of its row and to the pixel below it when the whole share is handed on: an area keeps its tone, and an
// error does not linger.
constexpr int32_t kCvLossyRightShare = 8;
constexpr int32_t kCvLossyDownShare = 6;
// How much of those shares is handed on, in halves: all of it keeps a dithered picture's tone; an undithered
// picture's areas are meant to be flat, and a handed-on error would dither them (and take each pixel further from
// its own colour).
constexpr uint8_t kCvLossyFullHandOn = 2;

// `share` (one of the two above) as handed on at `handOn` halves (above kCvLossyFullHandOn counts as all of it).
constexpr int32_t CvLossyShare(int32_t share, uint8_t handOn) {
    return share * (handOn < kCvLossyFullHandOn ? handOn : kCvLossyFullHandOn) / kCvLossyFullHandOn;
}

// What the encoder may change: the level (0 codes every index exactly, up to kCvLossyMax), how much of its error it
// hands on, and the entries it must leave alone. A locked entry's pixels keep their index, and no other pixel is
// coded as it.
struct CvLossyOptions {
    uint8_t level = 0;
    uint8_t handOn = kCvLossyFullHandOn;
    uint8_t locked[256] = {};
};

// The largest squared RGB distance between a pixel's colour and the colour coded in its place at `level`
// (above kCvLossyMax counts as kCvLossyMax).
uint32_t CvLossyLimit(uint8_t level);

// A string found for the pixels from some position on.
struct CvLossyMatch {
    uint32_t code;
    uint32_t length;
};

// The lossy encoder's copy of the dictionary as a tree (each code's one-pixel extensions in a chain, each code
// knowing how far its subtree reaches) and the search in it. Another entry may stand in for a pixel when its colour
// lies within the tolerance both of the pixel's own colour and of that colour plus the error the pixel inherits: the
// right share (as handed on) of its left neighbour's error (none at a row's start) and the down share of the error of
// the pixel above it, that is of the same column in the row coded before (none in the first row after StartRows). A
// pixel's error is its colour plus what it inherits, less the colour coded; so what every pixel inherits follows from
// the source and the decoded pixels alone.
class CvLossyMatcher {
public:
    static constexpr uint32_t kNone = 0xFFFF;

    // Entries past the table's count are locked (readers show them black, which nothing here depends on).
    CvLossyMatcher(const CvColorTable& table, const CvLossyOptions& options);

    // Forgets every string but the single indices below `roots`.
    void Reset(uint32_t roots);
    // Enters `code` as `prefix` followed by `suffix`.
    void Add(uint32_t code, uint32_t prefix, uint32_t suffix);
    // Starts rows of rowLength pixels, none above them and no error inherited yet.
    void StartRows(size_t rowLength);
    // Takes a string from pixels[at] on, never running past `end`, starting with pixels[at] itself: from each pixel
    // on it goes on with the child holding the next pixel itself, or else with the one that may stand in for it and
    // whose subtree reaches furthest (ties: the one nearer to its target). Its pixels' errors are handed on, to the
    // pixel after it and to the rows below. Rows are rowLength pixels long from pixels[0] on.
    CvLossyMatch Take(const uint8_t* pixels, size_t at, size_t end, size_t rowLength);

private:
    struct Node {
        uint16_t firstChild;
        uint16_t sibling;
        uint16_t parent;
        uint16_t height;  // the longest extension below it, in pixels
        uint8_t suffix;
    };

    // Codes `source` as `coded`, having inherited `inherited`: false when `coded` may not stand in for it; else its
    // error and, for a stand-in, the squared distance of `coded` from the target (0 when exact).
    bool Step(uint32_t source, uint32_t coded, const int32_t* inherited, int32_t* error, int32_t& distance) const;
    // Moves on to the next row: what the current one hands down becomes what the next one inherits from above.
    void NextRow();

    Node nodes[4096];
    int32_t pathErrors[4097][3];  // the errors of the pixels of the string being taken
    int32_t colors[256][3];
    uint64_t standIns[256][4];  // bit c of row s: entry c is within the tolerance of entry s and both are free
    int32_t limit;
    int32_t rightShare, downShare;  // sixteenths of an error handed on
    bool handsOn;                   // false: nothing is inherited, and no shares are kept for the rows below
    int32_t left[3] = {0, 0, 0};    // the error of the pixel before the next one
    std::vector<int32_t> below[2];  // three per column: [0] from the row above, [1] for the row below
    size_t currentRow = 0;          // since StartRows
};
