#include "dash/LogReport.h"

#include <algorithm>
#include <cmath>

#include "comlink/Realtime.h"
#include "tune/Numeric.h"

namespace dash {

namespace {

// Engine speed is two bytes; a replayed line may hold any number, which counts at the ends.
constexpr std::int32_t kHighestRpm = 65535;
constexpr std::int32_t kHighestKpa = 1023;
constexpr double kPulledDegrees = 1;

void widen(Span& span, double value, bool first) {
    span.min = first ? value : std::min(span.min, value);
    span.max = first ? value : std::max(span.max, value);
}

Span merged(const Span& a, const Span& b) {
    return {std::min(a.min, b.min), std::max(a.max, b.max)};
}

std::string whole(double value) {
    return num::integerText(num::rnd32(value));
}

std::string degrees(double value) {
    return num::formatFixed(value, 1);
}

int cellOf(double value, double lowest, double step, int cells) {
    const double cell = std::floor((value - lowest) / step);
    return static_cast<int>(std::clamp(cell, 0.0, static_cast<double>(cells - 1)));
}

}  // namespace

ReportSample reportSample(const Record& record, tune::Edition edition, bool threeBar) {
    comlink::RxBuffer block{};
    std::copy(record.begin(), record.end(), block.begin());
    const comlink::DerivedValues v = comlink::deriveValues(block, edition);
    return {v.rpm, comlink::pressureReading(v.kpa, threeBar), v.ignRaw / 2};
}

Histogram::Histogram(std::int32_t lowest, std::int32_t highest)
    : lowest_(lowest), counts_(static_cast<std::size_t>(highest - lowest + 1)) {}

void Histogram::add(double value) {
    const double at = std::clamp(num::roundHalfEven(value) - lowest_, 0.0,
                                 static_cast<double>(counts_.size() - 1));
    ++counts_[static_cast<std::size_t>(at)];
    ++total_;
}

double Histogram::median() const {
    if (total_ == 0)
        return 0;
    // The values of rank total/2 and total/2 + 1 (counted from 1), equal for an odd total.
    const std::int64_t lowRank = (total_ + 1) / 2;
    const std::int64_t highRank = total_ / 2 + 1;
    double low = 0;
    std::int64_t seen = 0;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        const std::int64_t before = seen;
        seen += counts_[i];
        const double value = static_cast<double>(lowest_) + static_cast<double>(i);
        if (before < lowRank && lowRank <= seen)
            low = value;
        if (before < highRank && highRank <= seen)
            return (low + value) / 2;
    }
    return low;
}

LogReport::LogReport(const plot::TimingMap& map, bool compareWithMap)
    : map_(map),
      compareWithMap_(compareWithMap),
      rpmCounts_(0, kHighestRpm),
      kpaCounts_(0, kHighestKpa),
      scatter_(static_cast<std::size_t>(kScatterColumns) * kScatterRows) {
    columns_.reserve(kColumns);
}

void LogReport::add(const ReportSample& s) {
    const bool first = records_ == 0;
    ++records_;
    widen(rpm_, s.rpm, first);
    widen(kpa_, s.kpa, first);
    widen(advance_, s.advance, first);
    rpmCounts_.add(s.rpm);
    kpaCounts_.add(s.kpa);

    const auto& points = map_.rpmPoints();
    ++bands_[static_cast<std::size_t>(
        std::count_if(points.begin(), points.end(), [&](double p) { return p <= s.rpm; }))];

    if (compareWithMap_) {
        const double shortBy = map_.advance(s.rpm, s.kpa) - s.advance;
        if (shortBy > kPulledDegrees) {
            ++belowMap_;
            if (belowMap_ == 1 || shortBy > largest_.degrees)
                largest_ = {records_, shortBy, s.rpm, s.kpa};
        }
    }
    scatter_[static_cast<std::size_t>(cellOf(s.advance, kLowestAdvance, 0.5, kScatterRows) *
                                          kScatterColumns +
                                      cellOf(s.rpm, 0, kScatterRpmStep, kScatterColumns))] = true;
    addToColumns(s);
}

void LogReport::addToColumns(const ReportSample& s) {
    auto index = static_cast<std::size_t>((records_ - 1) / recordsPerColumn_);
    if (index == kColumns) {
        for (std::size_t i = 0; i < kColumns / 2; ++i) {
            const Column& a = columns_[2 * i];
            const Column& b = columns_[2 * i + 1];
            columns_[i] = {merged(a.rpm, b.rpm), merged(a.kpa, b.kpa),
                           merged(a.advance, b.advance)};
        }
        columns_.resize(kColumns / 2);
        recordsPerColumn_ *= 2;
        index = static_cast<std::size_t>((records_ - 1) / recordsPerColumn_);
    }
    if (index == columns_.size()) {
        columns_.push_back({{s.rpm, s.rpm}, {s.kpa, s.kpa}, {s.advance, s.advance}});
        return;
    }
    Column& column = columns_[index];
    widen(column.rpm, s.rpm, false);
    widen(column.kpa, s.kpa, false);
    widen(column.advance, s.advance, false);
}

std::array<double, kBands> LogReport::bandShares() const {
    std::array<double, kBands> shares{};
    for (std::size_t i = 0; i < kBands && records_ > 0; ++i)
        shares[i] = static_cast<double>(bands_[i]) * 100 / static_cast<double>(records_);
    return shares;
}

std::array<std::string, kBands> LogReport::bandNames() const {
    const auto& p = map_.rpmPoints();
    std::array<std::string, kBands> names;
    names.front() = "below " + whole(p.front());
    for (std::size_t i = 1; i + 1 < kBands; ++i)
        names[i] = whole(p[i - 1]) + "-" + whole(p[i]);
    names.back() = whole(p.back()) + " and above";
    return names;
}

std::vector<std::string> LogReport::summary() const {
    std::vector<std::string> lines = {"records: " + num::integerText(records_)};
    if (records_ == 0)
        return lines;
    lines.push_back("rpm: min " + whole(rpm_.min) + ", median " + whole(rpmCounts_.median()) +
                    ", max " + whole(rpm_.max));
    lines.push_back("kpa: min " + whole(kpa_.min) + ", max " + whole(kpa_.max));
    lines.push_back("advance: min " + degrees(advance_.min) + ", max " + degrees(advance_.max));
    lines.emplace_back("rpm band  share");
    const auto names = bandNames();
    const auto shares = bandShares();
    for (std::size_t i = 0; i < kBands; ++i)
        lines.push_back(names[i] + "  " + num::formatFixed(shares[i], 1) + "%");
    if (compareWithMap_) {
        std::string line =
            "below map by more than 1 deg: " + num::integerText(belowMap_) + " records";
        if (belowMap_ > 0)
            line += "; largest " + degrees(largest_.degrees) + " deg at " + whole(largest_.rpm) +
                    " rpm, " + whole(largest_.kpa) + " kPa (record " +
                    num::integerText(largest_.record) + ")";
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace dash
