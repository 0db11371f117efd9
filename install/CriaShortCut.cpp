// The desktop shortcut: a shell link written through the shell's COM objects,
// in a fixed order, never replacing an existing file of the same name.
#include "install/FrmInstaladorNorv.h"
#include "install/InstallErrors.h"
#include "platform/Cp1252.h"
#include "platform/Paths.h"

namespace norv {

void TFrmInstaladorNorv::CriaShortCut(const std::string& name, const std::string& target,
                                      std::int32_t folder) {
  CriaShortCutArquivo(name, target, folder);
}

std::string TFrmInstaladorNorv::CriaShortCutArquivo(const std::string& name,
                                                    const std::string& target,
                                                    std::int32_t folder) {
  // Declared in this order so that they are released in the reverse one
  // (IPersistFile, IShellLinkA, the object), also when a step throws.
  std::int32_t result = 0;
  std::unique_ptr<IShellLinkObject> objeto = shell_.CreateShellLink(result);
  if (!objeto) throw EOleSysError(shell_.SystemErrorText(result), result);
  std::unique_ptr<ShellLinkTarget> shellLink = objeto->QueryShellLinkA();
  if (!shellLink) throw EIntfCastError();
  std::unique_ptr<ShellLinkFile> persistFile = objeto->QueryPersistFile();
  if (!persistFile) throw EIntfCastError();

  shellLink->SetPath(target);
  shellLink->SetWorkingDirectory(ExtractFilePath(target));

  // An unresolved folder would put the link at the root of the current
  // drive; write nothing instead.
  const std::string pasta = shell_.SpecialFolderPath(folder);
  if (pasta.empty()) return {};

  const std::u16string arquivoLink = Cp1252ToUtf16(pasta) + u"\\" + Cp1252ToUtf16(name) + u".LNK";
  const std::string arquivo = Utf16ToCp1252(arquivoLink);
  if (!files_.FileExists(arquivo)) persistFile->Save(arquivoLink, false);
  return arquivo;
}

}  // namespace norv
