#pragma once
// TFrmInstaladorNorv: the installer's one window. It shows "Dados.txt", runs
// the installation on "&Instalar" (refusal check, restore with the per-file
// guard and log, desktop shortcut, follow-up programs, banner) and asks the
// application to end on "&Fechar". Everything platform-specific goes through
// the interfaces handed to the constructor.
#include <cstdint>
#include <functional>
#include <string>

#include "backup/BackupFile.h"
#include "install/Controls.h"
#include "install/InstallerView.h"
#include "platform/FileSystem.h"
#include "platform/ShellLink.h"
#include "platform/System.h"
#include "platform/WindowSystem.h"

namespace norv {

// The command-line parameters as the window's module holds them. Empty until
// start-up copies its values in, after the window exists and before it is
// first shown; only read afterwards.
extern std::string ParamSobrescrever;   // #1 "OVERWRITE": overwrite everything
extern std::string ParamArquivo;        // #2 first volume of the archive
extern std::string ParamAtalhoNome;     // #3 desktop shortcut name ("" = none)
extern std::string ParamAtalhoDestino;  // #4 shortcut target
extern std::string ParamAplicativo1;    // #5..#7 follow-up programs
extern std::string ParamAplicativo2;
extern std::string ParamAplicativo3;

class TFrmInstaladorNorv {
 public:
  // All five outlive the window. `view` is the window's own memo and
  // progress bar; the archive component is created over `files` and
  // `windows` and gets its stored settings here.
  TFrmInstaladorNorv(WindowSystem& windows, InstallerView& view, FileSystem& files, System& system,
                     Shell& shell);
  TFrmInstaladorNorv(const TFrmInstaladorNorv&) = delete;
  TFrmInstaladorNorv& operator=(const TFrmInstaladorNorv&) = delete;

  // --- Components, in declaration order ---
  TBackupFile BackupFile;
  TMemo MemoDadosAplicativo;
  TButton BttnInstalar;  // OnClick: BttnInstalarClick
  TButton BttnFechar;    // OnClick: BttnFecharClick
  TProgressBar ProgressBar1;
  TImage Image2;  // background picture
  TImage Image3;  // animated logo

  // True when the current installation held back at least one file.
  bool ComExcecoes = false;

  // Closes the window, which as the main window asks the application to end.
  // Provided by the platform layer; unassigned does nothing.
  std::function<void()> OnClose;

  // True when no top-level window of this class exists. Asks anew each time.
  bool SistemaFechado(const std::string& className);
  // Writes "<desktop>\<name>.LNK" pointing at `target`, unless a file of that
  // name exists. `folder` is a shell folder identifier (0 = desktop).
  void CriaShortCut(const std::string& name, const std::string& target, std::int32_t folder);
  // Show handler: "Dados.txt" from the current directory into the memo.
  void FormShow();
  // The whole installation. A press while one runs is ignored.
  void BttnInstalarClick();
  void BackupFileProgress(TBackupFile& Sender, std::string Filename, TPercentage Percent,
                          bool& Continue);
  void BttnFecharClick();
  void BackupFileNeedDisk(TBackupFile& Sender, std::uint16_t DiskID, bool& Continue);
  void BackupFileFileRestored(TBackupFile& Sender, std::string& Filename, TFileStream& Stream);
  void BackupFileRestoreFile(TBackupFile& Sender, std::string& Filename, std::int32_t FA,
                             bool& DoRestore);

  // True while BttnInstalarClick runs.
  bool Instalando() const { return instalando_; }

 private:
  // The archive component's stored properties and its bound events.
  void ApplyBackupFileSettings();
  // CriaShortCut's work; returns the link file name it settled on ("" when
  // the folder could not be resolved).
  std::string CriaShortCutArquivo(const std::string& name, const std::string& target,
                                  std::int32_t folder);
  void Instala();
  // Finishes an installation that a kill or a power cut interrupted, with
  // its log lines; false when something of it could not be put back.
  bool RecuperaInterrompida();
  // The ERRO lines of a failed restore and whether the previous
  // installation is back.
  void RegistraFalha(bool primeiroVolume);
  void RegistraNaoRestaurados(const std::vector<NotRestored>& arquivos);
  void ExecutaAplicativo(const std::string& aplicativo);

  WindowSystem& windows_;
  FileSystem& files_;
  System& system_;
  Shell& shell_;
  bool instalando_ = false;
};

}  // namespace norv
