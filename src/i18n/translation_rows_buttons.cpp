// The symbolic button and language names, registered before every other text.
#include "i18n/translation_table.h"

namespace kestrel {
namespace {

constexpr TranslationRow kRows[] = {
    {"BTN_OK", "OK", "OK"},
    {"BTN_CANCEL", "Cancel", "Annuler"},
    {"BTN_CLOSE", "Close", "Fermer"},
    {"BTN_SAVE", "Save", "Enregistrer"},
    {"BTN_DELETE", "Delete", "Supprimer"},
    {"BTN_ADD", "Add", "Ajouter"},
    {"BTN_EDIT", "Edit", "Modifier"},
    {"BTN_REMOVE", "Remove", "Retirer"},
    {"BTN_YES", "Yes", "Oui"},
    {"BTN_NO", "No", "Non"},
    {"BTN_BROWSE", "Browse...", "Parcourir..."},
    {"LANG_ENGLISH", "English", "Anglais"},
    {"LANG_FRENCH", "French", "Français"},
};

}  // namespace

std::span<const TranslationRow> ButtonAndLanguageRows() { return kRows; }

}  // namespace kestrel
