// The page's texts, one row per PageText in its order, cells in the
// catalogue's column order: Danish, German, French, Spanish, Italian,
// Icelandic, English. "[REASON]" and the markers of page_texts.h are
// filled by the page.
#include "page_texts.h"

#include <array>

namespace zelo::web {
namespace {

using i18n::Column;
using i18n::kColumnCount;

struct PageTextRow {
    PageText id;
    std::string_view name;
    std::array<std::u8string_view, kColumnCount> cells;
};

constexpr std::array<std::string_view, kColumnCount> kLanguageTags{"da", "de", "fr", "es", "it", "is", "en"};

constexpr std::array<PageTextRow, kPageTextCount> kPageTexts{{
    {PageText::Title, "title",
     {u8"ZE·LO-opsætning", u8"ZE·LO-Konfiguration", u8"Configuration ZE·LO", u8"Configuración de ZE·LO",
      u8"Configurazione ZE·LO", u8"ZE·LO-stillingar", u8"ZE·LO configuration"}},
    {PageText::Connect, "connect",
     {u8"Tilslut", u8"Verbinden", u8"Connecter", u8"Conectar", u8"Connetti", u8"Tengja", u8"Connect"}},
    {PageText::NotConnected, "notConnected",
     {u8"Ikke tilsluttet.", u8"Nicht verbunden.", u8"Non connecté.", u8"No conectado.", u8"Non connesso.",
      u8"Ekki tengt.", u8"Not connected."}},
    {PageText::Connected, "connected",
     {u8"Tilsluttet.", u8"Verbunden.", u8"Connecté.", u8"Conectado.", u8"Connesso.", u8"Tengt.", u8"Connected."}},
    {PageText::ConnectedUnsaved, "connectedUnsaved",
     {u8"Tilsluttet. Der er ændringer, som ikke er gemt.", u8"Verbunden. Es gibt ungespeicherte Änderungen.",
      u8"Connecté. Des modifications ne sont pas enregistrées.", u8"Conectado. Hay cambios sin guardar.",
      u8"Connesso. Ci sono modifiche non salvate.", u8"Tengt. Það eru óvistaðar breytingar.",
      u8"Connected. There are unsaved changes."}},
    {PageText::Connecting, "connecting",
     {u8"Tilslutter…", u8"Verbindung wird hergestellt…", u8"Connexion…", u8"Conectando…", u8"Connessione…",
      u8"Tengist…", u8"Connecting…"}},
    {PageText::Saving, "saving",
     {u8"Gemmer…", u8"Wird gespeichert…", u8"Enregistrement…", u8"Guardando…", u8"Salvataggio…", u8"Vistar…",
      u8"Saving…"}},
    {PageText::Saved, "saved",
     {u8"Gemt.", u8"Gespeichert.", u8"Enregistré.", u8"Guardado.", u8"Salvato.", u8"Vistað.", u8"Saved."}},
    {PageText::Working, "working",
     {u8"Arbejder…", u8"Wird ausgeführt…", u8"En cours…", u8"En curso…", u8"In corso…", u8"Í vinnslu…",
      u8"Working…"}},
    {PageText::NoneChosen, "noneChosen",
     {u8"Der blev ikke valgt noget tilbehør.", u8"Es wurde kein Zubehör ausgewählt.",
      u8"Aucun accessoire n'a été choisi.", u8"No se eligió ningún accesorio.", u8"Nessun accessorio scelto.",
      u8"Enginn aukabúnaður var valinn.", u8"No accessory was chosen."}},
    {PageText::Unplugged, "unplugged",
     {u8"Tilbehøret blev taget ud. Ændringer, der ikke var gemt, er ikke nået frem til det.",
      u8"Das Zubehör wurde abgezogen. Nicht gespeicherte Änderungen haben es nicht erreicht.",
      u8"L'accessoire a été débranché. Les modifications non enregistrées ne lui sont pas parvenues.",
      u8"El accesorio se desconectó. Los cambios sin guardar no le han llegado.",
      u8"L'accessorio è stato scollegato. Le modifiche non salvate non lo hanno raggiunto.",
      u8"Aukabúnaðurinn var tekinn úr sambandi. Óvistaðar breytingar bárust honum ekki.",
      u8"The accessory was unplugged. Changes that were not saved have not reached it."}},
    {PageText::UnpluggedKept, "unpluggedKept",
     {u8"Tilbehøret blev taget ud, før dine ændringer blev gemt. Eksportér indstillinger skriver dem stadig til "
      u8"en fil; importér filen, når tilbehøret er tilsluttet igen.",
      u8"Das Zubehör wurde abgezogen, bevor Ihre Änderungen gespeichert waren. „Einstellungen exportieren“ "
      u8"schreibt sie weiterhin in eine Datei; importieren Sie diese, sobald das Zubehör wieder verbunden ist.",
      u8"L'accessoire a été débranché avant l'enregistrement de vos modifications. « Exporter les réglages » les "
      u8"écrit toujours dans un fichier ; importez-le une fois l'accessoire reconnecté.",
      u8"El accesorio se desconectó antes de guardar sus cambios. «Exportar configuración» aún los escribe en un "
      u8"archivo; impórtelo cuando el accesorio vuelva a estar conectado.",
      u8"L'accessorio è stato scollegato prima di salvare le modifiche. «Esporta impostazioni» le scrive ancora in "
      u8"un file; importalo quando l'accessorio è di nuovo collegato.",
      u8"Aukabúnaðurinn var tekinn úr sambandi áður en breytingarnar voru vistaðar. „Flytja út stillingar“ skrifar "
      u8"þær samt í skrá; flyttu hana inn þegar aukabúnaðurinn er tengdur aftur.",
      u8"The accessory was unplugged before your changes were saved. Export settings still writes them to a file; "
      u8"import that file once the accessory is connected again."}},
    {PageText::DiscardQuestion, "discardQuestion",
     {u8"Der er ændringer, som ikke er gemt. Vil du tilslutte alligevel og miste dem?",
      u8"Es gibt ungespeicherte Änderungen. Trotzdem verbinden und sie verwerfen?",
      u8"Des modifications ne sont pas enregistrées. Connecter quand même et les perdre ?",
      u8"Hay cambios sin guardar. ¿Conectar de todos modos y perderlos?",
      u8"Ci sono modifiche non salvate. Connettere comunque e perderle?",
      u8"Það eru óvistaðar breytingar. Tengja samt og glata þeim?",
      u8"There are unsaved changes. Connect anyway and lose them?"}},
    {PageText::Exported, "exported",
     {u8"Indstillingerne blev eksporteret.", u8"Die Einstellungen wurden exportiert.",
      u8"Les réglages ont été exportés.", u8"La configuración se exportó.", u8"Le impostazioni sono state esportate.",
      u8"Stillingarnar voru fluttar út.", u8"The settings were exported."}},
    {PageText::FileTooLarge, "fileTooLarge",
     {u8"filen er større, end en indstillingsfil kan være", u8"die Datei ist größer als eine Einstellungsdatei sein kann",
      u8"le fichier est plus grand qu'un fichier de réglages ne peut l'être",
      u8"el archivo es más grande de lo que puede ser un archivo de configuración",
      u8"il file è più grande di quanto possa essere un file di impostazioni",
      u8"skráin er stærri en stillingaskrá getur verið", u8"the file is larger than a settings file can be"}},
    {PageText::TransmitFailed, "transmitFailed",
     {u8"Tilbehøret modtog ikke sendekommandoen.", u8"Das Zubehör hat den Sendebefehl nicht angenommen.",
      u8"L'accessoire n'a pas accepté la commande d'émission.", u8"El accesorio no aceptó la orden de emisión.",
      u8"L'accessorio non ha accettato il comando di trasmissione.", u8"Aukabúnaðurinn tók ekki við sendiskipuninni.",
      u8"The accessory did not take the transmit command."}},
    {PageText::PairingFailed, "pairingFailed",
     {u8"Parringsanmodningen nåede ikke frem til tilbehøret.", u8"Die Kopplungsanfrage hat das Zubehör nicht erreicht.",
      u8"La demande d'appairage n'est pas parvenue à l'accessoire.",
      u8"La solicitud de emparejamiento no llegó al accesorio.",
      u8"La richiesta di associazione non ha raggiunto l'accessorio.",
      u8"Pörunarbeiðnin barst ekki aukabúnaðinum.", u8"The pairing request did not reach the accessory."}},
    {PageText::PairingDone, "pairingDone",
     {u8"Parringen er færdig.", u8"Kopplung abgeschlossen.", u8"Appairage terminé.", u8"Emparejamiento terminado.",
      u8"Associazione completata.", u8"Pörun lokið.", u8"Pairing finished."}},
    {PageText::ModuleWorking, "moduleWorking",
     {u8"Arbejder på Bluetooth-modulet…", u8"Bluetooth-Modul wird bearbeitet…", u8"Opération sur le module Bluetooth…",
      u8"Trabajando en el módulo Bluetooth…", u8"Operazione sul modulo Bluetooth…",
      u8"Unnið í Bluetooth-einingunni…", u8"Working on the Bluetooth module…"}},
    {PageText::ErasingModule, "erasingModule",
     {u8"Sletter modulet…", u8"Modul wird gelöscht…", u8"Effacement du module…", u8"Borrando el módulo…",
      u8"Cancellazione del modulo…", u8"Eyði einingunni…", u8"Erasing the module…"}},
    {PageText::ModuleFileRefused, "moduleFileRefused",
     {u8"[NAME] er ikke en modulfil, der kan installeres.", u8"[NAME] ist keine installierbare Moduldatei.",
      u8"[NAME] n'est pas un fichier de module installable.", u8"[NAME] no es un archivo de módulo instalable.",
      u8"[NAME] non è un file di modulo installabile.", u8"[NAME] er ekki einingarskrá sem hægt er að setja upp.",
      u8"[NAME] is not a module file that can be installed."}},
    {PageText::AddStep, "addStep",
     {u8"Tilføj trin", u8"Schritt hinzufügen", u8"Ajouter une étape", u8"Añadir paso", u8"Aggiungi passo",
      u8"Bæta við skrefi", u8"Add step"}},
    {PageText::RemoveStep, "removeStep",
     {u8"Fjern", u8"Entfernen", u8"Supprimer", u8"Quitar", u8"Rimuovi", u8"Fjarlægja", u8"Remove"}},
    {PageText::NoWebHid, "noWebHid",
     {u8"Denne browser kan ikke tale med USB-tilbehør: den mangler WebHID. Åbn siden i Google Chrome, Microsoft "
      u8"Edge, Opera eller en anden Chromium-baseret browser (version 89 eller nyere) på Windows, macOS, Linux eller "
      u8"ChromeOS. (Firefox og Safari har ikke WebHID.)",
      u8"Dieser Browser kann nicht mit USB-Zubehör sprechen: Ihm fehlt WebHID. Öffnen Sie diese Seite in Google "
      u8"Chrome, Microsoft Edge, Opera oder einem anderen Chromium-basierten Browser (Version 89 oder neuer) unter "
      u8"Windows, macOS, Linux oder ChromeOS. (Firefox und Safari bieten kein WebHID.)",
      u8"Ce navigateur ne peut pas dialoguer avec les accessoires USB : il ne dispose pas de WebHID. Ouvrez cette "
      u8"page dans Google Chrome, Microsoft Edge, Opera ou un autre navigateur basé sur Chromium (version 89 ou "
      u8"ultérieure) sous Windows, macOS, Linux ou ChromeOS. (Firefox et Safari ne proposent pas WebHID.)",
      u8"Este navegador no puede comunicarse con accesorios USB: le falta WebHID. Abra esta página en Google Chrome, "
      u8"Microsoft Edge, Opera u otro navegador basado en Chromium (versión 89 o posterior) en Windows, macOS, Linux "
      u8"o ChromeOS. (Firefox y Safari no ofrecen WebHID.)",
      u8"Questo browser non può comunicare con accessori USB: manca di WebHID. Apri questa pagina in Google Chrome, "
      u8"Microsoft Edge, Opera o un altro browser basato su Chromium (versione 89 o successiva) su Windows, macOS, "
      u8"Linux o ChromeOS. (Firefox e Safari non offrono WebHID.)",
      u8"Þessi vafri getur ekki átt samskipti við USB-aukabúnað: hann vantar WebHID. Opnaðu síðuna í Google Chrome, "
      u8"Microsoft Edge, Opera eða öðrum Chromium-vafra (útgáfu 89 eða nýrri) á Windows, macOS, Linux eða ChromeOS. "
      u8"(Firefox og Safari bjóða ekki upp á WebHID.)",
      u8"This browser cannot talk to USB accessories: it lacks WebHID. Open this page in Google Chrome, Microsoft "
      u8"Edge, Opera or another Chromium-based browser (version 89 or later) on Windows, macOS, Linux or ChromeOS. "
      u8"(Firefox and Safari do not offer WebHID.)"}},
    {PageText::LinuxAccess, "linuxAccess",
     {u8"Linux lod ikke browseren åbne tilbehøret. En udev-regel giver den indloggede bruger adgang; installer den "
      u8"med disse kommandoer, tag så tilbehøret ud, sæt det i igen og tryk på Tilslut:",
      u8"Linux hat dem Browser das Öffnen des Zubehörs verweigert. Eine udev-Regel gibt dem angemeldeten Benutzer "
      u8"Zugriff; installieren Sie sie mit diesen Befehlen, ziehen Sie dann das Zubehör ab, stecken Sie es wieder "
      u8"ein und klicken Sie auf Verbinden:",
      u8"Linux n'a pas laissé le navigateur ouvrir l'accessoire. Une règle udev donne l'accès à l'utilisateur "
      u8"connecté ; installez-la avec ces commandes, puis débranchez l'accessoire, rebranchez-le et cliquez sur "
      u8"Connecter :",
      u8"Linux no permitió que el navegador abriera el accesorio. Una regla udev da acceso al usuario que ha "
      u8"iniciado sesión; instálela con estos comandos, desconecte el accesorio, vuelva a conectarlo y pulse "
      u8"Conectar:",
      u8"Linux non ha permesso al browser di aprire l'accessorio. Una regola udev dà accesso all'utente connesso; "
      u8"installala con questi comandi, poi scollega l'accessorio, ricollegalo e premi Connetti:",
      u8"Linux leyfði vafranum ekki að opna aukabúnaðinn. udev-regla veitir innskráðum notanda aðgang; settu hana "
      u8"upp með þessum skipunum, taktu svo aukabúnaðinn úr sambandi, stingdu honum aftur í og ýttu á Tengja:",
      u8"Linux did not let the browser open the accessory. A udev rule gives the logged-in user access; install it "
      u8"with these commands, then unplug the accessory, plug it in again and press Connect:"}},
    {PageText::UnknownModel, "unknownModel",
     {u8"ukendt model", u8"unbekanntes Modell", u8"modèle inconnu", u8"modelo desconocido", u8"modello sconosciuto",
      u8"óþekkt gerð", u8"unknown model"}},
    {PageText::OpenFailed, "openFailed",
     {u8"Tilbehøret kunne ikke åbnes: [REASON]", u8"Das Zubehör konnte nicht geöffnet werden: [REASON]",
      u8"L'accessoire n'a pas pu être ouvert : [REASON]", u8"No se pudo abrir el accesorio: [REASON]",
      u8"Impossibile aprire l'accessorio: [REASON]", u8"Ekki tókst að opna aukabúnaðinn: [REASON]",
      u8"The accessory could not be opened: [REASON]"}},
    {PageText::EditRefused, "editRefused",
     {u8"Den værdi kan ikke bruges: [REASON]", u8"Dieser Wert ist nicht möglich: [REASON]",
      u8"Cette valeur ne peut pas être utilisée : [REASON]", u8"Ese valor no se puede usar: [REASON]",
      u8"Questo valore non può essere usato: [REASON]", u8"Ekki er hægt að nota þetta gildi: [REASON]",
      u8"That value cannot be used: [REASON]"}},
    {PageText::StepCommand, "stepCommand",
     {u8"[MACRO], trin [STEP]: kommando", u8"[MACRO], Schritt [STEP]: Befehl", u8"[MACRO], étape [STEP] : commande",
      u8"[MACRO], paso [STEP]: orden", u8"[MACRO], passo [STEP]: comando", u8"[MACRO], skref [STEP]: skipun",
      u8"[MACRO], step [STEP]: command"}},
    {PageText::RemoveStepLabel, "removeStepLabel",
     {u8"Fjern trin [STEP] i [MACRO]", u8"Schritt [STEP] von [MACRO] entfernen",
      u8"Supprimer l'étape [STEP] de [MACRO]", u8"Quitar el paso [STEP] de [MACRO]",
      u8"Rimuovi il passo [STEP] di [MACRO]", u8"Fjarlægja skref [STEP] í [MACRO]",
      u8"Remove step [STEP] of [MACRO]"}},
    {PageText::AddStepLabel, "addStepLabel",
     {u8"Tilføj et trin til [MACRO]", u8"Einen Schritt zu [MACRO] hinzufügen", u8"Ajouter une étape à [MACRO]",
      u8"Añadir un paso a [MACRO]", u8"Aggiungi un passo a [MACRO]", u8"Bæta skrefi við [MACRO]",
      u8"Add a step to [MACRO]"}},
    {PageText::FirmwareTooNew, "firmwareTooNew",
     {u8"Tilbehøret har nyere firmware, end denne side understøtter.",
      u8"Das Zubehör hat neuere Firmware, als diese Seite unterstützt.",
      u8"L'accessoire a un firmware plus récent que ce que cette page prend en charge.",
      u8"El accesorio tiene un firmware más reciente del que admite esta página.",
      u8"L'accessorio ha un firmware più recente di quello supportato da questa pagina.",
      u8"Aukabúnaðurinn er með nýrri fastbúnað en þessi síða styður.",
      u8"This accessory runs firmware newer than this page supports."}},
    {PageText::UpdateFailed, "updateFailed",
     {u8"Firmwareopdateringen blev ikke fuldført. Tag tilbehøret ud, sæt det i igen og tryk på Tilslut for at "
      u8"gentage den.",
      u8"Das Firmware-Update wurde nicht abgeschlossen. Ziehen Sie das Zubehör ab, stecken Sie es wieder ein und "
      u8"klicken Sie auf Verbinden, um es zu wiederholen.",
      u8"La mise à jour du firmware n'a pas abouti. Débranchez l'accessoire, rebranchez-le et cliquez sur Connecter "
      u8"pour la relancer.",
      u8"La actualización del firmware no se completó. Desconecte el accesorio, vuelva a conectarlo y pulse "
      u8"Conectar para repetirla.",
      u8"L'aggiornamento del firmware non è stato completato. Scollega l'accessorio, ricollegalo e premi Connetti "
      u8"per ripeterlo.",
      u8"Fastbúnaðaruppfærslunni lauk ekki. Taktu aukabúnaðinn úr sambandi, stingdu honum aftur í og ýttu á Tengja "
      u8"til að endurtaka hana.",
      u8"The firmware update did not complete. Unplug the accessory, plug it in again and press Connect to repeat "
      u8"it."}},
    {PageText::UpdateDeclined, "updateDeclined",
     {u8"Tilbehøret blev ikke tilsluttet: det skal først have firmwareopdateringen.",
      u8"Das Zubehör wurde nicht verbunden: Es braucht zuerst das Firmware-Update.",
      u8"L'accessoire n'a pas été connecté : il lui faut d'abord la mise à jour du firmware.",
      u8"El accesorio no se conectó: primero necesita la actualización del firmware.",
      u8"L'accessorio non è stato connesso: prima serve l'aggiornamento del firmware.",
      u8"Aukabúnaðurinn var ekki tengdur: hann þarf fyrst fastbúnaðaruppfærsluna.",
      u8"The accessory was not connected: it needs the firmware update first."}},
    {PageText::NoAnswer, "noAnswer",
     {u8"Tilbehøret svarede ikke (kode [CODE]). Tag det ud, sæt det i igen og tryk på Tilslut.",
      u8"Das Zubehör hat nicht geantwortet (Code [CODE]). Ziehen Sie es ab, stecken Sie es wieder ein und klicken "
      u8"Sie auf Verbinden.",
      u8"L'accessoire n'a pas répondu (code [CODE]). Débranchez-le, rebranchez-le et cliquez sur Connecter.",
      u8"El accesorio no respondió (código [CODE]). Desconéctelo, vuelva a conectarlo y pulse Conectar.",
      u8"L'accessorio non ha risposto (codice [CODE]). Scollegalo, ricollegalo e premi Connetti.",
      u8"Aukabúnaðurinn svaraði ekki (kóði [CODE]). Taktu hann úr sambandi, stingdu honum aftur í og ýttu á Tengja.",
      u8"The accessory did not answer (code [CODE]). Unplug it, plug it in again and press Connect."}},
    {PageText::Accessory, "accessory",
     {u8"Tilbehør", u8"Zubehör", u8"Accessoire", u8"Accesorio", u8"Accessorio", u8"Aukabúnaður", u8"Accessory"}},
    {PageText::Model, "model",
     {u8"Model", u8"Modell", u8"Modèle", u8"Modelo", u8"Modello", u8"Gerð", u8"Model"}},
    {PageText::Firmware, "firmware",
     {u8"Firmware", u8"Firmware", u8"Firmware", u8"Firmware", u8"Firmware", u8"Fastbúnaður", u8"Firmware"}},
    {PageText::Loader, "loader",
     {u8"Loader", u8"Loader", u8"Chargeur", u8"Cargador", u8"Loader", u8"Ræsiforrit", u8"Loader"}},
    {PageText::Pairing, "pairing",
     {u8"Parring", u8"Kopplung", u8"Appairage", u8"Emparejamiento", u8"Associazione", u8"Pörun", u8"Pairing"}},
    {PageText::ShowIr, "showIr",
     {u8"Vis de IR-kommandoer, tilbehøret modtager", u8"IR-Befehle anzeigen, die das Zubehör empfängt",
      u8"Afficher les commandes IR reçues par l'accessoire", u8"Mostrar las órdenes IR que recibe el accesorio",
      u8"Mostra i comandi IR ricevuti dall'accessorio", u8"Sýna IR-skipanir sem aukabúnaðurinn tekur við",
      u8"Show the IR commands the accessory receives"}},
    {PageText::TransmitCommand, "transmitCommand",
     {u8"Kommando, der skal sendes", u8"Zu sendender Befehl", u8"Commande à émettre", u8"Orden que emitir",
      u8"Comando da trasmettere", u8"Skipun til að senda", u8"Command to transmit"}},
    {PageText::TransmitHint, "transmitHint",
     {u8"(sender, mens knappen holdes nede)", u8"(sendet, solange die Taste gedrückt ist)",
      u8"(émet tant que le bouton reste enfoncé)", u8"(emite mientras se mantiene pulsado)",
      u8"(trasmette finché il pulsante è premuto)", u8"(sendir á meðan hnappinum er haldið niðri)",
      u8"(transmits while held down)"}},
    {PageText::Yes, "yes", {u8"Ja", u8"Ja", u8"Oui", u8"Sí", u8"Sì", u8"Já", u8"Yes"}},
    {PageText::No, "no", {u8"Nej", u8"Nein", u8"Non", u8"No", u8"No", u8"Nei", u8"No"}},
}};

constexpr bool rowsFollowTextOrder() {
    for (std::size_t i = 0; i < kPageTexts.size(); ++i) {
        if (static_cast<std::size_t>(kPageTexts[i].id) != i) return false;
    }
    return true;
}

static_assert(rowsFollowTextOrder(), "page text rows must follow the order of PageText");

}  // namespace

std::string_view pageTextName(PageText id) {
    const auto row = static_cast<std::size_t>(id);
    return row < kPageTexts.size() ? kPageTexts[row].name : std::string_view{};
}

std::u8string_view pageText(PageText id, Column column) {
    const auto row = static_cast<std::size_t>(id);
    const auto col = static_cast<std::size_t>(column);
    if (row >= kPageTexts.size() || col >= kColumnCount) return {};
    return kPageTexts[row].cells[col];
}

std::string_view languageTag(Column column) {
    const auto col = static_cast<std::size_t>(column);
    return col < kColumnCount ? kLanguageTags[col] : std::string_view{};
}

}  // namespace zelo::web
