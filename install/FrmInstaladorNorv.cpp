#include "install/FrmInstaladorNorv.h"

#include <array>

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

namespace {

// The archive component's stored settings, applied in this order when the
// window is created (BackupMode before SetArchiveFlag, so the stored flag is
// the one that remains). OnError stays unbound: the component shows its own
// error dialog.
struct StoredSetting {
  const char* Property;
  void (*Apply)(TFrmInstaladorNorv& form);
};

const std::array<StoredSetting, 13> kBackupFileSettings{{
    {"Version", [](TFrmInstaladorNorv& f) { f.BackupFile.SetVersion("5.10"); }},
    {"BackupTitle",
     [](TFrmInstaladorNorv& f) { f.BackupFile.SetBackupTitle("Backup do Norv Contábil"); }},
    {"BackupMode", [](TFrmInstaladorNorv& f) { f.BackupFile.SetBackupMode(bmAll); }},
    {"CompressionLevel", [](TFrmInstaladorNorv& f) { f.BackupFile.SetCompressionLevel(clMax); }},
    {"RestoreMode", [](TFrmInstaladorNorv& f) { f.BackupFile.SetRestoreMode(rmAll); }},
    {"MaxSize", [](TFrmInstaladorNorv& f) { f.BackupFile.SetMaxSize(0); }},
    {"SetArchiveFlag", [](TFrmInstaladorNorv& f) { f.BackupFile.SetSetArchiveFlag(false); }},
    {"OnProgress",
     [](TFrmInstaladorNorv& f) {
       f.BackupFile.OnProgress = [&f](TBackupFile& s, std::string n, TPercentage p, bool& c) {
         f.BackupFileProgress(s, std::move(n), p, c);
       };
     }},
    {"OnNeedDisk",
     [](TFrmInstaladorNorv& f) {
       f.BackupFile.OnNeedDisk = [&f](TBackupFile& s, std::uint16_t d, bool& c) {
         f.BackupFileNeedDisk(s, d, c);
       };
     }},
    {"OnRestoreFile",
     [](TFrmInstaladorNorv& f) {
       f.BackupFile.OnRestoreFile = [&f](TBackupFile& s, std::string& n, std::int32_t fa, bool& r) {
         f.BackupFileRestoreFile(s, n, fa, r);
       };
     }},
    {"OnFileRestored",
     [](TFrmInstaladorNorv& f) {
       f.BackupFile.OnFileRestored = [&f](TBackupFile& s, std::string& n, TFileStream& st) {
         f.BackupFileFileRestored(s, n, st);
       };
     }},
    {"RestoreFullPath", [](TFrmInstaladorNorv& f) { f.BackupFile.SetRestoreFullPath(true); }},
    {"SaveFileID", [](TFrmInstaladorNorv& f) { f.BackupFile.SetSaveFileID(false); }},
}};

}  // namespace

TFrmInstaladorNorv::TFrmInstaladorNorv(WindowSystem& windows, FileSystem& files, System& system,
                                       Shell& shell)
    : BackupFile(files, windows),
      MemoDadosAplicativo(windows, form::kMemoDadosAplicativo),
      BttnInstalar(form::kBttnInstalar, form::kBttnInstalarCaption, true),
      BttnFechar(form::kBttnFechar, form::kBttnFecharCaption, false),
      ProgressBar1(windows, form::kProgressBar1),
      Image2(form::kImage2),
      Image3(form::kImage3),
      windows_(windows),
      files_(files),
      system_(system),
      shell_(shell) {
  BackupFile.Name = "BackupFile";
  for (const StoredSetting& setting : kBackupFileSettings) setting.Apply(*this);
  BttnInstalar.OnClick = [this] { BttnInstalarClick(); };
  BttnFechar.OnClick = [this] { BttnFecharClick(); };
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
