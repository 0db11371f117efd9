#pragma once
// Every text that the installer writes into its log or shows in a dialog.
namespace norv::texts {

// Information text shown when the window opens (current directory).
inline constexpr const char* kDadosTxt = "Dados.txt";

// Refusal: product name, then this, a CR, then kEncerre.
inline constexpr const char* kEstaSendoExecutado = " está sendo executado neste computador.";
inline constexpr const char* kEncerre = "Encerre-o antes de prosseguir com a instalação.";

inline constexpr const char* kCriandoAtalho = "Criando atalho na Área de Trabalho...";
inline constexpr const char* kAtalhoCriado = "Atalho criado com sucesso.";
inline constexpr const char* kAtalhoNaoCriado = "Não foi possível criar o atalho.";

inline constexpr const char* kExecutando = "Executando o aplicativo ";
inline constexpr const char* kPressioneOk = "Pressione OK somente quando o aplicativo";
inline constexpr const char* kForFinalizado = "for finalizado.";

inline constexpr const char* kLinhaBanner = "============================";
inline constexpr const char* kConcluido = "*** PROCESSO CONCLUÍDO ***";
inline constexpr const char* kConcluidoComExcecoes =
    "*** PROCESSO CONCLUÍDO (C O M   E X C E S S Õ E S) ***";
inline constexpr const char* kNaoConcluido = "*** PROCESSO NÃO CONCLUÍDO ***";
inline constexpr const char* kArquivoNaoEncontrado =
    "ERRO: arquivo de atualização não encontrado: ";
// "ERRO: <file>: <the system's reason>" after a restore that failed.
inline constexpr const char* kErro = "ERRO: ";
inline constexpr const char* kErroSeparador = ": ";

inline constexpr const char* kAtencao = "ATENÇÃO: arquivo: ";
inline constexpr const char* kNaoDescompactado =
    " não descompactado porque o aplicativo está carregado na memória...";
inline constexpr const char* kDescompactando = "Descompactando: ";
inline constexpr const char* kReticencias = "...";

// A missing next volume: "O volume " + name + kNaoEncontrado + CR + kColoqueO.
inline constexpr const char* kOVolume = "O volume ";
inline constexpr const char* kNaoEncontrado = " não foi encontrado.";
inline constexpr const char* kColoqueO =
    "Coloque-o na mesma pasta do primeiro volume e pressione OK, ou Cancel para interromper.";

}  // namespace norv::texts
