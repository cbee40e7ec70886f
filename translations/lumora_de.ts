<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AnnouncedMessages</name>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>it is too large</source>
        <translation>die Datei ist zu groß</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>Autostart</name>
    <message>
        <source>cannot remove %1: %2</source>
        <translation>%1 kann nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>cannot create the folder of %1</source>
        <translation>der Ordner von %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>DraftItem</name>
    <message>
        <source>No mail client on this desktop handles mailto: links. Install a mail program (for example Thunderbird or Evolution), or choose one with &quot;xdg-mime default PROGRAM.desktop x-scheme-handler/mailto&quot;</source>
        <translation>Kein Mail-Programm dieser Arbeitsumgebung öffnet mailto:-Links. Installieren Sie ein Mail-Programm (zum Beispiel Thunderbird oder Evolution) oder wählen Sie eines mit „xdg-mime default PROGRAMM.desktop x-scheme-handler/mailto“</translation>
    </message>
    <message>
        <source>The mail composer &quot;xdg-email&quot; could not be started: %1</source>
        <translation>Das Verfassen mit „xdg-email“ konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>Items of type %1 cannot be created</source>
        <translation>Elemente vom Typ %1 können nicht angelegt werden</translation>
    </message>
    <message>
        <source>No program on this desktop opens contacts (text/vcard). Install an address book (for example GNOME Contacts, Evolution or KAddressBook), or choose one with &quot;xdg-mime default PROGRAM.desktop text/vcard&quot;</source>
        <translation>Kein Programm dieser Arbeitsumgebung öffnet Kontakte (text/vcard). Installieren Sie ein Adressbuch (zum Beispiel GNOME Kontakte, Evolution oder KAddressBook) oder wählen Sie eines mit „xdg-mime default PROGRAMM.desktop text/vcard“</translation>
    </message>
    <message>
        <source>No program on this desktop opens calendar files (text/calendar). Install a calendar program (for example GNOME Calendar, Evolution or KOrganizer), or choose one with &quot;xdg-mime default PROGRAM.desktop text/calendar&quot;</source>
        <translation>Kein Programm dieser Arbeitsumgebung öffnet Kalenderdateien (text/calendar). Installieren Sie ein Kalenderprogramm (zum Beispiel GNOME Kalender, Evolution oder KOrganizer) oder wählen Sie eines mit „xdg-mime default PROGRAMM.desktop text/calendar“</translation>
    </message>
    <message>
        <source>The drafts folder %1 cannot be created</source>
        <translation>Der Entwurfsordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>The draft %1 cannot be written: %2</source>
        <translation>Der Entwurf %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The draft %1 was written, but &quot;xdg-open&quot; could not be started: %2</source>
        <translation>Der Entwurf %1 wurde geschrieben, aber „xdg-open“ konnte nicht gestartet werden: %2</translation>
    </message>
</context>
<context>
    <name>ImapAccount</name>
    <message>
        <source>The mailbox &quot;%1&quot; is gone from %2.</source>
        <translation>Das Postfach „%1“ ist auf %2 verschwunden.</translation>
    </message>
