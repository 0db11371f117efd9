#pragma once
// Every text that the installer writes into its log or shows in a dialog, in
// Windows-1252. Other than ASCII characters are written as \x escapes, the
// readable text in the comment above, so that every compiler gives the same
// bytes.
namespace norv::texts {

// Information text shown when the window opens (current directory).
inline constexpr const char* kDadosTxt = "Dados.txt";

// Refusal: product name, then this, a CR, then kEncerre.
// " está sendo executado neste computador."
inline constexpr const char* kEstaSendoExecutado = " est\xE1 sendo executado neste computador.";
// "Encerre-o antes de prosseguir com a instalação."
inline constexpr const char* kEncerre = "Encerre-o antes de prosseguir com a instala\xE7\xE3o.";

// "Criando atalho na Área de Trabalho..."
inline constexpr const char* kCriandoAtalho = "Criando atalho na \xC1rea de Trabalho...";
inline constexpr const char* kAtalhoCriado = "Atalho criado com sucesso.";
// "Não foi possível criar o atalho."
inline constexpr const char* kAtalhoNaoCriado = "N\xE3o foi poss\xEDvel criar o atalho.";

inline constexpr const char* kExecutando = "Executando o aplicativo ";
inline constexpr const char* kPressioneOk = "Pressione OK somente quando o aplicativo";
inline constexpr const char* kForFinalizado = "for finalizado.";

inline constexpr const char* kLinhaBanner = "============================";
// "*** PROCESSO CONCLUÍDO ***"
inline constexpr const char* kConcluido =
    "*** PROCESSO CONCLU\xCD"
    "DO ***";
// "*** PROCESSO CONCLUÍDO (C O M   E X C E S S Õ E S) ***"
inline constexpr const char* kConcluidoComExcecoes =
    "*** PROCESSO CONCLU\xCD"
    "DO (C O M   E X C E S S \xD5 E S) ***";
// "*** PROCESSO NÃO CONCLUÍDO ***"
inline constexpr const char* kNaoConcluido =
    "*** PROCESSO N\xC3O CONCLU\xCD"
    "DO ***";
// "ERRO: arquivo de atualização não encontrado: "
inline constexpr const char* kArquivoNaoEncontrado =
    "ERRO: arquivo de atualiza\xE7\xE3o n\xE3o encontrado: ";
// "ERRO: <file>: <the system's reason>" after a restore that failed.
inline constexpr const char* kErro = "ERRO: ";
inline constexpr const char* kErroSeparador = ": ";

// After a failed restore, every change undone:
// "A instalação anterior foi restaurada."
inline constexpr const char* kAnteriorRestaurada = "A instala\xE7\xE3o anterior foi restaurada.";
// Some change could not be undone (each named on an ERRO line before):
// "A instalação anterior não pôde ser restaurada por completo; a próxima
// execução do instalador termina de restaurá-la."
inline constexpr const char* kAnteriorNaoRestaurada =
    "A instala\xE7\xE3o anterior n\xE3o p\xF4"
    "de ser restaurada por completo; a pr\xF3xima execu\xE7\xE3o do instalador termina de "
    "restaur\xE1-la.";
// An interrupted installation found at the start: "Recuperando a instalação
// interrompida de " + archive + "...", then how it ended.
inline constexpr const char* kRecuperando = "Recuperando a instala\xE7\xE3o interrompida de ";
// "A instalação interrompida foi desfeita."
inline constexpr const char* kInterrompidaDesfeita =
    "A instala\xE7\xE3o interrompida foi desfeita.";
// "A instalação interrompida foi concluída."
inline constexpr const char* kInterrompidaConcluida =
    "A instala\xE7\xE3o interrompida foi conclu\xED"
    "da.";

// "ATENÇÃO: arquivo: "
inline constexpr const char* kAtencao = "ATEN\xC7\xC3O: arquivo: ";
// " não descompactado porque o aplicativo está carregado na memória..."
inline constexpr const char* kNaoDescompactado =
    " n\xE3o descompactado porque o aplicativo est\xE1 carregado na mem\xF3ria...";
inline constexpr const char* kDescompactando = "Descompactando: ";
inline constexpr const char* kReticencias = "...";

// A missing next volume: "O volume " + name + kNaoEncontrado + CR + kColoqueO.
inline constexpr const char* kOVolume = "O volume ";
// " não foi encontrado."
inline constexpr const char* kNaoEncontrado = " n\xE3o foi encontrado.";
inline constexpr const char* kColoqueO =
    "Coloque-o na mesma pasta do primeiro volume e pressione OK, ou Cancel para interromper.";

}  // namespace norv::texts
