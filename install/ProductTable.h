#pragma once
// The sibling applications, known by their main-window classes: the archives
// whose installation is refused while their owner runs, and the files that are
// held back while an application that keeps them open runs.
#include <array>
#include <string>

namespace norv {

inline constexpr const char* kClasseNorvRH = "TRHMain";
inline constexpr const char* kClasseNorvLivros = "TLVMain";
inline constexpr const char* kClasseNorvPonte = "TFrmNorvPonte";
inline constexpr const char* kClasseNorvConta = "TFrmNorvConta";
inline constexpr const char* kClasseConsultor = "TMainForm";

struct TProduto {
  const char* Arquivo;  // parameter #2, compared exactly
  const char* Classe;
  const char* Nome;  // as named in the refusal message
};

// Tried in this order.
inline constexpr std::array<TProduto, 3> kProdutos{{
    {"PacRH.001", kClasseNorvRH, "NorvRH"},
    {"PacLiv.001", kClasseNorvLivros, "NorvLivros"},
    {"PacPon~1.001", kClasseNorvPonte, "NorvPonte"},
}};

struct TArquivoProtegido {
  const char* Arquivo;  // upper-case bare file name
  // Asked in order; the second only when the first has no window. nullptr: none.
  std::array<const char*, 2> Classes;
};

inline constexpr std::array<TArquivoProtegido, 7> kArquivosProtegidos{{
    {"QUADRO.EXE", {kClasseConsultor, kClasseNorvConta}},
    {"CONTA.EXE", {kClasseNorvConta, nullptr}},
    {"GDS32.DLL", {kClasseNorvConta, nullptr}},
    {"RH.EXE", {kClasseNorvRH, nullptr}},
    {"TUTIL32.DLL", {kClasseNorvRH, kClasseNorvLivros}},
    {"LIVROS.EXE", {kClasseNorvLivros, nullptr}},
    {"PONTE.EXE", {kClasseNorvPonte, nullptr}},
}};

// "O <nome> está sendo executado neste computador." CR "Encerre-o antes ...".
std::string MensagemAplicativoAberto(const std::string& nome);

}  // namespace norv
