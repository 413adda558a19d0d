// The message catalogue: every translated text of the program, one row per
// message in the order of Msg, cells in column order Danish, German, French,
// Spanish, Italian, Icelandic, English. Stored as UTF-8 so the same table
// serves 16-bit and 32-bit wchar_t; lookups widen it once.
#include "catalogue_table.h"

#include <array>
#include <cstddef>

namespace zelo::i18n {
namespace {

struct CatalogueRow {
    Msg id;
    std::array<std::u8string_view, kColumnCount> cells;
};

constexpr std::array<CatalogueRow, kMessageCount> kCatalogue{{
    {Msg::Connected,
     {u8"Tilsluttet", u8"Verbunden", u8"Connecté", u8"Conectado", u8"Connesso", u8"Tengt", u8"Connected"}},
    {Msg::Disconnected,
     {u8"Ikke tilsluttet", u8"Nicht verbunden", u8"Déconnecté", u8"Desconectado", u8"Disconnesso", u8"Ótengt",
      u8"Disconnected"}},
    {Msg::InstallModule,
     {u8"Installer modul", u8"Modul installieren", u8"Installer le module", u8"Instalar módulo",
      u8"Installa modulo", u8"Setja upp einingu", u8"Install module"}},
    {Msg::Update,
     {u8"Opdater", u8"Aktualisieren", u8"Actualiser", u8"Actualizar", u8"Aggiorna", u8"Uppfæra", u8"Update"}},
    {Msg::SelectModule,
     {u8"Vælg modul", u8"Modul auswählen", u8"Choisir le module", u8"Elegir módulo",
      u8"Seleziona modulo", u8"Velja einingu", u8"Select module"}},
    {Msg::InstallingModule,
     {u8"installerer modul...", u8"Modul wird installiert...", u8"installation du module...",
      u8"instalando módulo...", u8"installazione del modulo...", u8"uppsetning einingar...",
      u8"installing module..."}},
    {Msg::ModuleInstalled,
     {u8"Modulet er installeret!", u8"Modul erfolgreich installiert!", u8"Module installé avec succès !",
      u8"¡Módulo instalado correctamente!", u8"Modulo installato correttamente!", u8"Uppsetning einingar tókst!",
      u8"Module successfully installed!"}},
    {Msg::ModuleInstallError,
     {u8"Fejl under installation af modul!", u8"Fehler beim Installieren des Moduls!",
      u8"Erreur lors de l'installation du module !", u8"¡Error al instalar el módulo!",
      u8"Errore durante l'installazione del modulo!", u8"Villa við uppsetningu einingar!",
      u8"Error installing module!"}},
    {Msg::About,
     {u8"Om", u8"Über", u8"À propos", u8"Acerca de", u8"Informazioni su ZE·LO", u8"Um forritið", u8"About"}},
    {Msg::Close, {u8"Luk", u8"Schließen", u8"Fermer", u8"Cerrar", u8"Chiudi", u8"Loka", u8"Close"}},
    {Msg::Language,
     {u8"Sprog", u8"Sprache", u8"Langue", u8"Idioma", u8"Lingua", u8"Tungumál", u8"Language"}},
    {Msg::MenuFile, {u8"Filer", u8"Datei", u8"Fichier", u8"Archivo", u8"File", u8"Skrá", u8"File"}},
    {Msg::MenuOptions,
     {u8"Indstillinger", u8"Optionen", u8"Options", u8"Opciones", u8"Opzioni", u8"Valkostir", u8"Options"}},
    {Msg::MenuHelp, {u8"Hjælp", u8"Hilfe", u8"Aide", u8"Ayuda", u8"Guida", u8"Hjálp", u8"Help"}},
    {Msg::Exit, {u8"Afslut", u8"Beenden", u8"Quitter", u8"Salir", u8"Esci", u8"Hætta", u8"Exit"}},
    {Msg::CheckForUpdates,
     {u8"Søg efter nye softwareopdateringer", u8"Nach neuen Softwareaktualisierungen suchen",
      u8"Rechercher des mises à jour du logiciel", u8"Buscar nuevas actualizaciones de software",
      u8"Verifica la presenza di aggiornamenti software", u8"Leita að nýjum hugbúnaðaruppfærslum",
      u8"Check for new software updates"}},
    {Msg::Default,
     {u8"Standard", u8"Standard", u8"Par défaut", u8"Por defecto", u8"Predefinito", u8"Sjálfgefið",
      u8"Default"}},
    {Msg::Custom,
     {u8"Brugerdefineret", u8"Benutzerdefiniert", u8"Client", u8"Personalización", u8"Personalizzato",
      u8"Sérvalið", u8"Custom"}},
    {Msg::DeviceCodeFormatError,
     {u8"Fejl i enhedskodens format, den skal have formatet xx.yyy",
      u8"Fehler im Format des Gerätecodes, er muss das Format xx.yyy haben",
      u8"Erreur de format du code d'appareil, il doit être au format xx.yyy",
      u8"Error en el formato del código de dispositivo, debe tener el formato xx.yyy",
      u8"Errore nel formato del codice dispositivo, deve essere nel formato xx.yyy",
      u8"Villa í sniði tækjakóða, hann á að vera á sniðinu xx.yyy",
      u8"Error in device code format, it should be formatted as xx.yyy"}},
    {Msg::Error, {u8"Fejl", u8"Fehler", u8"Erreur", u8"Error", u8"Errore", u8"Villa", u8"Error"}},
    {Msg::Internal, {u8"Intern", u8"Intern", u8"Interne", u8"Interno", u8"Interno", u8"Innri", u8"Internal"}},
    {Msg::External, {u8"Ekstern", u8"Extern", u8"Externe", u8"Externo", u8"Esterno", u8"Ytri", u8"External"}},
    {Msg::PowerOff,
     {u8"Sluk", u8"Ausschalten", u8"Éteindre", u8"Apagar", u8"Spegnimento", u8"Slökkva", u8"Power off"}},
    {Msg::FirmwareTooNew,
     {u8"Denne softwareversion understøtter ikke enheder med en firmwareversion højere end [VERSION]\r\n\r\n"
      u8"Opdater venligst til den nyeste softwareversion for at bruge denne enhed.",
      u8"Diese Softwareversion unterstützt keine Geräte mit einer Firmwareversion höher als [VERSION]\r\n\r\n"
      u8"Bitte aktualisieren Sie auf die neueste Softwareversion, um dieses Gerät zu verwenden.",
      u8"Cette version du logiciel ne prend pas en charge les appareils dont la version du micrologiciel est "
      u8"supérieure à [VERSION]\r\n\r\n"
      u8"Veuillez installer la dernière version du logiciel pour utiliser cet appareil.",
      u8"Esta versión del software no admite dispositivos con una versión de firmware superior a [VERSION]\r\n\r\n"
      u8"Actualice a la última versión del software para usar este dispositivo.",
      u8"Questa versione del software non supporta dispositivi con una versione del firmware superiore a "
      u8"[VERSION]\r\n\r\n"
      u8"Aggiornare all'ultima versione del software per utilizzare questo dispositivo.",
      u8"Þessi hugbúnaðarútgáfa styður ekki tæki með fastbúnaðarútgáfu hærri en [VERSION]\r\n\r\n"
      u8"Vinsamlegast uppfærðu í nýjustu hugbúnaðarútgáfuna til að nota þetta tæki.",
      u8"This software version does not support hardware devices with a firmware version higher than "
      u8"[VERSION]\r\n\r\n"
      u8"Please update to the latest software version, to use this hardware device."}},
    {Msg::UnsavedChanges,
     {u8"Ændringerne er ikke gemt. Vil du gemme ændringerne, før du afslutter?",
      u8"Die Änderungen wurden nicht gespeichert. Änderungen vor dem Beenden speichern?",
      u8"Les modifications n'ont pas été enregistrées. Enregistrer les modifications avant de quitter ?",
      u8"Los cambios no se han guardado. ¿Guardar los cambios antes de salir?",
      u8"Le modifiche non sono state salvate. Salvare le modifiche prima di uscire?",
      u8"Breytingar hafa ekki verið vistaðar. Viltu vista breytingarnar áður en þú hættir?",
      u8"Changes have not been saved, save changes before exiting?"}},
    {Msg::SaveBeforeExit,
     {u8"Gem ændringer før afslutning?", u8"Änderungen vor dem Beenden speichern?",
      u8"Enregistrer les modifications avant de quitter ?", u8"¿Guardar los cambios antes de salir?",
      u8"Salvare le modifiche prima di uscire?", u8"Vista breytingar áður en hætt er?",
      u8"Save changes before exit?"}},
    {Msg::SaveFailed,
     {u8"Fejl: Ændringerne kunne ikke gemmes", u8"Fehler: Die Änderungen konnten nicht gespeichert werden",
      u8"Erreur : impossible d'enregistrer les modifications", u8"Error: no se pudieron guardar los cambios",
      u8"Errore: impossibile salvare le modifiche", u8"Villa: Ekki tókst að vista breytingarnar",
      u8"Error: Could not save save changes"}},
    {Msg::RestoreDefaultsWarning,
     {u8"Gendannelse af standardindstillingerne overskriver alle brugerindstillinger, herunder "
      u8"brugerdefinerede makroer.",
      u8"Das Wiederherstellen der Standardeinstellungen überschreibt alle Benutzereinstellungen, einschließlich "
      u8"benutzerdefinierter Makros.",
      u8"La restauration des paramètres par défaut écrasera tous les paramètres de l'utilisateur, y compris "
      u8"les macros personnalisées.",
      u8"Al restaurar la configuración predeterminada se sobrescribirán todos los ajustes del usuario, "
      u8"incluidas las macros personalizadas.",
      u8"Il ripristino delle impostazioni predefinite sovrascriverà tutte le impostazioni dell'utente, "
      u8"comprese le macro personalizzate.",
      u8"Ef sjálfgefnar stillingar eru endurheimtar verður skrifað yfir allar notendastillingar, þar á meðal "
      u8"sérsniðna fjölva.",
      u8"Restoring default settings will overwrite all user settings, including custom defined macros."}},
    {Msg::ContinueQuestion,
     {u8"Er du sikker på, at du vil fortsætte?", u8"Möchten Sie wirklich fortfahren?",
      u8"Voulez-vous vraiment continuer ?", u8"¿Está seguro de que desea continuar?",
      u8"Si è sicuri di voler continuare?", u8"Ertu viss um að þú viljir halda áfram?",
      u8"Are you sure you want to continue?"}},
    {Msg::RestoreDefaults,
     {u8"Gendan standardindstillinger", u8"Standardeinstellungen wiederherstellen",
      u8"Restaurer les paramètres par défaut", u8"Restaurar la configuración predeterminada",
      u8"Ripristina impostazioni predefinite", u8"Endurheimta sjálfgefnar stillingar",
      u8"Restore default settings"}},
    {Msg::TabSettings,
     {u8"Indstillinger", u8"Einstellungen", u8"Paramètres", u8"Ajustes", u8"Impostazioni", u8"Stillingar",
      u8"Settings"}},
    {Msg::TabMacros, {u8"Makroer", u8"Makros", u8"Macros", u8"Macros", u8"Macro", u8"Fjölvar", u8"Macros"}},
    {Msg::TabDeviceCode,
     {u8"IR-enhedskode", u8"IR-Gerätecode", u8"Code d'appareil IR", u8"Código de dispositivo IR",
      u8"Codice dispositivo IR", u8"IR-tækjakóði", u8"IR devicecode"}},
    {Msg::Save, {u8"Gem", u8"Speichern", u8"Enregistrer", u8"Guardar", u8"Salva", u8"Vista", u8"Save"}},
    {Msg::EnableStatusLed,
     {u8"Aktivér status-LED ved IR-aktivitet", u8"Status-LED bei IR-Aktivität einschalten",
      u8"Activer le voyant d'état lors d'une activité IR", u8"Activar el LED de estado con actividad IR",
      u8"Attiva il LED di stato in caso di attività IR", u8"Virkja stöðuljós við IR-virkni",
      u8"Enable status LED on IR activity"}},
    {Msg::FlashLedBatteryLow,
     {u8"Blink med status-LED ved lavt batteriniveau", u8"Status-LED bei niedrigem Batteriestand blinken lassen",
      u8"Faire clignoter le voyant d'état si la batterie est faible",
      u8"Hacer parpadear el LED de estado con batería baja",
      u8"Fai lampeggiare il LED di stato con batteria scarica",
      u8"Blikka stöðuljósi þegar hleðsla rafhlöðu er lág", u8"Flash status LED on low battery level"}},
    {Msg::IrReceiver,
     {u8"IR-modtager", u8"IR-Empfänger", u8"Récepteur IR", u8"Receptor IR", u8"Ricevitore IR", u8"IR-móttakari",
      u8"IR receiver"}},
    {Msg::SelectMacro,
     {u8"Vælg makro", u8"Makro auswählen", u8"Choisir une macro", u8"Seleccionar macro",
      u8"Seleziona macro", u8"Velja fjölva", u8"Select macro"}},
    {Msg::Command,
     {u8"Kommando", u8"Befehl", u8"Commande", u8"Comando", u8"Comando", u8"Skipun", u8"Command"}},
    {Msg::Duration,
     {u8"Varighed", u8"Dauer", u8"Durée", u8"Duración", u8"Durata", u8"Tímalengd", u8"Duration"}},
    {Msg::Pause, {u8"Pause", u8"Pause", u8"Pause", u8"Pausa", u8"Pausa", u8"Hlé", u8"Pause"}},
    {Msg::DeviceCode,
     {u8"Enhedskode", u8"Gerätecode", u8"Code d'appareil", u8"Código de dispositivo", u8"Codice dispositivo",
      u8"Tækjakóði", u8"Devicecode"}},
    {Msg::NewSoftwareAvailable,
     {u8"Ny softwareversion er klar til download.\r\n\r\nDen nuværende softwareversion er %.2f\r\n"
      u8"Den nyeste version er %s\r\n\r\nVil du opgradere nu?",
      u8"Neue Softwareversion zum Herunterladen bereit.\r\n\r\nAktuelle Softwareversion ist %.2f\r\n"
      u8"Neueste Version ist %s\r\n\r\nJetzt aktualisieren?",
      u8"Une nouvelle version du logiciel est prête à être téléchargée.\r\n\r\n"
      u8"La version actuelle du logiciel est %.2f\r\nLa dernière version est %s\r\n\r\n"
      u8"Mettre à jour maintenant ?",
      u8"Nueva versión del software lista para descargar.\r\n\r\nLa versión actual del software es %.2f\r\n"
      u8"La última versión es %s\r\n\r\n¿Actualizar ahora?",
      u8"Nuova versione del software pronta per il download.\r\n\r\nLa versione attuale del software è %.2f\r\n"
      u8"L'ultima versione è %s\r\n\r\nAggiornare ora?",
      u8"Ný hugbúnaðarútgáfa er tilbúin til niðurhals.\r\n\r\nNúverandi hugbúnaðarútgáfa er %.2f\r\n"
      u8"Nýjasta útgáfan er %s\r\n\r\nUppfæra núna?",
      u8"New software version ready for download.\r\n\r\nCurrent software version is %.2f\r\n"
      u8"Latest version is %s\r\n\r\nUpgrade now?"}},
    {Msg::UpgradeSoftware,
     {u8"Opgrader software?", u8"Software aktualisieren?", u8"Mettre à jour le logiciel ?",
      u8"¿Actualizar el software?", u8"Aggiornare il software?", u8"Uppfæra hugbúnað?", u8"Upgrade software?"}},
    {Msg::Information,
     {u8"Information", u8"Information", u8"Informations", u8"Información", u8"Informazioni", u8"Upplýsingar",
      u8"Information"}},
    {Msg::FirmwareUpdateError,
     {u8"Fejl under opdatering af firmwaren. Afslut programmet, og prøv igen.",
      u8"Fehler beim Aktualisieren der Firmware. Bitte beenden Sie das Programm und versuchen Sie es erneut.",
      u8"Erreur lors de la mise à jour du micrologiciel. Veuillez quitter le programme et réessayer.",
      u8"Error al actualizar el firmware. Salga del programa e inténtelo de nuevo.",
      u8"Errore durante l'aggiornamento del firmware. Uscire dal programma e riprovare.",
      u8"Villa við uppfærslu fastbúnaðar. Vinsamlegast lokaðu forritinu og reyndu aftur.",
      u8"Error updating firmware. Please exit and try again."}},
    {Msg::None, {u8"Ingen", u8"Kein", u8"Aucune", u8"Ninguna", u8"Nulla", u8"Engar", u8"None"}},
    {Msg::Pair, {u8"Par", u8"Koppeln", u8"Associer", u8"Emparejar", u8"Associa", u8"Para", u8"Pair"}},
    {Msg::PairWithPs3,
     {u8"Par med PS3", u8"Mit PS3 koppeln", u8"Associer à la PS3", u8"Emparejar con PS3", u8"Associa a PS3",
      u8"Para við PS3", u8"Pair with PS3"}},
    {Msg::PairingIntro,
     {u8"Følg disse enkle trin for at parre ZE-LO med PS3",
      u8"Um den ZE-LO mit der PS3 zu koppeln, folgen Sie bitte diesen einfachen Schritten",
      u8"Pour associer le ZE-LO à la PS3, veuillez suivre ces étapes simples",
      u8"Para emparejar el ZE-LO con la PS3, siga estos sencillos pasos",
      u8"Per associare lo ZE-LO alla PS3, seguire questi semplici passaggi",
      u8"Fylgdu þessum einföldu skrefum til að para ZE-LO við PS3",
      u8"To pair the ZE-LO with the PS3, please follow these simple steps"}},
    {Msg::PairingStep1,
     {u8"1. Tænd for dit PS3-system, og brug din PS3-controller til at vælge følgende: "
      u8"Indstillinger > Indstillinger for tilbehør > Registrer BD-fjernbetjening",
      u8"1. Schalten Sie Ihr PS3-System ein und wählen Sie mit Ihrem PS3-Controller folgende Option: "
      u8"Einstellungen > Zubehöreinstellungen > BD-Fernbedienung registrieren",
      u8"1. Allumez votre système PS3 et, avec votre manette PS3, sélectionnez l'option suivante : "
      u8"Paramètres > Paramètres des accessoires > Enregistrer la télécommande BD",
      u8"1. Encienda el sistema PS3 y, con el mando de PS3, seleccione la siguiente opción: "
      u8"Ajustes > Ajustes de accesorios > Registrar mando a distancia BD",
      u8"1. Accendere il sistema PS3 e, con il controller PS3, selezionare la seguente opzione: "
      u8"Impostazioni > Impostazioni accessori > Registra telecomando BD",
      u8"1. Kveiktu á PS3-tölvunni og veldu eftirfarandi með PS3-stýripinnanum: "
      u8"Settings > Accessory Settings > Register BD Remote",
      u8"1.Turn on your PS3 system and use your PS3 controller to select the following option: "
      u8"Settings > Accessory Settings > Register BD Remote"}},
    {Msg::PairingStep2,
     {u8"2. Tryk på knappen PAR, og vent nogle sekunder",
      u8"2. Klicken Sie auf KOPPELN und warten Sie einige Sekunden",
      u8"2. Cliquez sur le bouton ASSOCIER et patientez quelques secondes",
      u8"2. Pulse el botón EMPAREJAR y espere unos segundos",
      u8"2. Premere il pulsante ASSOCIA e attendere qualche secondo",
      u8"2. Ýttu á PARA-hnappinn og bíddu í nokkrar sekúndur",
      u8"2. Press the PAIR button and wait a couple of seconds"}},
    {Msg::PairingStep3,
     {u8"3. Se efter på din PS3: Hvis der står 'Registrering fuldført.', er parringen gennemført. Hvis der ikke "
      u8"skete noget, så prøv igen fra trin 1.",
      u8"3. Prüfen Sie Ihre PS3: Wenn 'Registrierung abgeschlossen.' angezeigt wird, ist die Kopplung erfolgt. "
      u8"Wenn nichts passiert ist, versuchen Sie es ab Schritt 1 erneut.",
      u8"3. Vérifiez votre PS3 : si elle affiche 'Enregistrement terminé.', l'association est terminée ; si rien "
      u8"ne s'est passé, recommencez à partir de l'étape 1.",
      u8"3. Compruebe su PS3: si indica 'Registro completado.', el emparejamiento se ha realizado; si no ha "
      u8"ocurrido nada, vuelva a intentarlo desde el paso 1.",
      u8"3. Controllare la PS3: se viene visualizzato 'Registrazione completata.', l'associazione è riuscita; se "
      u8"non è successo nulla, riprovare dal passaggio 1.",
      u8"3. Athugaðu PS3-tölvuna; ef þar stendur 'Register completed.' er pöruninni lokið. Ef ekkert gerðist "
      u8"skaltu reyna aftur frá skrefi 1.",
      u8"3. Check your PS3, if it says 'Register completed.' then the pairing is done, if nothing happened try "
      u8"again from step 1."}},
    {Msg::MenuTools,
     {u8"Værktøjer", u8"Extras", u8"Outils", u8"Herramientas", u8"Strumenti", u8"Verkfæri", u8"Tools"}},
    {Msg::FirmwareUpdatedRestart,
     {u8"Firmwaren er blevet opdateret til version [1.00]\r\n\r\nGenstart enheden ved at fjerne alle "
      u8"strømkilder såsom batterier, DC- og USB-strøm, for at ændringerne træder i kraft.",
      u8"Die Firmware wurde erfolgreich auf Version [1.00] aktualisiert.\r\n\r\nBitte starten Sie das Gerät "
      u8"neu, indem Sie alle Stromquellen wie Batterien, DC- und USB-Stromversorgung entfernen, damit die "
      u8"Änderungen wirksam werden.",
      u8"Le micrologiciel a été mis à jour avec succès vers la version [1.00]\r\n\r\nVeuillez redémarrer "
      u8"l'appareil en retirant toutes les sources d'alimentation (piles, alimentation CC et USB) pour que les "
      u8"modifications prennent effet.",
      u8"El firmware se ha actualizado correctamente a la versión [1.00]\r\n\r\nReinicie el dispositivo "
      u8"retirando todas las fuentes de alimentación, como pilas, alimentación de CC y USB, para que los "
      u8"cambios surtan efecto.",
      u8"Il firmware è stato aggiornato correttamente alla versione [1.00]\r\n\r\nRiavviare il dispositivo "
      u8"scollegando tutte le fonti di alimentazione, come batterie, alimentazione CC e USB, affinché le "
      u8"modifiche abbiano effetto.",
      u8"Fastbúnaðurinn hefur verið uppfærður í útgáfu [1.00]\r\n\r\nEndurræstu tækið með því að aftengja "
      u8"alla aflgjafa, svo sem rafhlöður, DC- og USB-straum, svo að breytingarnar taki gildi.",
      u8"Firmware has successfully been updated to version [1.00]\r\n\r\nPlease restart the device by removing "
      u8"all powersources such as batteries, DC and USB power in order for changes to take effect."}},
    {Msg::ExternalPowerNote,
     {u8"Bemærk: Kræver ekstern strømforsyning (9-12 V DC) eller USB-strøm",
      u8"Hinweis: Erfordert externe Stromversorgung (9-12 V DC) oder USB-Strom",
      u8"Remarque : nécessite une alimentation externe (9-12 V CC) ou USB",
      u8"Nota: requiere alimentación externa (9-12 V CC) o USB",
      u8"Nota: richiede un alimentatore esterno (9-12 V CC) o l'alimentazione USB",
      u8"Athugið: Krefst ytri aflgjafa (9-12 V DC) eða USB-straums",
      u8"Note: Requires external powersupply (9-12Vdc) or USB power"}},
    {Msg::ReceiverHelpInternal,
     {u8"Modtager kun IR-kommandoer gennem frontvinduet", u8"Empfängt IR-Befehle nur über das Frontfenster",
      u8"Reçoit les commandes IR uniquement par la fenêtre avant",
      u8"Recibe comandos IR solo a través de la ventana frontal",
      u8"Riceve i comandi IR solo attraverso la finestra frontale",
      u8"Tekur aðeins við IR-skipunum gegnum framgluggann", u8"Receives IR commands through front window only"}},
    {Msg::ReceiverHelpNetwork,
     {u8"Modtager IR-kommandoer på IR-porten fra et IR-distributionsnetværk og fra den interne IR-modtager",
      u8"Empfängt IR-Befehle am IR-Anschluss von einem IR-Verteilernetz und vom internen IR-Empfänger",
      u8"Reçoit les commandes IR sur le port IR depuis un réseau de distribution IR et depuis le récepteur IR "
      u8"interne",
      u8"Recibe comandos IR en el puerto IR desde una red de distribución IR y desde el receptor IR interno",
      u8"Riceve i comandi IR sulla porta IR da una rete di distribuzione IR e dal ricevitore IR interno",
      u8"Tekur við IR-skipunum á IR-tenginu frá IR-dreifineti og frá innbyggða IR-móttakaranum",
      u8"Receives IR commands on the IR port from an IR distribution network and from the internal IR "
      u8"receiver"}},
    {Msg::ReceiverHelpIrEye,
     {u8"Modtager IR-kommandoer på IR-porten fra et eksternt IR-øje (3-5 V DC)",
      u8"Empfängt IR-Befehle am IR-Anschluss von einem externen IR-Auge (3-5 V DC)",
      u8"Reçoit les commandes IR sur le port IR depuis un œil IR externe (3-5 V CC)",
      u8"Recibe comandos IR en el puerto IR desde un ojo IR externo (3-5 V CC)",
      u8"Riceve i comandi IR sulla porta IR da un occhio IR esterno (3-5 V CC)",
      u8"Tekur við IR-skipunum á IR-tenginu frá ytra IR-auga (3-5 V DC)",
      u8"Receives IR commands on the IR port from an external IR Eye (3-5Vdc)"}},
    {Msg::ReceiverHelpRepeater,
     {u8"Modtager IR-kommandoer gennem frontvinduet. Sender alle modtagne IR-signaler videre til en ekstern "
      u8"IR-sender, der er tilsluttet IR-porten.",
      u8"Empfängt IR-Befehle über das Frontfenster. Sendet alle empfangenen IR-Signale an einen externen "
      u8"IR-Sender, der am IR-Anschluss angeschlossen ist.",
      u8"Reçoit les commandes IR par la fenêtre avant. Retransmet tous les signaux IR reçus vers un émetteur IR "
      u8"externe relié au port IR.",
      u8"Recibe comandos IR a través de la ventana frontal. Transmite todas las señales IR recibidas a un "
      u8"emisor IR externo conectado al puerto IR.",
      u8"Riceve i comandi IR attraverso la finestra frontale. Trasmette tutti i segnali IR ricevuti a un "
      u8"emettitore IR esterno collegato alla porta IR.",
      u8"Tekur við IR-skipunum gegnum framgluggann. Sendir öll móttekin IR-merki áfram til ytri IR-sendis sem "
      u8"tengdur er við IR-tengið.",
      u8"Receives IR commands through front window. Transmits all received IR to an external IR emitter "
      u8"connected to the IR port."}},
    {Msg::ReceiverHelpAutosense,
     {u8"Kontrollerer forbindelser på IR-porten og registrerer eksterne demodulerede eller modulerede signaler, "
      u8"mens den interne IR-modtager forbliver aktiv",
      u8"Prüft die Verbindungen am IR-Anschluss und erkennt externe demodulierte oder modulierte Signale, während "
      u8"der interne IR-Empfänger aktiv bleibt",
      u8"Vérifie les connexions sur le port IR et détecte les signaux externes démodulés ou modulés, tout en "
      u8"gardant le récepteur IR interne actif",
      u8"Comprueba las conexiones en el puerto IR y detecta señales externas demoduladas o moduladas, "
      u8"manteniendo activo el receptor IR interno",
      u8"Controlla le connessioni sulla porta IR e rileva segnali esterni demodulati o modulati, mantenendo "
      u8"attivo il ricevitore IR interno",
      u8"Athugar tengingar á IR-tenginu og greinir ytri afmótuð eða mótuð merki, á meðan innbyggði "
      u8"IR-móttakarinn er áfram virkur",
      u8"Checks for connections on the IR port, detects external demodulated or modulated signals, while "
      u8"keeping the internal IR receiver active"}},
    {Msg::PairingMode,
     {u8"Bluetooth-parringstilstand", u8"Bluetooth-Kopplung", u8"Association Bluetooth",
      u8"Modo de emparejamiento", u8"Associazione Bluetooth", u8"Bluetooth-pörunarhamur",
      u8"Bluetooth pairing mode"}},
    {Msg::PairingAuto,
     {u8"Automatisk (ved opstart)", u8"Automatisch (beim Einschalten)", u8"Automatique (à la mise sous tension)",
      u8"Automático (al encender)", u8"Automatica (all'accensione)", u8"Sjálfvirkt (við ræsingu)",
      u8"Auto (during powerup)"}},
    {Msg::PairingManual,
     {u8"Manuel (hold knappen '2' nede ved opstart)", u8"Manuell (Taste '2' beim Einschalten gedrückt halten)",
      u8"Manuel (touche '2' enfoncée à la mise sous tension)",
      u8"Manual (mantener pulsado el botón '2' al encender)",
      u8"Manuale (tenere premuto il tasto '2' all'accensione)",
      u8"Handvirkt (haltu hnappinum '2' inni við ræsingu)", u8"Manual (hold '2' button during powerup)"}},
    {Msg::ExternalDemodulated,
     {u8"Ekstern demoduleret", u8"Extern demoduliert", u8"Externe démodulé", u8"Externo demodulado",
      u8"Esterno demodulato", u8"Ytri afmótað", u8"External demodulated"}},
    {Msg::ExternalModulated,
     {u8"Ekstern moduleret", u8"Extern moduliert", u8"Externe modulé", u8"Externo modulado", u8"Esterno modulato",
      u8"Ytri mótað", u8"External modulated"}},
    {Msg::ReceiverRepeater,
     {u8"Repeatertilstand", u8"Repeater-Modus", u8"Mode répéteur", u8"Modo repetidor", u8"Modalità ripetitore",
      u8"Endurvarpshamur", u8"Repeatermode"}},
    {Msg::ReceiverAutosense,
     {u8"Automatisk registrering", u8"Automatische Erkennung", u8"Détection automatique", u8"Detección automática",
      u8"Rilevamento automatico", u8"Sjálfvirk greining", u8"Autosense"}},
    {Msg::Erase, {u8"Slet", u8"Löschen", u8"Effacer", u8"Borrar", u8"Cancella", u8"Eyða", u8"Erase"}},
    {Msg::RestoreFlash,
     {u8"Gendan [FLASH]", u8"Wiederherstellen [FLASH]", u8"Restauration [FLASH]", u8"Restaurar [FLASH]",
      u8"Ripristina [FLASH]", u8"Endurbyggja [FLASH]", u8"Restore [FLASH]"}},
    {Msg::TabButtons,
     {u8"Knapper", u8"Tasten", u8"Boutons", u8"Botones", u8"Pulsanti", u8"Hnappar", u8"Buttons"}},
    {Msg::AlternateButtonFunctions,
     {u8"Alternative knapfunktioner", u8"Alternative Tastenfunktionen", u8"Fonctions alternatives des boutons",
      u8"Funciones alternativas de los botones", u8"Funzioni alternative dei pulsanti", u8"Önnur virkni hnappa",
      u8"Alternate button functions"}},
    {Msg::FirmwareUpgradeRequired,
     {u8"Du kører i øjeblikket firmware [VERSION]. For at bruge dette konfigurationsværktøj skal du opgradere "
      u8"til [VERSION2].\r\n\r\nVil du opgradere nu?",
      u8"Sie verwenden derzeit die Firmware [VERSION]. Um dieses Konfigurationsprogramm zu verwenden, müssen Sie "
      u8"auf [VERSION2] aktualisieren.\r\n\r\nJetzt aktualisieren?",
      u8"Vous utilisez actuellement le micrologiciel [VERSION]. Pour utiliser cet outil de configuration, vous "
      u8"devez passer à la version [VERSION2].\r\n\r\nEffectuer la mise à jour maintenant ?",
      u8"Actualmente está usando el firmware [VERSION]. Para usar esta herramienta de configuración debe "
      u8"actualizar a [VERSION2].\r\n\r\n¿Actualizar ahora?",
      u8"Attualmente è in uso il firmware [VERSION]. Per utilizzare questo strumento di configurazione è "
      u8"necessario aggiornare alla versione [VERSION2].\r\n\r\nEseguire l'aggiornamento ora?",
      u8"Þú ert nú með fastbúnað [VERSION]. Til að nota þetta stillingartól þarftu að uppfæra í "
      u8"[VERSION2].\r\n\r\nUppfæra núna?",
      u8"You are currently running firmware [VERSION], in order to use this configuration tool you need to "
      u8"upgrade to [VERSION2].\r\n\r\nPerform upgrade now?"}},
    {Msg::EnableDiscretePowerOn,
     {u8"Aktivér diskret tænding", u8"Diskretes Einschalten aktivieren", u8"Activer la mise sous tension discrète",
      u8"Activar el encendido discreto", u8"Attiva l'accensione discreta", u8"Virkja sérstaka skipun til að kveikja",
      u8"Enable discrete power-on"}},
    {Msg::Cancel,
     {u8"Annuller", u8"Abbrechen", u8"Annuler", u8"Cancelar", u8"Annulla", u8"Hætta við", u8"Cancel"}},
    {Msg::TabTransmitReceive,
     {u8"Send / modtag IR", u8"IR senden / empfangen", u8"Émettre / recevoir IR", u8"Transmitir/recibir IR",
      u8"Trasmetti/ricevi IR", u8"Senda / taka á móti IR", u8"Transmit / Receive IR"}},
    {Msg::Transmit,
     {u8"Send", u8"Senden", u8"Émettre", u8"Transmitir", u8"Trasmetti", u8"Senda", u8"Transmit"}},
    {Msg::LastReceived,
     {u8"Sidst modtaget", u8"Zuletzt empfangen", u8"Dernière réception", u8"Último recibido", u8"Ultimo ricevuto",
      u8"Síðast móttekið", u8"Last received"}},
    {Msg::Receive,
     {u8"Modtag", u8"Empfangen", u8"Recevoir", u8"Recibir", u8"Ricevi", u8"Taka á móti", u8"Receive"}},
    {Msg::ProductUseNotice,
     {u8"ZE·LO konfigurationsprogram © 2008-%s QX Electronics. Alle rettigheder forbeholdes.",
      u8"ZE·LO Konfigurationssoftware © 2008-%s QX Electronics. Alle Rechte vorbehalten.",
      u8"Logiciel de configuration ZE·LO © 2008-%s QX Electronics. Tous droits réservés.",
      u8"Software de configuración de ZE·LO © 2008-%s QX Electronics. Todos los derechos reservados.",
      u8"Software di configurazione ZE·LO © 2008-%s QX Electronics. Tutti i diritti riservati.",
      u8"ZE·LO stillingarhugbúnaður © 2008-%s QX Electronics. Öll réttindi áskilin.",
      u8"ZE·LO configuration software © 2008-%s QX Electronics. All rights reserved."}},
    {Msg::MacroTimeError,
     {u8"Varighed og pause skal være hele millisekunder fra 0 til 65535. Makroen blev ikke ændret.",
      u8"Dauer und Pause müssen ganze Millisekunden von 0 bis 65535 sein. Das Makro wurde nicht geändert.",
      u8"La durée et la pause doivent être des millisecondes entières de 0 à 65535. La macro n'a pas été modifiée.",
      u8"La duración y la pausa deben ser milisegundos enteros de 0 a 65535. La macro no se ha modificado.",
      u8"Durata e pausa devono essere millisecondi interi da 0 a 65535. La macro non è stata modificata.",
      u8"Tímalengd og hlé verða að vera heilar millisekúndur frá 0 til 65535. Fjölvanum var ekki breytt.",
      u8"Duration and pause must be whole numbers of milliseconds from 0 to 65535. The macro was not changed."}},
    {Msg::ExportSettings,
     {u8"Eksportér indstillinger…", u8"Einstellungen exportieren…", u8"Exporter les réglages…",
      u8"Exportar configuración…", u8"Esporta impostazioni…", u8"Flytja út stillingar…", u8"Export settings…"}},
    {Msg::ImportSettings,
     {u8"Importér indstillinger…", u8"Einstellungen importieren…", u8"Importer les réglages…",
      u8"Importar configuración…", u8"Importa impostazioni…", u8"Flytja inn stillingar…", u8"Import settings…"}},
    {Msg::SettingsFiles,
     {u8"ZE·LO-indstillinger", u8"ZE·LO-Einstellungen", u8"Réglages ZE·LO", u8"Configuración de ZE·LO",
      u8"Impostazioni ZE·LO", u8"ZE·LO-stillingar", u8"ZE·LO settings"}},
    {Msg::SettingsImportRefused,
     {u8"Indstillingsfilen blev ikke importeret. Intet blev ændret.\r\n\r\n[REASON]",
      u8"Die Einstellungsdatei wurde nicht importiert. Es wurde nichts geändert.\r\n\r\n[REASON]",
      u8"Le fichier de réglages n'a pas été importé. Rien n'a été modifié.\r\n\r\n[REASON]",
      u8"El archivo de configuración no se ha importado. No se ha cambiado nada.\r\n\r\n[REASON]",
      u8"Il file delle impostazioni non è stato importato. Non è stato modificato nulla.\r\n\r\n[REASON]",
      u8"Stillingaskráin var ekki flutt inn. Engu var breytt.\r\n\r\n[REASON]",
      u8"The settings file was not imported. Nothing was changed.\r\n\r\n[REASON]"}},
    {Msg::SettingsImported,
     {u8"Indstillingerne blev importeret og vises som ikke-gemte ændringer. Gem skriver dem til tilbehøret.",
      u8"Die Einstellungen wurden importiert und werden als ungespeicherte Änderungen angezeigt. Speichern schreibt "
      u8"sie in das Zubehör.",
      u8"Les réglages ont été importés et apparaissent comme des modifications non enregistrées. Enregistrer les "
      u8"écrit dans l'accessoire.",
      u8"La configuración se ha importado y se muestra como cambios sin guardar. Guardar la escribe en el accesorio.",
      u8"Le impostazioni sono state importate e compaiono come modifiche non salvate. Salva le scrive "
      u8"nell'accessorio.",
      u8"Stillingarnar voru fluttar inn og birtast sem óvistaðar breytingar. Vista skrifar þær í aukabúnaðinn.",
      u8"The settings were imported and are shown as unsaved changes. Save writes them to the accessory."}},
    {Msg::SettingsImportedPartly,
     {u8"Indstillingerne blev importeret og vises som ikke-gemte ændringer. Dette tilbehør mangler følgende, som "
      u8"blev udeladt:\r\n\r\n[REASON]",
      u8"Die Einstellungen wurden importiert und werden als ungespeicherte Änderungen angezeigt. Dieses Zubehör "
      u8"hat Folgendes nicht, es wurde ausgelassen:\r\n\r\n[REASON]",
      u8"Les réglages ont été importés et apparaissent comme des modifications non enregistrées. Cet accessoire "
      u8"ne possède pas les éléments suivants, qui ont été ignorés :\r\n\r\n[REASON]",
      u8"La configuración se ha importado y se muestra como cambios sin guardar. Este accesorio no dispone de lo "
      u8"siguiente, que se ha omitido:\r\n\r\n[REASON]",
      u8"Le impostazioni sono state importate e compaiono come modifiche non salvate. Questo accessorio non "
      u8"dispone di quanto segue, che è stato tralasciato:\r\n\r\n[REASON]",
      u8"Stillingarnar voru fluttar inn og birtast sem óvistaðar breytingar. Þennan aukabúnað vantar eftirfarandi, "
      u8"sem var sleppt:\r\n\r\n[REASON]",
      u8"The settings were imported and are shown as unsaved changes. This accessory lacks the following, which "
      u8"was left out:\r\n\r\n[REASON]"}},
    {Msg::SettingsExportFailed,
     {u8"Indstillingerne kunne ikke skrives til [FILE].", u8"Die Einstellungen konnten nicht in [FILE] geschrieben "
      u8"werden.", u8"Impossible d'écrire les réglages dans [FILE].", u8"No se pudo escribir la configuración en [FILE].",
      u8"Impossibile scrivere le impostazioni in [FILE].", u8"Ekki tókst að skrifa stillingarnar í [FILE].",
      u8"The settings could not be written to [FILE]."}},
    {Msg::SettingsBackupFailed,
     {u8"Sikkerhedskopien af indstillingerne kunne ikke skrives til [FILE]. Firmwareopdateringen fortsætter.",
      u8"Die Sicherung der Einstellungen konnte nicht in [FILE] geschrieben werden. Die Firmware-Aktualisierung "
      u8"wird fortgesetzt.",
      u8"La sauvegarde des réglages n'a pas pu être écrite dans [FILE]. La mise à jour du micrologiciel continue.",
      u8"No se pudo escribir la copia de seguridad de la configuración en [FILE]. La actualización del firmware "
      u8"continúa.",
      u8"Impossibile scrivere il backup delle impostazioni in [FILE]. L'aggiornamento del firmware prosegue.",
      u8"Ekki tókst að skrifa öryggisafrit stillinganna í [FILE]. Fastbúnaðaruppfærslan heldur áfram.",
      u8"The backup of the settings could not be written to [FILE]. The firmware update continues."}},
    {Msg::UnfinishedSave,
     {u8"Den sidste gemning blev afbrudt, og enheden har kun delvist de nye indstillinger. Vil du fuldføre "
      u8"gemningen? Nej sætter de indstillinger tilbage, som enheden havde før.",
      u8"Das letzte Speichern wurde unterbrochen; das Gerät hat die neuen Einstellungen nur teilweise. "
      u8"Speichern jetzt abschließen? Nein stellt die Einstellungen wieder her, die das Gerät vorher hatte.",
      u8"Le dernier enregistrement a été interrompu ; l'appareil n'a qu'une partie des nouveaux réglages. "
      u8"Terminer l'enregistrement ? Non remet les réglages que l'appareil avait avant.",
      u8"El último guardado se interrumpió; el dispositivo solo tiene parte de la nueva configuración. "
      u8"¿Terminar de guardar? No restablece la configuración que tenía el dispositivo antes.",
      u8"L'ultimo salvataggio è stato interrotto; il dispositivo ha solo in parte le nuove impostazioni. "
      u8"Completare il salvataggio? No ripristina le impostazioni che il dispositivo aveva prima.",
      u8"Síðasta vistun rofnaði og tækið hefur aðeins hluta nýju stillinganna. Ljúka vistuninni? Nei setur "
      u8"aftur stillingarnar sem tækið hafði áður.",
      u8"The last save was interrupted and the accessory holds only part of the new settings. Finish the save? "
      u8"No puts back the settings the accessory had before."}},
    {Msg::UnfinishedSaveEarlier,
     {u8"Det sidste gem blev afbrudt, og enheden har måske kun en del af de nye indstillinger. En tidligere "
      u8"version af programmet gemte kun de nye indstillinger, så de tidligere kan ikke hentes tilbage. Gør "
      u8"gemningen færdig? Nej beholder indstillingerne, som de er nu.",
      u8"Das letzte Speichern wurde unterbrochen; das Gerät hat die neuen Einstellungen vielleicht nur "
      u8"teilweise. Eine frühere Programmversion hat nur die neuen Einstellungen festgehalten, die vorherigen "
      u8"lassen sich nicht wiederherstellen. Speichern jetzt abschließen? Nein behält die Einstellungen, wie sie "
      u8"jetzt sind.",
      u8"Le dernier enregistrement a été interrompu ; l'appareil n'a peut-être qu'une partie des nouveaux "
      u8"réglages. Une version antérieure du programme n'a conservé que les nouveaux réglages : les précédents "
      u8"ne peuvent pas être remis. Terminer l'enregistrement ? Non garde les réglages tels qu'ils sont.",
      u8"El último guardado se interrumpió; puede que el dispositivo solo tenga parte de la nueva "
      u8"configuración. Una versión anterior del programa solo guardó la nueva configuración, así que la "
      u8"anterior no se puede recuperar. ¿Terminar de guardar? No mantiene la configuración tal como está.",
      u8"L'ultimo salvataggio è stato interrotto; il dispositivo potrebbe avere solo in parte le nuove "
      u8"impostazioni. Una versione precedente del programma ha registrato solo le nuove impostazioni, quindi "
      u8"quelle di prima non si possono ripristinare. Completare il salvataggio? No mantiene le impostazioni "
      u8"come sono ora.",
      u8"Síðasta vistun rofnaði og tækið hefur ef til vill aðeins hluta nýju stillinganna. Eldri útgáfa "
      u8"forritsins skráði aðeins nýju stillingarnar, svo ekki er hægt að sækja þær fyrri. Ljúka vistuninni? "
      u8"Nei heldur stillingunum eins og þær eru núna.",
      u8"The last save was interrupted and the accessory may hold only part of the new settings. An earlier "
      u8"version of the program recorded only the new settings, so the ones from before cannot be brought back. "
      u8"Finish the save? No keeps the settings as they are now."}},
    {Msg::UnfinishedSaveDamaged,
     {u8"Oplysningerne om en afbrudt gemning var beskadigede og er ignoreret.",
      u8"Die Angaben zu einem unterbrochenen Speichern waren beschädigt und wurden ignoriert.",
      u8"Les informations d'un enregistrement interrompu étaient endommagées et ont été ignorées.",
      u8"Los datos de un guardado interrumpido estaban dañados y se han ignorado.",
      u8"I dati di un salvataggio interrotto erano danneggiati e sono stati ignorati.",
      u8"Upplýsingar um rofna vistun voru skemmdar og voru hunsaðar.",
      u8"The record of an interrupted save was damaged and has been ignored."}},
    {Msg::UnfinishedSaveStale,
     {u8"Oplysningerne om en afbrudt gemning er forældede: enheden er gemt igen siden. Dens indstillinger "
      u8"beholdes.",
      u8"Die Angaben zu einem unterbrochenen Speichern sind veraltet: Das Gerät wurde seitdem erneut "
      u8"gespeichert. Seine Einstellungen bleiben erhalten.",
      u8"Les informations d'un enregistrement interrompu sont périmées : l'appareil a été enregistré depuis. "
      u8"Ses réglages sont conservés.",
      u8"Los datos de un guardado interrumpido están obsoletos: el dispositivo se ha guardado después. Se "
      u8"conserva su configuración.",
      u8"I dati di un salvataggio interrotto non sono più validi: il dispositivo è stato salvato in seguito. "
      u8"Le sue impostazioni vengono mantenute.",
      u8"Upplýsingar um rofna vistun eru úreltar: tækið hefur verið vistað síðan. Stillingar þess haldast.",
      u8"The record of an interrupted save is out of date: the accessory has been saved since. Its settings "
      u8"are kept."}},
    {Msg::UnfinishedSaveUnreadable,
     {u8"Oplysningerne om en afbrudt gemning kunne ikke læses (de er måske i brug eller fra en nyere version "
      u8"af programmet). De er ladt urørt, og intet er ændret.",
      u8"Die Angaben zu einem unterbrochenen Speichern konnten nicht gelesen werden (sie sind vielleicht in "
      u8"Gebrauch oder stammen von einer neueren Programmversion). Sie bleiben unverändert; nichts wurde "
      u8"geändert.",
      u8"Les informations d'un enregistrement interrompu n'ont pas pu être lues (elles sont peut-être utilisées "
      u8"ou viennent d'une version plus récente du programme). Elles sont laissées en place ; rien n'a été "
      u8"modifié.",
      u8"No se pudieron leer los datos de un guardado interrumpido (quizá estén en uso o procedan de una "
      u8"versión más reciente del programa). Se dejan como están; no se ha cambiado nada.",
      u8"Non è stato possibile leggere i dati di un salvataggio interrotto (forse sono in uso o provengono da "
      u8"una versione più recente del programma). Vengono lasciati al loro posto; non è stato modificato nulla.",
      u8"Ekki tókst að lesa upplýsingar um rofna vistun (þær eru ef til vill í notkun eða úr nýrri útgáfu "
      u8"forritsins). Þær eru látnar óhreyfðar og engu var breytt.",
      u8"The record of an interrupted save could not be read (it may be in use, or come from a newer version of "
      u8"this program). It has been left in place and nothing was changed."}},
    {Msg::SaveUnprotected,
     {u8"Oplysningerne om denne gemning kunne ikke skrives. Var gemningen blevet afbrudt, kunne den ikke være "
      u8"fuldført eller fortrudt ved næste tilslutning.",
      u8"Die Angaben zu diesem Speichern konnten nicht geschrieben werden. Wäre das Speichern unterbrochen "
      u8"worden, hätte es beim nächsten Verbinden weder abgeschlossen noch rückgängig gemacht werden können.",
      u8"Les informations de cet enregistrement n'ont pas pu être écrites. S'il avait été interrompu, il "
      u8"n'aurait pu être ni terminé ni annulé à la connexion suivante.",
      u8"No se pudieron escribir los datos de este guardado. Si se hubiera interrumpido, no se habría podido "
      u8"terminar ni deshacer en la siguiente conexión.",
      u8"Non è stato possibile scrivere i dati di questo salvataggio. Se fosse stato interrotto, non si sarebbe "
      u8"potuto né completare né annullare alla connessione successiva.",
      u8"Ekki tókst að skrifa upplýsingar um þessa vistun. Hefði hún rofnað hefði hvorki verið hægt að ljúka "
      u8"henni né afturkalla hana við næstu tengingu.",
      u8"The record of this save could not be written. Had the save been interrupted, it could neither have been "
      u8"finished nor undone at the next connect."}},
}};

constexpr bool rowsFollowMessageOrder() {
    for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
        if (static_cast<std::size_t>(kCatalogue[i].id) != i) return false;
    }
    return true;
}

constexpr bool everyCellFilled() {
    for (const CatalogueRow &row : kCatalogue) {
        for (std::u8string_view cell : row.cells) {
            if (cell.empty()) return false;
        }
    }
    return true;
}

static_assert(rowsFollowMessageOrder(), "catalogue rows must follow the order of Msg");
static_assert(everyCellFilled(), "every language carries every message");

}  // namespace

std::u8string_view catalogueCell(Msg id, Column column) {
    const auto row = static_cast<std::size_t>(id);
    const auto col = static_cast<std::size_t>(column);
    if (row >= kCatalogue.size() || col >= kColumnCount) return {};
    return kCatalogue[row].cells[col];
}

}  // namespace zelo::i18n
