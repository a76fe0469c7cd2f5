#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dash/LogReplay.h"
#include "plot/TimingMap.h"
#include "tune/Edition.h"

// What a data log says about the engine: where in the rpm range it ran, and where the
// controller's advance fell below the Tune's map. Records are taken one at a time into tables of
// fixed size, so a log of any length costs the same memory.
namespace dash {

// The values of one record the report looks at: rpm, kPa as the Dashboard shows it (with the
// "3 Bar" scaling when chosen) and the advance in degrees.
struct ReportSample {
    double rpm = 0;
    double kpa = 0;
    double advance = 0;
};
ReportSample reportSample(const Record& record, tune::Edition edition, bool threeBar);

struct Span {
    double min = 0;
    double max = 0;
};

// Counts of whole values in a fixed range; values beyond it count at its ends.
class Histogram {
public:
    Histogram(std::int32_t lowest, std::int32_t highest);
    void add(double value);
    // The middle value; the mean of the two middle ones for an even count.
    double median() const;

private:
    std::int32_t lowest_;
    std::vector<std::int64_t> counts_;
    std::int64_t total_ = 0;
};

inline constexpr std::size_t kBands = 7;

class LogReport {
public:
    // Columns of the strips over the record number; neighbours merge when the log outgrows them.
    static constexpr std::size_t kColumns = 512;
    // The scatter of advance against rpm: rpm in steps of 16 up to 65535, advance in half degrees
    // from -32 to 95.5, as far as the controller's byte reaches.
    static constexpr int kScatterRpmStep = 16;
    static constexpr int kScatterColumns = 4096;
    static constexpr int kScatterRows = 256;
    static constexpr double kLowestAdvance = -32;

    struct Column {
        Span rpm, kpa, advance;
    };
    struct Shortfall {
        std::int64_t record = 0;  // counted from 1
        double degrees = 0, rpm = 0, kpa = 0;
    };

    // `compareWithMap`: count the records whose advance lies more than a degree below the map.
    LogReport(const plot::TimingMap& map, bool compareWithMap);

    void add(const ReportSample& sample);

    // The lines of the summary, in order.
    std::vector<std::string> summary() const;

    std::int64_t records() const { return records_; }
    const plot::TimingMap& map() const { return map_; }
    const std::vector<Column>& columns() const { return columns_; }
    Span rpm() const { return rpm_; }
    Span kpa() const { return kpa_; }
    Span advance() const { return advance_; }
    double medianKpa() const { return kpaCounts_.median(); }
    // Share of the records in each band between the Tune's rpm points, in percent.
    std::array<double, kBands> bandShares() const;
    // "below 1000", "1000-2500", ..., "6500 and above"
    std::array<std::string, kBands> bandNames() const;
    bool scatterAt(int column, int row) const {
        return scatter_[static_cast<std::size_t>(row * kScatterColumns + column)];
    }

private:
    void addToColumns(const ReportSample& sample);

    plot::TimingMap map_;
    bool compareWithMap_;
    std::int64_t records_ = 0;
    Span rpm_, kpa_, advance_;
    Histogram rpmCounts_;
    Histogram kpaCounts_;
    std::array<std::int64_t, kBands> bands_{};
    std::int64_t belowMap_ = 0;
    Shortfall largest_;
    std::vector<Column> columns_;
    std::int64_t recordsPerColumn_ = 1;
    std::vector<bool> scatter_;
};

}  // namespace dash
