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
    {PageText::OpenHeld, "openHeld",
     {u8"Tilbehøret er i brug i et andet program eller en anden fane: ZE·LO-programmet (zelo-tool), kommandolinjen "
      u8"zelo eller denne side i en anden fane eller et andet vindue. Luk det der (eller tryk på Afbryd i den anden "
      u8"fane), og tryk så på Tilslut igen.",
      u8"Das Zubehör wird von einem anderen Programm oder Tab verwendet: dem ZE·LO-Programm (zelo-tool), der "
      u8"Befehlszeile zelo oder dieser Seite in einem anderen Tab oder Fenster. Schließen Sie es dort (oder klicken "
      u8"Sie im anderen Tab auf Trennen) und klicken Sie dann erneut auf Verbinden.",
      u8"L'accessoire est utilisé par un autre programme ou un autre onglet : le programme ZE·LO (zelo-tool), la "
      u8"ligne de commande zelo ou cette page dans un autre onglet ou une autre fenêtre. Fermez-le là-bas (ou "
      u8"cliquez sur Déconnecter dans l'autre onglet), puis cliquez de nouveau sur Connecter.",
      u8"El accesorio lo está usando otro programa u otra pestaña: el programa ZE·LO (zelo-tool), la línea de "
      u8"órdenes zelo o esta página en otra pestaña o ventana. Ciérrelo allí (o pulse Desconectar en la otra "
      u8"pestaña) y vuelva a pulsar Conectar.",
      u8"L'accessorio è in uso in un altro programma o scheda: il programma ZE·LO (zelo-tool), la riga di comando "
      u8"zelo o questa pagina in un'altra scheda o finestra. Chiudilo lì (o premi Disconnetti nell'altra scheda), "
      u8"poi premi di nuovo Connetti.",
      u8"Aukabúnaðurinn er í notkun í öðru forriti eða flipa: ZE·LO-forritinu (zelo-tool), skipanalínunni zelo eða "
      u8"þessari síðu í öðrum flipa eða glugga. Lokaðu honum þar (eða ýttu á Aftengja í hinum flipanum) og ýttu svo "
      u8"aftur á Tengja.",
      u8"The accessory is in use by another program or tab: the ZE·LO program (zelo-tool), the zelo command line, "
      u8"or this page in another tab or window. Close it there (or press Disconnect in the other tab), then press "
      u8"Connect again."}},
    {PageText::NotSecure, "notSecure",
     {u8"Siden blev åbnet via almindelig http fra en anden adresse, så browseren skjuler USB-tilbehør for den. Åbn "
      u8"den via https eller på denne computer som http://localhost.",
      u8"Die Seite wurde über einfaches http von einer anderen Adresse geöffnet, daher verbirgt der Browser "
      u8"USB-Zubehör vor ihr. Öffnen Sie sie über https oder auf diesem Computer als http://localhost.",
      u8"La page a été ouverte en http simple depuis une autre adresse : le navigateur lui cache donc les "
      u8"accessoires USB. Ouvrez-la en https, ou sur cet ordinateur via http://localhost.",
      u8"La página se abrió por http sin cifrar desde otra dirección, así que el navegador le oculta los accesorios "
      u8"USB. Ábrala por https o en este equipo como http://localhost.",
      u8"La pagina è stata aperta tramite http semplice da un altro indirizzo, quindi il browser le nasconde gli "
      u8"accessori USB. Aprila tramite https oppure su questo computer come http://localhost.",
      u8"Síðan var opnuð um venjulegt http frá öðru vistfangi, svo vafrinn felur USB-aukabúnað fyrir henni. Opnaðu "
      u8"hana um https eða á þessari tölvu sem http://localhost.",
      u8"The page was opened over plain http from another address, so the browser hides USB accessories from it. "
      u8"Open it over https, or on this computer as http://localhost."}},
    {PageText::CoreFailed, "coreFailed",
     {u8"Sidens programdel kunne ikke indlæses ([REASON]). Genindlæs siden; sker det igen, er sidens filer "
      u8"ufuldstændige eller fra forskellige versioner.",
      u8"Der Programmteil der Seite konnte nicht geladen werden ([REASON]). Laden Sie die Seite neu; geschieht es "
      u8"wieder, sind die Dateien der Seite unvollständig oder aus verschiedenen Versionen.",
      u8"La partie programme de la page n'a pas pu être chargée ([REASON]). Rechargez la page ; si cela se "
      u8"reproduit, les fichiers de la page sont incomplets ou de versions différentes.",
      u8"No se pudo cargar la parte de programa de la página ([REASON]). Vuelva a cargar la página; si se repite, "
      u8"los archivos de la página están incompletos o son de versiones distintas.",
      u8"Non è stato possibile caricare la parte di programma della pagina ([REASON]). Ricarica la pagina; se "
      u8"succede di nuovo, i file della pagina sono incompleti o di versioni diverse.",
      u8"Ekki tókst að hlaða forritshluta síðunnar ([REASON]). Endurhlaðaðu síðunni; gerist þetta aftur eru skrár "
      u8"síðunnar ófullgerðar eða úr ólíkum útgáfum.",
      u8"The page's program part could not be loaded ([REASON]). Reload the page; if this happens again, the "
      u8"page's files are incomplete or from different versions."}},
    {PageText::NoRecords, "noRecords",
     {u8"Denne browser giver ikke siden noget lager, så en lagring, der afbrydes af at tilbehøret tages ud, kan "
      u8"ikke gøres færdig senere.",
      u8"Dieser Browser gibt der Seite keinen Speicher, daher kann ein Speichervorgang, den ein Abziehen des "
      u8"Zubehörs unterbricht, später nicht abgeschlossen werden.",
      u8"Ce navigateur ne donne aucun stockage à la page : un enregistrement interrompu par le débranchement de "
      u8"l'accessoire ne pourra pas être terminé plus tard.",
      u8"Este navegador no da almacenamiento a la página, así que un guardado interrumpido al desconectar el "
      u8"accesorio no podrá terminarse después.",
      u8"Questo browser non concede spazio di archiviazione alla pagina, quindi un salvataggio interrotto "
      u8"scollegando l'accessorio non potrà essere completato in seguito.",
      u8"Þessi vafri gefur síðunni enga geymslu, svo ekki er hægt að ljúka síðar vistun sem rofnar þegar "
      u8"aukabúnaðurinn er tekinn úr sambandi.",
      u8"This browser gives the page no storage, so a Save cut short by an unplug cannot be finished later."}},
    {PageText::OtherTab, "otherTab",
     {u8"Tilbehøret er tilsluttet i en anden fane eller et andet vindue med denne side. Tryk på Afbryd der først.",
      u8"Das Zubehör ist in einem anderen Tab oder Fenster dieser Seite verbunden. Klicken Sie dort zuerst auf "
      u8"Trennen.",
      u8"L'accessoire est connecté dans un autre onglet ou une autre fenêtre de cette page. Cliquez d'abord sur "
      u8"Déconnecter là-bas.",
      u8"El accesorio está conectado en otra pestaña o ventana de esta página. Pulse primero Desconectar allí.",
      u8"L'accessorio è connesso in un'altra scheda o finestra di questa pagina. Premi prima Disconnetti lì.",
      u8"Aukabúnaðurinn er tengdur í öðrum flipa eða glugga þessarar síðu. Ýttu fyrst á Aftengja þar.",
      u8"The accessory is connected in another tab or window of this page. Press Disconnect there first."}},
    {PageText::ApplyKept, "applyKept",
     {u8"Vil du overføre de ændringer, du lavede, før tilbehøret blev taget ud, til dette tilbehør? De vises som "
      u8"ændringer, der ikke er gemt; Nej kasserer dem.",
      u8"Die Änderungen, die Sie vor dem Abziehen des Zubehörs gemacht haben, auf dieses Zubehör übernehmen? Sie "
      u8"erscheinen als ungespeicherte Änderungen; Nein verwirft sie.",
      u8"Appliquer à cet accessoire les modifications faites avant son débranchement ? Elles apparaîtront comme "
      u8"modifications non enregistrées ; Non les abandonne.",
      u8"¿Aplicar a este accesorio los cambios que hizo antes de desconectarlo? Aparecerán como cambios sin guardar; "
      u8"No los descarta.",
      u8"Applicare a questo accessorio le modifiche fatte prima che fosse scollegato? Appariranno come modifiche non "
      u8"salvate; No le scarta.",
      u8"Færa breytingarnar sem þú gerðir áður en aukabúnaðurinn var tekinn úr sambandi yfir á þennan aukabúnað? "
      u8"Þær birtast sem óvistaðar breytingar; Nei fleygir þeim.",
      u8"Apply the changes you made before the accessory was unplugged to this accessory? They are shown as unsaved "
      u8"changes; No discards them."}},
    {PageText::KeptApplied, "keptApplied",
     {u8"Dine tidligere ændringer vises som ændringer, der ikke er gemt. Gem skriver dem til tilbehøret.",
      u8"Ihre früheren Änderungen werden als ungespeicherte Änderungen angezeigt. Speichern schreibt sie auf das "
      u8"Zubehör.",
      u8"Vos modifications précédentes sont affichées comme non enregistrées. Enregistrer les écrit dans "
      u8"l'accessoire.",
      u8"Sus cambios anteriores se muestran como cambios sin guardar. Guardar los escribe en el accesorio.",
      u8"Le modifiche precedenti sono mostrate come non salvate. Salva le scrive nell'accessorio.",
      u8"Fyrri breytingar þínar birtast sem óvistaðar breytingar. Vista skrifar þær á aukabúnaðinn.",
      u8"Your earlier changes are shown as unsaved changes. Save writes them to the accessory."}},
    {PageText::Disconnect, "disconnect",
     {u8"Afbryd", u8"Trennen", u8"Déconnecter", u8"Desconectar", u8"Disconnetti", u8"Aftengja", u8"Disconnect"}},
    {PageText::Forget, "forget",
     {u8"Glem dette tilbehør", u8"Dieses Zubehör vergessen", u8"Oublier cet accessoire", u8"Olvidar este accesorio",
      u8"Dimentica questo accessorio", u8"Gleyma þessum aukabúnaði", u8"Forget this accessory"}},
    {PageText::Disconnected, "disconnected",
     {u8"Afbrudt. Tilbehøret er frit for andre programmer.", u8"Getrennt. Das Zubehör ist für andere Programme frei.",
      u8"Déconnecté. L'accessoire est libre pour d'autres programmes.",
      u8"Desconectado. El accesorio queda libre para otros programas.",
      u8"Disconnesso. L'accessorio è libero per altri programmi.",
      u8"Aftengt. Aukabúnaðurinn er laus fyrir önnur forrit.",
      u8"Disconnected. The accessory is free for other programs."}},
    {PageText::Forgotten, "forgotten",
     {u8"Browseren har glemt tilbehøret. Tilslut spørger efter det igen.",
      u8"Der Browser hat das Zubehör vergessen. Verbinden fragt wieder danach.",
      u8"Le navigateur a oublié l'accessoire. Connecter le redemandera.",
      u8"El navegador ha olvidado el accesorio. Conectar volverá a pedirlo.",
      u8"Il browser ha dimenticato l'accessorio. Connetti lo chiederà di nuovo.",
      u8"Vafrinn hefur gleymt aukabúnaðinum. Tengja biður um hann aftur.",
      u8"The browser has forgotten the accessory. Connect asks for it again."}},
    {PageText::HelpTitle, "helpTitle",
     {u8"Hvorfor kan jeg ikke se mit tilbehør?", u8"Warum sehe ich mein Zubehör nicht?",
      u8"Pourquoi mon accessoire n'apparaît-il pas ?", u8"¿Por qué no veo mi accesorio?",
      u8"Perché non vedo il mio accessorio?", u8"Af hverju sé ég ekki aukabúnaðinn minn?",
      u8"Why can't I see my accessory?"}},
    {PageText::HelpCable, "helpCable",
     {u8"Kablet: brug et USB-kabel, der fører data (ikke kun strøm), direkte i computeren, og prøv en anden port.",
      u8"Das Kabel: Verwenden Sie ein USB-Kabel, das Daten überträgt (nicht nur Strom), direkt am Computer, und "
      u8"versuchen Sie einen anderen Anschluss.",
      u8"Le câble : utilisez un câble USB qui transmet les données (pas seulement l'alimentation), branché "
      u8"directement sur l'ordinateur, et essayez un autre port.",
      u8"El cable: use un cable USB que transmita datos (no solo carga), conectado directamente al equipo, y pruebe "
      u8"otro puerto.",
      u8"Il cavo: usa un cavo USB che trasmette dati (non solo alimentazione), collegato direttamente al computer, "
      u8"e prova un'altra porta.",
      u8"Snúran: notaðu USB-snúru sem flytur gögn (ekki aðeins straum), beint í tölvuna, og prófaðu annað tengi.",
      u8"The cable: use a USB cable that carries data (not only power), straight into the computer, and try another "
      u8"port."}},
    {PageText::HelpHeld, "helpHeld",
     {u8"Et andet program: mens ZE·LO-programmet (zelo-tool), kommandolinjen zelo eller denne side i en anden fane "
      u8"bruger tilbehøret, kan siden ikke åbne det. Luk det der først.",
      u8"Ein anderes Programm: Solange das ZE·LO-Programm (zelo-tool), die Befehlszeile zelo oder diese Seite in "
      u8"einem anderen Tab das Zubehör verwendet, kann die Seite es nicht öffnen. Schließen Sie es dort zuerst.",
      u8"Un autre programme : tant que le programme ZE·LO (zelo-tool), la ligne de commande zelo ou cette page dans "
      u8"un autre onglet utilise l'accessoire, la page ne peut pas l'ouvrir. Fermez-le d'abord là-bas.",
      u8"Otro programa: mientras el programa ZE·LO (zelo-tool), la línea de órdenes zelo o esta página en otra "
      u8"pestaña usen el accesorio, la página no puede abrirlo. Ciérrelo allí primero.",
      u8"Un altro programma: finché il programma ZE·LO (zelo-tool), la riga di comando zelo o questa pagina in "
      u8"un'altra scheda usa l'accessorio, la pagina non può aprirlo. Chiudilo prima lì.",
      u8"Annað forrit: meðan ZE·LO-forritið (zelo-tool), skipanalínan zelo eða þessi síða í öðrum flipa notar "
      u8"aukabúnaðinn getur síðan ekki opnað hann. Lokaðu honum þar fyrst.",
      u8"Another program: while the ZE·LO program (zelo-tool), the zelo command line or this page in another tab "
      u8"uses the accessory, the page cannot open it. Close it there first."}},
    {PageText::HelpBrowsers, "helpBrowsers",
     {u8"Browseren: kun browsere med WebHID kan tale med USB-tilbehør: Chrome, Edge, Opera og andre Chromium-browsere "
      u8"på en computer, over https eller fra localhost. Firefox og Safari har det ikke.",
      u8"Der Browser: Nur Browser mit WebHID können mit USB-Zubehör sprechen: Chrome, Edge, Opera und andere "
      u8"Chromium-Browser auf einem Computer, über https oder von localhost. Firefox und Safari haben es nicht.",
      u8"Le navigateur : seuls les navigateurs dotés de WebHID parlent aux accessoires USB : Chrome, Edge, Opera et "
      u8"les autres navigateurs Chromium sur ordinateur, en https ou depuis localhost. Firefox et Safari ne l'ont "
      u8"pas.",
      u8"El navegador: solo los navegadores con WebHID hablan con accesorios USB: Chrome, Edge, Opera y otros "
      u8"navegadores Chromium en un ordenador, por https o desde localhost. Firefox y Safari no lo tienen.",
      u8"Il browser: solo i browser con WebHID parlano con gli accessori USB: Chrome, Edge, Opera e altri browser "
      u8"Chromium su computer, tramite https o da localhost. Firefox e Safari non lo hanno.",
      u8"Vafrinn: aðeins vafrar með WebHID geta talað við USB-aukabúnað: Chrome, Edge, Opera og aðrir "
      u8"Chromium-vafrar á tölvu, um https eða frá localhost. Firefox og Safari hafa það ekki.",
      u8"The browser: only browsers with WebHID talk to USB accessories: Chrome, Edge, Opera and other Chromium "
      u8"browsers on a computer, over https or from localhost. Firefox and Safari do not have it."}},
    {PageText::HelpLinux, "helpLinux",
     {u8"Linux: uden en udev-regel må browseren ikke åbne tilbehøret. Disse kommandoer installerer den; tag derefter "
      u8"tilbehøret ud og sæt det i igen:",
      u8"Linux: Ohne udev-Regel darf der Browser das Zubehör nicht öffnen. Diese Befehle installieren sie; ziehen Sie "
      u8"das Zubehör danach ab und stecken Sie es wieder ein:",
      u8"Linux : sans règle udev, le navigateur n'a pas le droit d'ouvrir l'accessoire. Ces commandes l'installent ; "
      u8"débranchez puis rebranchez ensuite l'accessoire :",
      u8"Linux: sin una regla udev el navegador no puede abrir el accesorio. Estas órdenes la instalan; después "
      u8"desconecte y vuelva a conectar el accesorio:",
      u8"Linux: senza una regola udev il browser non può aprire l'accessorio. Questi comandi la installano; poi "
      u8"scollega e ricollega l'accessorio:",
      u8"Linux: án udev-reglu má vafrinn ekki opna aukabúnaðinn. Þessar skipanir setja hana upp; taktu svo "
      u8"aukabúnaðinn úr sambandi og stingdu honum aftur í:",
      u8"Linux: without a udev rule the browser may not open the accessory. These commands install it; then unplug "
      u8"the accessory and plug it in again:"}},
    {PageText::HelpReplug, "helpReplug",
     {u8"Sat i igen: browseren husker kun tilbehør med et serienummer efter det tages ud. Forbinder siden ikke af sig "
      u8"selv, så tryk på Tilslut og vælg tilbehøret igen.",
      u8"Wieder eingesteckt: Der Browser merkt sich nur Zubehör mit Seriennummer über das Abziehen hinaus. Verbindet "
      u8"sich die Seite nicht selbst, klicken Sie auf Verbinden und wählen Sie das Zubehör erneut.",
      u8"Rebranché : le navigateur ne se souvient après un débranchement que des accessoires dotés d'un numéro de "
      u8"série. Si la page ne se connecte pas d'elle-même, cliquez sur Connecter et choisissez de nouveau "
      u8"l'accessoire.",
      u8"Vuelto a conectar: el navegador solo recuerda tras desconectarlos los accesorios con número de serie. Si la "
      u8"página no se conecta sola, pulse Conectar y elija de nuevo el accesorio.",
      u8"Ricollegato: dopo lo scollegamento il browser ricorda solo gli accessori con un numero di serie. Se la "
      u8"pagina non si connette da sola, premi Connetti e scegli di nuovo l'accessorio.",
      u8"Stungið aftur í: vafrinn man aðeins eftir aukabúnaði með raðnúmer eftir að hann er tekinn úr sambandi. "
      u8"Tengist síðan ekki sjálf, ýttu þá á Tengja og veldu aukabúnaðinn aftur.",
      u8"Plugged in again: after an unplug the browser remembers only accessories with a serial number. If the page "
      u8"does not connect by itself, press Connect and choose the accessory again."}},
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
