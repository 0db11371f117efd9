// norv_bench: measures restoring and making archives against peers, side by
// side in one run, and prints a table of medians and the target ratios.
//
//   norv_bench --norvarc PATH --decode PATH --work DIR
//              [--runs N] [--create-runs N] [--large] [--only SET]
//              [--reuse-archives]
//
// It makes its data under DIR/data (kept for later runs), the archives
// under DIR/archives, and extracts into DIR/out, cleared before every run.
// Figures only: it fails when a contender fails, never because of a time.
#include <libdeflate.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <tuple>

#include "bench/ChildRun.h"
#include "bench/DataSets.h"
#include "bench/Measurements.h"

namespace norv::bench {

namespace fs = std::filesystem;

namespace {

struct Options {
  std::string norvarc;
  std::string decode;
  std::string work;
  int runs = 5;
  int createRuns = 3;
  bool large = false;
  bool reuseArchives = false;  // keep archives of an earlier run; no create figures
  std::string only;            // one data set by name, for quick looks
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--norvarc")
      o.norvarc = value();
    else if (arg == "--decode")
      o.decode = value();
    else if (arg == "--work")
      o.work = value();
    else if (arg == "--runs")
      o.runs = std::max(1, std::atoi(value().c_str()));
    else if (arg == "--create-runs")
      o.createRuns = std::max(1, std::atoi(value().c_str()));
    else if (arg == "--large")
      o.large = true;
    else if (arg == "--reuse-archives")
      o.reuseArchives = true;
    else if (arg == "--only")
      o.only = value();
    else
      throw std::runtime_error("unknown option " + arg);
  }
  if (o.norvarc.empty() || o.decode.empty() || o.work.empty()) {
    throw std::runtime_error("needs --norvarc, --decode and --work");
  }
  o.work = fs::absolute(o.work).string();
  return o;
}

std::string FirstLineWith(const std::string& path, const std::string& key) {
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key, 0) == 0) return line;
  }
  return "";
}

