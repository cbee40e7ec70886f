<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AnnouncedMessages</name>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 ne peut pas être lu&#xa0;: %2</translation>
    </message>
    <message>
        <source>it is too large</source>
        <translation>le fichier est trop volumineux</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 ne peut pas être écrit&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>Autostart</name>
    <message>
        <source>cannot remove %1: %2</source>
        <translation>impossible de supprimer %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>cannot create the folder of %1</source>
        <translation>impossible de créer le dossier de %1</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>impossible d&apos;écrire %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>DraftItem</name>
    <message>
        <source>No mail client on this desktop handles mailto: links. Install a mail program (for example Thunderbird or Evolution), or choose one with &quot;xdg-mime default PROGRAM.desktop x-scheme-handler/mailto&quot;</source>
        <translation>Aucun client de messagerie de ce bureau ne gère les liens mailto:. Installez un logiciel de messagerie (par exemple Thunderbird ou Evolution) ou choisissez-en un avec «&#xa0;xdg-mime default PROGRAMME.desktop x-scheme-handler/mailto&#xa0;»</translation>
    </message>
    <message>
        <source>The mail composer &quot;xdg-email&quot; could not be started: %1</source>
        <translation>Impossible de lancer la rédaction avec «&#xa0;xdg-email&#xa0;»&#xa0;: %1</translation>
    </message>
    <message>
        <source>Items of type %1 cannot be created</source>
        <translation>Impossible de créer des éléments de type %1</translation>
    </message>
    <message>
        <source>No program on this desktop opens contacts (text/vcard). Install an address book (for example GNOME Contacts, Evolution or KAddressBook), or choose one with &quot;xdg-mime default PROGRAM.desktop text/vcard&quot;</source>
        <translation>Aucun programme de ce bureau n&apos;ouvre les contacts (text/vcard). Installez un carnet d&apos;adresses (par exemple GNOME Contacts, Evolution ou KAddressBook) ou choisissez-en un avec «&#xa0;xdg-mime default PROGRAMME.desktop text/vcard&#xa0;»</translation>
    </message>
    <message>
        <source>No program on this desktop opens calendar files (text/calendar). Install a calendar program (for example GNOME Calendar, Evolution or KOrganizer), or choose one with &quot;xdg-mime default PROGRAM.desktop text/calendar&quot;</source>
        <translation>Aucun programme de ce bureau n&apos;ouvre les fichiers d&apos;agenda (text/calendar). Installez un agenda (par exemple GNOME Agenda, Evolution ou KOrganizer) ou choisissez-en un avec «&#xa0;xdg-mime default PROGRAMME.desktop text/calendar&#xa0;»</translation>
    </message>
    <message>
        <source>The drafts folder %1 cannot be created</source>
        <translation>Impossible de créer le dossier des brouillons %1</translation>
    </message>
    <message>
        <source>The draft %1 cannot be written: %2</source>
        <translation>Impossible d&apos;écrire le brouillon %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>The draft %1 was written, but &quot;xdg-open&quot; could not be started: %2</source>
        <translation>Le brouillon %1 a été écrit, mais «&#xa0;xdg-open&#xa0;» n&apos;a pas pu être lancé&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>ImapAccount</name>
    <message>
        <source>The mailbox &quot;%1&quot; is gone from %2.</source>
        <translation>La boîte aux lettres «&#xa0;%1&#xa0;» a disparu de %2.</translation>
    </message>
</context>
<context>
    <name>ImapAccountConfig</name>
    <message>
        <source>Unknown security &quot;%1&quot; (use starttls or plain).</source>
        <translation>Sécurité inconnue «&#xa0;%1&#xa0;» (utilisez starttls ou plain).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an imap:// or imaps:// address.</source>
        <translation>«&#xa0;%1&#xa0;» n&apos;est pas une adresse imap:// ou imaps://.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; needs a user and a host (imaps://user@host).</source>
        <translation>«&#xa0;%1&#xa0;» doit comporter un utilisateur et un hôte (imaps://utilisateur@hôte).</translation>
    </message>
    <message>
        <source>Leave the password out of the address; Lumora asks for it and keeps it in the desktop&apos;s secret service.</source>
        <translation>Ne mettez pas le mot de passe dans l&apos;adresse&#xa0;; Lumora le demande et le conserve dans le trousseau de clés du bureau.</translation>
    </message>
    <message>
        <source>An OAuth2 account needs either a token command (tokencmd=...) or an online account (online=...).</source>
        <translation>Un compte OAuth2 demande soit une commande de jeton (tokencmd=...), soit un compte en ligne (online=...).</translation>
    </message>
    <message>
        <source>Unknown sign-in &quot;%1&quot; (use password or oauth2).</source>
        <translation>Mode de connexion «&#xa0;%1&#xa0;» inconnu (utilisez password ou oauth2).</translation>
    </message>
</context>
<context>
    <name>ImapConnection</name>
    <message>
        <source>The certificate of %1:%2 is not trusted (%3). Its SHA-256 fingerprint is %4; trust it only if your provider confirms it.</source>
        <translation>Le certificat de %1:%2 n&apos;est pas approuvé (%3). Son empreinte SHA-256 est %4&#xa0;; ne lui faites confiance que si votre fournisseur la confirme.</translation>
    </message>
    <message>
        <source>The connection to %1:%2 was lost: %3.</source>
        <translation>La connexion à %1:%2 a été perdue&#xa0;: %3.</translation>
    </message>
    <message>
        <source>The mail server %1 refused the user name or password of %2: %3</source>
        <translation>Le serveur de messagerie %1 a refusé le nom d&apos;utilisateur ou le mot de passe de %2&#xa0;: %3</translation>
    </message>
    <message>
        <source>The mail server %1 does not offer OAuth2 sign-in (OAUTHBEARER or XOAUTH2).</source>
        <translation>Le serveur de messagerie %1 ne propose pas la connexion OAuth2 (OAUTHBEARER ou XOAUTH2).</translation>
    </message>
    <message>
        <source>No sign-in token for %1 from %2: %3</source>
        <translation>Aucun jeton de connexion pour %1 de la part de %2&#xa0;: %3</translation>
    </message>
    <message>
        <source>The mail server %1 refused the sign-in token of %2: %3</source>
        <translation>Le serveur de messagerie %1 a refusé le jeton de connexion de %2&#xa0;: %3</translation>
    </message>
</context>
<context>
    <name>ImapItem</name>
    <message>
        <source>The message could not be fetched from the server</source>
        <translation>Le message n&apos;a pas pu être récupéré sur le serveur</translation>
    </message>
    <message>
        <source>The folder %1 cannot be created or written</source>
        <translation>Le dossier %1 ne peut être ni créé ni écrit</translation>
    </message>
    <message>
        <source>The message could not be saved to %1 to open it</source>
        <translation>Le message n&apos;a pas pu être enregistré dans %1 pour l&apos;ouvrir</translation>
    </message>
    <message>
        <source>The message could not be moved to Trash on the server</source>
        <translation>Le message n&apos;a pas pu être déplacé dans la corbeille du serveur</translation>
    </message>
    <message>
        <source>The message could not be marked as read on the server</source>
        <translation>Le message n&apos;a pas pu être marqué comme lu sur le serveur</translation>
    </message>
