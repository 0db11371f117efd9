#include "install/FrmInstaladorNorv.h"

#include "install/InstallTexts.h"
#include "install/LineBreaks.h"

namespace norv {

std::string ParamSobrescrever;
std::string ParamArquivo;
std::string ParamAtalhoNome;
std::string ParamAtalhoDestino;
std::string ParamAplicativo1;
std::string ParamAplicativo2;
std::string ParamAplicativo3;

TFrmInstaladorNorv::TFrmInstaladorNorv(WindowSystem& windows, InstallerView& view,
                                       FileSystem& files, System& system, Shell& shell)
    : BackupFile(files, windows),
      MemoDadosAplicativo(view, form::kMemoDadosAplicativo),
      BttnInstalar(form::kBttnInstalar, form::kBttnInstalarCaption, true),
      BttnFechar(form::kBttnFechar, form::kBttnFecharCaption, false),
      ProgressBar1(view, form::kProgressBar1),
      Image2(form::kImage2),
      Image3(form::kImage3),
      windows_(windows),
      files_(files),
      system_(system),
      shell_(shell) {
  BackupFile.Name = "BackupFile";
  ApplyBackupFileSettings();
  BttnInstalar.OnClick = [this] { BttnInstalarClick(); };
  BttnFechar.OnClick = [this] { BttnFecharClick(); };
}

// The archive component's stored settings, in their stored order
// (BackupMode before SetArchiveFlag, so the stored flag is the one that
// remains). OnError stays unbound: the component shows its own error dialog.
void TFrmInstaladorNorv::ApplyBackupFileSettings() {
  BackupFile.SetVersion("5.10");
  // "Backup do Norv Contábil"
  BackupFile.SetBackupTitle(
      "Backup do Norv Cont\xE1"
      "bil");
  BackupFile.SetBackupMode(bmAll);
  BackupFile.SetCompressionLevel(clMax);
  BackupFile.SetRestoreMode(rmAll);
  BackupFile.SetMaxSize(0);
  BackupFile.SetSetArchiveFlag(false);
  // An installation is never left half old, half new.
  BackupFile.SetAllOrNothing(true);
  BackupFile.OnProgress = [this](TBackupFile& s, std::string n, TPercentage p, bool& c) {
    BackupFileProgress(s, std::move(n), p, c);
  };
  BackupFile.OnNeedDisk = [this](TBackupFile& s, std::uint16_t d, bool& c) {
    BackupFileNeedDisk(s, d, c);
  };
  BackupFile.OnRestoreFile = [this](TBackupFile& s, std::string& n, std::int32_t fa, bool& r) {
    BackupFileRestoreFile(s, n, fa, r);
  };
  BackupFile.OnFileRestored = [this](TBackupFile& s, std::string& n, TFileStream& st) {
    BackupFileFileRestored(s, n, st);
  };
  BackupFile.SetRestoreFullPath(true);
  BackupFile.SetSaveFileID(false);
}

bool TFrmInstaladorNorv::SistemaFechado(const std::string& className) {
  return !system_.FindWindowA(className);
}

void TFrmInstaladorNorv::FormShow() {
  std::string text;
  {
    auto stream = files_.OpenRead(files_.ExpandFileName(texts::kDadosTxt));
    char buffer[16384];
    while (std::size_t n = stream->Read(buffer, sizeof buffer)) text.append(buffer, n);
  }
  MemoDadosAplicativo.SetText(AdjustLineBreaks(text));
}

void TFrmInstaladorNorv::BttnFecharClick() {
  if (OnClose) OnClose();
}

}  // namespace norv
