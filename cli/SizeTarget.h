// The search for the best GIF no larger than a size: the lossy level first, then the colour count. Every size it
// weighs is that of a file really made, and of the files that fit, the one made last is the best.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

constexpr int kStrongestLossy = 100;
constexpr int kFewestColors = 2;

struct SizeChoice {
    int colors = 0;
    int lossy = 0;
    uint64_t bytes = 0;
};

// Even the fewest colours at the strongest level make a larger file; `smallest` is the smallest one made.
class SizeNotReached : public std::runtime_error {
public:
    explicit SizeNotReached(const SizeChoice& smallest) : std::runtime_error("no setting fits"), smallest(smallest) {}
    SizeChoice smallest;
};

// Makes the file with `colors` and `lossy` (the other settings as given) and returns its length in bytes.
using MakeSizedFile = std::function<uint64_t(int colors, int lossy)>;

// The person's own settings when they fit; else the lowest level that fits at their colour count; else the most
// colours that fit at the strongest level, with the lowest level that fits at that count. Bisects: about 7 files
// for the level and 8 for the colour count. Throws SizeNotReached.
SizeChoice FindBestFit(uint64_t target, int colors, int lossy, const MakeSizedFile& make);

// What the search chose, e.g. "photo.png: 128 colours, lossy 40: 48213 bytes (at most 51200)".
std::string SizeChoiceText(const std::string& input, const SizeChoice& choice, uint64_t target);
