// Second block of texts: the pages of the Options dialog, then the status line, presets, song
// history, pickers, the scheduler, bookmarks, the playlist, seek units, help and the YouTube
// self-test.
#include "i18n/translation_table.h"

namespace kestrel {
namespace {

constexpr TranslationRow kRows[] = {
    // Options pages
    {"Playback", nullptr, "Lecture"},
    {"Recording", nullptr, "Enregistrement"},
    {"Downloads", nullptr, "Téléchargements"},
    {"Speech", nullptr, "Parole"},
    {"Movement", nullptr, "Déplacement"},
    {"Global Hotkeys", nullptr, "Raccourcis globaux"},
    {"Effects", nullptr, "Effets"},
    {"Advanced", nullptr, "Avancé"},
    {"SoundTouch", nullptr, "SoundTouch"},
    {"Speedy", nullptr, "Speedy"},
    {"Signalsmith", nullptr, "Signalsmith"},
    {"MIDI", nullptr, "MIDI"},

    // Options, Playback page
    {"&Output device:", nullptr, "&Périphérique de sortie :"},
    {"&Allow volume above 100%", nullptr, "&Autoriser le volume au-delà de 100%"},
    {"&Remember playback state on exit", nullptr, "&Mémoriser l'état de lecture à la fermeture"},
    {"Remember p&osition if longer than:", nullptr, "Mémoriser la p&osition si la durée dépasse :"},
    {"&Bring window to front when opening files", nullptr, "Mettre la &fenêtre au premier plan à l'ouverture de fichiers"},
    {"&Load all files in folder when opening single file", nullptr,
     "&Charger tous les fichiers du dossier à l'ouverture d'un seul fichier"},
    {"&Minimize to system tray", nullptr, "Réduire dans la &zone de notification"},
    {"Show &track name in window title", nullptr, "Afficher le &titre de la piste dans la barre de titre"},
    {"Auto-ad&vance to next playlist item", nullptr, "Passer automatiquement à l'élément &suivant de la liste"},
    {"&Follow playback in playlist dialog", nullptr, "Su&ivre la lecture dans la fenêtre de la liste de lecture"},
    {"Check for &updates on startup", nullptr, "Rechercher les mises à &jour au démarrage"},
    {"Allow &multiple instances", nullptr, "Autoriser plusieurs i&nstances"},
    {"Register all supported &file types", nullptr, "Associer tous les types de fic&hiers pris en charge"},
    {"Re&wind on pause (ms):", nullptr, "&Reculer à la mise en pause (ms) :"},
    {"Volu&me step:", nullptr, "Pas du &volume :"},
    {"Lan&guage:", nullptr, "&Langue :"},

    // Options, Recording and Downloads pages
    {"Record audio output to file. Press R to toggle recording.", nullptr,
     "Enregistrer la sortie audio dans un fichier. Appuyez sur R pour démarrer ou arrêter l'enregistrement."},
    {"&Output folder:", nullptr, "Dossier de &sortie :"},
    {"&Browse...", nullptr, "&Parcourir..."},
    {"Filename &template:", nullptr, "&Modèle de nom de fichier :"},
    // The label under the template lists the placeholders the file name template understands.
    {"(Uses strftime format: %Y=year, %m=month, %d=day, %H=hour, %M=min, %S=sec)",
     "(Available: {year}, {month}, {day}, {hour}, {minute}, {second})",
     "(Disponibles : {année}, {mois}, {jour}, {heure}, {minute}, {seconde})"},
    {"&Format:", nullptr, "&Format :"},
    {"&Bitrate:", nullptr, "&Débit :"},
    {"(Bitrate only applies to MP3 and OGG formats)", nullptr, "(Le débit ne s'applique qu'aux formats MP3 et OGG)"},
    {"Configure podcast episode download settings.", nullptr, "Réglez le téléchargement des épisodes de podcast."},
    {"&Downloads folder:", nullptr, "Dossier de &téléchargement :"},
    {"&Organize downloads into folders by feed title", nullptr,
     "&Ranger les téléchargements dans un dossier par titre de flux"},

    // Options, Speech and Movement pages
    {"Configure speech feedback for various events.", nullptr, "Réglez les annonces vocales de divers événements."},
    {"&Announce track changes", nullptr, "&Annoncer les changements de piste"},
    {"Speak &volume when adjusted", nullptr, "Annoncer le &volume lors de son réglage"},
    {"Speak &effect value when adjusted", nullptr, "Annoncer la valeur de l'&effet lors de son réglage"},
    {"Seek amounts (use , and . to cycle):", nullptr, "Pas de déplacement (, et . pour les parcourir) :"},
    {"&1 second", nullptr, "&1 seconde"},
    {"&5 seconds", nullptr, "&5 secondes"},
    {"1&0 seconds", nullptr, "1&0 secondes"},
    {"&30 seconds", nullptr, "&30 secondes"},
    {"1 &minute", nullptr, "1 &minute"},
    {"5 m&inutes", nullptr, "5 m&inutes"},
    {"10 min&utes", nullptr, "10 min&utes"},
    {"3&0 minutes", nullptr, "3&0 minutes"},
    {"1 &hour", nullptr, "1 &heure"},
    {"1 &track", nullptr, "1 &piste"},
    {"5 t&racks", nullptr, "5 pi&stes"},
    {"10 trac&ks", nullptr, "10 pist&es"},
    {"1 c&hapter (if available)", nullptr, "1 &chapitre (si disponible)"},

    // Options, Global Hotkeys page
    {"&Enable global hotkeys", nullptr, "&Activer les raccourcis globaux"},
    {"&Add...", nullptr, "A&jouter..."},
    {"&Edit...", nullptr, "&Modifier..."},
    {"&Remove", nullptr, "&Retirer"},

    // Options, Effects page
    {"Stream effects ([ ] to cycle, Up/Down to adjust):", nullptr,
     "Effets du flux ([ ] pour parcourir, Haut/Bas pour régler) :"},
    {"&Volume (0-400%)", nullptr, "&Volume (0-400%)"},
    {"&Pitch (-12 to +12 semitones)", nullptr, "&Hauteur (-12 à +12 demi-tons)"},
    {"&Tempo (-50% to +100%)", nullptr, "&Tempo (-50% à +100%)"},
    {"Playback &Rate (0.5x - 2x)", nullptr, "Vitesse de lectu&re (0,5x - 2x)"},
    {"Step:", nullptr, "Pas :"},
    {"DSP effects (enable to add their parameters to cycle list):", nullptr,
     "Effets DSP (activez-les pour ajouter leurs paramètres à la liste parcourue) :"},
    {"Re&verb:", nullptr, "Ré&verbération :"},
    {"&Echo", nullptr, "É&cho"},
    {"E&Q (Bass/Mid/Treble)", nullptr, "É&galiseur (graves/médiums/aigus)"},
    {"&Compressor", nullptr, "Co&mpresseur"},
    {"&Stereo Width (0-200%)", nullptr, "&Largeur stéréo (0-200%)"},
    {"Ce&nter Cancel (-100 to +100%)", nullptr, "Suppression du ce&ntre (-100 à +100%)"},
    {"&3D Audio (HRTF/Binaural)", nullptr, "Audio &3D (HRTF/binaural)"},
    {"Co&nvolution Reverb", nullptr, "Réverbération à c&onvolution"},
    {"IR File:", nullptr, "Fichier d'impulsion :"},

    // Options, Advanced page
    {"Audio buffer settings (changes apply on next file load):", nullptr,
     "Réglages du tampon audio (appliqués au prochain chargement de fichier) :"},
    {"&Buffer size:", nullptr, "&Taille du tampon :"},
    {"&Update period:", nullptr, "&Période de mise à jour :"},
    {"Lower values reduce latency but may cause audio glitches.", nullptr,
     "Des valeurs plus basses réduisent la latence mais peuvent provoquer des coupures du son."},
    {"Tempo/pitch &algorithm (changes apply on next file load):", nullptr,
     "&Algorithme de tempo et de hauteur (appliqué au prochain chargement de fichier) :"},
    {"EQ frequencies (Hz) - changes apply on next EQ enable:", nullptr,
     "Fréquences de l'égaliseur (Hz) - appliquées à sa prochaine activation :"},
    {"Bass (20-500):", nullptr, "Graves (20-500) :"},
    {"Mid (200-5k):", nullptr, "Médiums (200-5k) :"},
    {"Treble (2k-20k):", nullptr, "Aigus (2k-20k) :"},
    {"&Legacy volume (faster, but affects recordings)", nullptr,
     "Volume &classique (plus rapide, mais agit sur les enregistrements)"},
    {"Disable &batch delay (only catches one file at a time)", nullptr,
     "Désactiver le &délai de regroupement (ne reçoit qu'un fichier à la fois)"},
    {"Reset station/podcast &order to alphabetical", nullptr,
     "Rétablir l'&ordre alphabétique des stations et des podcasts"},

    // status line
    {"Playing", nullptr, "En lecture"},
    {"Paused", nullptr, "En pause"},
    {"Stopped", nullptr, "Arrêté"},
    {"Video", nullptr, "Vidéo"},
    {"Vol", nullptr, "Vol"},
    {"REC", nullptr, "ENR"},

    // folders, presets, song history
    {"files loaded", nullptr, "fichiers chargés"},
    {"No audio files found", nullptr, "Aucun fichier audio trouvé"},
    {"Saved preset", nullptr, "Préréglage enregistré"},
    {"(No presets saved)", nullptr, "(Aucun préréglage enregistré)"},
    {"&Delete preset", nullptr, "&Supprimer un préréglage"},
    {"&Save current as new preset...", nullptr, "&Enregistrer les réglages actuels comme nouveau préréglage..."},
    {"Song copied", nullptr, "Morceau copié"},
    {"Clear all song history?", nullptr, "Effacer tout l'historique des morceaux ?"},
    {"Song History", nullptr, "Historique des morceaux"},
    {"Select folder to add to playlist", nullptr, "Sélectionner le dossier à ajouter à la liste de lecture"},
    {"Order reset to alphabetical", nullptr, "Ordre alphabétique rétabli"},
    {"Language change will fully apply after restart.", nullptr,
     "Le changement de langue sera pleinement appliqué après redémarrage."},
    {"Select recording output folder", nullptr, "Sélectionner le dossier des enregistrements"},
    {"Select downloads folder", nullptr, "Sélectionner le dossier de téléchargement"},
    {"Select yt-dlp executable", nullptr, "Sélectionner le programme yt-dlp"},
    {"Select SoundFont file", nullptr, "Sélectionner un fichier SoundFont"},
    {"Select Impulse Response file", nullptr, "Sélectionner un fichier de réponse impulsionnelle"},

    // scheduler
    {"Scheduled event ended", nullptr, "Événement programmé terminé"},
    {"Scheduled playback ended", nullptr, "Lecture programmée terminée"},
    {"Scheduled recording ended", nullptr, "Enregistrement programmé terminé"},
    {"Scheduled event:", nullptr, "Événement programmé :"},
    {"Enabled", nullptr, "Activé"},
    {"Disabled", nullptr, "Désactivé"},
    {"Schedule removed", nullptr, "Programmation supprimée"},
    {"Schedule added", nullptr, "Programmation ajoutée"},
    {"Schedule updated", nullptr, "Programmation mise à jour"},
    {"No schedule selected", nullptr, "Aucune programmation sélectionnée"},
    {"Edit Scheduled Event", nullptr, "Modifier l'événement programmé"},
    {"Add Scheduled Event", nullptr, "Ajouter un événement programmé"},
    {"File", nullptr, "Fichier"},
    {"Both", nullptr, "Les deux"},
    {"Once", nullptr, "Une fois"},
    {"Daily", nullptr, "Tous les jours"},
    {"Weekly", nullptr, "Toutes les semaines"},
    {"Weekdays", nullptr, "En semaine"},
    {"Weekends", nullptr, "Le week-end"},
    {"Monthly", nullptr, "Tous les mois"},
    {"Playback only", nullptr, "Lecture seulement"},
    {"Recording only", nullptr, "Enregistrement seulement"},
    {"Select Audio File", nullptr, "Sélectionner un fichier audio"},
    {"Please enter a name.", nullptr, "Veuillez saisir un nom."},
    {"Please select a file.", nullptr, "Veuillez sélectionner un fichier."},
    {"Please select a radio station.", nullptr, "Veuillez sélectionner une station de radio."},
    {"Add Schedule", nullptr, "Ajouter une programmation"},
    {"Edit Schedule", nullptr, "Modifier la programmation"},
    {"Failed to update scheduled event.", nullptr, "Impossible de mettre à jour l'événement programmé."},
    {"Failed to add scheduled event.", nullptr, "Impossible d'ajouter l'événement programmé."},

    // bookmarks and playlist
    {"Bookmark removed", nullptr, "Signet supprimé"},
    {"Current file", nullptr, "Fichier actuel"},
    {"All bookmarks", nullptr, "Tous les signets"},
    {"removed", nullptr, "supprimés"},
    {"files pasted", nullptr, "fichiers collés"},
    {"Playlist is empty.", nullptr, "La liste de lecture est vide."},
    {"Save Playlist", nullptr, "Enregistrer la liste de lecture"},
    {"Playlist saved", nullptr, "Liste de lecture enregistrée"},
    {"Failed to save playlist.", nullptr, "Impossible d'enregistrer la liste de lecture."},

    // effects
    {"3D Audio Error", nullptr, "Erreur de l'audio 3D"},
    {"No parameters available", nullptr, "Aucun paramètre disponible"},
    {"Not available for live streams", nullptr, "Non disponible pour les flux en direct"},

    // seek units
    {"1 chapter", nullptr, "1 chapitre"},
    {"1 second", nullptr, "1 seconde"},
    {"5 seconds", nullptr, "5 secondes"},
    {"10 seconds", nullptr, "10 secondes"},
    {"30 seconds", nullptr, "30 secondes"},
    {"1 minute", nullptr, "1 minute"},
    {"5 minutes", nullptr, "5 minutes"},
    {"10 minutes", nullptr, "10 minutes"},
    {"20 minutes", nullptr, "20 minutes"},
    {"30 minutes", nullptr, "30 minutes"},
    {"45 minutes", nullptr, "45 minutes"},
    {"60 minutes", nullptr, "60 minutes"},
    {"1 hour", nullptr, "1 heure"},
    {"1 track", nullptr, "1 piste"},
    {"5 tracks", nullptr, "5 pistes"},
    {"10 tracks", nullptr, "10 pistes"},

    // help, shell
    {"Loaded Plugins", nullptr, "Modules chargés"},
    {"Could not open readme.txt. Make sure the docs folder is present alongside Kestrel.exe.",
     "Could not open readme.txt. Make sure the docs folder is present beside the kestrel program.",
     "Impossible d'ouvrir readme.txt. Vérifiez que le dossier docs se trouve à côté du programme kestrel."},
    {"Readme", nullptr, "Lisez-moi"},
    {"Bookmark added", nullptr, "Signet ajouté"},
    {"Shuffle on", nullptr, "Aléatoire activé"},
    {"Shuffle off", nullptr, "Aléatoire désactivé"},
    {"Failed to register window class.", nullptr, "Échec de l'enregistrement de la classe de fenêtre."},
    {"Failed to create window.", nullptr, "Échec de la création de la fenêtre."},
    {"Language", nullptr, "Langue"},

    // YouTube self-test
    {"Test YouTube playback", nullptr, "Tester la lecture YouTube"},
    // The places the player looks for yt-dlp, in its order.
    {"yt-dlp not found.\n\nKestrel looks for it in:\n  - %LOCALAPPDATA%\\Kestrel\\yt-dlp.exe\n"
     "  - <install>\\lib\\yt-dlp.exe\n  - system PATH",
     "yt-dlp not found.\n\nKestrel looks for it in:\n  - ~/.local/share/Kestrel/yt-dlp\n"
     "  - <program folder>/lib/yt-dlp\n  - the PATH",
     "yt-dlp introuvable.\n\nKestrel le cherche dans :\n  - ~/.local/share/Kestrel/yt-dlp\n"
     "  - <dossier du programme>/lib/yt-dlp\n  - le PATH"},
    {"yt-dlp is working.\n\nPath: ", nullptr, "yt-dlp fonctionne.\n\nChemin : "},
    {"Version: ", nullptr, "Version : "},
    {"libmpv (for video / fallback): ", nullptr, "libmpv (pour la vidéo et en secours) : "},
    {"available", nullptr, "disponible"},
    {"not available", nullptr, "non disponible"},
    {"If a YouTube video still fails, check the log file at:\n", nullptr,
     "Si une vidéo YouTube échoue encore, consultez le fichier journal :\n"},
    {"yt-dlp is present but failed to run.\n\nPath: ", nullptr, nullptr},  // no French text: shown in English
};

}  // namespace

std::span<const TranslationRow> OptionAndStatusRows() { return kRows; }

}  // namespace kestrel
