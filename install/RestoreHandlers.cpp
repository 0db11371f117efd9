// The archive component's four handlers: the per-file guard, the log line
// of each written file, the progress bar and the next volume.
#include "install/FrmInstaladorNorv.h"
#include "install/InstallTexts.h"
#include "install/ProductTable.h"
#include "platform/Paths.h"

namespace norv {

void TFrmInstaladorNorv::BackupFileRestoreFile(TBackupFile& /*Sender*/, std::string& Filename,
                                               std::int32_t /*FA*/, bool& DoRestore) {
  // Every file is written unless a running application keeps it open; the
  // component's restore-mode proposal is replaced.
  DoRestore = true;
  const std::string nome = AsciiUpperCase(ExtractFileName(Filename));
  for (const TArquivoProtegido& linha : kArquivosProtegidos) {
    if (nome != linha.Arquivo) continue;
    for (const char* classe : linha.Classes) {
      if (classe != nullptr && !SistemaFechado(classe)) {
        DoRestore = false;
        break;
      }
    }
    break;
  }
  if (!DoRestore) {
    MemoDadosAplicativo.Add(texts::kAtencao + Filename + texts::kNaoDescompactado);
    ComExcecoes = true;
  }
}

void TFrmInstaladorNorv::BackupFileFileRestored(TBackupFile& /*Sender*/, std::string& Filename,
                                                TFileStream& /*Stream*/) {
  MemoDadosAplicativo.Add(texts::kDescompactando + Filename + texts::kReticencias);
}

void TFrmInstaladorNorv::BackupFileProgress(TBackupFile& /*Sender*/, std::string /*Filename*/,
                                            TPercentage Percent, bool& Continue) {
  ProgressBar1.SetPosition(Percent);
  Continue = true;
}

void TFrmInstaladorNorv::BackupFileNeedDisk(TBackupFile& Sender, std::uint16_t /*DiskID*/,
                                            bool& Continue) {
  // The component names the file it will open; when it is missing the user
  // may put it there or stop. Answering true without it would make the
  // component ask forever.
  const std::string& volume = Sender.NextVolumeName();
  if (files_.FileExists(volume)) {
    Continue = true;
    return;
  }
  const std::string texto =
      texts::kOVolume + volume + texts::kNaoEncontrado + "\r" + texts::kColoqueO;
  Continue = windows_.MessageDialog(texto, DialogKind::Information, DialogButtons::OkCancel) ==
             DialogResult::Ok;
}

}  // namespace norv
