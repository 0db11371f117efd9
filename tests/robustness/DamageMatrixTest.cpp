// A reference three-volume archive, cut at every length of each volume and
// changed at every byte: each run ends cleanly and obeys the event rules
// (RestoreProbe), writes nothing outside the destination, and allocates no
// block of memory that only a hostile length field could ask for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "backup/BackupFile.h"
#include "fuzz/FuzzCase.h"
#include "tests/robustness/AllocationWatch.h"
#include "tests/robustness/ReferenceArchive.h"
#include "tests/robustness/RestoreProbe.h"

namespace norv::robustness {
namespace {

// Every allocation a run makes stays below this (the largest buffers are a
// few block sizes).
constexpr std::size_t kLargestAllocation = 1 << 20;

struct Damage {
  std::string what;
  Outcome outcome;
  std::vector<std::string> violations;
  std::string report;
};

// Restores `volumes` the way the installer does (every file written, always
// continue, volumes in place) into C:\DEST, with existing files around it.
Damage RestoreDamaged(const std::vector<std::string>& volumes, std::string what) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\DEST\\APP\\LEIA.TXT", "older copy", 0x20000000);
  fs.AddFile("C:\\OUTSIDE.TXT", "keep");
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    fs.AddFile(fuzz::VolumeName(static_cast<int>(i) + 1), volumes[i]);
  }
  AnswerTape tape;
  TapeUserInterface ui(tape);
  std::size_t total = 0;
  for (const auto& v : volumes) total += v.size();
  ui.serveLimit = static_cast<long>(total / 4) + 16;
  TBackupFile backup(fs, ui);
  backup.SetRestoreFullPath(true);
  ProbeSettings settings;
  settings.tapeAnswers = false;
  RestoreProbe probe(backup, fs, ui, tape, settings);

  Damage damage{std::move(what), {}, {}, {}};
  AllocationWatch watch;
  damage.outcome = probe.Run(fuzz::VolumeName(1), "C:\\DEST");
  damage.violations = probe.Violations();
  if (watch.Largest() > kLargestAllocation) {
    damage.violations.push_back("an allocation of " + std::to_string(watch.Largest()) + " bytes");
  }
  if (!damage.violations.empty()) damage.report = probe.Report();
  return damage;
}

class DamageMatrix : public ::testing::Test {
 protected:
  void Expect(const Damage& damage) {
    ++runs_;
    if (damage.violations.empty()) return;
    if (++failures_ <= 5) ADD_FAILURE() << damage.what << "\n" << damage.report;
  }
  void TearDown() override {
    EXPECT_EQ(failures_, 0) << failures_ << " of " << runs_ << " runs broke a rule";
  }

  const ReferenceArchive reference_ = MakeReferenceArchive();
  int runs_ = 0;
  int failures_ = 0;
};

TEST_F(DamageMatrix, ReferenceArchiveHasTheShapeUnderTest) {
  ASSERT_EQ(reference_.volumes.size(), 3u);
  const Damage intact = RestoreDamaged(reference_.volumes, "intact");
  Expect(intact);
  EXPECT_EQ(intact.outcome.ending, Ending::True) << intact.outcome.message;
}

TEST_F(DamageMatrix, EveryTruncationOfEveryVolumeFailsCleanly) {
  for (std::size_t v = 0; v < reference_.volumes.size(); ++v) {
    for (std::size_t length = 0; length < reference_.volumes[v].size(); ++length) {
      auto volumes = reference_.volumes;
      volumes[v].resize(length);
      const Damage damage = RestoreDamaged(
          volumes, "volume " + std::to_string(v + 1) + " cut to " + std::to_string(length));
      Expect(damage);
      // Every byte of the reference archive is read; losing any one is noticed.
      if (damage.outcome.ending == Ending::True) {
        ADD_FAILURE() << damage.what << ": restored as if intact";
      }
    }
  }
}

// Every offset of every volume gets a fixed, deterministic sample of values
// (all 255 at every offset would be ten times the runs, over a minute of the
// test budget): the extremes, small numbers, the sign bit, the path
// characters ".", ":" and "\\", single-bit flips and steps of one from the
// original byte. Under the sanitizers, where runs are several times slower,
// a smaller sample. The fuzz targets cover arbitrary values.
TEST_F(DamageMatrix, EverySingleByteChangeEndsCleanly) {
  for (std::size_t v = 0; v < reference_.volumes.size(); ++v) {
    for (std::size_t at = 0; at < reference_.volumes[v].size(); ++at) {
      const auto original = static_cast<unsigned char>(reference_.volumes[v][at]);
      auto near = [original](int delta) { return static_cast<unsigned char>(original + delta); };
      auto flip = [original](int bit) { return static_cast<unsigned char>(original ^ (1 << bit)); };
      std::vector<unsigned char> values = {0x00,    0xFF,    0x7F,    0x80,
                                           flip(0), flip(7), near(1), near(-1)};
      if (AllocationWatch::Active()) {
        for (unsigned char extra : {0x01, 0x02, 0x04, 0x10, 0x20, 0x81, 0xFE, 0x2E, 0x3A, 0x5C}) {
          values.push_back(extra);
        }
        for (int bit = 1; bit < 7; ++bit) values.push_back(flip(bit));
      }
      for (unsigned char value : values) {
        if (value == original) continue;
        auto volumes = reference_.volumes;
        volumes[v][at] = static_cast<char>(value);
        Expect(RestoreDamaged(volumes, "volume " + std::to_string(v + 1) + " byte " +
                                           std::to_string(at) + " set to " +
                                           std::to_string(value)));
      }
    }
  }
}

}  // namespace
}  // namespace norv::robustness
