#pragma once

#include <cstdint>
#include <vector>

namespace platform::display {

// The samples of a trend graph: a fixed ring of kSampleCount samples of N pens. Advancing moves
// the start of the ring, never the samples. A sample no one has set yet holds NaN, which the
// graph draws as a gap, so a new graph starts empty.
//
// The static helpers map samples and values to drawing coordinates; the widget passes its size
// in device pixels.
class TrendRing {
public:
    static constexpr int kSampleCount = 545;

    explicit TrendRing(int penCount);

    int penCount() const { return pens_; }

    // Starts a new current sample; the oldest drops out.
    void advance();
    // Sets the current sample of one pen; a pen out of range is ignored.
    void set(int pen, double value);
    // The sample samplesBack before the current one (0 = current); NaN out of range.
    double at(int pen, int samplesBack) const;
    // How many times the ring has advanced; grid lines are tied to this count.
    std::uint64_t advances() const { return advances_; }

    // True where a vertical grid line belongs: on every sample whose count since the start is a
    // multiple of gridspacex, so the lines move with the samples. No lines for gridspacex < 1.
    bool gridLineAt(int samplesBack, int gridspacex) const;

    // x of a sample across a width: the oldest at 0, the current one at width.
    static double xFor(int samplesBack, double width);

    // y of a value over a height, maxy at 0 and miny at height. Values beyond the range are held
    // a little outside the height so their lines leave the picture instead of running along its
    // edge; NaN stays NaN (a gap). A range that is empty or not finite puts every value in the
    // middle.
    static double yFor(double value, double miny, double maxy, double height);
    static constexpr double kOutside = 8;

    // The value a pen draws: scale 0 means no scaling, any other scale multiplies.
    static double drawnValue(double value, float scale);

    // Values of the horizontal grid lines: miny first (the origin line), then every gridspacey
    // towards maxy. Only the origin when gridspacey is not a positive number or the lines would be
    // too dense to see; nothing when the range is empty or not finite.
    static std::vector<double> gridValues(double miny, double maxy, double gridspacey);
    static constexpr int kMaxGridLines = 200;

private:
    std::size_t slot(int samplesBack) const;

    int pens_;
    std::vector<double> samples_;  // kSampleCount slots of pens_ values
    std::size_t current_ = 0;      // slot of the current sample
    std::uint64_t advances_ = 0;
};

}  // namespace platform::display