</context>
<context>
    <name>ImapTokenCommand</name>
    <message>
        <source>the token command &quot;%1&quot;</source>
        <translation>la commande de jeton «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>The token command is empty.</source>
        <translation>La commande de jeton est vide.</translation>
    </message>
    <message>
        <source>The token command &quot;%1&quot; could not be started: %2</source>
        <translation>Impossible de lancer la commande de jeton «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>The token command &quot;%1&quot; gave no answer within %2 seconds.</source>
        <translation>La commande de jeton «&#xa0;%1&#xa0;» n&apos;a pas répondu en %2 secondes.</translation>
    </message>
    <message>
        <source>The token command &quot;%1&quot; failed (exit status %2): %3</source>
        <translation>La commande de jeton «&#xa0;%1&#xa0;» a échoué (code de sortie %2)&#xa0;: %3</translation>
    </message>
    <message>
        <source>no message</source>
        <translation>aucun message</translation>
    </message>
    <message>
        <source>The token command &quot;%1&quot; printed no usable token on its first line.</source>
        <translation>La commande de jeton «&#xa0;%1&#xa0;» n&apos;a écrit aucun jeton utilisable sur sa première ligne.</translation>
    </message>
</context>
<context>
    <name>ImapWatcher</name>
    <message>
        <source>The mailbox &quot;%1&quot; is gone from %2.</source>
        <translation>La boîte aux lettres «&#xa0;%1&#xa0;» a disparu de %2.</translation>
    </message>
</context>
<context>
    <name>IniFileCache</name>
    <message>
        <source>the settings in %1 are not used, and the file is left as it is: %2</source>
        <translation>les paramètres de %1 ne sont pas utilisés et le fichier est laissé tel quel&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>KeychainPasswordStore</name>
    <message>
        <source>The desktop&apos;s secret service cannot be reached (%1).</source>
        <translation>Le trousseau de clés du bureau est injoignable (%1).</translation>
    </message>
    <message>
        <source>The desktop&apos;s secret service cannot keep the password (%1).</source>
        <translation>Le trousseau de clés du bureau ne peut pas conserver le mot de passe (%1).</translation>
    </message>
</context>
<context>
    <name>MaildirItem</name>
    <message>
        <source>a message is skipped: %1</source>
        <translation>un message est ignoré&#xa0;: %1</translation>
    </message>
    <message>
        <source>The message file is gone (moved or deleted since it arrived)</source>
        <translation>Le fichier du message a disparu (déplacé ou supprimé depuis son arrivée)</translation>
    </message>
    <message>
        <source>The message could not be moved to Trash</source>
        <translation>Le message n&apos;a pas pu être déplacé dans la corbeille</translation>
    </message>
    <message>
        <source>The message could not be marked as read</source>
        <translation>Le message n&apos;a pas pu être marqué comme lu</translation>
    </message>
</context>
<context>
    <name>MaildirSourceFactory</name>
    <message>
        <source>the Maildir store %1 does not exist</source>
        <translation>le dépôt Maildir %1 n&apos;existe pas</translation>
    </message>
    <message>
        <source>the Maildir store %1 is not a folder</source>
        <translation>le dépôt Maildir %1 n&apos;est pas un dossier</translation>
    </message>
    <message>
        <source>the Maildir store %1 cannot be opened</source>
        <translation>le dépôt Maildir %1 ne peut pas être ouvert</translation>
    </message>
</context>
<context>
    <name>MaildirStore</name>
    <message>
        <source>The message is already in Trash</source>
        <translation>Le message est déjà dans la corbeille</translation>
    </message>
    <message>
        <source>Its folder no longer exists</source>
        <translation>Son dossier n&apos;existe plus</translation>
    </message>
    <message>
        <source>The message file is gone (moved or deleted since it arrived)</source>
        <translation>Le fichier du message a disparu (déplacé ou supprimé depuis son arrivée)</translation>
    </message>
    <message>
        <source>The Trash folder %1 cannot be created</source>
        <translation>Impossible de créer le dossier Corbeille %1</translation>
    </message>
    <message>
        <source>It cannot be moved to %1: %2</source>
        <translation>Impossible de le déplacer vers %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>No free name for it in %1</source>
        <translation>Aucun nom libre pour lui dans %1</translation>
    </message>
    <message>
        <source>Its file name %1 carries no Maildir flags that could be changed</source>
        <translation>Son nom de fichier %1 ne porte aucun indicateur Maildir modifiable</translation>
    </message>
    <message>
        <source>Another file is already named %1%2</source>
        <translation>Un autre fichier s&apos;appelle déjà %1%2</translation>
    </message>
    <message>
        <source>It cannot be renamed to %1%2: %3</source>
        <translation>Impossible de le renommer en %1%2&#xa0;: %3</translation>
    </message>
