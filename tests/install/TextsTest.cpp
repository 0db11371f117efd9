// The installer's texts are Windows-1252 bytes whatever the compiler's
// execution character set: a text left in UTF-8 would show as "ATENÃ‡ÃƒO"
// in the log. A UTF-8 text gives itself away by a lead byte followed by a
// continuation byte, which none of these Portuguese texts holds in
// Windows-1252.
#include <string_view>

#include "install/FormDescription.h"
#include "install/InstallTexts.h"
#include "platform/Cp1252.h"
#include "tests/install/InstallerFixture.h"

namespace norv::testing {
namespace {

std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

bool HoldsUtf8(std::string_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if (lead >= 0xC2 && lead <= 0xF4 && next >= 0x80 && next <= 0xBF) return true;
  }
  return false;
}

TEST(InstallTexts, AreWindows1252) {
  EXPECT_EQ(Cp1252ToUtf8(texts::kAtencao), Utf8(u8"ATENÇÃO: arquivo: "));
  ASSERT_TRUE(HoldsUtf8(Utf8(u8"ATENÇÃO"))) << "the check sees a UTF-8 text";
  using namespace texts;
  for (const char* text : {kEstaSendoExecutado, kEncerre, kCriandoAtalho, kAtalhoNaoCriado,
                           kConcluido, kConcluidoComExcecoes, kNaoConcluido, kArquivoNaoEncontrado,
                           kAtencao, kNaoDescompactado, kNaoEncontrado, form::kCaption}) {
    EXPECT_FALSE(HoldsUtf8(text)) << Cp1252ToUtf8(text);
    EXPECT_NE(Cp1252ToUtf8(text), text) << "holds a character beyond ASCII";
  }
}

TEST_F(InstallerTest, ArchiveTitleIsWindows1252) {
  EXPECT_EQ(Cp1252ToUtf8(form->BackupFile.BackupTitle()), Utf8(u8"Backup do Norv Contábil"));
}

}  // namespace
}  // namespace norv::testing
