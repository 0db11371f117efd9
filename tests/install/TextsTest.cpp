// The installer's texts are Windows-1252 bytes whatever the compiler's
// execution character set: a text left in UTF-8 would show as "ATENÃ‡ÃƒO"
// in the log. The expected texts are UTF-8 literals, the same bytes under
// every compiler.
#include "install/FormDescription.h"
#include "install/InstallTexts.h"
#include "platform/Cp1252.h"
#include "tests/install/InstallerFixture.h"

namespace norv::testing {
namespace {

std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

TEST(InstallTexts, AreWindows1252) {
  EXPECT_EQ(std::string(texts::kAtencao), "ATEN\xC7\xC3O: arquivo: ");
  const std::pair<const char*, std::string> cases[] = {
      {texts::kEstaSendoExecutado, Utf8(u8" está sendo executado neste computador.")},
      {texts::kEncerre, Utf8(u8"Encerre-o antes de prosseguir com a instalação.")},
      {texts::kCriandoAtalho, Utf8(u8"Criando atalho na Área de Trabalho...")},
      {texts::kAtalhoNaoCriado, Utf8(u8"Não foi possível criar o atalho.")},
      {texts::kConcluido, Utf8(u8"*** PROCESSO CONCLUÍDO ***")},
      {texts::kConcluidoComExcecoes,
       Utf8(u8"*** PROCESSO CONCLUÍDO (C O M   E X C E S S Õ E S) ***")},
      {texts::kNaoConcluido, Utf8(u8"*** PROCESSO NÃO CONCLUÍDO ***")},
      {texts::kArquivoNaoEncontrado, Utf8(u8"ERRO: arquivo de atualização não encontrado: ")},
      {texts::kAtencao, Utf8(u8"ATENÇÃO: arquivo: ")},
      {texts::kNaoDescompactado,
       Utf8(u8" não descompactado porque o aplicativo está carregado na memória...")},
      {texts::kNaoEncontrado, Utf8(u8" não foi encontrado.")},
      {form::kCaption, Utf8(u8"Norv Informática - Sistemas de Gestão")},
  };
  for (const auto& [text, readable] : cases) {
    EXPECT_EQ(Cp1252ToUtf8(text), readable);
  }
}

TEST_F(InstallerTest, ArchiveTitleIsWindows1252) {
  EXPECT_EQ(Cp1252ToUtf8(form->BackupFile.BackupTitle()), Utf8(u8"Backup do Norv Contábil"));
}

}  // namespace
}  // namespace norv::testing
