// A test's observations written as labelled lines of text and compared, when the transcript ends, with the committed
// file tests/data/transcripts/NAME.txt, where a reviewer checks the expected values by hand. With
// HALCYNE_UPDATE_GOLDEN=1 a differing or missing file is rewritten instead (review the diff, as for golden.txt).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "tests/support/TestPaths.h"

class Transcript {
public:
    explicit Transcript(std::string name) : name(std::move(name)) {}
    ~Transcript() { Check(); }
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;

    // One line: the parts separated by spaces (small integers as numbers, booleans as 0 and 1).
    template <class... Parts>
    Transcript& operator()(const Parts&... parts) {
        text << Line(parts...) << '\n';
        return *this;
    }

    // The parts as one line's text, for a replayed step's outcome.
    template <class... Parts>
    static std::string Line(const Parts&... parts) {
        std::ostringstream out;
        const char* separator = "";
        ((out << separator << Printable(parts), separator = " "), ...);
        return out.str();
    }

    // One step of a replayed walk: its words, the first naming what to do; step(i) reads word i as a number.
    struct Step {
        std::vector<std::string> words;
        int32_t operator()(size_t i) const { return std::stoi(words.at(i)); }
    };

    // Replays the walk filed as transcript NAME: the text before " -> " on each line is a step written by hand,
    // `act` performs it and returns its outcome, and the lines "step -> outcome" are checked as any transcript's
    // (HALCYNE_UPDATE_GOLDEN=1 rewrites the outcomes); `act` gets the step's first word and the step. Lines starting
    // with # say what the rows below guard; an outcome's further lines (a Picture) start with a space.
    template <class Act>
    static void Replay(const std::string& name, Act act) {
        Transcript t(name);
        std::ifstream in(t.Path(), std::ios::binary);
        int steps = 0;
        for (std::string line; std::getline(in, line);) {
            const std::string step = line.substr(0, line.find(" -> "));
            if (step.rfind(' ', 0) == 0) continue;  // an outcome's further lines, written again with it
            if (step.empty() || step[0] == '#') {
                t.text << line << '\n';
                continue;
            }
            Step words;
            std::istringstream split(step);
            for (std::string word; split >> word;) words.words.push_back(word);
            const std::string outcome = act(words.words[0], words);
            if (outcome.empty()) ADD_FAILURE() << name << ": no such step: " << step;
            t(step, "->", outcome);
            ++steps;
        }
        if (steps == 0) ADD_FAILURE() << "transcript " << t.Path() << " holds no steps to replay";
    }

    // A picture as further lines of an outcome, one per row, indented: `glyph(x, y)` is the character of each pixel.
    template <class Glyph>
    static std::string Picture(int width, int height, Glyph glyph) {
        std::string rows;
        for (int y = 0; y < height; ++y) {
            rows += "\n  ";
            for (int x = 0; x < width; ++x) rows += char(glyph(x, y));
        }
        return rows;
    }

    // The items of a range separated by commas, as one part of a line.
    template <class Range>
    static std::string Listed(const Range& items) {
        std::ostringstream out;
        const char* separator = "";
        for (const auto& item : items) out << separator << Printable(item), separator = ",";
        return out.str();
    }

private:
    template <class T>
    static decltype(auto) Printable(const T& part) {
        if constexpr (std::is_integral_v<T> && sizeof(T) < sizeof(int))
            return int(part);
        else
            return (part);
    }

    std::string Path() const { return std::string(HC_TEST_DATA_DIR) + "/transcripts/" + name + ".txt"; }

    // A differing or missing file fails with the lines that differ (gtest's diff of the two texts).
    void Check() {
        std::ifstream in(Path(), std::ios::binary);
        std::ostringstream filed;
        filed << in.rdbuf();
        if (in && filed.str() == text.str()) return;
        if (!UpdatingGolden()) {
            EXPECT_EQ(in ? filed.str() : "(no such file)\n", text.str())
                << "transcript " << Path() << " (HALCYNE_UPDATE_GOLDEN=1 rewrites it)";
            return;
        }
        std::filesystem::create_directories(std::filesystem::path(Path()).parent_path());
        std::ofstream(Path(), std::ios::binary | std::ios::trunc) << text.str();
    }

    std::string name;
    std::ostringstream text;
};
