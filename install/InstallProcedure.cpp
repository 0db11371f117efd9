// "&Instalar": the refusal check, the restore, the shortcut, the follow-up
// programs and the banner.
#include "install/FrmInstaladorNorv.h"
#include "install/InstallTexts.h"
#include "install/ProductTable.h"
#include "platform/Paths.h"

namespace norv {
namespace {

inline constexpr const char* kSobrescrever = "OVERWRITE";
inline constexpr std::int32_t kAreaDeTrabalho = 0;  // shell folder id of the desktop
inline constexpr unsigned kSwHide = 0;

// Hourglass for the whole run; the default cursor again on every way out.
class CursorDeEspera {
 public:
  explicit CursorDeEspera(WindowSystem& windows) : windows_(windows) {
    windows_.SetCursor(Cursor::HourGlass);
  }
  ~CursorDeEspera() { windows_.SetCursor(Cursor::Default); }
  CursorDeEspera(const CursorDeEspera&) = delete;
  CursorDeEspera& operator=(const CursorDeEspera&) = delete;

 private:
  WindowSystem& windows_;
};

}  // namespace

void TFrmInstaladorNorv::BttnInstalarClick() {
  // The restore serves the message queue between blocks and the button stays
  // enabled, so a press can arrive while a run is going on; the component is
  // not re-entrant, so such a press is ignored.
  if (instalando_) return;
  instalando_ = true;
  struct Fim {
    bool& instalando;
    ~Fim() { instalando = false; }
  } fim{instalando_};
  Instala();
}

void TFrmInstaladorNorv::Instala() {
  ComExcecoes = false;
  for (const TProduto& produto : kProdutos) {
    if (ParamArquivo == produto.Arquivo && !SistemaFechado(produto.Classe)) {
      windows_.MessageDialog(MensagemAplicativoAberto(produto.Nome), DialogKind::Information,
                             DialogButtons::Ok);
      return;
    }
  }

  CursorDeEspera cursor(windows_);
  MemoDadosAplicativo.EnableVerticalScrollBar();
  MemoDadosAplicativo.Clear();
  ProgressBar1.SetMax(100);
  ProgressBar1.SetPosition(0);
  BackupFile.SetRestoreMode(ParamSobrescrever == kSobrescrever ? rmAll : rmNoOverwrite);

  // Never close a restore that did not complete with a success banner.
  const bool primeiroVolume = files_.FileExists(ParamArquivo);
  // A restore that cannot first undo the interrupted one does not start.
  const bool restaurado = RecuperaInterrompida() && BackupFile.Restore(ParamArquivo, kSystemDrive);
  if (!restaurado) RegistraFalha(primeiroVolume);

  if (!ParamAtalhoNome.empty()) {
    MemoDadosAplicativo.Add(texts::kCriandoAtalho);
    const std::string link =
        CriaShortCutArquivo(ParamAtalhoNome, ParamAtalhoDestino, kAreaDeTrabalho);
    const bool criado = !link.empty() && files_.FileExists(link);
    MemoDadosAplicativo.Add(criado ? texts::kAtalhoCriado : texts::kAtalhoNaoCriado);
  }

  ExecutaAplicativo(ParamAplicativo1);
  ExecutaAplicativo(ParamAplicativo2);
  ExecutaAplicativo(ParamAplicativo3);

  MemoDadosAplicativo.Add(texts::kLinhaBanner);
  MemoDadosAplicativo.Add(!restaurado   ? texts::kNaoConcluido
                          : ComExcecoes ? texts::kConcluidoComExcecoes
                                        : texts::kConcluido);
  MemoDadosAplicativo.Add(texts::kLinhaBanner);
}

bool TFrmInstaladorNorv::RecuperaInterrompida() {
  const Recovery recuperacao = BackupFile.Recover(kSystemDrive);
  if (!recuperacao.found) return true;
  MemoDadosAplicativo.Add(texts::kRecuperando + recuperacao.archive + texts::kReticencias);
  if (!recuperacao.failures.empty()) {
    RegistraNaoRestaurados(recuperacao.failures);
    return false;
  }
  MemoDadosAplicativo.Add(recuperacao.committed ? texts::kInterrompidaConcluida
                                                : texts::kInterrompidaDesfeita);
  return true;
}

void TFrmInstaladorNorv::RegistraFalha(bool primeiroVolume) {
  // The component ends silently when the first volume is missing.
  if (!primeiroVolume) MemoDadosAplicativo.Add(texts::kArquivoNaoEncontrado + ParamArquivo);
  if (BackupFile.ErrorCode() != 0) {
    MemoDadosAplicativo.Add(texts::kErro + BackupFile.FailedFileName() + texts::kErroSeparador +
                            BackupFile.FailureReason());
  }
  if (BackupFile.Undone()) {
    MemoDadosAplicativo.Add(texts::kAnteriorRestaurada);
  } else if (!BackupFile.NotRestoredFiles().empty()) {
    RegistraNaoRestaurados(BackupFile.NotRestoredFiles());
  }
}

void TFrmInstaladorNorv::RegistraNaoRestaurados(const std::vector<NotRestored>& arquivos) {
  for (const NotRestored& arquivo : arquivos) {
    MemoDadosAplicativo.Add(texts::kErro + arquivo.file + texts::kErroSeparador + arquivo.reason);
  }
  MemoDadosAplicativo.Add(texts::kAnteriorNaoRestaurada);
}

void TFrmInstaladorNorv::ExecutaAplicativo(const std::string& aplicativo) {
  // The whole parameter is the file name: a command line with arguments, or
  // a folder, names no existing file and is passed over.
  if (aplicativo.empty() || !files_.FileExists(aplicativo)) return;
  MemoDadosAplicativo.Add(texts::kExecutando + aplicativo + texts::kReticencias);
  system_.WinExec(aplicativo, kSwHide);
  windows_.MessageDialog(
      std::string(texts::kPressioneOk) + "\r" + aplicativo + "\r" + texts::kForFinalizado,
      DialogKind::Information, DialogButtons::Ok);
}

}  // namespace norv
