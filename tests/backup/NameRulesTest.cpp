// The names a restore refuses because Windows cannot write them, the same
// on every platform.
#include <gtest/gtest.h>

#include "backup/NameRules.h"

namespace norv::names {
namespace {

TEST(NameRules, WhatWindowsCannotWriteIsRefused) {
  struct Row {
    std::string name;
    bool refused;
  } rows[] = {
      {"C:\\A\\B.TXT", false},
      // "C:\\A\\AÇÃO.TXT"
      {"C:\\A\\A\xC7\xC3O.TXT", false},
      {"C:\\.PROFILE", false},
      {"C:\\A\\CONSOLE.TXT", false},
      {"C:\\A\\NULL", false},
      {"C:\\A\\COM10", false},
      {"C:\\A\\LPT0.LOG", false},
      {"C:\\A\\CON", true},
      {"C:\\A\\prn.txt", true},
      {"C:\\Aux\\B", true},
      {"C:\\A\\NUL .TXT", true},
      {"C:\\A\\com1", true},
      {"C:\\A\\LPT9.LOG", true},
      // "C:\\A\\COM¹"
      {"C:\\A\\COM\xB9", true},
      {"C:\\CONIN$", true},
      {"C:\\A\\conout$.x", true},
      {"C:\\A\\B<C", true},
      {"C:\\A\\B>C", true},
      {"C:\\A\\B:C", true},
      {"C:\\A\\B\"C", true},
      {"C:\\A\\B|C", true},
      {"C:\\A\\B?C", true},
      {"C:\\A\\B*C", true},
      {"C:\\A\\B\tC", true},
      {std::string("C:\\A\\B\0C", 8), true},
      {"C:\\A\\B\x1F", true},
      {"C:\\A.\\B", true},
      {"C:\\A\\B ", true},
      {"C:\\A\\.", true},
      {"C:\\A\\..\\B", true},
      {"C:\\A\\\\B", true},
      {"C:\\A\\", true},
      {"C:\\", true},
      {"C:\\A/../../B", true},
      {"C:\\A/B", true},
      // The temporary files' suffix is kept for them.
      {"C:\\A\\B.norvtmp", true},
      {"C:\\A\\B.NorvTmp", true},
      {"C:\\A.norvtmp\\B", false},
      {"C:\\A\\B.norvtmp.txt", false},
      // Room stays for the temporary name, 8 characters longer.
      {"C:\\" + std::string(247, 'N'), false},
      {"C:\\" + std::string(248, 'N'), true},
      {"C:\\A\\" + std::string(246, 'N'), false},
      {"C:\\A\\" + std::string(247, 'N'), true},
      {"C:\\" + std::string(244, 'D') + "\\" + std::string(3, 'F'), false},
      {"C:\\" + std::string(245, 'D') + "\\F", true},
  };
  for (const Row& row : rows) {
    const std::string why = WhyRefused("C:\\", row.name, true);
    EXPECT_EQ(!why.empty(), row.refused) << row.name.substr(0, 40) << ": " << why;
  }
}

TEST(NameRules, TheDestinationCountsTowardsTheLengthButIsNotChecked) {
  const std::string name = "C:\\" + std::string(245, 'N');
  EXPECT_EQ(WhyRefused("C:\\", name, true), "");
  EXPECT_NE(WhyRefused("C:\\DESTINO\\", name, true), "");
  // The caller's destination may hold what a stored name may not.
  EXPECT_EQ(WhyRefused("C:\\A.\\", "D:\\B.TXT", true), "");
  // Flat restores check only the last component.
  EXPECT_EQ(WhyRefused("C:\\", "D:\\A.\\B.TXT", false), "");
  EXPECT_NE(WhyRefused("C:\\", "D:\\A\\NUL", false), "");
  // Without a destination the stored name is the path.
  EXPECT_NE(WhyRefused("", "C:\\A\\COM2.DAT", true), "");
}

}  // namespace
}  // namespace norv::names