</context>
<context>
    <name>ImapAccountConfig</name>
    <message>
        <source>Unknown security &quot;%1&quot; (use starttls or plain).</source>
        <translation>Unbekannte Sicherheit „%1“ (starttls oder plain verwenden).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an imap:// or imaps:// address.</source>
        <translation>„%1“ ist keine imap://- oder imaps://-Adresse.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; needs a user and a host (imaps://user@host).</source>
        <translation>„%1“ braucht einen Benutzer und einen Host (imaps://benutzer@host).</translation>
    </message>
    <message>
        <source>Leave the password out of the address; Lumora asks for it and keeps it in the desktop&apos;s secret service.</source>
        <translation>Lassen Sie das Passwort aus der Adresse weg; Lumora fragt danach und speichert es im Schlüsselbund der Arbeitsumgebung.</translation>
    </message>
    <message>
        <source>An OAuth2 account needs either a token command (tokencmd=...) or an online account (online=...).</source>
        <translation>Ein OAuth2-Konto braucht entweder einen Token-Befehl (tokencmd=...) oder ein Online-Konto (online=...).</translation>
    </message>
    <message>
        <source>Unknown sign-in &quot;%1&quot; (use password or oauth2).</source>
        <translation>Unbekannte Anmeldeart „%1“ (password oder oauth2 verwenden).</translation>
    </message>
</context>
<context>
    <name>ImapConnection</name>
    <message>
        <source>The certificate of %1:%2 is not trusted (%3). Its SHA-256 fingerprint is %4; trust it only if your provider confirms it.</source>
        <translation>Dem Zertifikat von %1:%2 wird nicht vertraut (%3). Sein SHA-256-Fingerabdruck ist %4; vertrauen Sie ihm nur, wenn Ihr Anbieter ihn bestätigt.</translation>
    </message>
    <message>
        <source>The connection to %1:%2 was lost: %3.</source>
        <translation>Die Verbindung zu %1:%2 ist abgebrochen: %3.</translation>
    </message>
    <message>
        <source>The mail server %1 refused the user name or password of %2: %3</source>
        <translation>Der Mail-Server %1 hat Benutzername oder Passwort von %2 abgelehnt: %3</translation>
    </message>
    <message>
        <source>The mail server %1 does not offer OAuth2 sign-in (OAUTHBEARER or XOAUTH2).</source>
        <translation>Der Mail-Server %1 bietet keine OAuth2-Anmeldung an (OAUTHBEARER oder XOAUTH2).</translation>
    </message>
    <message>
        <source>No sign-in token for %1 from %2: %3</source>
        <translation>Kein Anmelde-Token für %1 von %2: %3</translation>
    </message>
    <message>
        <source>The mail server %1 refused the sign-in token of %2: %3</source>
        <translation>Der Mail-Server %1 hat das Anmelde-Token von %2 abgelehnt: %3</translation>
    </message>
</context>
<context>
    <name>ImapItem</name>
    <message>
        <source>The message could not be fetched from the server</source>
        <translation>Die Nachricht konnte nicht vom Server geholt werden</translation>
    </message>
    <message>
        <source>The folder %1 cannot be created or written</source>
        <translation>Der Ordner %1 kann nicht angelegt oder beschrieben werden</translation>
    </message>
    <message>
        <source>The message could not be saved to %1 to open it</source>
        <translation>Die Nachricht konnte zum Öffnen nicht unter %1 gespeichert werden</translation>
    </message>
    <message>
        <source>The message could not be moved to Trash on the server</source>
        <translation>Die Nachricht konnte auf dem Server nicht in den Papierkorb verschoben werden</translation>
    </message>
    <message>
        <source>The message could not be marked as read on the server</source>
        <translation>Die Nachricht konnte auf dem Server nicht als gelesen markiert werden</translation>
    </message>
</context>
<context>
    <name>ImapTokenCommand</name>
    <message>
        <source>the token command &quot;%1&quot;</source>
        <translation>dem Token-Befehl „%1“</translation>
    </message>
    <message>
        <source>The token command is empty.</source>
        <translation>Der Token-Befehl ist leer.</translation>
    </message>
    <message>
        <source>The token command &quot;%1&quot; could not be started: %2</source>
        <translation>Der Token-Befehl „%1“ konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>The token command &quot;%1&quot; gave no answer within %2 seconds.</source>
        <translation>Der Token-Befehl „%1“ hat innerhalb von %2 Sekunden nicht geantwortet.</translation>
    </message>
    <message>
        <source>The token command &quot;%1&quot; failed (exit status %2): %3</source>
        <translation>Der Token-Befehl „%1“ ist fehlgeschlagen (Exit-Status %2): %3</translation>
    </message>
    <message>
        <source>no message</source>
        <translation>keine Meldung</translation>
    </message>
    <message>
        <source>The token command &quot;%1&quot; printed no usable token on its first line.</source>
        <translation>Der Token-Befehl „%1“ hat in seiner ersten Zeile kein brauchbares Token ausgegeben.</translation>
    </message>
</context>
<context>
    <name>ImapWatcher</name>
    <message>
        <source>The mailbox &quot;%1&quot; is gone from %2.</source>
        <translation>Das Postfach „%1“ ist auf %2 verschwunden.</translation>
    </message>
</context>
<context>
    <name>IniFileCache</name>
    <message>
        <source>the settings in %1 are not used, and the file is left as it is: %2</source>
        <translation>die Einstellungen in %1 werden nicht verwendet, und die Datei bleibt, wie sie ist: %2</translation>
    </message>
</context>
<context>
    <name>KeychainPasswordStore</name>
    <message>
        <source>The desktop&apos;s secret service cannot be reached (%1).</source>
        <translation>Der Schlüsselbund der Arbeitsumgebung ist nicht erreichbar (%1).</translation>
    </message>
    <message>
        <source>The desktop&apos;s secret service cannot keep the password (%1).</source>
        <translation>Der Schlüsselbund der Arbeitsumgebung kann das Passwort nicht speichern (%1).</translation>
    </message>
</context>
<context>
    <name>MaildirItem</name>
    <message>
        <source>a message is skipped: %1</source>
        <translation>eine Nachricht wird übersprungen: %1</translation>
    </message>
    <message>
        <source>The message file is gone (moved or deleted since it arrived)</source>
        <translation>Die Nachrichtendatei ist weg (seit ihrem Eintreffen verschoben oder gelöscht)</translation>
    </message>
    <message>
        <source>The message could not be moved to Trash</source>
        <translation>Die Nachricht konnte nicht in den Papierkorb verschoben werden</translation>
    </message>
    <message>
        <source>The message could not be marked as read</source>
        <translation>Die Nachricht konnte nicht als gelesen markiert werden</translation>
    </message>
</context>
<context>
    <name>MaildirSourceFactory</name>
    <message>
        <source>the Maildir store %1 does not exist</source>
        <translation>der Maildir-Speicher %1 existiert nicht</translation>
    </message>
    <message>
        <source>the Maildir store %1 is not a folder</source>
        <translation>der Maildir-Speicher %1 ist kein Ordner</translation>
    </message>
    <message>
        <source>the Maildir store %1 cannot be opened</source>
        <translation>der Maildir-Speicher %1 kann nicht geöffnet werden</translation>
    </message>
</context>
<context>
    <name>MaildirStore</name>
    <message>
        <source>The message is already in Trash</source>
        <translation>Die Nachricht ist bereits im Papierkorb</translation>
    </message>
    <message>
        <source>Its folder no longer exists</source>
        <translation>Ihr Ordner existiert nicht mehr</translation>
    </message>
    <message>
        <source>The message file is gone (moved or deleted since it arrived)</source>
        <translation>Die Nachrichtendatei ist weg (seit ihrem Eintreffen verschoben oder gelöscht)</translation>
    </message>
    <message>
        <source>The Trash folder %1 cannot be created</source>
        <translation>Der Papierkorb-Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>It cannot be moved to %1: %2</source>
        <translation>Sie kann nicht nach %1 verschoben werden: %2</translation>
    </message>
    <message>
        <source>No free name for it in %1</source>
        <translation>Kein freier Name für sie in %1</translation>
    </message>
    <message>
        <source>Its file name %1 carries no Maildir flags that could be changed</source>
        <translation>Ihr Dateiname %1 trägt keine Maildir-Markierungen, die sich ändern ließen</translation>
    </message>
    <message>
        <source>Another file is already named %1%2</source>
        <translation>Eine andere Datei heißt bereits %1%2</translation>
    </message>
    <message>
        <source>It cannot be renamed to %1%2: %3</source>
        <translation>Sie kann nicht in %1%2 umbenannt werden: %3</translation>
    </message>
</context>
<context>
    <name>MaildirWatcher</name>
    <message>
        <source>The mail folders cannot be watched (inotify: %1); new mail will not be noticed.</source>
        <translation>Die Mail-Ordner können nicht überwacht werden (inotify: %1); neue Mail wird nicht bemerkt.</translation>
    </message>
    <message>
        <source>The mail folder %1 cannot be read: %2. Its new mail is announced once it can be read.</source>
        <translation>Der Mail-Ordner %1 kann nicht gelesen werden: %2. Seine neue Mail wird gemeldet, sobald er lesbar ist.</translation>
    </message>
    <message>
        <source>The mail store %1 is gone (deleted, moved away or no directory any more). It is watched again as soon as it is back, and the mail waiting in it is announced then.</source>
        <translation>Der Mail-Speicher %1 ist weg (gelöscht, verschoben oder kein Verzeichnis mehr). Er wird wieder überwacht, sobald er zurück ist, und die darin wartende Mail wird dann gemeldet.</translation>
    </message>
    <message>
        <source>The mail folder %1 has no %2/ directory (deleted or moved away). It is watched again as soon as %2/ is back.</source>
        <translation>Der Mail-Ordner %1 hat kein Verzeichnis %2/ (gelöscht oder verschoben). Er wird wieder überwacht, sobald %2/ zurück ist.</translation>
    </message>
</context>
<context>
    <name>MboxSourceFactory</name>
    <message>
        <source>%1 is a folder, not an mbox file</source>
        <translation>%1 ist ein Ordner, keine mbox-Datei</translation>
    </message>
    <message>
        <source>the folder of the mbox file %1 does not exist</source>
        <translation>der Ordner der mbox-Datei %1 existiert nicht</translation>
    </message>
    <message>
        <source>%1 is no mbox file (it does not begin with &quot;From &quot;)</source>
        <translation>%1 ist keine mbox-Datei (sie beginnt nicht mit &quot;From &quot;)</translation>
    </message>
</context>
<context>
    <name>MemoryItem</name>
    <message>
        <source>The message no longer exists</source>
        <translation>Die Nachricht existiert nicht mehr</translation>
    </message>
    <message>
        <source>The message cannot be read</source>
        <translation>Die Nachricht kann nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>MessageOpener</name>
    <message>
        <source>No program on this desktop opens mail files (message/rfc822), and no mail client handles mailto: links. Install a mail program (for example Thunderbird or Evolution), or choose one with &quot;xdg-mime default PROGRAM.desktop message/rfc822&quot;, or set the command in Options, page Mail, &quot;Open messages with&quot; (or start Lumora with --display-command)</source>
        <translation>Kein Programm dieser Arbeitsumgebung öffnet Mail-Dateien (message/rfc822), und kein Mail-Programm öffnet mailto:-Links. Installieren Sie ein Mail-Programm (zum Beispiel Thunderbird oder Evolution), wählen Sie eines mit „xdg-mime default PROGRAMM.desktop message/rfc822“ oder legen Sie den Befehl in den Optionen fest, Seite E-Mail, „Nachrichten öffnen mit“ (oder starten Sie Lumora mit --display-command)</translation>
    </message>
    <message>
        <source>No display command is set</source>
        <translation>Kein Anzeigebefehl festgelegt</translation>
    </message>
    <message>
        <source>No program opens mail files, and the mail client &quot;%1&quot; could not be started: %2</source>
        <translation>Kein Programm öffnet Mail-Dateien, und das Mail-Programm „%1“ konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>The display command &quot;%1&quot; could not be started: %2</source>
        <translation>Der Anzeigebefehl „%1“ konnte nicht gestartet werden: %2</translation>
    </message>
</context>
<context>
    <name>MetSources</name>
    <message>
        <source>Lumora: the Inbox of %1 is not watched: %2.</source>
        <translation>Lumora: Der Posteingang von %1 wird nicht überwacht: %2.</translation>
    </message>
    <message>
        <source>Lumora: the sources met cannot be kept (%1); their Inboxes are watched again at the next start if you untick them.</source>
        <translation>Lumora: Die gefundenen Quellen können nicht gespeichert werden (%1); ihre Posteingänge werden beim nächsten Start wieder überwacht, auch wenn Sie sie abwählen.</translation>
    </message>
</context>
<context>
    <name>MhSourceFactory</name>
    <message>
        <source>the MH mail directory %1 does not exist</source>
        <translation>das MH-Mailverzeichnis %1 existiert nicht</translation>
    </message>
    <message>
        <source>the MH mail directory %1 is not a folder</source>
        <translation>das MH-Mailverzeichnis %1 ist kein Ordner</translation>
    </message>
</context>
<context>
    <name>OnlineAccounts</name>
    <message>
        <source>GNOME Online Accounts is not running on this desktop.</source>
        <translation>GNOME Online-Konten läuft in dieser Arbeitsumgebung nicht.</translation>
    </message>
    <message>
        <source>GNOME Online Accounts gave no answer within %1 seconds.</source>
        <translation>GNOME Online-Konten hat innerhalb von %1 Sekunden nicht geantwortet.</translation>
    </message>
    <message>
        <source>No session bus: %1</source>
        <translation>Kein Sitzungsbus: %1</translation>
    </message>
    <message>
        <source>not connected</source>
        <translation>nicht verbunden</translation>
    </message>
    <message>
        <source>The session bus does not answer: %1</source>
        <translation>Der Sitzungsbus antwortet nicht: %1</translation>
    </message>
    <message>
        <source>GNOME Online Accounts gave an answer of the wrong form.</source>
        <translation>GNOME Online-Konten hat eine Antwort in falscher Form gegeben.</translation>
    </message>
    <message>
        <source>The desktop has no online account &quot;%1&quot; (was it removed from the settings?).</source>
        <translation>Die Arbeitsumgebung hat kein Online-Konto „%1“ (wurde es in den Einstellungen entfernt?).</translation>
    </message>
    <message>
        <source>The online account %1 does not sign in with OAuth2.</source>
        <translation>Das Online-Konto %1 meldet sich nicht mit OAuth2 an.</translation>
    </message>
    <message>
        <source>The online account %1 needs attention: sign in to it again in the desktop&apos;s settings.</source>
        <translation>Das Online-Konto %1 braucht Ihre Aufmerksamkeit: Melden Sie es in den Einstellungen der Arbeitsumgebung erneut an.</translation>
    </message>
    <message>
        <source>The online account %1 could not renew its sign-in: %2</source>
        <translation>Das Online-Konto %1 konnte seine Anmeldung nicht erneuern: %2</translation>
    </message>
    <message>
        <source>The online account %1 gave no sign-in token: %2</source>
        <translation>Das Online-Konto %1 hat kein Anmelde-Token geliefert: %2</translation>
    </message>
    <message>
        <source>The online account %1 gave no usable sign-in token.</source>
        <translation>Das Online-Konto %1 hat kein brauchbares Anmelde-Token geliefert.</translation>
    </message>
</context>
<context>
    <name>OnlineAccountsTokenSource</name>
    <message>
        <source>the online account %1</source>
        <translation>dem Online-Konto %1</translation>
    </message>
</context>
<context>
    <name>Pop3SourceFactory</name>
    <message>
        <source>Lumora: warning: %1 is used without encryption; the password and the mail cross the network readable by anyone on the way.</source>
        <translation>Lumora: Warnung: %1 wird ohne Verschlüsselung verwendet; Passwort und Mails gehen lesbar für jeden auf dem Weg durchs Netz.</translation>
    </message>
    <message>
        <source>Delete the message %1 from the POP3 server %2?

POP3 has no Trash: the message is gone for good, for every mail program.</source>
        <translation>Die Nachricht %1 vom POP3-Server %2 löschen?

POP3 hat keinen Papierkorb: Die Nachricht ist endgültig weg, für jedes Mail-Programm.</translation>
    </message>
</context>
<context>
    <name>ProblemReporter</name>
    <message>
        <source>The problems reported before are over: all new mail is noticed again.</source>
        <translation>Die zuvor gemeldeten Probleme sind behoben: Alle neue Mail wird wieder bemerkt.</translation>
    </message>
</context>
<context>
    <name>RegistryStore</name>
    <message>
        <source>The folder %1 cannot be created</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>There is no permission to write in the folder %1</source>
        <translation>Es fehlt die Berechtigung, in den Ordner %1 zu schreiben</translation>
    </message>
    <message>
        <source>The lock file %1.lock cannot be written (is the disk full?)</source>
        <translation>Die Sperrdatei %1.lock kann nicht geschrieben werden (ist die Festplatte voll?)</translation>
    </message>
</context>
<context>
    <name>UnreadTip</name>
    <message>
        <source>no unread mail</source>
        <translation>keine ungelesene Mail</translation>
    </message>
    <message numerus="yes">
        <source>%n unread</source>
        <translation>
            <numerusform>%n ungelesen</numerusform>
            <numerusform>%n ungelesen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WatchedFolderList</name>
    <message>
        <source>the watched folders cannot be written to %1</source>
        <translation>die überwachten Ordner können nicht in %1 geschrieben werden</translation>
    </message>
</context>
<context>
    <name>lumora::ColorSwatch</name>
    <message>
        <source>Click to change color</source>
        <translation>Klicken, um die Farbe zu ändern</translation>
    </message>
</context>
<context>
    <name>lumora::DBusService</name>
    <message>
        <source>the D-Bus object %1 could not be published; going on without the D-Bus interface.</source>
        <translation>das D-Bus-Objekt %1 konnte nicht veröffentlicht werden; es geht ohne die D-Bus-Schnittstelle weiter.</translation>
    </message>
    <message>
        <source>it is taken, by another Lumora or another program</source>
        <translation>er ist belegt, von einem anderen Lumora oder einem anderen Programm</translation>
    </message>
    <message>
        <source>the D-Bus name %1 cannot be had (%2); going on without the D-Bus interface.</source>
        <translation>der D-Bus-Name %1 ist nicht zu bekommen (%2); es geht ohne die D-Bus-Schnittstelle weiter.</translation>
    </message>
</context>
<context>
    <name>lumora::HostApplication</name>
    <message>
        <source>the plugin library %1 is missing</source>
        <translation>die Erweiterungsbibliothek %1 fehlt</translation>
    </message>
    <message>
        <source>the add-in %1 could not be registered: the settings store %2 cannot be written</source>
        <translation>das Add-in %1 konnte nicht registriert werden: der Einstellungsspeicher %2 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>no add-in is registered in %1</source>
        <translation>in %1 ist kein Add-in registriert</translation>
    </message>
    <message>
        <source>the add-in %1 could not be created</source>
        <translation>das Add-in %1 konnte nicht erzeugt werden</translation>
    </message>
    <message>
        <source>Mail</source>
        <translation>E-Mail</translation>
    </message>
</context>
<context>
    <name>lumora::HostOptionsPage</name>
    <message>
        <source>for example thunderbird</source>
        <translation>zum Beispiel thunderbird</translation>
    </message>
    <message>
        <source>%f stands for the message file; without it the file is appended.</source>
        <translation>%f steht für die Nachrichtendatei; ohne %f wird die Datei angehängt.</translation>
    </message>
    <message>
        <source>&amp;Quiet while presenting (a full-screen window, or do not disturb)</source>
        <translation>&amp;Ruhe bei Präsentationen (ein Vollbildfenster oder „Bitte nicht stören“)</translation>
    </message>
    <message>
        <source>Run without a shell (quote with double quotes); the mail is in LUMORA_FOLDER, LUMORA_SENDER, LUMORA_SUBJECT and LUMORA_COUNT.</source>
        <translation>Läuft ohne Shell (mit doppelten Anführungszeichen quotieren); die Mail steht in LUMORA_FOLDER, LUMORA_SENDER, LUMORA_SUBJECT und LUMORA_COUNT.</translation>
    </message>
    <message>
        <source>&amp;Start Lumora when I log in</source>
        <translation>Lumora beim Anmelden &amp;starten</translation>
    </message>
    <message>
        <source>Mail &amp;client window class:</source>
        <translation>Fensterklasse des Mail-Pro&amp;gramms:</translation>
    </message>
    <message>
        <source>&amp;Open messages with:</source>
        <translation>Nachrichten ö&amp;ffnen mit:</translation>
    </message>
    <message>
        <source>On new mail &amp;run:</source>
        <translation>Bei neuer Mail &amp;ausführen:</translation>
    </message>
    <message>
        <source>The mail settings could not be saved: %1. They are kept on this page; press Apply to try again.</source>
        <translation>Die Mail-Einstellungen konnten nicht gespeichert werden: %1. Sie bleiben auf dieser Seite erhalten; klicken Sie auf „Anwenden“, um es erneut zu versuchen.</translation>
    </message>
    <message>
        <source>Autostart unchanged: %1</source>
        <translation>Autostart unverändert: %1</translation>
    </message>
    <message>
        <source>no secret service is available.</source>
        <translation>kein Schlüsselbund verfügbar.</translation>
    </message>
    <message>
        <source>The password could not be kept in the desktop&apos;s secret service, so Lumora asks for it when it starts.

</source>
        <translation>Das Passwort konnte nicht im Schlüsselbund der Arbeitsumgebung gespeichert werden; Lumora fragt daher beim Start danach.

</translation>
    </message>
</context>
<context>
    <name>lumora::ImapAccountDialog</name>
    <message>
        <source>IMAP Account</source>
        <translation>IMAP-Konto</translation>
    </message>
    <message>
        <source>Add IMAP Account</source>
        <translation>IMAP-Konto hinzufügen</translation>
    </message>
    <message>
        <source>Connect &amp;without encryption</source>
        <translation>&amp;Ohne Verschlüsselung verbinden</translation>
    </message>
    <message>
        <source>Without encryption your password and your mail cross the network readable by anyone on the way. Use it only for a server on this computer or a network you trust.</source>
        <translation>Ohne Verschlüsselung gehen Passwort und Mails lesbar für jeden auf dem Weg durchs Netz. Nutzen Sie das nur für einen Server auf diesem Rechner oder in einem Netz, dem Sie vertrauen.</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>asked at start when empty</source>
        <translation>leer: wird beim Start abgefragt</translation>
    </message>
    <message>
        <source>The password is kept in the desktop&apos;s secret service.</source>
        <translation>Das Passwort wird im Schlüsselbund der Arbeitsumgebung gespeichert.</translation>
    </message>
    <message>
        <source>&amp;Server:</source>
        <translation>&amp;Server:</translation>
    </message>
    <message>
        <source>&amp;Port:</source>
        <translation>&amp;Port:</translation>
    </message>
    <message>
        <source>&amp;Encryption:</source>
        <translation>&amp;Verschlüsselung:</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <source>Pass&amp;word:</source>
        <translation>Pass&amp;wort:</translation>
    </message>
    <message>
        <source>POP3 Account</source>
        <translation>POP3-Konto</translation>
    </message>
    <message>
        <source>Add POP3 Account</source>
        <translation>POP3-Konto hinzufügen</translation>
    </message>
    <message>
        <source> min</source>
        <translation> min</translation>
    </message>
    <message>
        <source>&amp;Check every:</source>
        <translation>Prüfen &amp;alle:</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>OAuth2 token from a command</source>
        <translation>OAuth2-Token von einem Befehl</translation>
    </message>
    <message>
        <source>OAuth2 with an online account of the desktop</source>
        <translation>OAuth2 mit einem Online-Konto der Arbeitsumgebung</translation>
    </message>
    <message>
        <source>Sign &amp;in with:</source>
        <translation>Anmelden &amp;mit:</translation>
    </message>
    <message>
        <source>No online account of the desktop reads mail with OAuth2. Add one in the desktop&apos;s settings (Online Accounts).</source>
        <translation>Kein Online-Konto der Arbeitsumgebung liest E-Mail mit OAuth2. Legen Sie eines in den Einstellungen der Arbeitsumgebung an (Online-Konten).</translation>
    </message>
    <message>
        <source>a program and its arguments, e.g. oama access alice@gmail.com</source>
        <translation>ein Programm und seine Argumente, z. B. oama access alice@gmail.com</translation>
    </message>
    <message>
        <source>Its first line of output is the access token. It is run without a shell; LUMORA_TOKEN_REFRESH=1 is set when the server refused the last token.</source>
        <translation>Seine erste Ausgabezeile ist das Zugriffstoken. Es läuft ohne Shell; LUMORA_TOKEN_REFRESH=1 ist gesetzt, wenn der Server das letzte Token abgelehnt hat.</translation>
    </message>
    <message>
        <source>Token &amp;command:</source>
        <translation>&amp;Token-Befehl:</translation>
    </message>
    <message>
        <source>%1 (%2) - sign in again in the desktop&apos;s settings</source>
        <translation>%1 (%2) - in den Einstellungen der Arbeitsumgebung erneut anmelden</translation>
    </message>
    <message>
        <source>Online &amp;account:</source>
        <translation>Online-&amp;Konto:</translation>
    </message>
    <message>
        <source>%1 (not found among the desktop&apos;s accounts)</source>
        <translation>%1 (unter den Konten der Arbeitsumgebung nicht gefunden)</translation>
    </message>
    <message>
        <source>Server settings of %1 filled in.</source>
        <translation>Servereinstellungen von %1 eingetragen.</translation>
    </message>
    <message>
        <source>%1 asks for OAuth2 sign-in: the desktop&apos;s online account for this address is used.</source>
        <translation>%1 verlangt die Anmeldung mit OAuth2: das Online-Konto der Arbeitsumgebung für diese Adresse wird verwendet.</translation>
    </message>
    <message>
        <source>%1 asks for OAuth2 sign-in: name a command that prints an access token, or add the account to the desktop&apos;s online accounts.</source>
        <translation>%1 verlangt die Anmeldung mit OAuth2: nennen Sie einen Befehl, der ein Zugriffstoken ausgibt, oder legen Sie das Konto in den Online-Konten der Arbeitsumgebung an.</translation>
    </message>
</context>
<context>
    <name>lumora::ImapSetup</name>
    <message>
        <source>Lumora: cannot remember the trusted certificate in %1.</source>
        <translation>Lumora: Das vertrauenswürdige Zertifikat kann nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>Lumora: warning: %1 is used without encryption; the password and the mail cross the network readable by anyone on the way.</source>
        <translation>Lumora: Warnung: %1 wird ohne Verschlüsselung verwendet; Passwort und Mails gehen lesbar für jeden auf dem Weg durchs Netz.</translation>
    </message>
    <message>
        <source>Lumora: %1 The password of %2 is used for this session only and is not written anywhere.</source>
        <translation>Lumora: %1 Das Passwort von %2 gilt nur für diese Sitzung und wird nirgends gespeichert.</translation>
    </message>
    <message>
        <source>No password for %1: none in the desktop&apos;s secret service%2.</source>
        <translation>Kein Passwort für %1: keines im Schlüsselbund der Arbeitsumgebung%2.</translation>
    </message>
    <message>
        <source> and none given</source>
        <translation> und keines angegeben</translation>
    </message>
    <message>
        <source> and no dialog to ask</source>
        <translation> und kein Dialog zum Nachfragen</translation>
    </message>
    <message>
        <source>The mail server %1 shows a certificate that no authority vouches for.

SHA-256 fingerprint:
%2

Trust it only if your provider confirms this fingerprint. Trust it?</source>
        <translation>Der Mail-Server %1 zeigt ein Zertifikat, für das keine Zertifizierungsstelle bürgt.

SHA-256-Fingerabdruck:
%2

Vertrauen Sie ihm nur, wenn Ihr Anbieter diesen Fingerabdruck bestätigt. Vertrauen?</translation>
    </message>
</context>
<context>
    <name>lumora::MailSourceSetup</name>
    <message>
        <source>--imap-trust takes a SHA-256 fingerprint (64 hexadecimal digits, colons allowed), not &quot;%1&quot;.</source>
        <translation>--imap-trust erwartet einen SHA-256-Fingerabdruck (64 Hexadezimalziffern, Doppelpunkte erlaubt), nicht „%1“.</translation>
    </message>
    <message>
        <source>--maildir: %1.</source>
        <translation>--maildir: %1.</translation>
    </message>
    <message>
        <source>Lumora: the kept store is not watched: %1.</source>
        <translation>Lumora: Der gespeicherte Speicher wird nicht überwacht: %1.</translation>
    </message>
    <message>
        <source>Lumora: the kept account is not watched: %1</source>
        <translation>Lumora: Das gespeicherte Konto wird nicht überwacht: %1</translation>
    </message>
    <message>
        <source>Lumora: the store is not watched: %1.</source>
        <translation>Lumora: Der Speicher wird nicht überwacht: %1.</translation>
    </message>
    <message>
        <source>Lumora: the account is not watched: %1</source>
        <translation>Lumora: Das Konto wird nicht überwacht: %1</translation>
    </message>
    <message>
        <source>Lumora: the kept POP3 account is not watched: %1</source>
        <translation>Lumora: Das gespeicherte POP3-Konto wird nicht überwacht: %1</translation>
    </message>
    <message>
        <source>Lumora: the POP3 account is not watched: %1</source>
        <translation>Lumora: Das POP3-Konto wird nicht überwacht: %1</translation>
    </message>
    <message>
        <source>command line</source>
        <translation>Befehlszeile</translation>
    </message>
</context>
<context>
    <name>lumora::MailSourcesBox</name>
    <message>
        <source>no encryption</source>
        <translation>keine Verschlüsselung</translation>
    </message>
    <message>
        <source> (watched after Apply)</source>
        <translation> (nach „Anwenden“ überwacht)</translation>
    </message>
    <message>
        <source>Mail sources</source>
        <translation>Mail-Quellen</translation>
    </message>
    <message>
        <source>Add &amp;Maildir store...</source>
        <translation>&amp;Maildir-Speicher hinzufügen...</translation>
    </message>
    <message>
        <source>Add &amp;IMAP account...</source>
        <translation>&amp;IMAP-Konto hinzufügen...</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>&amp;Bearbeiten...</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Lumora watches every store and account listed here, side by side. What you add or remove is watched or let go when you press Apply; a new source&apos;s Inbox is watched at once.</source>
        <translation>Lumora überwacht alle hier aufgeführten Speicher und Konten nebeneinander. Was Sie hinzufügen oder entfernen, wird mit „Anwenden“ überwacht oder freigegeben; der Posteingang einer neuen Quelle wird sofort überwacht.</translation>
    </message>
    <message>
        <source>Maildir: %1 (%2)</source>
        <translation>Maildir: %1 (%2)</translation>
    </message>
    <message>
        <source>default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>command line</source>
        <translation>Befehlszeile</translation>
    </message>
    <message>
        <source>Maildir: %1</source>
        <translation>Maildir: %1</translation>
    </message>
    <message>
        <source>IMAP: %1 (not understood)</source>
        <translation>IMAP: %1 (nicht verstanden)</translation>
    </message>
    <message>
        <source>IMAP: %1 (%2)</source>
        <translation>IMAP: %1 (%2)</translation>
    </message>
    <message>
        <source>Choose a Maildir store</source>
        <translation>Maildir-Speicher wählen</translation>
    </message>
    <message>
        <source>Add &amp;POP3 account...</source>
        <translation>&amp;POP3-Konto hinzufügen...</translation>
    </message>
    <message>
        <source>POP3: %1 (not understood)</source>
        <translation>POP3: %1 (nicht verstanden)</translation>
    </message>
    <message numerus="yes">
        <source>POP3: %1 (%2, every %n minute(s))</source>
        <translation>
            <numerusform>POP3: %1 (%2, alle %n Minute)</numerusform>
            <numerusform>POP3: %1 (%2, alle %n Minuten)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>lumora::Main</name>
    <message>
        <source>lumora - Outlook Tray Notifier</source>
        <translation>lumora - Outlook-Benachrichtigung</translation>
    </message>
    <message>
        <source>Suspend Lumora</source>
        <translation>Lumora anhalten</translation>
    </message>
    <message>
        <source>S&amp;nooze</source>
        <translation>&amp;Schlummern</translation>
    </message>
    <message>
        <source>15 Minutes</source>
        <translation>15 Minuten</translation>
    </message>
    <message>
        <source>1 Hour</source>
        <translation>1 Stunde</translation>
    </message>
    <message>
        <source>4 Hours</source>
        <translation>4 Stunden</translation>
    </message>
    <message>
        <source>Until Tomorrow</source>
        <translation>Bis morgen</translation>
    </message>
    <message>
        <source>Resume Now</source>
        <translation>Jetzt fortsetzen</translation>
    </message>
    <message>
        <source>Hide Outlook</source>
        <translation>Outlook ausblenden</translation>
    </message>
    <message>
        <source>New &amp;Appointment...</source>
        <translation>Neuer &amp;Termin...</translation>
    </message>
    <message>
        <source>New &amp;Contact...</source>
        <translation>Neuer &amp;Kontakt...</translation>
    </message>
    <message>
        <source>New &amp;Mail...</source>
        <translation>Neue &amp;E-Mail...</translation>
    </message>
    <message>
        <source>New &amp;Note...</source>
        <translation>Neue &amp;Notiz...</translation>
    </message>
    <message>
        <source>New &amp;Task...</source>
        <translation>Neue &amp;Aufgabe...</translation>
    </message>
    <message>
        <source>&amp;Reset Icon</source>
        <translation>Symbol &amp;zurücksetzen</translation>
    </message>
    <message>
        <source>Mar&amp;k All as Read</source>
        <translation>Alle als ge&amp;lesen markieren</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Optionen...</translation>
    </message>
    <message>
        <source>Lumora Help...</source>
        <translation>Lumora-Hilfe...</translation>
    </message>
    <message>
        <source>&amp;About Lumora...</source>
        <translation>&amp;Über Lumora...</translation>
    </message>
    <message>
        <source>&amp;Quit Lumora</source>
        <translation>Lumora &amp;beenden</translation>
    </message>
    <message numerus="yes">
        <source>%n more messages came while the queue was full and were not marked as read; mark them read in your mail client.</source>
        <translation>
            <numerusform>%n weitere Nachricht kam, während die Warteschlange voll war, und wurde nicht als gelesen markiert; markieren Sie sie in Ihrem Mail-Programm als gelesen.</numerusform>
            <numerusform>%n weitere Nachrichten kamen, während die Warteschlange voll war, und wurden nicht als gelesen markiert; markieren Sie sie in Ihrem Mail-Programm als gelesen.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>lumora::NewMailCommand</name>
    <message>
        <source>the new-mail command %1 still runs from the mail before, so it was not started again</source>
        <translation>der Befehl für neue Mail %1 läuft noch von der vorigen Mail und wurde daher nicht erneut gestartet</translation>
    </message>
    <message>
        <source>the new-mail command %1 cannot be started: %2</source>
        <translation>der Befehl für neue Mail %1 kann nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>the new-mail command %1 ended abnormally</source>
        <translation>der Befehl für neue Mail %1 endete unerwartet</translation>
    </message>
    <message>
        <source>the new-mail command %1 ended with exit status %2</source>
        <translation>der Befehl für neue Mail %1 endete mit Exit-Status %2</translation>
    </message>
</context>
<context>
    <name>lumora::NotificationPresenter</name>
    <message>
        <source>New mail: %1</source>
        <translation>Neue Mail: %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Folder: %1
From: %2
Subject: %3</source>
        <translation>Ordner: %1
Von: %2
Betreff: %3</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Posteingang</translation>
    </message>
    <message>
        <source>This is the subject of a mail message for test purposes</source>
        <translation>Dies ist der Betreff einer Mail-Nachricht zu Testzwecken</translation>
    </message>
    <message>
        <source>Important mail: %1</source>
        <translation>Wichtige Mail: %1</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>lumora::OlAddIn</name>
    <message>
        <source>The data folder %1 cannot be created or written; the watched folders and the log cannot be kept</source>
        <translation>Der Datenordner %1 kann nicht angelegt oder beschrieben werden; die überwachten Ordner und das Protokoll können nicht gespeichert werden</translation>
    </message>
    <message>
        <source>new-mail command failed (see the log)</source>
        <translation>Befehl für neue Mail fehlgeschlagen (siehe Protokoll)</translation>
    </message>
    <message>
        <source>The message no longer exists (moved, deleted or its store is gone)</source>
        <translation>Die Nachricht existiert nicht mehr (verschoben, gelöscht oder ihr Speicher ist weg)</translation>
    </message>
    <message>
        <source>The mail store refused</source>
        <translation>Der Mail-Speicher hat abgelehnt</translation>
    </message>
    <message>
        <source>Cannot %1 message %2: %3</source>
        <extracomment>%1 is the action: &quot;open&quot;, &quot;delete&quot; or &quot;mark as read&quot;, each translated on its own.</extracomment>
        <translation>Nachricht %2 lässt sich nicht %1: %3</translation>
    </message>
    <message>
        <source>open</source>
        <translation>öffnen</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>löschen</translation>
    </message>
    <message>
        <source>mark as read</source>
        <translation>als gelesen markieren</translation>
    </message>
    <message>
        <source>The message could not be marked as read: %1.</source>
        <translation>Die Nachricht konnte nicht als gelesen markiert werden: %1.</translation>
    </message>
    <message>
        <source>%1 of %2 messages could not be marked as read: %3.</source>
        <translation>%1 von %2 Nachrichten konnten nicht als gelesen markiert werden: %3.</translation>
    </message>
    <message>
        <source>Cannot create a new item of type %1</source>
        <translation>Ein neues Element vom Typ %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Cannot open the new item: %1</source>
        <translation>Das neue Element kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>Cannot compose: the mail store has no Drafts folder</source>
        <translation>Verfassen nicht möglich: Der Mail-Speicher hat keinen Entwurfsordner</translation>
    </message>
    <message>
        <source>Cannot compose: no new message could be created</source>
        <translation>Verfassen nicht möglich: Es konnte keine neue Nachricht angelegt werden</translation>
    </message>
    <message>
        <source>Cannot compose: the safe-mail component is not available</source>
        <translation>Verfassen nicht möglich: Die Safe-Mail-Komponente ist nicht verfügbar</translation>
    </message>
    <message>
        <source>Cannot open the new message: %1</source>
        <translation>Die neue Nachricht kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>No folder is watched: %1 is missing and could not be created</source>
        <translation>Kein Ordner wird überwacht: %1 fehlt und konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>No folder is watched: %1 cannot be read</source>
        <translation>Kein Ordner wird überwacht: %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>No folder is watched: %1 lists none in its [EntryID] section</source>
        <translation>Kein Ordner wird überwacht: %1 nennt keinen im Abschnitt [EntryID]</translation>
    </message>
    <message>
        <source>No folder is watched: none of the %1 folder(s) listed in %2 can be opened</source>
        <translation>Kein Ordner wird überwacht: keiner der %1 in %2 aufgeführten Ordner lässt sich öffnen</translation>
    </message>
    <message>
        <source>no folders watched: open Options</source>
        <translation>keine Ordner überwacht: Optionen öffnen</translation>
    </message>
    <message>
        <source>Snoozed until %1</source>
        <translation>Schlummert bis %1</translation>
    </message>
    <message>
        <source>%1; messages shown before may be shown again</source>
        <translation>%1; bereits gezeigte Nachrichten werden womöglich erneut gezeigt</translation>
    </message>
    <message>
        <source>%1; after a restart these messages may be shown again</source>
        <translation>%1; nach einem Neustart werden diese Nachrichten womöglich erneut gezeigt</translation>
    </message>
</context>
<context>
    <name>lumora::OptionsDialog</name>
    <message>
        <source>Lumora Options</source>
        <translation>Lumora-Optionen</translation>
    </message>
</context>
<context>
    <name>lumora::OptionsPages</name>
    <message>
        <source>the options page %1 could not be shown.</source>
        <translation>die Optionsseite %1 konnte nicht angezeigt werden.</translation>
    </message>
</context>
<context>
    <name>lumora::PopupWindow</name>
    <message>
        <source>New Mail</source>
        <translation>Neue Mail</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Ordner:</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>Von:</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Betreff:</translation>
    </message>
    <message>
        <source>Invalid duration. Must be greater than 0 and smaller than 65535.</source>
        <translation>Ungültige Dauer. Sie muss größer als 0 und kleiner als 65535 sein.</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Posteingang</translation>
    </message>
    <message>
        <source>This is the subject of a mail message for test purposes</source>
        <translation>Dies ist der Betreff einer Mail-Nachricht zu Testzwecken</translation>
    </message>
    <message>
        <source> in procedure OpenEmailMessage of Form PopupWindow</source>
        <translation> in Prozedur OpenEmailMessage des Formulars PopupWindow</translation>
    </message>
    <message>
        <source>Error 91 (Object variable not set)</source>
        <translation>Fehler 91 (Objektvariable nicht festgelegt)</translation>
    </message>
    <message>
        <source>Error 440 (%1)</source>
        <translation>Fehler 440 (%1)</translation>
    </message>
    <message>
        <source>Error 440 (Unknown error)</source>
        <translation>Fehler 440 (Unbekannter Fehler)</translation>
    </message>
    <message>
        <source> in procedure Toolbar1_ButtonClick of Form PopupWindow</source>
        <translation> in Prozedur Toolbar1_ButtonClick des Formulars PopupWindow</translation>
    </message>
    <message>
        <source> in procedure MarkAsRead of Form PopupWindow</source>
        <translation> in Prozedur MarkAsRead des Formulars PopupWindow</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Mark as &amp;Read</source>
        <translation>Als &amp;gelesen markieren</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Dismiss &amp;All</source>
        <translation>&amp;Alle verwerfen</translation>
    </message>
</context>
<context>
    <name>lumora::PopupWindowsManager</name>
    <message>
        <source>Invalid width.</source>
        <translation>Ungültige Breite.</translation>
    </message>
    <message>
        <source>Invalid height.</source>
        <translation>Ungültige Höhe.</translation>
    </message>
</context>
<context>
    <name>lumora::Queue</name>
    <message numerus="yes">
        <source>and %n more messages</source>
        <translation>
            <numerusform>und %n weitere Nachricht</numerusform>
            <numerusform>und %n weitere Nachrichten</numerusform>
        </translation>
    </message>
    <message>
        <source>several folders</source>
        <translation>mehrere Ordner</translation>
    </message>
</context>
<context>
    <name>lumora::ctlLumora</name>
    <message>
        <source>Popup Window</source>
        <translation>Popup-Fenster</translation>
    </message>
    <message>
        <source>&amp;Popup Location:</source>
        <translation>&amp;Popup-Position:</translation>
    </message>
    <message>
        <source>manual</source>
        <translation>manuell</translation>
    </message>
    <message>
        <source>top right</source>
        <translation>oben rechts</translation>
    </message>
    <message>
        <source>top left</source>
        <translation>oben links</translation>
    </message>
    <message>
        <source>bottom right</source>
        <translation>unten rechts</translation>
    </message>
    <message>
        <source>bottom left</source>
        <translation>unten links</translation>
    </message>
    <message>
        <source>Manual X Position:</source>
        <translation>Manuelle X-Position:</translation>
    </message>
    <message>
        <source>Manual Y Position:</source>
        <translation>Manuelle Y-Position:</translation>
    </message>
    <message>
        <source>Gradient Colors:</source>
        <translation>Verlaufsfarben:</translation>
    </message>
    <message>
        <source>Gradient Direction:</source>
        <translation>Verlaufsrichtung:</translation>
    </message>
    <message>
        <source>horizontal</source>
        <translation>waagerecht</translation>
    </message>
    <message>
        <source>vertical</source>
        <translation>senkrecht</translation>
    </message>
    <message>
        <source>Sound File:</source>
        <translation>Klangdatei:</translation>
    </message>
    <message>
        <source>&amp;Inter-message Delay:</source>
        <translation>&amp;Verzögerung zwischen Nachrichten:</translation>
    </message>
    <message>
        <source>milliseconds</source>
        <translation>Millisekunden</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>Verschiedenes</translation>
    </message>
    <message>
        <source>Delete on Popup Window:</source>
        <translation>Löschen im Popup-Fenster:</translation>
    </message>
    <message>
        <source>Hide Outlook on Startup:</source>
        <translation>Outlook beim Start ausblenden:</translation>
    </message>
    <message>
        <source>(feature available in current Outlook version)</source>
        <translation>(Funktion in der aktuellen Outlook-Version verfügbar)</translation>
    </message>
    <message>
        <source>(Choose folders for Lumora to examine)</source>
        <translation>(Ordner wählen, die Lumora durchsucht)</translation>
    </message>
    <message>
        <source>Select Folders...</source>
        <translation>Ordner auswählen...</translation>
    </message>
    <message>
        <source>Test Popup</source>
        <translation>Test-Popup</translation>
    </message>
    <message>
        <source>About Lumora...</source>
        <translation>Über Lumora...</translation>
    </message>
    <message>
        <source>Choose Notification Sound</source>
        <translation>Benachrichtigungsklang wählen</translation>
    </message>
    <message>
        <source>Sound Files (*.wav)</source>
        <translation>Klangdateien (*.wav)</translation>
    </message>
    <message>
        <source>Your Lumora settings could not be saved: %1. They are kept on this page; press Apply to try again.</source>
        <translation>Ihre Lumora-Einstellungen konnten nicht gespeichert werden: %1. Sie bleiben auf dieser Seite erhalten; klicken Sie auf „Anwenden“, um es erneut zu versuchen.</translation>
    </message>
    <message>
        <source>Your watched folders could not be saved: %1 cannot be written. The folders watched stay as they were; choose them again to retry.</source>
        <translation>Ihre überwachten Ordner konnten nicht gespeichert werden: %1 kann nicht geschrieben werden. Die überwachten Ordner bleiben, wie sie waren; wählen Sie sie erneut, um es noch einmal zu versuchen.</translation>
    </message>
</context>
<context>
    <name>lumora::frmAbout</name>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Systeminformationen sind derzeit nicht verfügbar</translation>
    </message>
    <message>
        <source>Version unknown</source>
        <translation>Version unbekannt</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <source>Copyright © 2026 Corvane Software. All rights reserved.
Lumora tells you of new mail with a small popup and a tray icon.</source>
        <translation>Copyright © 2026 Corvane Software. Alle Rechte vorbehalten.
Lumora meldet neue Mail mit einem kleinen Popup und einem Symbol im Infobereich.</translation>
    </message>
    <message>
        <source>Technical support: open Lumora Help from the tray menu, or write to Corvane Software&apos;s support desk with the contents of your Lumora.log.</source>
        <translation>Technische Unterstützung: Öffnen Sie die Lumora-Hilfe im Menü des Infobereichs oder schreiben Sie dem Support von Corvane Software und fügen Sie den Inhalt Ihrer Lumora.log bei.</translation>
    </message>
    <message>
        <source>Warning: this program is protected by copyright law. It may not be copied, passed on or used in any other way without the consent of Corvane Software.</source>
        <translation>Warnung: Dieses Programm ist urheberrechtlich geschützt. Es darf ohne Zustimmung von Corvane Software weder kopiert noch weitergegeben oder auf andere Weise verwendet werden.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>&amp;Systeminformationen...</translation>
    </message>
    <message>
        <source>Help...</source>
        <translation>Hilfe...</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>&quot;Hide Outlook&quot; acts on your mail client&apos;s windows (%1).</source>
        <translation>„Outlook ausblenden“ wirkt auf die Fenster Ihres Mail-Programms (%1).</translation>
    </message>
</context>
<context>
    <name>lumora::frmFolders</name>
    <message>
        <source> Select Folders To Scan</source>
        <translation> Zu durchsuchende Ordner auswählen</translation>
    </message>
    <message>
        <source>Select Folders for Lumora to Examine:</source>
        <translation>Ordner auswählen, die Lumora durchsucht:</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Lumora, a new-mail notifier for the desktop.</source>
        <translation>Lumora, eine Benachrichtigung über neue Mail für den Desktop.</translation>
    </message>
    <message>
        <source>Run on the built-in demo store.</source>
        <translation>Mit dem eingebauten Demo-Speicher laufen.</translation>
    </message>
    <message>
        <source>Print what Lumora does, one line each, on standard error.</source>
        <translation>Ausgeben, was Lumora tut, je eine Zeile auf der Standardfehlerausgabe.</translation>
    </message>
    <message>
        <source>Show the test popup (starting Lumora first if needed).</source>
        <translation>Das Test-Popup zeigen (Lumora bei Bedarf zuerst starten).</translation>
    </message>
    <message>
        <source>Open the options dialog (starting Lumora first if needed).</source>
        <translation>Den Optionsdialog öffnen (Lumora bei Bedarf zuerst starten).</translation>
    </message>
    <message>
        <source>Ask the running Lumora to quit.</source>
        <translation>Das laufende Lumora beenden.</translation>
    </message>
    <message>
        <source>Watch this Maildir store as well (repeatable).</source>
        <translation>Auch diesen Maildir-Speicher überwachen (wiederholbar).</translation>
    </message>
    <message>
        <source>Program file whose version resource names the host version.</source>
        <translation>Programmdatei, deren Versionsressource die Host-Version nennt.</translation>
    </message>
    <message>
        <source>Command that opens a message file (default: the desktop&apos;s handler).</source>
        <translation>Befehl, der eine Nachrichtendatei öffnet (Standard: das Programm der Arbeitsumgebung).</translation>
    </message>
    <message>
        <source>Window class of your mail client (kept for later starts; default: the desktop&apos;s mailto handler). While it is active no popup shows; Hide Outlook hides it.</source>
        <translation>Fensterklasse Ihres Mail-Programms (für spätere Starts gespeichert; Standard: das mailto-Programm der Arbeitsumgebung). Solange es aktiv ist, erscheint kein Popup; „Outlook ausblenden“ blendet es aus.</translation>
    </message>
    <message>
        <source>Watch this IMAP account as well: imaps://user@host[:port], or imap://user@host[:port] for STARTTLS (repeatable).</source>
        <translation>Auch dieses IMAP-Konto überwachen: imaps://benutzer@host[:port] oder imap://benutzer@host[:port] für STARTTLS (wiederholbar).</translation>
    </message>
    <message>
        <source>Read the IMAP password from the first line of standard input instead of the secret service.</source>
        <translation>Das IMAP-Passwort aus der ersten Zeile der Standardeingabe lesen statt aus dem Schlüsselbund.</translation>
    </message>
    <message>
        <source>Trust the IMAP server certificate with this SHA-256 fingerprint.</source>
        <translation>Dem Zertifikat des IMAP-Servers mit diesem SHA-256-Fingerabdruck vertrauen.</translation>
    </message>
    <message>
        <source>Start Lumora when you log in (on) or not (off), then exit.</source>
        <translation>Lumora beim Anmelden starten (on) oder nicht (off), dann beenden.</translation>
    </message>
    <message>
        <source>Print the version and exit.</source>
        <translation>Die Version ausgeben und beenden.</translation>
    </message>
    <message>
        <source>Password for %1:</source>
        <translation>Passwort für %1:</translation>
    </message>
    <message>
        <source>Lumora: the Inbox of %1 is not watched: %2.</source>
        <translation>Lumora: Der Posteingang von %1 wird nicht überwacht: %2.</translation>
    </message>
    <message>
        <source>Lumora: --autostart takes on or off, not &quot;%1&quot;.</source>
        <translation>Lumora: --autostart erwartet on oder off, nicht „%1“.</translation>
    </message>
    <message>
        <source>Lumora: autostart unchanged: %1</source>
        <translation>Lumora: Autostart unverändert: %1</translation>
    </message>
    <message>
        <source>Lumora will start when you log in (%1).</source>
        <translation>Lumora startet beim Anmelden (%1).</translation>
    </message>
    <message>
        <source>Lumora will not start when you log in.</source>
        <translation>Lumora startet beim Anmelden nicht.</translation>
    </message>
    <message>
        <source>Lumora is not running.</source>
        <translation>Lumora läuft nicht.</translation>
    </message>
    <message>
        <source>Lumora: cannot start: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set). Start it from your desktop session.</source>
        <translation>Lumora: Start nicht möglich: Es gibt keine Anzeige (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt). Starten Sie es aus Ihrer Desktop-Sitzung.</translation>
    </message>
    <message>
        <source>Lumora is already running.</source>
        <translation>Lumora läuft bereits.</translation>
    </message>
    <message>
        <source>Lumora: cannot start: neither HOME nor both XDG_CONFIG_HOME and XDG_DATA_HOME are set, so there is nowhere to keep the settings and the log.</source>
        <translation>Lumora: Start nicht möglich: Weder HOME noch XDG_CONFIG_HOME und XDG_DATA_HOME sind gesetzt, also gibt es keinen Ort für Einstellungen und Protokoll.</translation>
    </message>
    <message>
        <source>Lumora: another Lumora is starting but does not answer; try again.</source>
        <translation>Lumora: Ein anderes Lumora startet gerade, antwortet aber nicht; versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Lumora: --mail-client %1 serves this run only: it cannot be kept for later starts (%2).</source>
        <translation>Lumora: --mail-client %1 gilt nur für diesen Lauf: Es kann nicht für spätere Starts gespeichert werden (%2).</translation>
    </message>
    <message>
        <source>Lumora: cannot start: no add-in could be loaded: %1.</source>
        <translation>Lumora: Start nicht möglich: Kein Add-in konnte geladen werden: %1.</translation>
    </message>
    <message>
        <source>none is registered</source>
        <translation>keines ist registriert</translation>
    </message>
    <message>
        <source>Watch this POP3 account as well: pop3s://user@host[:port], or pop3://user@host[:port] for STLS; ?interval=MINUTES sets how often the server is asked (5 by default; repeatable). The password and certificate options of IMAP serve it too.</source>
        <translation>Auch dieses POP3-Konto überwachen: pop3s://benutzer@host[:port] oder pop3://benutzer@host[:port] für STLS; ?interval=MINUTEN legt fest, wie oft der Server gefragt wird (standardmäßig 5; wiederholbar). Die Passwort- und Zertifikatsoptionen von IMAP gelten auch dafür.</translation>
    </message>
    <message>
        <source>Watch this mbox file as well (repeatable); it is read, never written.</source>
        <translation>Auch diese mbox-Datei überwachen (wiederholbar); sie wird nur gelesen, nie geschrieben.</translation>
    </message>
    <message>
        <source>Watch this MH mail directory as well (repeatable).</source>
        <translation>Auch dieses MH-Mailverzeichnis überwachen (wiederholbar).</translation>
    </message>
</context>
</TS>
