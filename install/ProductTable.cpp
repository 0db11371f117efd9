#include "install/ProductTable.h"

#include "install/InstallTexts.h"

namespace norv {

std::string MensagemAplicativoAberto(const std::string& nome) {
  return "O " + nome + texts::kEstaSendoExecutado + "\r" + texts::kEncerre;
}

}  // namespace norv
