#pragma once
// The figures of one contender on one data set, run several times, and the
// table they are printed in.
#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace norv::bench {

struct Row {
  Row(std::string set, std::string key, std::string label, std::uint64_t bytes, std::uint64_t files)
      : set(std::move(set)),
        key(std::move(key)),
        label(std::move(label)),
        bytes(bytes),
        files(files) {}

  std::string set;
  std::string key;    // short name the targets refer to ("extract", "unzip", ...)
  std::string label;  // what the table shows
  std::uint64_t bytes = 0;
  std::uint64_t files = 0;
  std::vector<double> seconds;
  std::vector<double> cpuSeconds;
  std::vector<long> rssKiB;

  double MedianSeconds() const;
  long PeakRssKiB() const {
    return rssKiB.empty() ? 0 : *std::max_element(rssKiB.begin(), rssKiB.end());
  }
  double MegabytesPerSecond() const { return bytes / 1e6 / MedianSeconds(); }
  double FilesPerSecond() const { return files / MedianSeconds(); }
};

double Median(std::vector<double> values);

// A Markdown table: set, contender, runs, median, MB/s, files/s, peak RSS,
// and the time relative to the first row of the same set.
void PrintTable(std::ostream& out, const std::vector<Row>& rows);

}  // namespace norv::bench