std::string MachineText() {
  std::string cpu = FirstLineWith("/proc/cpuinfo", "model name");
  if (auto colon = cpu.find(':'); colon != std::string::npos) cpu = cpu.substr(colon + 2);
  std::ostringstream text;
  text << "machine: " << std::thread::hardware_concurrency() << " cores, " << cpu << "; zlib "
       << zlibVersion() << ", libdeflate " << LIBDEFLATE_VERSION_STRING;
  return text.str();
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

class Bench {
 public:
  explicit Bench(Options options) : o_(std::move(options)) {
    scratch_ = o_.work + "/scratch";
    out_ = o_.work + "/out";
    archives_ = o_.work + "/archives";
    fs::create_directories(scratch_);
    fs::create_directories(archives_);
  }

  int Run() {
    const std::string loadAtStart = LoadAverage();
    std::cout << MachineText() << "\nload average at start: " << loadAtStart << std::endl;
    haveJobs_ = Supports({o_.norvarc, "create", "-j", "1"});
    haveDecoderOption_ = Supports({o_.norvarc, "extract", "--decoder", "zlib"});
    haveServeGap_ = Supports({o_.norvarc, "extract", "--measure-serve-gap"});
    haveAllOrNothing_ = Supports({o_.norvarc, "extract", "--all-or-nothing"});

    const std::string data = o_.work + "/data";
    std::vector<std::pair<std::string, std::function<DataSet()>>> makers = {
        {"large", [&] { return MakeLargeFiles(data); }},
        {"small", [&] { return MakeSmallFiles(data); }},
        {"mem16", [&] { return MakeOneFile(data, "mem16", 16); }}};
    if (o_.large) makers.push_back({"mem1024", [&] { return MakeOneFile(data, "mem1024", 1024); }});
    for (auto& [name, make] : makers) {
      if (!o_.only.empty() && name != o_.only) continue;
      Step("data");
      DataSet set = make();
      std::cout << "data set " << set.name << ": " << set.files << " files, " << set.bytes
                << " bytes" << std::endl;
      MakeArchives(set);
      if (set.name.rfind("mem", 0) == 0) {
        MeasureMemory(set);
      } else {
        MeasureRestore(set);
      }
    }
    fs::remove_all(out_);
    fs::remove_all(scratch_);

    const std::string loadAtEnd = LoadAverage();
    std::ostringstream report;
    report << MachineText() << "\nload average (1, 5, 15 min) at start: " << loadAtStart
           << ", at end: " << loadAtEnd << "\n\n";
    PrintTable(report, rows_);
    report << '\n';
    PrintTargets(report);
    std::cout << '\n' << report.str();
    std::ofstream(o_.work + "/bench-results.md") << report.str();
    return 0;
  }

 private:
  // Whether norvarc knows an option: a usage complaint names unknown ones.
  bool Supports(const std::vector<std::string>& argv) {
    ChildResult r = RunChild(argv, "", scratch_);
    return r.err.find("unknown option") == std::string::npos;
  }

  ChildResult Must(const std::vector<std::string>& argv, const std::string& cwd = "") {
    ChildResult r = RunChild(argv, cwd, scratch_);
    if (r.exitCode != 0) {
      std::string line;
      for (const auto& a : argv) line += a + " ";
      throw std::runtime_error("failed (exit " + std::to_string(r.exitCode) + "): " + line + "\n" +
                               r.out + r.err);
    }
    return r;
  }

  void Step(const char* what) { std::cout << "  " << what << "..." << std::endl; }

  std::string Archive(const DataSet& set, const std::string& suffix = "") const {
    return archives_ + "/" + set.name + suffix + ".001";
  }

  void MakeArchives(const DataSet& set) {
    const std::string source = set.directory + "/" + set.name;
    auto create = [&](const std::string& archive, const std::string& jobs) {
      std::vector<std::string> argv = {o_.norvarc, "create", "--level", "max"};
      if (!jobs.empty()) argv.insert(argv.end(), {"-j", jobs});
      argv.insert(argv.end(), {archive, source});
      return Must(argv);
    };
    if (o_.reuseArchives && fs::exists(Archive(set))) {
      // Figures of restoring only, from the archive an earlier run made.
    } else if (set.name != "large") {
      Step("norvarc create");
      create(Archive(set), "");
    } else {
      // -j 1 and -j 2 in turns, so that both see the same machine.
      Row one{set.name, "create-j1", "norvarc create -j 1", set.bytes, set.files};
      Row two{set.name, "create-j2", "norvarc create -j 2", set.bytes, set.files};
      if (!haveJobs_) two.label = "norvarc create (one thread only)";
      for (int run = 0; run < o_.createRuns; ++run) {
        Step("norvarc create");
        ChildResult r = create(Archive(set, "-j1"), haveJobs_ ? "1" : "");
        one.seconds.push_back(r.seconds);
        one.cpuSeconds.push_back(r.cpuSeconds);
        one.rssKiB.push_back(r.peakRssKiB);
        r = create(Archive(set), haveJobs_ ? "2" : "");
        two.seconds.push_back(r.seconds);
        two.cpuSeconds.push_back(r.cpuSeconds);
        two.rssKiB.push_back(r.peakRssKiB);
      }
      identicalArchives_ =
          RunChild({"cmp", "-s", Archive(set, "-j1"), Archive(set)}, "", scratch_).exitCode == 0;
      fs::remove(Archive(set, "-j1"));
      createRows_.push_back(one);
      createRows_.push_back(two);
    }
    if (set.name.rfind("mem", 0) == 0) return;  // memory sets: extract only
    const std::string zip = archives_ + "/" + set.name + ".zip";
    if (!fs::exists(zip) ||
        fs::last_write_time(zip) < fs::last_write_time(set.directory + "/.complete")) {
      Step("zip -9");
      fs::remove(zip);
      Must({"zip", "-9", "-r", "-q", zip, set.name}, set.directory);
    }
  }

  // Every contender once per round, rounds repeated: side by side.
  void MeasureRestore(const DataSet& set) {
    const std::string archive = Archive(set);
    // Where a contender writes: nowhere, into an empty destination, or
    // over the tree an earlier extract left (every file replaced).
    enum class Into { kNothing, kEmpty, kOldTree };
    struct Contender {
      std::string key, label;
      std::vector<std::string> argv;
      Into into;
    };
    std::vector<Contender> contenders = {
        {"decode-zlib", "decode only, zlib (limit)", {o_.decode, "zlib", archive}, Into::kNothing},
        {"decode-libdeflate",
         "decode only, libdeflate (limit)",
         {o_.decode, "libdeflate", archive},
         Into::kNothing},
        {"decode-checked",
         "decode only, header check + libdeflate",
         {o_.decode, "checked", archive},
         Into::kNothing},
        {"extract", "norvarc extract", {o_.norvarc, "extract", archive, out_}, Into::kEmpty}};
    if (haveDecoderOption_) {
      contenders.push_back({"extract-zlib",
                            "norvarc extract, zlib path",
                            {o_.norvarc, "extract", "--decoder", "zlib", archive, out_},
                            Into::kEmpty});
    }
    // The cost of all or nothing: the same extract as one transaction, into
    // an empty destination and over the old tree, against the plain one.
    if (haveAllOrNothing_) {
      const std::vector<std::string> whole = {o_.norvarc, "extract", "--all-or-nothing", archive,
                                              out_};
      contenders.push_back(
          {"extract-whole", "norvarc extract --all-or-nothing", whole, Into::kEmpty});
      contenders.push_back({"extract-over",
                            "norvarc extract, over the old tree",
                            {o_.norvarc, "extract", archive, out_},
                            Into::kOldTree});
      contenders.push_back({"extract-whole-over",
                            "norvarc extract --all-or-nothing, over the old tree", whole,
                            Into::kOldTree});
    }
    contenders.push_back({"unzip",
                          "unzip -q -o (zip -9)",
                          {"unzip", "-q", "-o", archives_ + "/" + set.name + ".zip", "-d", out_},
                          Into::kEmpty});
    contenders.push_back({"test", "norvarc test", {o_.norvarc, "test", archive}, Into::kNothing});

    std::vector<Row> rows;
    for (const auto& c : contenders)
      rows.push_back({set.name, c.key, c.label, set.bytes, set.files});
    for (int run = 0; run < o_.runs; ++run) {
      Step(("round " + std::to_string(run + 1)).c_str());
      // Each round starts at another contender: what one run leaves on the
      // disk (freshly freed inodes, say) weighs on every contender alike.
      for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
        const std::size_t i = (turn + static_cast<std::size_t>(run)) % contenders.size();
        const Into into = contenders[i].into;
        if (into == Into::kEmpty) fs::remove_all(out_);
        if (into == Into::kOldTree && !fs::exists(out_ + "/" + set.name)) {
          Must({o_.norvarc, "extract", archive, out_});
        }
        ChildResult r = Must(contenders[i].argv);
        rows[i].seconds.push_back(r.seconds);
        rows[i].cpuSeconds.push_back(r.cpuSeconds);
        rows[i].rssKiB.push_back(r.peakRssKiB);
        if (run == 0 && into != Into::kNothing)
          Must({"diff", "-rq", set.directory + "/" + set.name, out_ + "/" + set.name});
      }
    }
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    for (auto& row : createRows_) rows_.push_back(row);
    createRows_.clear();

    if (haveServeGap_) {
      fs::remove_all(out_);
      ChildResult r = Must({o_.norvarc, "extract", "--measure-serve-gap", archive, out_});
      // "serve-gap MS CALLS N1 N5 CPU-MS"
      const auto at = r.err.find("serve-gap\t");
      if (at != std::string::npos) {
        ServeGap gap;
        std::istringstream(r.err.substr(at + 10)) >> gap.ms >> gap.calls >> gap.over1 >>
            gap.over5 >> gap.cpuMs;
        serveGaps_[set.name] = gap;
      }
    }
  }

  // Peak memory of extract, for archives of very different sizes.
  void MeasureMemory(const DataSet& set) {
    Row row{set.name, "extract", "norvarc extract (memory)", set.bytes, set.files};
    for (int run = 0; run < std::min(o_.runs, 3); ++run) {
      fs::remove_all(out_);
      ChildResult r = Must({o_.norvarc, "extract", Archive(set), out_});
      row.seconds.push_back(r.seconds);
      row.cpuSeconds.push_back(r.cpuSeconds);
      row.rssKiB.push_back(r.peakRssKiB);
    }
    rows_.push_back(row);
  }

  const Row* Find(const std::string& set, const std::string& key) const {
    for (const auto& row : rows_) {
      if (row.set == set && row.key == key) return &row;
    }
    return nullptr;
  }

  void Target(std::ostream& out, const std::string& what, bool known, bool met,
              const std::string& figures) {
    out << "- " << (known ? (met ? "met" : "NOT met") : "not measured") << ": " << what;
    if (known) out << " (" << figures << ")";
    out << '\n';
  }

  static std::string Fixed(double value, int digits = 2) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
  }

  void PrintTargets(std::ostream& out) {
    out << "Targets:\n";
    const Row* decode = Find("large", "decode-zlib");
    const Row* fast = Find("large", "extract");
    const Row* slow = Find("large", "extract-zlib");
    if (decode && slow) {
      const double ratio = slow->MegabytesPerSecond() / decode->MegabytesPerSecond();
      Target(out, "extract (a), zlib path >= 0.75 x decode-only zlib", true, ratio >= 0.75,
             Fixed(ratio));
    }
    if (fast && slow) {
      const double ratio = fast->MegabytesPerSecond() / slow->MegabytesPerSecond();
      Target(out, "extract (a), fast decoder >= 1.6 x zlib path", true, ratio >= 1.6, Fixed(ratio));
    } else {
      Target(out, "extract (a), fast decoder >= 1.6 x zlib path", false, false, "");
    }
    const Row* unchecked = Find("large", "decode-libdeflate");
    const Row* checked = Find("large", "decode-checked");
    if (unchecked && checked && fast) {
      // The scan's share of an extract: the decode time it adds, against
      // the whole extract's time.
      const double added = Median(checked->cpuSeconds) - Median(unchecked->cpuSeconds);
      const double share = added / Median(fast->cpuSeconds);
      Target(out, "header check < 5% of extract (a) (added decode CPU / extract CPU)", true,
             share < 0.05, Fixed(share * 100, 1) + "%");
    }
    for (const auto& [set, limit] :
         {std::pair<std::string, double>{"large", 0.5}, {"small", 0.8}}) {
      const Row* extract = Find(set, "extract");
      const Row* unzip = Find(set, "unzip");
      if (!extract || !unzip) continue;
      const double ratio = extract->MedianSeconds() / unzip->MedianSeconds();
      Target(out, "extract " + set + " <= " + Fixed(limit, 1) + " x unzip's time", true,
             ratio <= limit, Fixed(ratio));
    }
    for (const std::string set : {"large", "small"}) {
      for (const auto& [plain, whole, where] :
           {std::tuple<const char*, const char*, const char*>{"extract", "extract-whole", ""},
            {"extract-over", "extract-whole-over", ", over the old tree"}}) {
        const Row* a = Find(set, plain);
        const Row* b = Find(set, whole);
        if (!a || !b) continue;
        const double ratio = b->MedianSeconds() / a->MedianSeconds();
        Target(out, "extract --all-or-nothing " + set + where + " <= 1.10 x plain extract's time",
               true, ratio <= 1.10, Fixed(ratio));
      }
    }
    long peak = 0;
    for (const auto& row : rows_) {
      if (row.key.rfind("extract", 0) == 0) peak = std::max(peak, row.PeakRssKiB());
    }
    Target(out, "peak RSS of extract < 8 MiB", peak > 0, peak < 8 * 1024,
           Fixed(peak / 1024.0) + " MiB");
    const Row* small = Find("mem16", "extract");
    const Row* big = Find(o_.large ? "mem1024" : "large", "extract");
    if (small && big) {
      const long diff = std::labs(big->PeakRssKiB() - small->PeakRssKiB());
      Target(out,
             "extract RSS of 16 MiB vs " + std::string(o_.large ? "1 GiB" : "256 MiB") +
                 " archive within 1 MiB",
             true, diff <= 1024,
             Fixed(small->PeakRssKiB() / 1024.0) + " vs " + Fixed(big->PeakRssKiB() / 1024.0) +
                 " MiB");
    }
    for (const auto& [set, gap] : serveGaps_) {
      Target(out, "longest gap between serving messages < 5 ms, " + set, true, gap.ms < 5,
             Fixed(gap.ms, 3) + " ms; in processor time " + Fixed(gap.cpuMs, 3) + " ms; " +
                 std::to_string(gap.over5) + " of " + std::to_string(gap.calls) +
                 " gaps >= 5 ms, " + std::to_string(gap.over1) + " >= 1 ms");
    }
    if (serveGaps_.empty())
      Target(out, "longest gap between serving messages < 5 ms", false, false, "");
    const Row* one = Find("large", "create-j1");
    const Row* two = Find("large", "create-j2");
    if (one && two && haveJobs_) {
      const double ratio = one->MedianSeconds() / two->MedianSeconds();
      Target(out, "create -j 2 >= 1.7 x as fast as -j 1 on (a)", true, ratio >= 1.7,
             Fixed(ratio) + (identicalArchives_ ? ", archives identical" : ", ARCHIVES DIFFER"));
    } else {
      Target(out, "create -j 2 >= 1.7 x as fast as -j 1 on (a)", false, false, "");
    }
  }

  Options o_;
  std::string scratch_, out_, archives_;
  bool haveJobs_ = false;
  bool haveDecoderOption_ = false;
  bool haveServeGap_ = false;
  bool haveAllOrNothing_ = false;
  bool identicalArchives_ = false;
  std::vector<Row> rows_;
  std::vector<Row> createRows_;
  struct ServeGap {
    double ms = 0, cpuMs = 0;
    long calls = 0, over1 = 0, over5 = 0;
  };
  std::map<std::string, ServeGap> serveGaps_;
};

}  // namespace

}  // namespace norv::bench

int main(int argc, char** argv) {
  try {
    return norv::bench::Bench(norv::bench::ParseOptions(argc, argv)).Run();
  } catch (const std::exception& e) {
    std::cerr << "norv_bench: " << e.what() << '\n';
    return 1;
  }
}
