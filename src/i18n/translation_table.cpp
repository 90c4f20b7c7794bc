#include "i18n/translation_table.h"

namespace kestrel {
namespace {

// The texts used so far. Every interface text gets its row here, in both languages.
constexpr TranslationRow kRows[] = {
    {"KEY_MOD_CTRL", "Ctrl", "Ctrl"},
    {"KEY_MOD_SHIFT", "Shift", "Maj"},
    {"KEY_MOD_ALT", "Alt", "Alt"},
    {"Keyboard help on", nullptr, "Aide clavier activée"},
    {"Keyboard help off", nullptr, "Aide clavier désactivée"},
    {"no action assigned", nullptr, "aucune action assignée"},
    {"Shuffle on", nullptr, "Aléatoire activé"},
    {"Shuffle off", nullptr, "Aléatoire désactivé"},
    {"Failed to register window class.", nullptr, "Échec de l'enregistrement de la classe de fenêtre."},
    {"Failed to create window.", nullptr, "Échec de la création de la fenêtre."},
    {"&File", nullptr, "&Fichier"},
    {"&Open...\tCtrl+O", nullptr, "&Ouvrir...\tCtrl+O"},
    {"E&xit", nullptr, "&Quitter"},
    {"Fullscreen\tF11", nullptr, "Plein écran\tF11"},
};

}  // namespace

std::span<const TranslationRow> TranslationRows() { return kRows; }

}  // namespace kestrel
