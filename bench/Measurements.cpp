#include "bench/Measurements.h"

#include <cstdio>

namespace norv::bench {

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double Row::MedianSeconds() const {
  return Median(seconds);
}

void PrintTable(std::ostream& out, const std::vector<Row>& rows) {
  out << "| set | contender | runs | median s | CPU s | MB/s out | files/s | peak RSS MiB | "
         "time vs first |\n"
      << "|---|---|---:|---:|---:|---:|---:|---:|---:|\n";
  const Row* first = nullptr;
  char line[512];
  for (const auto& row : rows) {
    if (first == nullptr || first->set != row.set) first = &row;
    std::snprintf(line, sizeof line,
                  "| %s | %s | %zu | %.3f | %.3f | %.1f | %.0f | %.2f | %.2f |\n", row.set.c_str(),
                  row.label.c_str(), row.seconds.size(), row.MedianSeconds(),
                  Median(row.cpuSeconds), row.MegabytesPerSecond(), row.FilesPerSecond(),
                  row.PeakRssKiB() / 1024.0, row.MedianSeconds() / first->MedianSeconds());
    out << line;
  }
}

}  // namespace norv::bench
