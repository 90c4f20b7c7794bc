// Third block of texts: the menu bar, then the labels of the remaining Options pages and of every
// other dialog.
#include "i18n/hint_texts.h"
#include "i18n/translation_table.h"

namespace kestrel {
namespace {

constexpr TranslationRow kRows[] = {
    // File menu
    {"&File", nullptr, "&Fichier"},
    {"&Open...\tCtrl+O", nullptr, "&Ouvrir...\tCtrl+O"},
    {"Add &Folder...\tCtrl+Shift+O", nullptr, "Ajouter un &dossier...\tCtrl+Shift+O"},
    {"&Playlist...\tCtrl+P", nullptr, "&Liste de lecture...\tCtrl+P"},
    {"Open &URL...\tCtrl+U", nullptr, "Ouvrir une &URL...\tCtrl+U"},
    {"Paste from clip&board\tCtrl+V", nullptr, "&Coller depuis le presse-papiers\tCtrl+V"},
    {"&YouTube...\tCtrl+Y", nullptr, "&YouTube...\tCtrl+Y"},
    {"&Radio...\tCtrl+R", nullptr, "&Radio...\tCtrl+R"},
    {"&Add Stream to Favorites...\tCtrl+D", nullptr, "Ajouter le flux aux &favoris...\tCtrl+D"},
    {"&Podcasts...\tCtrl+Shift+P", nullptr, "&Podcasts...\tCtrl+Shift+P"},
    {"&Schedule...\tCtrl+S", nullptr, "Pro&grammation...\tCtrl+S"},
    {"Song &History...\tCtrl+Shift+H", nullptr, "&Historique des morceaux...\tCtrl+Shift+H"},
    {"Recent &Files", nullptr, "Fichi&ers récents"},
    {"(Empty)", nullptr, "(Vide)"},
    {"&Hide to Tray\tCtrl+H", nullptr, "&Masquer dans la zone de notification\tCtrl+H"},
    {"O&ptions...\tCtrl+,", nullptr, "Op&tions...\tCtrl+,"},
    {"E&xit\tAlt+F4", nullptr, "&Quitter\tAlt+F4"},

    // Playback menu
    {"&Playback", nullptr, "&Lecture"},
    {"&Play\tX", nullptr, "&Lire\tX"},
    {"Pa&use\tC", nullptr, "&Pause\tC"},
    {"Play/Pause\tSpace", nullptr, "Lecture/Pause\tSpace"},
    {"&Stop\tV", nullptr, "&Arrêter\tV"},
    {"P&revious\tZ", nullptr, "P&récédent\tZ"},
    {"&Next\tB", nullptr, "&Suivant\tB"},
    {"S&huffle\tH", nullptr, "Aléat&oire\tH"},
    {"R&epeat\tE", nullptr, "Répé&ter\tE"},
    {"Seek &Backward\tLeft", nullptr, "Re&culer\tLeft"},
    {"Seek &Forward\tRight", nullptr, "A&vancer\tRight"},
    {"&Beginning\tHome", nullptr, "&Début\tHome"},
    {"&Jump to Time...\tJ", nullptr, "Aller à un &instant...\tJ"},
    {"Volume &Up\tUp", nullptr, "&Monter le volume\tUp"},
    {"Volume &Down\tDown", nullptr, "&Baisser le volume\tDown"},
    {"Speak &Elapsed\tCtrl+Shift+E", nullptr, "Annoncer le temps &écoulé\tCtrl+Shift+E"},
    {"Speak &Remaining\tCtrl+Shift+R", nullptr, "Annoncer le temps resta&nt\tCtrl+Shift+R"},
    {"Speak &Total\tCtrl+Shift+T", nullptr, "Annoncer la d&urée totale\tCtrl+Shift+T"},

    // Video menu
    {"&Video", nullptr, "&Vidéo"},
    {"&Fullscreen\tF11", nullptr, "&Plein écran\tF11"},
    {"Cycle &Subtitles", nullptr, "Changer de &sous-titres"},
    {"&Load Subtitle File...", nullptr, "&Charger un fichier de sous-titres..."},
    {"Subtitles &Off", nullptr, "&Désactiver les sous-titres"},
    {"Cycle &Audio Track", nullptr, "Changer de piste &audio"},
    {"Cycle Aspect &Ratio", nullptr, "Changer de &format d'image"},
    {"Take Scr&eenshot", nullptr, "Prendre une capture d'&écran"},

    // Help menu
    {"&Help", nullptr, "&Aide"},
    {"&Readme", nullptr, "&Lisez-moi"},
    {"Check for &Updates...", nullptr, "Rechercher des mises à &jour..."},
    {"&Loaded Plugins...", nullptr, "Modules c&hargés..."},
    {"&Test YouTube playback", nullptr, "&Tester la lecture YouTube"},
    {"C&lear YouTube cache...", nullptr, "&Vider le cache YouTube..."},
    {"Audit dialog &layout...", nullptr, "Vérifier la &disposition des dialogues..."},

    // Options, YouTube page
    {"Announce YouTube effects activation", nullptr, "Annoncer l'activation des effets YouTube"},
    {"Clear cache when Kestrel closes", nullptr, "Vider le cache à la fermeture de Kestrel"},
    {"Clear cache now...", nullptr, "Vider le cache maintenant..."},
    {"Limit cache size (MB, 0 = unlimited):", nullptr, "Taille maximale du cache (Mo, 0 = illimitée) :"},
    {"...", nullptr, "..."},
    {"&yt-dlp path:", nullptr, "Chemin de &yt-dlp :"},
    {"YouTube Data &API key (optional, enables search):", nullptr,
     "Clé &API YouTube Data (facultative, active la recherche) :"},
    {kApiKeyConsoleLabel, nullptr, "Obtenir une clé API sur : https://console.cloud.google.com/"},
    {"Without API key, yt-dlp will be used for search (slower).", nullptr,
     "Sans clé API, la recherche passe par yt-dlp (plus lent)."},

    // Options, SoundTouch, Speedy, Signalsmith and MIDI pages
    {"SoundTouch settings (changes apply on next file load):", nullptr,
     "Réglages de SoundTouch (appliqués au prochain chargement de fichier) :"},
    {"&Anti-alias filter", nullptr, "Filtre &anticrénelage"},
    {"AA filter &length:", nullptr, "&Longueur du filtre anticrénelage :"},
    {"&Quick algorithm (lower quality, less CPU)", nullptr, "Algorithme &rapide (qualité moindre, moins de processeur)"},
    {"&Prevent click (reduces artifacts)", nullptr, "Empêcher les &clics (réduit les artefacts)"},
    {"&Interpolation:", nullptr, "&Interpolation :"},
    {"&Sequence (ms):", nullptr, "&Séquence (ms) :"},
    {"See&k window:", nullptr, "&Fenêtre de recherche :"},
    {"&Overlap:", nullptr, "Che&vauchement :"},
    {"(0 = automatic for Sequence/Seek window)", nullptr, "(0 = automatique pour Séquence et Fenêtre de recherche)"},
    {"Google Speedy algorithm settings:", nullptr, "Réglages de l'algorithme Speedy de Google :"},
    {"Speedy uses nonlinear speedup optimized for speech.", nullptr,
     "Speedy utilise une accélération non linéaire optimisée pour la parole."},
    {"It compresses vowels more than consonants for clarity.", nullptr,
     "Il compresse davantage les voyelles que les consonnes pour rester intelligible."},
    {"&Enable nonlinear speedup (recommended for speech)", nullptr,
     "&Activer l'accélération non linéaire (recommandé pour la parole)"},
    {"Signalsmith Stretch settings (changes apply on next file load):", nullptr,
     "Réglages de Signalsmith Stretch (appliqués au prochain chargement de fichier) :"},
    {"&Quality preset:", nullptr, "Préréglage de &qualité :"},
    {"&Tonality limit (Hz, 0 = auto):", nullptr, "Limite de &tonalité (Hz, 0 = auto) :"},
    {"Higher tonality limits preserve more harmonics during pitch shift.", nullptr,
     "Une limite de tonalité plus haute préserve davantage d'harmoniques lors d'un changement de hauteur."},
    {"Use 0 for automatic, or 4000-8000 for speech, 8000-16000 for music.", nullptr,
     "Utilisez 0 pour automatique, ou 4000-8000 pour la parole, 8000-16000 pour la musique."},
    // MIDI is synthesised by FluidSynth.
    {"MIDI playback settings (BASSMIDI):", "MIDI playback settings (FluidSynth):",
     "Réglages de lecture MIDI (FluidSynth) :"},
    {"&SoundFont (.sf2/.sf3):", nullptr, "&SoundFont (.sf2/.sf3) :"},
    {"Ma&x voices (polyphony):", nullptr, "Nombre ma&ximal de voix (polyphonie) :"},
    {"(1-1000, default 128)", nullptr, "(1-1000, 128 par défaut)"},
    {"Use s&inc interpolation (higher quality, more CPU)", nullptr,
     "Utiliser l'&interpolation sinc (meilleure qualité, plus de processeur)"},

    // dialog buttons
    {"OK", nullptr, "OK"},
    {"Cancel", nullptr, "Annuler"},
    {"Close", nullptr, "Fermer"},

    // hotkey editor, Open URL, Jump to Time, effect preset
    {"Assign Global Hotkey", nullptr, "Attribuer un raccourci global"},
    {"&Action:", nullptr, "&Action :"},
    {"&Hotkey:", nullptr, "&Raccourci :"},
    {"Enter stream &URL (http/https):", nullptr, "Saisissez l'&URL du flux (http/https) :"},
    {"Jump to Time", nullptr, "Aller à un instant"},
    {"Enter &time (mm:ss or hh:mm:ss):", nullptr, "Saisissez l'&instant (mm:ss ou hh:mm:ss) :"},
    {"Save Effect Preset", nullptr, "Enregistrer le préréglage d'effets"},
    {"Preset &name:", nullptr, "&Nom du préréglage :"},

    // YouTube, bookmarks, song history
    {"&Search or paste URL:", nullptr, "&Rechercher ou coller une URL :"},
    {"&Results:", nullptr, "Rés&ultats :"},
    {"&Load More", nullptr, "Charger la &suite"},
    {"Bookmarks", nullptr, "Signets"},
    {"&Show:", nullptr, "&Afficher :"},
    {"Enter = jump, Delete = remove, Escape = close", nullptr, "Entrée = aller, Suppr = supprimer, Échap = fermer"},
    {"Recent songs captured from stream metadata (Ctrl+C to copy):", nullptr,
     "Morceaux récents relevés dans les métadonnées des flux (Ctrl+C pour copier) :"},
    {"&Copy", nullptr, "&Copier"},
    {"C&lear", nullptr, "&Effacer"},

    // radio
    {"Internet Radio", nullptr, "Radio Internet"},
    {"Enter = play, Delete = remove, Escape = close", nullptr, "Entrée = lire, Suppr = supprimer, Échap = fermer"},
    {"&Import...", nullptr, "&Importer..."},
    {"&Export...", nullptr, "E&xporter..."},
    {"&Source:", nullptr, "&Source :"},
    {"&Search", nullptr, "&Rechercher"},
    {"Co&untry:", nullptr, "&Pays :"},
    {"S&tations:", nullptr, "S&tations :"},
    {"Enter = play, Escape = close", nullptr, "Entrée = lire, Échap = fermer"},
    {"Add to &Favorites", nullptr, "Ajouter aux &favoris"},
    {"Add Radio Station", nullptr, "Ajouter une station de radio"},
    {"Station &name:", nullptr, "&Nom de la station :"},
    {"Stream &URL:", nullptr, "&URL du flux :"},
    {kStationUrlHint, nullptr, "Exemple : http://example.com:8000/stream.mp3"},

    // scheduler
    {"Scheduler", nullptr, "Planificateur"},
    {"Scheduled events (Enter = toggle, Delete = remove, Escape = close):", nullptr,
     "Événements programmés (Entrée = activer ou désactiver, Suppr = supprimer, Échap = fermer) :"},
    {"&Name:", nullptr, "&Nom :"},
    {"&File:", nullptr, "&Fichier :"},
    {"Ra&dio:", nullptr, "Ra&dio :"},
    {"&Date:", nullptr, "&Date :"},
    {"&Time:", nullptr, "&Heure :"},
    {"&Repeat:", nullptr, "&Répétition :"},
    {"D&uration:", nullptr, "D&urée :"},
    {"minutes (0 = no limit)", nullptr, "minutes (0 = sans limite)"},
    {"S&top:", nullptr, "Arrê&t :"},
    {"&Enabled", nullptr, "Acti&vé"},
    {"Tag", nullptr, "Étiquette"},

    // playlist manager
    {"Playlist Manager", nullptr, "Gestionnaire de liste de lecture"},
    {"&Save...", nullptr, "&Enregistrer..."},
    {"Alt+Up/Down: Move  |  Delete: Remove  |  Enter: Play  |  Ctrl+V: Paste  |  Esc: Close", nullptr,
     "Alt+Haut/Bas : déplacer  |  Suppr : retirer  |  Entrée : lire  |  Ctrl+V : coller  |  Échap : fermer"},

    // podcasts
    {"&Subscriptions:", nullptr, "&Abonnements :"},
    {"&Episodes:", nullptr, "É&pisodes :"},
    {"Enter = load/play, Delete = unsubscribe, F5 = refresh, Escape = close", nullptr,
     "Entrée = charger/lire, Suppr = se désabonner, F5 = actualiser, Échap = fermer"},
    {"&Download", nullptr, "&Télécharger"},
    {"Download &All", nullptr, "Télécharger t&out"},
    {"&Export OPML...", nullptr, "E&xporter un fichier OPML..."},
    {"&Refresh", nullptr, "A&ctualiser"},
    {"&Search iTunes:", nullptr, "&Rechercher sur iTunes :"},
    {"Enter = preview, Escape = close", nullptr, "Entrée = aperçu, Échap = fermer"},
    {"S&ubscribe", nullptr, "&S'abonner"},
    {"&Import OPML...", nullptr, "&Importer un fichier OPML..."},
    {"&Add URL...", nullptr, "Ajouter une &URL..."},
    {"Subscriptions", nullptr, "Abonnements"},
    {"Add Podcast", nullptr, "Ajouter un podcast"},
    {"Feed &URL:", nullptr, "&URL du flux :"},
    {kFeedUrlHint, nullptr, "Exemple : https://example.com/feed.xml"},
    {"&Username:", nullptr, "Nom d'&utilisateur :"},
    {"&Password:", nullptr, "Mot de &passe :"},
    {"(Leave blank if feed doesn't require authentication)", nullptr,
     "(Laissez vide si le flux ne demande pas d'authentification)"},

    // update download
    {"Downloading Update", nullptr, "Téléchargement de la mise à jour"},
    {"Preparing download...", nullptr, nullptr},  // no French text: shown in English
};

}  // namespace

std::span<const TranslationRow> MenuAndDialogRows() { return kRows; }

}  // namespace kestrel