</context>
<context>
    <name>MaildirWatcher</name>
    <message>
        <source>The mail folders cannot be watched (inotify: %1); new mail will not be noticed.</source>
        <translation>Les dossiers de courrier ne peuvent pas être surveillés (inotify&#xa0;: %1)&#xa0;; les nouveaux messages ne seront pas remarqués.</translation>
    </message>
    <message>
        <source>The mail folder %1 cannot be read: %2. Its new mail is announced once it can be read.</source>
        <translation>Le dossier de courrier %1 ne peut pas être lu&#xa0;: %2. Ses nouveaux messages seront annoncés dès qu&apos;il sera lisible.</translation>
    </message>
    <message>
        <source>The mail store %1 is gone (deleted, moved away or no directory any more). It is watched again as soon as it is back, and the mail waiting in it is announced then.</source>
        <translation>Le dépôt de courrier %1 a disparu (supprimé, déplacé ou n&apos;est plus un répertoire). Il sera de nouveau surveillé dès son retour, et les messages qui y attendent seront alors annoncés.</translation>
    </message>
    <message>
        <source>The mail folder %1 has no %2/ directory (deleted or moved away). It is watched again as soon as %2/ is back.</source>
        <translation>Le dossier de courrier %1 n&apos;a pas de répertoire %2/ (supprimé ou déplacé). Il sera de nouveau surveillé dès le retour de %2/.</translation>
    </message>
</context>
<context>
    <name>MboxSourceFactory</name>
    <message>
        <source>%1 is a folder, not an mbox file</source>
        <translation>%1 est un dossier, pas un fichier mbox</translation>
    </message>
    <message>
        <source>the folder of the mbox file %1 does not exist</source>
        <translation>le dossier du fichier mbox %1 n&apos;existe pas</translation>
    </message>
    <message>
        <source>%1 is no mbox file (it does not begin with &quot;From &quot;)</source>
        <translation>%1 n&apos;est pas un fichier mbox (il ne commence pas par &quot;From &quot;)</translation>
    </message>
</context>
<context>
    <name>MemoryItem</name>
    <message>
        <source>The message no longer exists</source>
        <translation>Le message n&apos;existe plus</translation>
    </message>
    <message>
        <source>The message cannot be read</source>
        <translation>Le message ne peut pas être lu</translation>
    </message>
</context>
<context>
    <name>MessageOpener</name>
    <message>
        <source>No program on this desktop opens mail files (message/rfc822), and no mail client handles mailto: links. Install a mail program (for example Thunderbird or Evolution), or choose one with &quot;xdg-mime default PROGRAM.desktop message/rfc822&quot;, or set the command in Options, page Mail, &quot;Open messages with&quot; (or start Lumora with --display-command)</source>
        <translation>Aucun programme de ce bureau n&apos;ouvre les fichiers de courriel (message/rfc822) et aucun client de messagerie ne gère les liens mailto:. Installez un logiciel de messagerie (par exemple Thunderbird ou Evolution), choisissez-en un avec «&#xa0;xdg-mime default PROGRAMME.desktop message/rfc822&#xa0;» ou indiquez la commande dans les options, page Courrier, «&#xa0;Ouvrir les messages avec&#xa0;» (ou lancez Lumora avec --display-command)</translation>
    </message>
    <message>
        <source>No display command is set</source>
        <translation>Aucune commande d&apos;affichage n&apos;est définie</translation>
    </message>
    <message>
        <source>No program opens mail files, and the mail client &quot;%1&quot; could not be started: %2</source>
        <translation>Aucun programme n&apos;ouvre les fichiers de courriel et le client de messagerie «&#xa0;%1&#xa0;» n&apos;a pas pu être lancé&#xa0;: %2</translation>
    </message>
    <message>
        <source>The display command &quot;%1&quot; could not be started: %2</source>
        <translation>La commande d&apos;affichage «&#xa0;%1&#xa0;» n&apos;a pas pu être lancée&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>MetSources</name>
    <message>
        <source>Lumora: the Inbox of %1 is not watched: %2.</source>
        <translation>Lumora&#xa0;: la boîte de réception de %1 n&apos;est pas surveillée&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Lumora: the sources met cannot be kept (%1); their Inboxes are watched again at the next start if you untick them.</source>
        <translation>Lumora&#xa0;: les sources rencontrées ne peuvent pas être enregistrées (%1)&#xa0;; leurs boîtes de réception seront de nouveau surveillées au prochain démarrage si vous les décochez.</translation>
    </message>
</context>
<context>
    <name>MhSourceFactory</name>
    <message>
        <source>the MH mail directory %1 does not exist</source>
        <translation>le répertoire de courrier MH %1 n&apos;existe pas</translation>
    </message>
    <message>
        <source>the MH mail directory %1 is not a folder</source>
        <translation>le répertoire de courrier MH %1 n&apos;est pas un dossier</translation>
    </message>
</context>
<context>
    <name>OnlineAccounts</name>
    <message>
        <source>GNOME Online Accounts is not running on this desktop.</source>
        <translation>GNOME Comptes en ligne ne fonctionne pas sur ce bureau.</translation>
    </message>
    <message>
        <source>GNOME Online Accounts gave no answer within %1 seconds.</source>
        <translation>GNOME Comptes en ligne n&apos;a pas répondu en %1 secondes.</translation>
    </message>
    <message>
        <source>No session bus: %1</source>
        <translation>Pas de bus de session&#xa0;: %1</translation>
    </message>
    <message>
        <source>not connected</source>
        <translation>non connecté</translation>
    </message>
    <message>
        <source>The session bus does not answer: %1</source>
        <translation>Le bus de session ne répond pas&#xa0;: %1</translation>
    </message>
    <message>
        <source>GNOME Online Accounts gave an answer of the wrong form.</source>
        <translation>GNOME Comptes en ligne a donné une réponse de forme incorrecte.</translation>
    </message>
    <message>
        <source>The desktop has no online account &quot;%1&quot; (was it removed from the settings?).</source>
        <translation>Le bureau n&apos;a aucun compte en ligne «&#xa0;%1&#xa0;» (a-t-il été supprimé des paramètres&#xa0;?).</translation>
    </message>
    <message>
        <source>The online account %1 does not sign in with OAuth2.</source>
        <translation>Le compte en ligne %1 ne se connecte pas avec OAuth2.</translation>
    </message>
    <message>
        <source>The online account %1 needs attention: sign in to it again in the desktop&apos;s settings.</source>
        <translation>Le compte en ligne %1 demande votre attention&#xa0;: reconnectez-le dans les paramètres du bureau.</translation>
    </message>
    <message>
        <source>The online account %1 could not renew its sign-in: %2</source>
        <translation>Le compte en ligne %1 n&apos;a pas pu renouveler sa connexion&#xa0;: %2</translation>
    </message>
    <message>
        <source>The online account %1 gave no sign-in token: %2</source>
        <translation>Le compte en ligne %1 n&apos;a fourni aucun jeton de connexion&#xa0;: %2</translation>
    </message>
    <message>
        <source>The online account %1 gave no usable sign-in token.</source>
        <translation>Le compte en ligne %1 n&apos;a fourni aucun jeton de connexion utilisable.</translation>
    </message>
</context>
<context>
    <name>OnlineAccountsTokenSource</name>
    <message>
        <source>the online account %1</source>
        <translation>le compte en ligne %1</translation>
    </message>
</context>
<context>
    <name>Pop3SourceFactory</name>
    <message>
        <source>Lumora: warning: %1 is used without encryption; the password and the mail cross the network readable by anyone on the way.</source>
        <translation>Lumora&#xa0;: attention&#xa0;: %1 est utilisé sans chiffrement&#xa0;; le mot de passe et les messages traversent le réseau lisibles par quiconque sur le trajet.</translation>
    </message>
    <message>
        <source>Delete the message %1 from the POP3 server %2?

POP3 has no Trash: the message is gone for good, for every mail program.</source>
        <translation>Supprimer le message %1 du serveur POP3 %2&#xa0;?

POP3 n&apos;a pas de corbeille&#xa0;: le message disparaît définitivement, pour tous les logiciels de messagerie.</translation>
    </message>
</context>
<context>
    <name>ProblemReporter</name>
    <message>
        <source>The problems reported before are over: all new mail is noticed again.</source>
        <translation>Les problèmes signalés précédemment sont résolus&#xa0;: tous les nouveaux messages sont de nouveau remarqués.</translation>
    </message>
</context>
<context>
    <name>RegistryStore</name>
    <message>
        <source>The folder %1 cannot be created</source>
        <translation>Impossible de créer le dossier %1</translation>
    </message>
    <message>
        <source>There is no permission to write in the folder %1</source>
        <translation>Vous n&apos;avez pas le droit d&apos;écrire dans le dossier %1</translation>
    </message>
    <message>
        <source>The lock file %1.lock cannot be written (is the disk full?)</source>
        <translation>Impossible d&apos;écrire le fichier de verrou %1.lock (le disque est-il plein&#xa0;?)</translation>
    </message>
</context>
<context>
    <name>UnreadTip</name>
    <message>
        <source>no unread mail</source>
        <translation>aucun message non lu</translation>
    </message>
    <message numerus="yes">
        <source>%n unread</source>
        <translation>
            <numerusform>%n non lu</numerusform>
            <numerusform>%n non lus</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WatchedFolderList</name>
    <message>
        <source>the watched folders cannot be written to %1</source>
        <translation>impossible d&apos;écrire les dossiers surveillés dans %1</translation>
    </message>
</context>
<context>
    <name>lumora::ColorSwatch</name>
    <message>
        <source>Click to change color</source>
        <translation>Cliquez pour changer la couleur</translation>
    </message>
</context>
<context>
    <name>lumora::DBusService</name>
    <message>
        <source>the D-Bus object %1 could not be published; going on without the D-Bus interface.</source>
        <translation>l&apos;objet D-Bus %1 n&apos;a pas pu être publié&#xa0;; poursuite sans l&apos;interface D-Bus.</translation>
    </message>
    <message>
        <source>it is taken, by another Lumora or another program</source>
        <translation>il est pris, par un autre Lumora ou un autre programme</translation>
    </message>
    <message>
        <source>the D-Bus name %1 cannot be had (%2); going on without the D-Bus interface.</source>
        <translation>le nom D-Bus %1 n&apos;est pas disponible (%2)&#xa0;; poursuite sans l&apos;interface D-Bus.</translation>
    </message>
</context>
<context>
    <name>lumora::HostApplication</name>
    <message>
        <source>the plugin library %1 is missing</source>
        <translation>la bibliothèque de greffon %1 est absente</translation>
    </message>
    <message>
        <source>the add-in %1 could not be registered: the settings store %2 cannot be written</source>
        <translation>le complément %1 n&apos;a pas pu être enregistré&#xa0;: le magasin de paramètres %2 n&apos;est pas accessible en écriture</translation>
    </message>
    <message>
        <source>no add-in is registered in %1</source>
        <translation>aucun complément n&apos;est enregistré dans %1</translation>
    </message>
    <message>
        <source>the add-in %1 could not be created</source>
        <translation>le complément %1 n&apos;a pas pu être créé</translation>
    </message>
    <message>
        <source>Mail</source>
        <translation>Courrier</translation>
    </message>
</context>
<context>
    <name>lumora::HostOptionsPage</name>
    <message>
        <source>for example thunderbird</source>
        <translation>par exemple thunderbird</translation>
    </message>
    <message>
        <source>%f stands for the message file; without it the file is appended.</source>
        <translation>%f désigne le fichier du message&#xa0;; sans %f, le fichier est ajouté à la fin.</translation>
    </message>
    <message>
        <source>&amp;Quiet while presenting (a full-screen window, or do not disturb)</source>
        <translation>&amp;Silence pendant une présentation (fenêtre plein écran ou «&#xa0;Ne pas déranger&#xa0;»)</translation>
    </message>
    <message>
        <source>Run without a shell (quote with double quotes); the mail is in LUMORA_FOLDER, LUMORA_SENDER, LUMORA_SUBJECT and LUMORA_COUNT.</source>
        <translation>Exécutée sans shell (entourez de guillemets doubles)&#xa0;; le message est dans LUMORA_FOLDER, LUMORA_SENDER, LUMORA_SUBJECT et LUMORA_COUNT.</translation>
    </message>
    <message>
        <source>&amp;Start Lumora when I log in</source>
        <translation>&amp;Lancer Lumora à l&apos;ouverture de session</translation>
    </message>
    <message>
        <source>Mail &amp;client window class:</source>
        <translation>Classe de fenêtre du &amp;client de messagerie&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Open messages with:</source>
        <translation>&amp;Ouvrir les messages avec&#xa0;:</translation>
    </message>
    <message>
        <source>On new mail &amp;run:</source>
        <translation>À l&apos;arrivée d&apos;un message, &amp;exécuter&#xa0;:</translation>
    </message>
    <message>
        <source>The mail settings could not be saved: %1. They are kept on this page; press Apply to try again.</source>
        <translation>Les paramètres de courrier n&apos;ont pas pu être enregistrés&#xa0;: %1. Ils restent sur cette page&#xa0;; cliquez sur «&#xa0;Appliquer&#xa0;» pour réessayer.</translation>
    </message>
    <message>
        <source>Autostart unchanged: %1</source>
        <translation>Démarrage automatique inchangé&#xa0;: %1</translation>
    </message>
    <message>
        <source>no secret service is available.</source>
        <translation>aucun trousseau de clés n&apos;est disponible.</translation>
    </message>
    <message>
        <source>The password could not be kept in the desktop&apos;s secret service, so Lumora asks for it when it starts.

</source>
        <translation>Le mot de passe n&apos;a pas pu être conservé dans le trousseau de clés du bureau&#xa0;; Lumora le demandera donc au démarrage.

</translation>
    </message>
</context>
<context>
    <name>lumora::ImapAccountDialog</name>
    <message>
        <source>IMAP Account</source>
        <translation>Compte IMAP</translation>
    </message>
    <message>
        <source>Add IMAP Account</source>
        <translation>Ajouter un compte IMAP</translation>
    </message>
    <message>
        <source>Connect &amp;without encryption</source>
        <translation>Se connecter sans chi&amp;ffrement</translation>
    </message>
    <message>
        <source>Without encryption your password and your mail cross the network readable by anyone on the way. Use it only for a server on this computer or a network you trust.</source>
        <translation>Sans chiffrement, votre mot de passe et vos messages traversent le réseau lisibles par quiconque sur le trajet. Ne l&apos;utilisez que pour un serveur sur cet ordinateur ou sur un réseau de confiance.</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>inchangé</translation>
    </message>
    <message>
        <source>asked at start when empty</source>
        <translation>vide&#xa0;: demandé au démarrage</translation>
    </message>
    <message>
        <source>The password is kept in the desktop&apos;s secret service.</source>
        <translation>Le mot de passe est conservé dans le trousseau de clés du bureau.</translation>
    </message>
    <message>
        <source>&amp;Server:</source>
        <translation>&amp;Serveur&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Port:</source>
        <translation>&amp;Port&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Encryption:</source>
        <translation>&amp;Chiffrement&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>&amp;Nom d&apos;utilisateur&#xa0;:</translation>
    </message>
    <message>
        <source>Pass&amp;word:</source>
        <translation>&amp;Mot de passe&#xa0;:</translation>
    </message>
    <message>
        <source>POP3 Account</source>
        <translation>Compte POP3</translation>
    </message>
    <message>
        <source>Add POP3 Account</source>
        <translation>Ajouter un compte POP3</translation>
    </message>
    <message>
        <source> min</source>
        <translation> min</translation>
    </message>
    <message>
        <source>&amp;Check every:</source>
        <translation>&amp;Relever toutes les&#xa0;:</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>OAuth2 token from a command</source>
        <translation>Jeton OAuth2 donné par une commande</translation>
    </message>
    <message>
        <source>OAuth2 with an online account of the desktop</source>
        <translation>OAuth2 avec un compte en ligne du bureau</translation>
    </message>
    <message>
        <source>Sign &amp;in with:</source>
        <translation>Se connecter a&amp;vec&#xa0;:</translation>
    </message>
    <message>
        <source>No online account of the desktop reads mail with OAuth2. Add one in the desktop&apos;s settings (Online Accounts).</source>
        <translation>Aucun compte en ligne du bureau ne lit le courrier avec OAuth2. Ajoutez-en un dans les paramètres du bureau (Comptes en ligne).</translation>
    </message>
    <message>
        <source>a program and its arguments, e.g. oama access alice@gmail.com</source>
        <translation>un programme et ses arguments, par ex. oama access alice@gmail.com</translation>
    </message>
    <message>
        <source>Its first line of output is the access token. It is run without a shell; LUMORA_TOKEN_REFRESH=1 is set when the server refused the last token.</source>
        <translation>Sa première ligne de sortie est le jeton d&apos;accès. Elle est lancée sans shell&#xa0;; LUMORA_TOKEN_REFRESH=1 est défini quand le serveur a refusé le dernier jeton.</translation>
    </message>
    <message>
        <source>Token &amp;command:</source>
        <translation>Commande de &amp;jeton&#xa0;:</translation>
    </message>
    <message>
        <source>%1 (%2) - sign in again in the desktop&apos;s settings</source>
        <translation>%1 (%2) - reconnectez-vous dans les paramètres du bureau</translation>
    </message>
    <message>
        <source>Online &amp;account:</source>
        <translation>Compte en &amp;ligne&#xa0;:</translation>
    </message>
    <message>
        <source>%1 (not found among the desktop&apos;s accounts)</source>
        <translation>%1 (introuvable parmi les comptes du bureau)</translation>
    </message>
    <message>
        <source>Server settings of %1 filled in.</source>
        <translation>Paramètres du serveur de %1 remplis.</translation>
    </message>
    <message>
        <source>%1 asks for OAuth2 sign-in: the desktop&apos;s online account for this address is used.</source>
        <translation>%1 demande une connexion OAuth2&#xa0;: le compte en ligne du bureau pour cette adresse est utilisé.</translation>
    </message>
    <message>
        <source>%1 asks for OAuth2 sign-in: name a command that prints an access token, or add the account to the desktop&apos;s online accounts.</source>
        <translation>%1 demande une connexion OAuth2&#xa0;: indiquez une commande qui affiche un jeton d&apos;accès, ou ajoutez le compte aux comptes en ligne du bureau.</translation>
    </message>
</context>
<context>
    <name>lumora::ImapSetup</name>
    <message>
        <source>Lumora: cannot remember the trusted certificate in %1.</source>
        <translation>Lumora&#xa0;: impossible d&apos;enregistrer le certificat approuvé dans %1.</translation>
    </message>
    <message>
        <source>Lumora: warning: %1 is used without encryption; the password and the mail cross the network readable by anyone on the way.</source>
        <translation>Lumora&#xa0;: attention&#xa0;: %1 est utilisé sans chiffrement&#xa0;; le mot de passe et les messages traversent le réseau lisibles par quiconque sur le trajet.</translation>
    </message>
    <message>
        <source>Lumora: %1 The password of %2 is used for this session only and is not written anywhere.</source>
        <translation>Lumora&#xa0;: %1 Le mot de passe de %2 ne sert que pour cette session et n&apos;est écrit nulle part.</translation>
    </message>
    <message>
        <source>No password for %1: none in the desktop&apos;s secret service%2.</source>
        <translation>Aucun mot de passe pour %1&#xa0;: aucun dans le trousseau de clés du bureau%2.</translation>
    </message>
    <message>
        <source> and none given</source>
        <translation> et aucun fourni</translation>
    </message>
    <message>
        <source> and no dialog to ask</source>
        <translation> et aucune fenêtre pour le demander</translation>
    </message>
    <message>
        <source>The mail server %1 shows a certificate that no authority vouches for.

SHA-256 fingerprint:
%2

Trust it only if your provider confirms this fingerprint. Trust it?</source>
        <translation>Le serveur de messagerie %1 présente un certificat qu&apos;aucune autorité ne garantit.

Empreinte SHA-256&#xa0;:
%2

Ne lui faites confiance que si votre fournisseur confirme cette empreinte. Lui faire confiance&#xa0;?</translation>
    </message>
</context>
<context>
    <name>lumora::MailSourceSetup</name>
    <message>
        <source>--imap-trust takes a SHA-256 fingerprint (64 hexadecimal digits, colons allowed), not &quot;%1&quot;.</source>
        <translation>--imap-trust attend une empreinte SHA-256 (64 chiffres hexadécimaux, deux-points autorisés), pas «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>--maildir: %1.</source>
        <translation>--maildir&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Lumora: the kept store is not watched: %1.</source>
        <translation>Lumora&#xa0;: le dépôt enregistré n&apos;est pas surveillé&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Lumora: the kept account is not watched: %1</source>
        <translation>Lumora&#xa0;: le compte enregistré n&apos;est pas surveillé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Lumora: the store is not watched: %1.</source>
        <translation>Lumora&#xa0;: le dépôt n&apos;est pas surveillé&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Lumora: the account is not watched: %1</source>
        <translation>Lumora&#xa0;: le compte n&apos;est pas surveillé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Lumora: the kept POP3 account is not watched: %1</source>
        <translation>Lumora&#xa0;: le compte POP3 enregistré n&apos;est pas surveillé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Lumora: the POP3 account is not watched: %1</source>
        <translation>Lumora&#xa0;: le compte POP3 n&apos;est pas surveillé&#xa0;: %1</translation>
    </message>
    <message>
        <source>command line</source>
        <translation>ligne de commande</translation>
    </message>
</context>
<context>
    <name>lumora::MailSourcesBox</name>
    <message>
        <source>no encryption</source>
        <translation>sans chiffrement</translation>
    </message>
    <message>
        <source> (watched after Apply)</source>
        <translation> (surveillé après «&#xa0;Appliquer&#xa0;»)</translation>
    </message>
    <message>
        <source>Mail sources</source>
        <translation>Sources de courrier</translation>
    </message>
    <message>
        <source>Add &amp;Maildir store...</source>
        <translation>Ajouter un dépôt &amp;Maildir...</translation>
    </message>
    <message>
        <source>Add &amp;IMAP account...</source>
        <translation>Ajouter un compte &amp;IMAP...</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>Mo&amp;difier...</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>&amp;Retirer</translation>
    </message>
    <message>
        <source>Lumora watches every store and account listed here, side by side. What you add or remove is watched or let go when you press Apply; a new source&apos;s Inbox is watched at once.</source>
        <translation>Lumora surveille côte à côte chaque dépôt et compte de cette liste. Ce que vous ajoutez ou retirez est surveillé ou abandonné lorsque vous cliquez sur «&#xa0;Appliquer&#xa0;»&#xa0;; la boîte de réception d&apos;une nouvelle source est surveillée aussitôt.</translation>
    </message>
    <message>
        <source>Maildir: %1 (%2)</source>
        <translation>Maildir&#xa0;: %1 (%2)</translation>
    </message>
    <message>
        <source>default</source>
        <translation>par défaut</translation>
    </message>
    <message>
        <source>command line</source>
        <translation>ligne de commande</translation>
    </message>
    <message>
        <source>Maildir: %1</source>
        <translation>Maildir&#xa0;: %1</translation>
    </message>
    <message>
        <source>IMAP: %1 (not understood)</source>
        <translation>IMAP&#xa0;: %1 (non compris)</translation>
    </message>
    <message>
        <source>IMAP: %1 (%2)</source>
        <translation>IMAP&#xa0;: %1 (%2)</translation>
    </message>
    <message>
        <source>Choose a Maildir store</source>
        <translation>Choisir un dépôt Maildir</translation>
    </message>
    <message>
        <source>Add &amp;POP3 account...</source>
        <translation>Ajouter un compte &amp;POP3...</translation>
    </message>
    <message>
        <source>POP3: %1 (not understood)</source>
        <translation>POP3&#xa0;: %1 (non compris)</translation>
    </message>
    <message numerus="yes">
        <source>POP3: %1 (%2, every %n minute(s))</source>
        <translation>
            <numerusform>POP3&#xa0;: %1 (%2, toutes les %n minute)</numerusform>
            <numerusform>POP3&#xa0;: %1 (%2, toutes les %n minutes)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>lumora::Main</name>
    <message>
        <source>lumora - Outlook Tray Notifier</source>
        <translation>lumora - Notification Outlook</translation>
    </message>
    <message>
        <source>Suspend Lumora</source>
        <translation>Suspendre Lumora</translation>
    </message>
    <message>
        <source>S&amp;nooze</source>
        <translation>&amp;Différer</translation>
    </message>
    <message>
        <source>15 Minutes</source>
        <translation>15 minutes</translation>
    </message>
    <message>
        <source>1 Hour</source>
        <translation>1 heure</translation>
    </message>
    <message>
        <source>4 Hours</source>
        <translation>4 heures</translation>
    </message>
    <message>
        <source>Until Tomorrow</source>
        <translation>Jusqu&apos;à demain</translation>
    </message>
    <message>
        <source>Resume Now</source>
        <translation>Reprendre maintenant</translation>
    </message>
    <message>
        <source>Hide Outlook</source>
        <translation>Masquer Outlook</translation>
    </message>
    <message>
        <source>New &amp;Appointment...</source>
        <translation>Nouveau &amp;rendez-vous...</translation>
    </message>
    <message>
        <source>New &amp;Contact...</source>
        <translation>Nouveau &amp;contact...</translation>
    </message>
    <message>
        <source>New &amp;Mail...</source>
        <translation>Nouveau &amp;message...</translation>
    </message>
    <message>
        <source>New &amp;Note...</source>
        <translation>Nouvelle &amp;note...</translation>
    </message>
    <message>
        <source>New &amp;Task...</source>
        <translation>Nouvelle &amp;tâche...</translation>
    </message>
    <message>
        <source>&amp;Reset Icon</source>
        <translation>Réinitialiser l&apos;&amp;icône</translation>
    </message>
    <message>
        <source>Mar&amp;k All as Read</source>
        <translation>Tout marquer comme &amp;lu</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>Lumora Help...</source>
        <translation>Aide de Lumora...</translation>
    </message>
    <message>
        <source>&amp;About Lumora...</source>
        <translation>À &amp;propos de Lumora...</translation>
    </message>
    <message>
        <source>&amp;Quit Lumora</source>
        <translation>&amp;Quitter Lumora</translation>
    </message>
    <message numerus="yes">
        <source>%n more messages came while the queue was full and were not marked as read; mark them read in your mail client.</source>
        <translation>
            <numerusform>%n autre message est arrivé pendant que la file d&apos;attente était pleine et n&apos;a pas été marqué comme lu&#xa0;; marquez-le comme lu dans votre client de messagerie.</numerusform>
            <numerusform>%n autres messages sont arrivés pendant que la file d&apos;attente était pleine et n&apos;ont pas été marqués comme lus&#xa0;; marquez-les comme lus dans votre client de messagerie.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>lumora::NewMailCommand</name>
    <message>
        <source>the new-mail command %1 still runs from the mail before, so it was not started again</source>
        <translation>la commande de nouveau message %1 tourne encore pour le message précédent&#xa0;; elle n&apos;a donc pas été relancée</translation>
    </message>
    <message>
        <source>the new-mail command %1 cannot be started: %2</source>
        <translation>la commande de nouveau message %1 ne peut pas être lancée&#xa0;: %2</translation>
    </message>
    <message>
        <source>the new-mail command %1 ended abnormally</source>
        <translation>la commande de nouveau message %1 s&apos;est terminée anormalement</translation>
    </message>
    <message>
        <source>the new-mail command %1 ended with exit status %2</source>
        <translation>la commande de nouveau message %1 s&apos;est terminée avec le code de sortie %2</translation>
    </message>
</context>
<context>
    <name>lumora::NotificationPresenter</name>
    <message>
        <source>New mail: %1</source>
        <translation>Nouveau message&#xa0;: %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>Folder: %1
From: %2
Subject: %3</source>
        <translation>Dossier&#xa0;: %1
De&#xa0;: %2
Objet&#xa0;: %3</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Boîte de réception</translation>
    </message>
    <message>
        <source>This is the subject of a mail message for test purposes</source>
        <translation>Ceci est l&apos;objet d&apos;un message de test</translation>
    </message>
    <message>
        <source>Important mail: %1</source>
        <translation>Message important&#xa0;: %1</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
</context>
<context>
    <name>lumora::OlAddIn</name>
    <message>
        <source>The data folder %1 cannot be created or written; the watched folders and the log cannot be kept</source>
        <translation>Le dossier de données %1 ne peut être ni créé ni écrit&#xa0;; les dossiers surveillés et le journal ne peuvent pas être conservés</translation>
    </message>
    <message>
        <source>new-mail command failed (see the log)</source>
        <translation>échec de la commande de nouveau message (voir le journal)</translation>
    </message>
    <message>
        <source>The message no longer exists (moved, deleted or its store is gone)</source>
        <translation>Le message n&apos;existe plus (déplacé, supprimé ou son dépôt a disparu)</translation>
    </message>
    <message>
        <source>The mail store refused</source>
        <translation>Le dépôt de courrier a refusé</translation>
    </message>
    <message>
        <source>Cannot %1 message %2: %3</source>
        <extracomment>%1 is the action: &quot;open&quot;, &quot;delete&quot; or &quot;mark as read&quot;, each translated on its own.</extracomment>
        <translation>Le message %2 n&apos;a pas pu être %1&#xa0;: %3</translation>
    </message>
    <message>
        <source>open</source>
        <translation>ouvert</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>supprimé</translation>
    </message>
    <message>
        <source>mark as read</source>
        <translation>marqué comme lu</translation>
    </message>
    <message>
        <source>The message could not be marked as read: %1.</source>
        <translation>Le message n&apos;a pas pu être marqué comme lu&#xa0;: %1.</translation>
    </message>
    <message>
        <source>%1 of %2 messages could not be marked as read: %3.</source>
        <translation>%1 messages sur %2 n&apos;ont pas pu être marqués comme lus&#xa0;: %3.</translation>
    </message>
    <message>
        <source>Cannot create a new item of type %1</source>
        <translation>Impossible de créer un nouvel élément de type %1</translation>
    </message>
    <message>
        <source>Cannot open the new item: %1</source>
        <translation>Impossible d&apos;ouvrir le nouvel élément&#xa0;: %1</translation>
    </message>
    <message>
        <source>Cannot compose: the mail store has no Drafts folder</source>
        <translation>Rédaction impossible&#xa0;: le dépôt de courrier n&apos;a pas de dossier Brouillons</translation>
    </message>
    <message>
        <source>Cannot compose: no new message could be created</source>
        <translation>Rédaction impossible&#xa0;: aucun nouveau message n&apos;a pu être créé</translation>
    </message>
    <message>
        <source>Cannot compose: the safe-mail component is not available</source>
        <translation>Rédaction impossible&#xa0;: le composant de courrier sécurisé n&apos;est pas disponible</translation>
    </message>
    <message>
        <source>Cannot open the new message: %1</source>
        <translation>Impossible d&apos;ouvrir le nouveau message&#xa0;: %1</translation>
    </message>
    <message>
        <source>No folder is watched: %1 is missing and could not be created</source>
        <translation>Aucun dossier n&apos;est surveillé&#xa0;: %1 est absent et n&apos;a pas pu être créé</translation>
    </message>
    <message>
        <source>No folder is watched: %1 cannot be read</source>
        <translation>Aucun dossier n&apos;est surveillé&#xa0;: %1 ne peut pas être lu</translation>
    </message>
    <message>
        <source>No folder is watched: %1 lists none in its [EntryID] section</source>
        <translation>Aucun dossier n&apos;est surveillé&#xa0;: %1 n&apos;en liste aucun dans sa section [EntryID]</translation>
    </message>
    <message>
        <source>No folder is watched: none of the %1 folder(s) listed in %2 can be opened</source>
        <translation>Aucun dossier n&apos;est surveillé&#xa0;: aucun des %1 dossier(s) listés dans %2 ne peut être ouvert</translation>
    </message>
    <message>
        <source>no folders watched: open Options</source>
        <translation>aucun dossier surveillé&#xa0;: ouvrez les options</translation>
    </message>
    <message>
        <source>Snoozed until %1</source>
        <translation>Différé jusqu&apos;à %1</translation>
    </message>
    <message>
        <source>%1; messages shown before may be shown again</source>
        <translation>%1&#xa0;; des messages déjà affichés pourront l&apos;être de nouveau</translation>
    </message>
    <message>
        <source>%1; after a restart these messages may be shown again</source>
        <translation>%1&#xa0;; après un redémarrage, ces messages pourront être affichés de nouveau</translation>
    </message>
</context>
<context>
    <name>lumora::OptionsDialog</name>
    <message>
        <source>Lumora Options</source>
        <translation>Options de Lumora</translation>
    </message>
</context>
<context>
    <name>lumora::OptionsPages</name>
    <message>
        <source>the options page %1 could not be shown.</source>
        <translation>la page d&apos;options %1 n&apos;a pas pu être affichée.</translation>
    </message>
</context>
<context>
    <name>lumora::PopupWindow</name>
    <message>
        <source>New Mail</source>
        <translation>Nouveau message</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Dossier&#xa0;:</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>De&#xa0;:</translation>
    </message>
    <message>
        <source>Subject:</source>
        <translation>Objet&#xa0;:</translation>
    </message>
    <message>
        <source>Invalid duration. Must be greater than 0 and smaller than 65535.</source>
        <translation>Durée non valide. Elle doit être supérieure à 0 et inférieure à 65535.</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Boîte de réception</translation>
    </message>
    <message>
        <source>This is the subject of a mail message for test purposes</source>
        <translation>Ceci est l&apos;objet d&apos;un message de test</translation>
    </message>
    <message>
        <source> in procedure OpenEmailMessage of Form PopupWindow</source>
        <translation> dans la procédure OpenEmailMessage du formulaire PopupWindow</translation>
    </message>
    <message>
        <source>Error 91 (Object variable not set)</source>
        <translation>Erreur 91 (variable objet non définie)</translation>
    </message>
    <message>
        <source>Error 440 (%1)</source>
        <translation>Erreur 440 (%1)</translation>
    </message>
    <message>
        <source>Error 440 (Unknown error)</source>
        <translation>Erreur 440 (erreur inconnue)</translation>
    </message>
    <message>
        <source> in procedure Toolbar1_ButtonClick of Form PopupWindow</source>
        <translation> dans la procédure Toolbar1_ButtonClick du formulaire PopupWindow</translation>
    </message>
    <message>
        <source> in procedure MarkAsRead of Form PopupWindow</source>
        <translation> dans la procédure MarkAsRead du formulaire PopupWindow</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Ouvrir</translation>
    </message>
    <message>
        <source>Mark as &amp;Read</source>
        <translation>Marquer comme &amp;lu</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>Dismiss &amp;All</source>
        <translation>&amp;Tout ignorer</translation>
    </message>
</context>
<context>
    <name>lumora::PopupWindowsManager</name>
    <message>
        <source>Invalid width.</source>
        <translation>Largeur non valide.</translation>
    </message>
    <message>
        <source>Invalid height.</source>
        <translation>Hauteur non valide.</translation>
    </message>
</context>
<context>
    <name>lumora::Queue</name>
    <message numerus="yes">
        <source>and %n more messages</source>
        <translation>
            <numerusform>et %n autre message</numerusform>
            <numerusform>et %n autres messages</numerusform>
        </translation>
    </message>
    <message>
        <source>several folders</source>
        <translation>plusieurs dossiers</translation>
    </message>
</context>
<context>
    <name>lumora::ctlLumora</name>
    <message>
        <source>Popup Window</source>
        <translation>Fenêtre contextuelle</translation>
    </message>
    <message>
        <source>&amp;Popup Location:</source>
        <translation>&amp;Position de la fenêtre&#xa0;:</translation>
    </message>
    <message>
        <source>manual</source>
        <translation>manuelle</translation>
    </message>
    <message>
        <source>top right</source>
        <translation>en haut à droite</translation>
    </message>
    <message>
        <source>top left</source>
        <translation>en haut à gauche</translation>
    </message>
    <message>
        <source>bottom right</source>
        <translation>en bas à droite</translation>
    </message>
    <message>
        <source>bottom left</source>
        <translation>en bas à gauche</translation>
    </message>
    <message>
        <source>Manual X Position:</source>
        <translation>Position X manuelle&#xa0;:</translation>
    </message>
    <message>
        <source>Manual Y Position:</source>
        <translation>Position Y manuelle&#xa0;:</translation>
    </message>
    <message>
        <source>Gradient Colors:</source>
        <translation>Couleurs du dégradé&#xa0;:</translation>
    </message>
    <message>
        <source>Gradient Direction:</source>
        <translation>Sens du dégradé&#xa0;:</translation>
    </message>
    <message>
        <source>horizontal</source>
        <translation>horizontal</translation>
    </message>
    <message>
        <source>vertical</source>
        <translation>vertical</translation>
    </message>
    <message>
        <source>Sound File:</source>
        <translation>Fichier son&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Inter-message Delay:</source>
        <translation>&amp;Délai entre les messages&#xa0;:</translation>
    </message>
    <message>
        <source>milliseconds</source>
        <translation>millisecondes</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>Divers</translation>
    </message>
    <message>
        <source>Delete on Popup Window:</source>
        <translation>Suppression dans la fenêtre&#xa0;:</translation>
    </message>
    <message>
        <source>Hide Outlook on Startup:</source>
        <translation>Masquer Outlook au démarrage&#xa0;:</translation>
    </message>
    <message>
        <source>(feature available in current Outlook version)</source>
        <translation>(fonction disponible dans la version actuelle d&apos;Outlook)</translation>
    </message>
    <message>
        <source>(Choose folders for Lumora to examine)</source>
        <translation>(Choisissez les dossiers qu&apos;examine Lumora)</translation>
    </message>
    <message>
        <source>Select Folders...</source>
        <translation>Choisir les dossiers...</translation>
    </message>
    <message>
        <source>Test Popup</source>
        <translation>Tester la fenêtre</translation>
    </message>
    <message>
        <source>About Lumora...</source>
        <translation>À propos de Lumora...</translation>
    </message>
    <message>
        <source>Choose Notification Sound</source>
        <translation>Choisir le son de notification</translation>
    </message>
    <message>
        <source>Sound Files (*.wav)</source>
        <translation>Fichiers son (*.wav)</translation>
    </message>
    <message>
        <source>Your Lumora settings could not be saved: %1. They are kept on this page; press Apply to try again.</source>
        <translation>Vos paramètres de Lumora n&apos;ont pas pu être enregistrés&#xa0;: %1. Ils restent sur cette page&#xa0;; cliquez sur «&#xa0;Appliquer&#xa0;» pour réessayer.</translation>
    </message>
    <message>
        <source>Your watched folders could not be saved: %1 cannot be written. The folders watched stay as they were; choose them again to retry.</source>
        <translation>Vos dossiers surveillés n&apos;ont pas pu être enregistrés&#xa0;: impossible d&apos;écrire %1. Les dossiers surveillés restent inchangés&#xa0;; choisissez-les de nouveau pour réessayer.</translation>
    </message>
</context>
<context>
    <name>lumora::frmAbout</name>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Les informations système ne sont pas disponibles pour le moment</translation>
    </message>
    <message>
        <source>Version unknown</source>
        <translation>Version inconnue</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <source>Copyright © 2026 Corvane Software. All rights reserved.
Lumora tells you of new mail with a small popup and a tray icon.</source>
        <translation>Copyright © 2026 Corvane Software. Tous droits réservés.
Lumora vous signale les nouveaux messages par une petite fenêtre et une icône dans la zone de notification.</translation>
    </message>
    <message>
        <source>Technical support: open Lumora Help from the tray menu, or write to Corvane Software&apos;s support desk with the contents of your Lumora.log.</source>
        <translation>Assistance technique&#xa0;: ouvrez l&apos;aide de Lumora depuis le menu de la zone de notification, ou écrivez au support de Corvane Software en joignant le contenu de votre Lumora.log.</translation>
    </message>
    <message>
        <source>Warning: this program is protected by copyright law. It may not be copied, passed on or used in any other way without the consent of Corvane Software.</source>
        <translation>Avertissement&#xa0;: ce programme est protégé par le droit d&apos;auteur. Il ne peut être copié, transmis ni utilisé d&apos;aucune autre manière sans l&apos;accord de Corvane Software.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>Informations &amp;système...</translation>
    </message>
    <message>
        <source>Help...</source>
        <translation>Aide...</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>&quot;Hide Outlook&quot; acts on your mail client&apos;s windows (%1).</source>
        <translation>«&#xa0;Masquer Outlook&#xa0;» agit sur les fenêtres de votre client de messagerie (%1).</translation>
    </message>
</context>
<context>
    <name>lumora::frmFolders</name>
    <message>
        <source> Select Folders To Scan</source>
        <translation> Choisir les dossiers à examiner</translation>
    </message>
    <message>
        <source>Select Folders for Lumora to Examine:</source>
        <translation>Choisissez les dossiers qu&apos;examine Lumora&#xa0;:</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Lumora, a new-mail notifier for the desktop.</source>
        <translation>Lumora, un notificateur de nouveaux messages pour le bureau.</translation>
    </message>
    <message>
        <source>Run on the built-in demo store.</source>
        <translation>Utiliser le dépôt de démonstration intégré.</translation>
    </message>
    <message>
        <source>Print what Lumora does, one line each, on standard error.</source>
        <translation>Afficher ce que fait Lumora, une ligne par action, sur la sortie d&apos;erreur standard.</translation>
    </message>
    <message>
        <source>Show the test popup (starting Lumora first if needed).</source>
        <translation>Afficher la fenêtre de test (en lançant d&apos;abord Lumora si nécessaire).</translation>
    </message>
    <message>
        <source>Open the options dialog (starting Lumora first if needed).</source>
        <translation>Ouvrir la boîte de dialogue des options (en lançant d&apos;abord Lumora si nécessaire).</translation>
    </message>
    <message>
        <source>Ask the running Lumora to quit.</source>
        <translation>Demander au Lumora en cours de se terminer.</translation>
    </message>
    <message>
        <source>Watch this Maildir store as well (repeatable).</source>
        <translation>Surveiller aussi ce dépôt Maildir (répétable).</translation>
    </message>
    <message>
        <source>Program file whose version resource names the host version.</source>
        <translation>Fichier programme dont la ressource de version donne la version de l&apos;hôte.</translation>
    </message>
    <message>
        <source>Command that opens a message file (default: the desktop&apos;s handler).</source>
        <translation>Commande qui ouvre un fichier de message (par défaut&#xa0;: le gestionnaire du bureau).</translation>
    </message>
    <message>
        <source>Window class of your mail client (kept for later starts; default: the desktop&apos;s mailto handler). While it is active no popup shows; Hide Outlook hides it.</source>
        <translation>Classe de fenêtre de votre client de messagerie (conservée pour les démarrages suivants&#xa0;; par défaut&#xa0;: le gestionnaire mailto du bureau). Tant qu&apos;il est actif, aucune fenêtre ne s&apos;affiche&#xa0;; «&#xa0;Masquer Outlook&#xa0;» le masque.</translation>
    </message>
    <message>
        <source>Watch this IMAP account as well: imaps://user@host[:port], or imap://user@host[:port] for STARTTLS (repeatable).</source>
        <translation>Surveiller aussi ce compte IMAP&#xa0;: imaps://utilisateur@hôte[:port], ou imap://utilisateur@hôte[:port] pour STARTTLS (répétable).</translation>
    </message>
    <message>
        <source>Read the IMAP password from the first line of standard input instead of the secret service.</source>
        <translation>Lire le mot de passe IMAP sur la première ligne de l&apos;entrée standard au lieu du trousseau de clés.</translation>
    </message>
    <message>
        <source>Trust the IMAP server certificate with this SHA-256 fingerprint.</source>
        <translation>Faire confiance au certificat du serveur IMAP ayant cette empreinte SHA-256.</translation>
    </message>
    <message>
        <source>Start Lumora when you log in (on) or not (off), then exit.</source>
        <translation>Lancer Lumora à l&apos;ouverture de session (on) ou non (off), puis quitter.</translation>
    </message>
    <message>
        <source>Print the version and exit.</source>
        <translation>Afficher la version et quitter.</translation>
    </message>
    <message>
        <source>Password for %1:</source>
        <translation>Mot de passe pour %1&#xa0;:</translation>
    </message>
    <message>
        <source>Lumora: the Inbox of %1 is not watched: %2.</source>
        <translation>Lumora&#xa0;: la boîte de réception de %1 n&apos;est pas surveillée&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Lumora: --autostart takes on or off, not &quot;%1&quot;.</source>
        <translation>Lumora&#xa0;: --autostart attend on ou off, pas «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>Lumora: autostart unchanged: %1</source>
        <translation>Lumora&#xa0;: démarrage automatique inchangé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Lumora will start when you log in (%1).</source>
        <translation>Lumora se lancera à l&apos;ouverture de session (%1).</translation>
    </message>
    <message>
        <source>Lumora will not start when you log in.</source>
        <translation>Lumora ne se lancera pas à l&apos;ouverture de session.</translation>
    </message>
    <message>
        <source>Lumora is not running.</source>
        <translation>Lumora n&apos;est pas en cours d&apos;exécution.</translation>
    </message>
    <message>
        <source>Lumora: cannot start: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set). Start it from your desktop session.</source>
        <translation>Lumora&#xa0;: démarrage impossible&#xa0;: aucun affichage (ni DISPLAY ni WAYLAND_DISPLAY n&apos;est défini). Lancez-le depuis votre session de bureau.</translation>
    </message>
    <message>
        <source>Lumora is already running.</source>
        <translation>Lumora est déjà en cours d&apos;exécution.</translation>
    </message>
    <message>
        <source>Lumora: cannot start: neither HOME nor both XDG_CONFIG_HOME and XDG_DATA_HOME are set, so there is nowhere to keep the settings and the log.</source>
        <translation>Lumora&#xa0;: démarrage impossible&#xa0;: ni HOME ni à la fois XDG_CONFIG_HOME et XDG_DATA_HOME ne sont définis&#xa0;; il n&apos;y a donc aucun endroit où garder les paramètres et le journal.</translation>
    </message>
    <message>
        <source>Lumora: another Lumora is starting but does not answer; try again.</source>
        <translation>Lumora&#xa0;: un autre Lumora démarre mais ne répond pas&#xa0;; réessayez.</translation>
    </message>
    <message>
        <source>Lumora: --mail-client %1 serves this run only: it cannot be kept for later starts (%2).</source>
        <translation>Lumora&#xa0;: --mail-client %1 ne vaut que pour cette exécution&#xa0;: il ne peut pas être conservé pour les démarrages suivants (%2).</translation>
    </message>
    <message>
        <source>Lumora: cannot start: no add-in could be loaded: %1.</source>
        <translation>Lumora&#xa0;: démarrage impossible&#xa0;: aucun complément n&apos;a pu être chargé&#xa0;: %1.</translation>
    </message>
    <message>
        <source>none is registered</source>
        <translation>aucun n&apos;est enregistré</translation>
    </message>
    <message>
        <source>Watch this POP3 account as well: pop3s://user@host[:port], or pop3://user@host[:port] for STLS; ?interval=MINUTES sets how often the server is asked (5 by default; repeatable). The password and certificate options of IMAP serve it too.</source>
        <translation>Surveiller aussi ce compte POP3&#xa0;: pop3s://utilisateur@hôte[:port], ou pop3://utilisateur@hôte[:port] pour STLS&#xa0;;&#xa0;?interval=MINUTES fixe la fréquence d&apos;interrogation du serveur (5 par défaut&#xa0;; répétable). Les options de mot de passe et de certificat d&apos;IMAP valent aussi pour lui.</translation>
    </message>
    <message>
        <source>Watch this mbox file as well (repeatable); it is read, never written.</source>
        <translation>Surveiller aussi ce fichier mbox (répétable)&#xa0;; il est lu, jamais écrit.</translation>
    </message>
    <message>
        <source>Watch this MH mail directory as well (repeatable).</source>
        <translation>Surveiller aussi ce répertoire de courrier MH (répétable).</translation>
    </message>
</context>
</TS>
