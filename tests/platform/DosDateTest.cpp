#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "platform/DosDate.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/MemoryFileSystem.h"

namespace norv {
namespace {

std::int32_t Stamp(int year, int month, int day, int hour, int minute, int twoSeconds) {
  const auto date =
      std::uint32_t(year - 1980) << 9 | std::uint32_t(month) << 5 | std::uint32_t(day);
  const auto time =
      std::uint32_t(hour) << 11 | std::uint32_t(minute) << 5 | std::uint32_t(twoSeconds);
  return static_cast<std::int32_t>(date << 16 | time);
}

const std::int32_t kValid[] = {
    Stamp(2004, 3, 15, 10, 20, 15), Stamp(1980, 1, 1, 0, 0, 0),      Stamp(2000, 2, 29, 12, 0, 0),
    Stamp(2024, 2, 29, 23, 59, 29), Stamp(2107, 12, 31, 23, 59, 29), Stamp(2021, 4, 30, 1, 2, 3),
};
const std::int32_t kInvalid[] = {
    0,  // month 0, day 0
    Stamp(2004, 13, 1, 0, 0, 0),
    Stamp(2004, 0, 1, 0, 0, 0),
    Stamp(2004, 3, 0, 0, 0, 0),
    Stamp(2021, 4, 31, 0, 0, 0),
    Stamp(2001, 2, 29, 0, 0, 0),
    Stamp(2100, 2, 29, 0, 0, 0),  // not leap years
    Stamp(2004, 3, 15, 24, 0, 0),
    Stamp(2004, 3, 15, 10, 60, 0),
    Stamp(2004, 3, 15, 10, 20, 30),
    Stamp(2004, 3, 15, 31, 63, 31),
};

TEST(DosDateTest, TellsRealDatesFromImpossibleOnes) {
  for (auto stamp : kValid) {
    EXPECT_TRUE(IsValidDosDate(stamp)) << std::hex << stamp;
    EXPECT_EQ(PackDosDate(UnpackDosDate(stamp)), stamp) << std::hex << stamp;
  }
  for (auto stamp : kInvalid) {
    EXPECT_FALSE(IsValidDosDate(stamp)) << std::hex << stamp;
    EXPECT_EQ(PackDosDate(UnpackDosDate(stamp)), -1) << std::hex << stamp;
  }
}

// The file systems the tests and the tool use agree: a valid date is set as
// it is, an impossible one leaves the file's time alone.
class SetDosDateTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) {
      root_ = std::filesystem::temp_directory_path() / ("norv-dates-" + std::to_string(::getpid()));
      std::filesystem::remove_all(root_);
      std::filesystem::create_directories(root_);
      fs_ = std::make_unique<PosixFileSystem>(root_.string());
    } else {
      fs_ = std::make_unique<MemoryFileSystem>();
    }
  }
  void TearDown() override {
    if (!root_.empty()) std::filesystem::remove_all(root_);
  }

  std::filesystem::path root_;
  std::unique_ptr<FileSystem> fs_;
};

TEST_P(SetDosDateTest, ImpossibleDatesAreNeverSet) {
  const std::int32_t kept = Stamp(2004, 3, 15, 10, 20, 15);
  fs_->CreateWrite("C:\\F.TXT")->SetDosDate(kept);
  ASSERT_EQ(fs_->FileStamp("C:\\F.TXT"), kept);
  for (auto stamp : kInvalid) {
    fs_->OpenWrite("C:\\F.TXT")->SetDosDate(stamp);
    EXPECT_EQ(fs_->FileStamp("C:\\F.TXT"), kept) << std::hex << stamp;
  }
  for (auto stamp : kValid) {
    fs_->OpenWrite("C:\\F.TXT")->SetDosDate(stamp);
    EXPECT_EQ(fs_->FileStamp("C:\\F.TXT"), stamp) << std::hex << stamp;
  }
}

INSTANTIATE_TEST_SUITE_P(FileSystems, SetDosDateTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Posix" : "Memory"; });

}  // namespace
}  // namespace norv
