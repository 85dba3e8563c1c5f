// Bisection over the lossy level and the colour count, each probe a file made with those settings. A probe that
// fits always betters the ones that fitted before it, so the caller can keep just the latest fitting file.
#include "cli/SizeTarget.h"

#include <algorithm>

namespace {

class Search {
public:
    Search(uint64_t target, const MakeSizedFile& make) : target(target), make(make) {}

    bool Fits(int colors, int lossy) {
        const SizeChoice made{colors, lossy, make(colors, lossy)};
        if (smallest.bytes == 0 || made.bytes < smallest.bytes) smallest = made;
        if (made.bytes > target) return false;
        best = made;
        return true;
    }

    // The lowest level in [low, high] that fits, `high` being known to fit and made last among the fitting.
    void LowestLossy(int colors, int low, int high) {
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (Fits(colors, middle))
                high = middle;
            else
                low = middle + 1;
        }
    }

    // The most colours in [low, high) that fit at the strongest level, `low` being known to fit and `high` not.
    int MostColors(int low, int high) {
        while (high - low > 1) {
            const int middle = low + (high - low) / 2;
            if (Fits(middle, kStrongestLossy))
                low = middle;
            else
                high = middle;
        }
        return low;
    }

    const uint64_t target;
    const MakeSizedFile& make;
    SizeChoice best;
    SizeChoice smallest;
};

}  // namespace

SizeChoice FindBestFit(uint64_t target, int colors, int lossy, const MakeSizedFile& make) {
    Search search(target, make);
    if (search.Fits(colors, lossy)) return search.best;
    if (lossy < kStrongestLossy && search.Fits(colors, kStrongestLossy)) {
        search.LowestLossy(colors, lossy + 1, kStrongestLossy);
        return search.best;
    }
    if (colors <= kFewestColors || !search.Fits(kFewestColors, kStrongestLossy)) throw SizeNotReached(search.smallest);
    const int most = search.MostColors(kFewestColors, colors);
    search.LowestLossy(most, std::min(lossy, kStrongestLossy), kStrongestLossy);
    return search.best;
}

std::string SizeChoiceText(const std::string& input, const SizeChoice& choice, uint64_t target) {
    return input + ": " + std::to_string(choice.colors) + " colours, lossy " + std::to_string(choice.lossy) + ": " +
           std::to_string(choice.bytes) + " bytes (at most " + std::to_string(target) + ")";
}
