<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AudioDevice</name>
    <message>
        <source>No audio input device is available</source>
        <translation>Kein Audio-Eingabegerät verfügbar</translation>
    </message>
    <message>
        <source>The audio input device offers no usable format</source>
        <translation>Das Audio-Eingabegerät bietet kein verwendbares Format</translation>
    </message>
    <message>
        <source>The audio input device could not be started</source>
        <translation>Das Audio-Eingabegerät konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>The audio input device stopped</source>
        <translation>Das Audio-Eingabegerät wurde angehalten</translation>
    </message>
    <message>
        <source>No audio output device is available</source>
        <translation>Kein Audio-Ausgabegerät verfügbar</translation>
    </message>
    <message>
        <source>The audio output device offers no usable format</source>
        <translation>Das Audio-Ausgabegerät bietet kein verwendbares Format</translation>
    </message>
    <message>
        <source>The audio output device stopped</source>
        <translation>Das Audio-Ausgabegerät wurde angehalten</translation>
    </message>
    <message>
        <source>The audio output device could not be started</source>
        <translation>Das Audio-Ausgabegerät konnte nicht gestartet werden</translation>
    </message>
</context>
<context>
    <name>CallStatus</name>
    <message>
        <source>On Hold</source>
        <translation>Gehalten</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Weiterleitung</translation>
    </message>
    <message>
        <source>In Transit</source>
        <translation>Wird vermittelt</translation>
    </message>
    <message>
        <source>Leaving Message</source>
        <translation>Hinterlässt Nachricht</translation>
    </message>
    <message>
        <source>New Call</source>
        <translation>Neuer Anruf</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Getrennt</translation>
    </message>
    <message>
        <source>Ask to hold...</source>
        <translation>Zum Warten auffordern...</translation>
    </message>
</context>
<context>
    <name>Captions</name>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About </source>
        <translation>Ü&amp;ber </translation>
    </message>
    <message>
        <source>Login</source>
        <translation>Anmeldung</translation>
    </message>
    <message>
        <source>&amp;User Name:</source>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Administration</source>
        <translation>&amp;Verwaltung</translation>
    </message>
    <message>
        <source>Greetings</source>
        <translation>Ansagen</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Greeting Key Press</source>
        <translation>Ansage-Tastendruck</translation>
    </message>
    <message>
        <source>&amp;Notification</source>
        <translation>&amp;Benachrichtigung</translation>
    </message>
    <message>
        <source>Out Call Settings</source>
        <translation>Einstellungen für ausgehende Anrufe</translation>
    </message>
    <message>
        <source>Wake Up </source>
        <translation>Weckruf </translation>
    </message>
    <message>
        <source>Advanced </source>
        <translation>Erweitert </translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Q5Client desktop program: log in to a mailbox of a Q5Server, watch and steer its calls
and edit its settings.</source>
        <translation>Q5Client-Desktopprogramm: bei einem Postfach eines Q5Server anmelden, dessen Anrufe beobachten und steuern
und dessen Einstellungen bearbeiten.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Zeigt diese Hilfe an und beendet das Programm.</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and exit.</source>
        <translation>Zeigt die Version des Programms an und beendet es.</translation>
    </message>
    <message>
        <source>Server for the login dialog: HOST (port 1008) or HOST:PORT.</source>
        <translation>Server für den Anmeldedialog: HOST (Port 1008) oder HOST:PORT.</translation>
    </message>
    <message>
        <source>host</source>
        <translation>host</translation>
    </message>
    <message>
        <source>User name (mailbox number) for the login dialog.</source>
        <translation>Benutzername (Postfachnummer) für den Anmeldedialog.</translation>
    </message>
    <message>
        <source>name</source>
        <translation>name</translation>
    </message>
    <message>
        <source>
Try &apos;q5client --help&apos;.
</source>
        <translation>
Siehe &apos;q5client --help&apos;.
</translation>
    </message>
    <message>
        <source>Unexpected argument: %1
Try &apos;q5client --help&apos;.
</source>
        <translation>Unerwartetes Argument: %1
Siehe &apos;q5client --help&apos;.
</translation>
    </message>
    <message>
        <source>Write the support log&apos;s debug messages (categories q5client.*) to standard error.</source>
        <translation>Schreibt die Debug-Meldungen des Support-Protokolls (Kategorien q5client.*) in die Standardfehlerausgabe.</translation>
    </message>
</context>
<context>
    <name>Contacts</name>
    <message>
        <source>Business</source>
        <translation>Geschäftlich</translation>
    </message>
    <message>
        <source>Business 2</source>
        <translation>Geschäftlich 2</translation>
    </message>
    <message>
        <source>Business fax</source>
        <translation>Fax geschäftlich</translation>
    </message>
    <message>
        <source>Callback</source>
        <translation>Rückruf</translation>
    </message>
    <message>
        <source>Company main</source>
        <translation>Firmenzentrale</translation>
    </message>
    <message>
        <source>Home fax</source>
        <translation>Fax privat</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Privat</translation>
    </message>
    <message>
        <source>Home 2</source>
        <translation>Privat 2</translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation>Mobil</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Sonstige</translation>
    </message>
    <message>
        <source>Radio</source>
        <translation>Funk</translation>
    </message>
    <message>
        <source>No contacts folder is set</source>
        <translation>Es ist kein Kontakteordner eingestellt</translation>
    </message>
    <message>
        <source>Cannot create the contacts folder %1</source>
        <translation>Der Kontakteordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Invalid contact file name %1</source>
        <translation>Ungültiger Name der Kontaktdatei: %1</translation>
    </message>
</context>
<context>
    <name>ConversionTable</name>
    <message>
        <source>Pager</source>
        <translation>Pager</translation>
    </message>
    <message>
        <source>Greeting</source>
        <translation>Ansage</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Aufnehmen</translation>
    </message>
    <message>
        <source>Cell</source>
        <translation>Handy</translation>
    </message>
    <message>
        <source>Fax</source>
        <translation>Fax</translation>
    </message>
    <message>
        <source>Main Menu</source>
        <translation>Hauptmenü</translation>
    </message>
</context>
<context>
    <name>Greetings</name>
    <message>
        <source>Not Ready</source>
        <translation>Nicht bereit</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <source>Playing</source>
        <translation>Wiedergabe</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>Aufnahme</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Pausiert</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>To listen to your greeting, select a greeting type from the options on the left, or &apos;Name&apos; to listen to your name. Select the language in which your greeting was recorded, and press the &apos;Get Greeting&apos; Button. Then press the &apos;Play&apos; Button.</source>
        <translation>Um Ihre Ansage anzuhören, wählen Sie links eine Ansageart oder &apos;Name&apos;, um Ihren Namen anzuhören. Wählen Sie die Sprache, in der die Ansage aufgenommen wurde, und klicken Sie auf &apos;Ansage abrufen&apos;. Klicken Sie dann auf &apos;Wiedergabe&apos;.</translation>
    </message>
    <message>
        <source>To record your greeting, select a greeting type from the options on the left, or &apos;Name&apos; to record to your name. Select the language in which you want to record your greeting. Press the &apos;Record&apos; Button and record your greeting. Once you have finished press the &apos;Stop&apos; button and then &apos;Transmit Greeting&apos; Button. </source>
        <translation>Um Ihre Ansage aufzunehmen, wählen Sie links eine Ansageart oder &apos;Name&apos;, um Ihren Namen aufzunehmen. Wählen Sie die Sprache, in der Sie die Ansage aufnehmen möchten. Klicken Sie auf &apos;Aufnehmen&apos; und sprechen Sie Ihre Ansage. Wenn Sie fertig sind, klicken Sie auf &apos;Stopp&apos; und dann auf &apos;Ansage senden&apos;. </translation>
    </message>
</context>
<context>
    <name>Languages</name>
    <message>
        <source>English</source>
        <translation>Englisch</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Spanisch</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Französisch</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Italienisch</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Hebräisch</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russisch</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Arabisch</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Türkisch</translation>
    </message>
    <message>
        <source>Portugeuse</source>
        <translation>Portugiesisch</translation>
    </message>
    <message>
        <source>Romanian</source>
        <translation>Rumänisch</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chinesisch</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Griechisch</translation>
    </message>
    <message>
        <source>Swahili</source>
        <translation>Suaheli</translation>
    </message>
</context>
<context>
    <name>Mailbox</name>
    <message>
        <source>The file has no name to store it under on the server. Choose the file again.</source>
        <translation>Die Datei hat keinen Namen, unter dem sie auf dem Server gespeichert werden kann. Wählen Sie die Datei erneut.</translation>
    </message>
    <message>
        <source>The file name &quot;%1&quot; is longer than %2 characters. Rename the file and choose it again.</source>
        <translation>Der Dateiname „%1“ ist länger als %2 Zeichen. Benennen Sie die Datei um und wählen Sie sie erneut.</translation>
    </message>
    <message>
        <source>The file name &quot;%1&quot; contains a blank, a slash or a line break, which the server does not accept. Rename the file and choose it again.</source>
        <translation>Der Dateiname „%1“ enthält ein Leerzeichen, einen Schrägstrich oder einen Zeilenumbruch, die der Server nicht annimmt. Benennen Sie die Datei um und wählen Sie sie erneut.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
</context>
<context>
    <name>NamePlayer</name>
    <message>
        <source>%1 ended with status %2</source>
        <translation>%1 wurde mit Status %2 beendet</translation>
    </message>
    <message>
        <source>%1 stopped unexpectedly</source>
        <translation>%1 wurde unerwartet beendet</translation>
    </message>
    <message>
        <source>The recorded name %1 was not found</source>
        <translation>Der aufgenommene Name %1 wurde nicht gefunden</translation>
    </message>
    <message>
        <source>No audio device: no sound player (paplay, pw-play or aplay) is installed</source>
        <translation>Kein Audiogerät: Es ist kein Wiedergabeprogramm (paplay, pw-play oder aplay) installiert</translation>
    </message>
    <message>
        <source>No audio device: %1</source>
        <translation>Kein Audiogerät: %1</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>Fields have been changed. Do you want to save?</source>
        <translation>Felder wurden geändert. Möchten Sie speichern?</translation>
    </message>
    <message>
        <source>Fields changed</source>
        <translation>Felder geändert</translation>
    </message>
    <message>
        <source>Q5Controller is already running</source>
        <translation>Q5Controller läuft bereits</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Doppelt gestartet</translation>
    </message>
    <message>
        <source>

Register the library for this user with
    q5regsvr %1
and start the program again.</source>
        <translation>

Registrieren Sie die Bibliothek für diesen Benutzer mit
    q5regsvr %1
und starten Sie das Programm erneut.</translation>
    </message>
    <message>
        <source>The Q5Client session object could not be created (error %1). %2</source>
        <translation>Das Sitzungsobjekt von Q5Client konnte nicht erstellt werden (Fehler %1). %2</translation>
    </message>
</context>
<context>
    <name>QMdiSubWindow</name>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>Mi&amp;nimieren</translation>
    </message>
</context>
<context>
    <name>Registration</name>
    <message>
        <source>The Q5Client library (libq5client.so) is not registered for this user and was not found next to the program.</source>
        <translation>Die Q5Client-Bibliothek (libq5client.so) ist für diesen Benutzer nicht registriert und wurde nicht neben dem Programm gefunden.</translation>
    </message>
    <message>
        <source>The Q5Client library %1 could not be loaded: %2</source>
        <translation>Die Q5Client-Bibliothek %1 konnte nicht geladen werden: %2</translation>
    </message>
    <message>
        <source>The Q5Client library %1 could not be registered (%2).</source>
        <translation>Die Q5Client-Bibliothek %1 konnte nicht registriert werden (%2).</translation>
    </message>
    <message>
        <source>The registration of %1 did not take effect.</source>
        <translation>Die Registrierung von %1 ist nicht wirksam geworden.</translation>
    </message>
</context>
<context>
    <name>SecretStore</name>
    <message>
        <source>the secret store did not answer</source>
        <translation>der Schlüsselbund hat nicht geantwortet</translation>
    </message>
</context>
<context>
    <name>TlsTrust</name>
    <message>
        <source>SHA-256 fingerprint: %1
Subject: %2
Valid: %3</source>
        <translation>SHA-256-Fingerabdruck: %1
Inhaber: %2
Gültig: %3</translation>
    </message>
    <message>
        <source>This system does not trust the server&apos;s certificate (%1).

%2

Compare the fingerprint with the one your administrator gave you. Trust this server from now on?</source>
        <translation>Dieses System vertraut dem Zertifikat des Servers nicht (%1).

%2

Vergleichen Sie den Fingerabdruck mit dem, den Ihnen Ihr Administrator gegeben hat. Diesem Server ab jetzt vertrauen?</translation>
    </message>
    <message>
        <source>The server&apos;s certificate has changed since you trusted it. Someone may be listening in on the connection; it was not made.

The server now shows:
%1

If your administrator confirms the new certificate, remove the old one from the settings (section %2) and log in again.</source>
        <translation>Das Zertifikat des Servers hat sich geändert, seit Sie ihm vertraut haben. Möglicherweise hört jemand die Verbindung ab; sie wurde nicht hergestellt.

Der Server zeigt jetzt:
%1

Wenn Ihr Administrator das neue Zertifikat bestätigt, entfernen Sie das alte aus den Einstellungen (Abschnitt %2) und melden Sie sich erneut an.</translation>
    </message>
</context>
<context>
    <name>WavFile</name>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>%1 has no sound</source>
        <translation>%1 enthält keinen Ton</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Cannot create %1: %2</source>
        <translation>%1 kann nicht erstellt werden: %2</translation>
    </message>
</context>
<context>
    <name>WindowManager</name>
    <message>
        <source>Connection To Q5Server has been lost. Press OK to reconnect or Cancel to terminate you session.</source>
        <translation>Die Verbindung zum Q5Server wurde unterbrochen. Klicken Sie auf OK, um die Verbindung wiederherzustellen, oder auf Abbrechen, um die Sitzung zu beenden.</translation>
    </message>
    <message>
        <source>Disconnected...</source>
        <translation>Getrennt...</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About Q5Client</source>
        <translation>Über Q5Client</translation>
    </message>
    <message>
        <source>Version 2.0</source>
        <translation>Version 2.0</translation>
    </message>
    <message>
        <source>Warning: this computer program is protected by copyright law and international treaties. Unauthorized reproduction or distribution of this program, or any portion of it, may result in severe civil and criminal penalties, and will be prosecuted to the maximum extent possible under the law.</source>
        <translation>Warnung: Dieses Computerprogramm ist durch Urheberrechtsgesetze und internationale Verträge geschützt. Unbefugte Vervielfältigung oder Verbreitung dieses Programms oder eines Teils davon kann schwere zivil- und strafrechtliche Folgen haben und wird im größtmöglichen gesetzlich zulässigen Umfang verfolgt.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>frmAdvanced</name>
    <message>
        <source>Advanced Settings</source>
        <translation>Erweiterte Einstellungen</translation>
    </message>
    <message>
        <source>Wake Up Call</source>
        <translation>Weckruf</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Telephone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Overhead Paging</source>
        <translation>Durchsage</translation>
    </message>
    <message>
        <source>Follow Me</source>
        <translation>Follow Me</translation>
    </message>
    <message>
        <source>Call Screening</source>
        <translation>Anrufprüfung</translation>
    </message>
    <message>
        <source>Call Transfer</source>
        <translation>Anrufweiterleitung</translation>
    </message>
    <message>
        <source>&amp;WeekDay</source>
        <translation>W&amp;erktags</translation>
    </message>
    <message>
        <source>Week&amp;End</source>
        <translation>&amp;Wochenende</translation>
    </message>
    <message>
        <source>&amp;None</source>
        <translation>&amp;Keine</translation>
    </message>
    <message>
        <source>A&amp;lways</source>
        <translation>&amp;Immer</translation>
    </message>
    <message>
        <source>N&amp;ight</source>
        <translation>Na&amp;cht</translation>
    </message>
    <message>
        <source>&amp;Day</source>
        <translation>Ta&amp;g</translation>
    </message>
    <message>
        <source>Ac&amp;tive</source>
        <translation>Ak&amp;tiv</translation>
    </message>
    <message>
        <source>&amp;Screen calls thru the phone</source>
        <translation>Anrufe am Telefon &amp;prüfen</translation>
    </message>
    <message>
        <source>&amp;Visual call screening with name recording</source>
        <translation>Visuelle Anrufprüfung &amp;mit Namensaufnahme</translation>
    </message>
    <message>
        <source>Disa&amp;bled</source>
        <translation>&amp;Deaktiviert</translation>
    </message>
    <message>
        <source>Visual call screening without name &amp;recording</source>
        <translation>Visuelle Anrufprüfung &amp;ohne Namensaufnahme</translation>
    </message>
    <message>
        <source>Des&amp;k</source>
        <translation>Sch&amp;reibtisch</translation>
    </message>
    <message>
        <source>Voice &amp;Mail</source>
        <translation>Sprach&amp;box</translation>
    </message>
    <message>
        <source>Da&amp;y </source>
        <translation>Tag&amp;süber </translation>
    </message>
    <message>
        <source>Ann&amp;ounce</source>
        <translation>A&amp;nkündigen</translation>
    </message>
    <message>
        <source>WeekDay Time</source>
        <translation>Uhrzeit an Werktagen</translation>
    </message>
    <message>
        <source>WeekDay Telephone</source>
        <translation>Telefon an Werktagen</translation>
    </message>
    <message>
        <source>WeekEnd Time</source>
        <translation>Uhrzeit am Wochenende</translation>
    </message>
    <message>
        <source>WeekEnd Telephone</source>
        <translation>Telefon am Wochenende</translation>
    </message>
</context>
<context>
    <name>frmCallControl</name>
    <message>
        <source>Call Control</source>
        <translation>Anrufsteuerung</translation>
    </message>
    <message>
        <source>Calling name</source>
        <translation>Name des Anrufers</translation>
    </message>
    <message>
        <source>Calling number</source>
        <translation>Nummer des Anrufers</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>Elapsed</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Name Recorded</source>
        <translation>Name aufgenommen</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Weiterleitung</translation>
    </message>
    <message>
        <source>A&amp;nswer Call</source>
        <translation>A&amp;nruf annehmen</translation>
    </message>
    <message>
        <source>&amp;Send to Mailbox</source>
        <translation>An &amp;Postfach senden</translation>
    </message>
    <message>
        <source>Hold / &amp;Release</source>
        <translation>Halten / &amp;Freigeben</translation>
    </message>
    <message>
        <source>&amp;Transfer to...</source>
        <translation>&amp;Weiterleiten an...</translation>
    </message>
    <message>
        <source>&amp;PopUp PIM</source>
        <translation>&amp;Kontakt öffnen</translation>
    </message>
    <message>
        <source>&amp;Internal</source>
        <translation>&amp;Intern</translation>
    </message>
    <message>
        <source>&amp;External</source>
        <translation>&amp;Extern</translation>
    </message>
    <message>
        <source>Calls</source>
        <translation>Anrufe</translation>
    </message>
    <message>
        <source>Transfer number</source>
        <translation>Weiterleitungsnummer</translation>
    </message>
</context>
<context>
    <name>frmCallOut</name>
    <message>
        <source>Call Out Settings</source>
        <translation>Einstellungen für ausgehende Anrufe</translation>
    </message>
    <message>
        <source>Call out numbers</source>
        <translation>Rufnummern für ausgehende Anrufe</translation>
    </message>
    <message>
        <source>Bin 1</source>
        <translation>Nummer 1</translation>
    </message>
    <message>
        <source>Bin 2</source>
        <translation>Nummer 2</translation>
    </message>
    <message>
        <source>Bin 3</source>
        <translation>Nummer 3</translation>
    </message>
    <message>
        <source>Bin 4</source>
        <translation>Nummer 4</translation>
    </message>
    <message>
        <source>Bin 5</source>
        <translation>Nummer 5</translation>
    </message>
    <message>
        <source>Bin 6</source>
        <translation>Nummer 6</translation>
    </message>
    <message>
        <source>Bin 7</source>
        <translation>Nummer 7</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Zeitplan</translation>
    </message>
    <message>
        <source>Days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>RM</source>
        <translation>RM</translation>
    </message>
    <message>
        <source>PM</source>
        <translation>PM</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>Until</source>
        <translation>Bis</translation>
    </message>
    <message>
        <source>Bin1</source>
        <translation>Nr.1</translation>
    </message>
    <message>
        <source>Try1</source>
        <translation>Versuch1</translation>
    </message>
    <message>
        <source>Bin2</source>
        <translation>Nr.2</translation>
    </message>
    <message>
        <source>Try2</source>
        <translation>Versuch2</translation>
    </message>
    <message>
        <source>Bin3</source>
        <translation>Nr.3</translation>
    </message>
    <message>
        <source>Try3</source>
        <translation>Versuch3</translation>
    </message>
    <message>
        <source>Ac&amp;tive</source>
        <translation>A&amp;ktiv</translation>
    </message>
    <message>
        <source>Bin 1 Type</source>
        <translation>Art der Nummer 1</translation>
    </message>
    <message>
        <source>Bin 2 Type</source>
        <translation>Art der Nummer 2</translation>
    </message>
    <message>
        <source>Bin 3 Type</source>
        <translation>Art der Nummer 3</translation>
    </message>
    <message>
        <source>Bin 4 Type</source>
        <translation>Art der Nummer 4</translation>
    </message>
    <message>
        <source>Bin 5 Type</source>
        <translation>Art der Nummer 5</translation>
    </message>
    <message>
        <source>Bin 6 Type</source>
        <translation>Art der Nummer 6</translation>
    </message>
    <message>
        <source>Bin 7 Type</source>
        <translation>Art der Nummer 7</translation>
    </message>
    <message>
        <source>Schedule 1 Days</source>
        <translation>Zeitplan 1: Tage</translation>
    </message>
    <message>
        <source>Schedule 1 Active</source>
        <translation>Zeitplan 1: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 1 RM</source>
        <translation>Zeitplan 1: RM</translation>
    </message>
    <message>
        <source>Schedule 1 PM</source>
        <translation>Zeitplan 1: PM</translation>
    </message>
    <message>
        <source>Schedule 1 From</source>
        <translation>Zeitplan 1: Von</translation>
    </message>
    <message>
        <source>Schedule 1 Until</source>
        <translation>Zeitplan 1: Bis</translation>
    </message>
    <message>
        <source>Schedule 1 Bin1</source>
        <translation>Zeitplan 1: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 1 Try1</source>
        <translation>Zeitplan 1: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 1 Bin2</source>
        <translation>Zeitplan 1: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 1 Try2</source>
        <translation>Zeitplan 1: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 1 Bin3</source>
        <translation>Zeitplan 1: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 1 Try3</source>
        <translation>Zeitplan 1: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 2 Days</source>
        <translation>Zeitplan 2: Tage</translation>
    </message>
    <message>
        <source>Schedule 2 Active</source>
        <translation>Zeitplan 2: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 2 RM</source>
        <translation>Zeitplan 2: RM</translation>
    </message>
    <message>
        <source>Schedule 2 PM</source>
        <translation>Zeitplan 2: PM</translation>
    </message>
    <message>
        <source>Schedule 2 From</source>
        <translation>Zeitplan 2: Von</translation>
    </message>
    <message>
        <source>Schedule 2 Until</source>
        <translation>Zeitplan 2: Bis</translation>
    </message>
    <message>
        <source>Schedule 2 Bin1</source>
        <translation>Zeitplan 2: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 2 Try1</source>
        <translation>Zeitplan 2: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 2 Bin2</source>
        <translation>Zeitplan 2: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 2 Try2</source>
        <translation>Zeitplan 2: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 2 Bin3</source>
        <translation>Zeitplan 2: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 2 Try3</source>
        <translation>Zeitplan 2: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 3 Days</source>
        <translation>Zeitplan 3: Tage</translation>
    </message>
    <message>
        <source>Schedule 3 Active</source>
        <translation>Zeitplan 3: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 3 RM</source>
        <translation>Zeitplan 3: RM</translation>
    </message>
    <message>
        <source>Schedule 3 PM</source>
        <translation>Zeitplan 3: PM</translation>
    </message>
    <message>
        <source>Schedule 3 From</source>
        <translation>Zeitplan 3: Von</translation>
    </message>
    <message>
        <source>Schedule 3 Until</source>
        <translation>Zeitplan 3: Bis</translation>
    </message>
    <message>
        <source>Schedule 3 Bin1</source>
        <translation>Zeitplan 3: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 3 Try1</source>
        <translation>Zeitplan 3: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 3 Bin2</source>
        <translation>Zeitplan 3: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 3 Try2</source>
        <translation>Zeitplan 3: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 3 Bin3</source>
        <translation>Zeitplan 3: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 3 Try3</source>
        <translation>Zeitplan 3: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 4 Days</source>
        <translation>Zeitplan 4: Tage</translation>
    </message>
    <message>
        <source>Schedule 4 Active</source>
        <translation>Zeitplan 4: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 4 RM</source>
        <translation>Zeitplan 4: RM</translation>
    </message>
    <message>
        <source>Schedule 4 PM</source>
        <translation>Zeitplan 4: PM</translation>
    </message>
    <message>
        <source>Schedule 4 From</source>
        <translation>Zeitplan 4: Von</translation>
    </message>
    <message>
        <source>Schedule 4 Until</source>
        <translation>Zeitplan 4: Bis</translation>
    </message>
    <message>
        <source>Schedule 4 Bin1</source>
        <translation>Zeitplan 4: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 4 Try1</source>
        <translation>Zeitplan 4: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 4 Bin2</source>
        <translation>Zeitplan 4: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 4 Try2</source>
        <translation>Zeitplan 4: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 4 Bin3</source>
        <translation>Zeitplan 4: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 4 Try3</source>
        <translation>Zeitplan 4: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 5 Days</source>
        <translation>Zeitplan 5: Tage</translation>
    </message>
    <message>
        <source>Schedule 5 Active</source>
        <translation>Zeitplan 5: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 5 RM</source>
        <translation>Zeitplan 5: RM</translation>
    </message>
    <message>
        <source>Schedule 5 PM</source>
        <translation>Zeitplan 5: PM</translation>
    </message>
    <message>
        <source>Schedule 5 From</source>
        <translation>Zeitplan 5: Von</translation>
    </message>
    <message>
        <source>Schedule 5 Until</source>
        <translation>Zeitplan 5: Bis</translation>
    </message>
    <message>
        <source>Schedule 5 Bin1</source>
        <translation>Zeitplan 5: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 5 Try1</source>
        <translation>Zeitplan 5: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 5 Bin2</source>
        <translation>Zeitplan 5: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 5 Try2</source>
        <translation>Zeitplan 5: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 5 Bin3</source>
        <translation>Zeitplan 5: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 5 Try3</source>
        <translation>Zeitplan 5: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 6 Days</source>
        <translation>Zeitplan 6: Tage</translation>
    </message>
    <message>
        <source>Schedule 6 Active</source>
        <translation>Zeitplan 6: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 6 RM</source>
        <translation>Zeitplan 6: RM</translation>
    </message>
    <message>
        <source>Schedule 6 PM</source>
        <translation>Zeitplan 6: PM</translation>
    </message>
    <message>
        <source>Schedule 6 From</source>
        <translation>Zeitplan 6: Von</translation>
    </message>
    <message>
        <source>Schedule 6 Until</source>
        <translation>Zeitplan 6: Bis</translation>
    </message>
    <message>
        <source>Schedule 6 Bin1</source>
        <translation>Zeitplan 6: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 6 Try1</source>
        <translation>Zeitplan 6: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 6 Bin2</source>
        <translation>Zeitplan 6: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 6 Try2</source>
        <translation>Zeitplan 6: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 6 Bin3</source>
        <translation>Zeitplan 6: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 6 Try3</source>
        <translation>Zeitplan 6: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 7 Days</source>
        <translation>Zeitplan 7: Tage</translation>
    </message>
    <message>
        <source>Schedule 7 Active</source>
        <translation>Zeitplan 7: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 7 RM</source>
        <translation>Zeitplan 7: RM</translation>
    </message>
    <message>
        <source>Schedule 7 PM</source>
        <translation>Zeitplan 7: PM</translation>
    </message>
    <message>
        <source>Schedule 7 From</source>
        <translation>Zeitplan 7: Von</translation>
    </message>
    <message>
        <source>Schedule 7 Until</source>
        <translation>Zeitplan 7: Bis</translation>
    </message>
    <message>
        <source>Schedule 7 Bin1</source>
        <translation>Zeitplan 7: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 7 Try1</source>
        <translation>Zeitplan 7: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 7 Bin2</source>
        <translation>Zeitplan 7: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 7 Try2</source>
        <translation>Zeitplan 7: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 7 Bin3</source>
        <translation>Zeitplan 7: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 7 Try3</source>
        <translation>Zeitplan 7: Versuch3</translation>
    </message>
</context>
<context>
    <name>frmContact</name>
    <message>
        <source>Contact</source>
        <translation>Kontakt</translation>
    </message>
    <message>
        <source>Full name</source>
        <translation>Vollständiger Name</translation>
    </message>
    <message>
        <source>Organisation</source>
        <translation>Organisation</translation>
    </message>
    <message>
        <source>Business</source>
        <translation>Geschäftlich</translation>
    </message>
    <message>
        <source>Business 2</source>
        <translation>Geschäftlich 2</translation>
    </message>
    <message>
        <source>Business fax</source>
        <translation>Fax geschäftlich</translation>
    </message>
    <message>
        <source>Callback</source>
        <translation>Rückruf</translation>
    </message>
    <message>
        <source>Company main</source>
        <translation>Firmenzentrale</translation>
    </message>
    <message>
        <source>Home fax</source>
        <translation>Fax privat</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Privat</translation>
    </message>
    <message>
        <source>Home 2</source>
        <translation>Privat 2</translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation>Mobil</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Sonstige</translation>
    </message>
    <message>
        <source>Radio</source>
        <translation>Funk</translation>
    </message>
    <message>
        <source>E-mail</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>S&amp;peichern</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
</context>
<context>
    <name>frmConversionTable</name>
    <message>
        <source>Key Press</source>
        <translation>Taste</translation>
    </message>
    <message>
        <source>&amp;Department override</source>
        <translation>A&amp;bteilungsvorrang</translation>
    </message>
</context>
<context>
    <name>frmDesktopSettings</name>
    <message>
        <source>Desktop Settings</source>
        <translation>Desktop-Einstellungen</translation>
    </message>
    <message>
        <source>Show a &amp;notification for each new call</source>
        <translation>Für jeden neuen Anruf eine &amp;Benachrichtigung zeigen</translation>
    </message>
    <message>
        <source>&amp;Keep running in the tray when the main window closes</source>
        <translation>Beim Schließen des Hauptfensters im &amp;Infobereich weiterlaufen</translation>
    </message>
    <message>
        <source>&amp;Start with the desktop session</source>
        <translation>Mit der &amp;Desktop-Sitzung starten</translation>
    </message>
    <message>
        <source>Start &amp;minimised to the tray</source>
        <translation>&amp;Minimiert im Infobereich starten</translation>
    </message>
    <message>
        <source>This desktop shows no tray: the program ends when its main window closes.</source>
        <translation>Dieser Desktop hat keinen Infobereich: Das Programm endet, wenn sein Hauptfenster geschlossen wird.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>frmGreeting</name>
    <message>
        <source>Greeting</source>
        <translation>Ansage</translation>
    </message>
    <message>
        <source>Greeting Type</source>
        <translation>Ansageart</translation>
    </message>
    <message>
        <source>Greeting Language</source>
        <translation>Sprache der Ansage</translation>
    </message>
    <message>
        <source>Active Greeting</source>
        <translation>Aktive Ansage</translation>
    </message>
    <message>
        <source>Recorder</source>
        <translation>Rekorder</translation>
    </message>
    <message>
        <source>Prev</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Wiedergabe</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Aufnehmen</translation>
    </message>
    <message>
        <source>File Name  :</source>
        <translation>Dateiname  :</translation>
    </message>
    <message>
        <source>Status  :</source>
        <translation>Status  :</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>&amp;Normal</source>
        <translation>Nor&amp;mal</translation>
    </message>
    <message>
        <source>&amp;Temporary</source>
        <translation>V&amp;orübergehend</translation>
    </message>
    <message>
        <source>&amp;Busy</source>
        <translation>Beset&amp;zt</translation>
    </message>
    <message>
        <source>No Ans&amp;wer</source>
        <translation>&amp;Keine Antwort</translation>
    </message>
    <message>
        <source>Ho&amp;ld</source>
        <translation>Ha&amp;lten</translation>
    </message>
    <message>
        <source>Trans&amp;fer</source>
        <translation>&amp;Weiterleitung</translation>
    </message>
    <message>
        <source>N&amp;ormal</source>
        <translation>No&amp;rmal</translation>
    </message>
    <message>
        <source>Tempo&amp;rary</source>
        <translation>Vorü&amp;bergehend</translation>
    </message>
    <message>
        <source>Non&amp;e</source>
        <translation>K&amp;eine</translation>
    </message>
    <message>
        <source>Na&amp;me</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>W&amp;iedergabe</translation>
    </message>
    <message>
        <source>Pa&amp;use</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>S&amp;topp</translation>
    </message>
    <message>
        <source>Recor&amp;d</source>
        <translation>A&amp;ufnehmen</translation>
    </message>
    <message>
        <source>&amp;Get Greeting</source>
        <translation>Ansa&amp;ge abrufen</translation>
    </message>
    <message>
        <source>Transm&amp;it Greeting</source>
        <translation>Ansage &amp;senden</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
</context>
<context>
    <name>frmLogin</name>
    <message>
        <source>Login</source>
        <translation>Anmeldung</translation>
    </message>
    <message>
        <source>&amp;User Name:</source>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Save User&apos;s Settings</source>
        <translation>Benutzereinstellungen &amp;speichern</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>&amp;Call Control</source>
        <translation>&amp;Anrufsteuerung</translation>
    </message>
    <message>
        <source>&amp;Start Call Control</source>
        <translation>Anrufsteuerung &amp;starten</translation>
    </message>
    <message>
        <source>&amp;PIM Setup</source>
        <translation>&amp;Kontaktverwaltung einrichten</translation>
    </message>
    <message>
        <source>&amp;Mailbox Settings</source>
        <translation>&amp;Postfacheinstellungen</translation>
    </message>
    <message>
        <source>&amp;Advanced </source>
        <translation>&amp;Erweitert </translation>
    </message>
    <message>
        <source>Greeting &amp;Key Press</source>
        <translation>Ansage-&amp;Tastendruck</translation>
    </message>
    <message>
        <source>&amp;Out Call Settings</source>
        <translation>Einstellungen für a&amp;usgehende Anrufe</translation>
    </message>
    <message>
        <source>&amp;Greetings</source>
        <translation>A&amp;nsagen</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>E&amp;igenschaften</translation>
    </message>
    <message>
        <source>&amp;Desktop Settings</source>
        <translation>&amp;Desktop-Einstellungen</translation>
    </message>
</context>
<context>
    <name>frmMbx</name>
    <message>
        <source>Mailbox Settings</source>
        <translation>Postfacheinstellungen</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Wake Up Call</source>
        <translation>Weckruf</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Telephone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Overhead Paging</source>
        <translation>Durchsage</translation>
    </message>
    <message>
        <source>Follow Me</source>
        <translation>Follow Me</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <source>Call Screening</source>
        <translation>Anrufprüfung</translation>
    </message>
    <message>
        <source>Call Transfer</source>
        <translation>Anrufweiterleitung</translation>
    </message>
    <message>
        <source>Email Settings</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>Message Status After Download</source>
        <translation>Nachrichtenstatus nach dem Abruf</translation>
    </message>
    <message>
        <source>Client Password</source>
        <translation>Client-Passwort</translation>
    </message>
    <message>
        <source>E-MWI</source>
        <translation>E-MWI</translation>
    </message>
    <message>
        <source>Email Address</source>
        <translation>E-Mail-Adresse</translation>
    </message>
    <message>
        <source>Callout Schedule</source>
        <translation>Ausgehende Anrufe</translation>
    </message>
    <message>
        <source>Call out numbers</source>
        <translation>Rufnummern für ausgehende Anrufe</translation>
    </message>
    <message>
        <source>Bin 1</source>
        <translation>Nummer 1</translation>
    </message>
    <message>
        <source>Bin 2</source>
        <translation>Nummer 2</translation>
    </message>
    <message>
        <source>Bin 3</source>
        <translation>Nummer 3</translation>
    </message>
    <message>
        <source>Bin 4</source>
        <translation>Nummer 4</translation>
    </message>
    <message>
        <source>Bin 5</source>
        <translation>Nummer 5</translation>
    </message>
    <message>
        <source>Bin 6</source>
        <translation>Nummer 6</translation>
    </message>
    <message>
        <source>Bin 7</source>
        <translation>Nummer 7</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Zeitplan</translation>
    </message>
    <message>
        <source>Days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>RM</source>
        <translation>RM</translation>
    </message>
    <message>
        <source>PM</source>
        <translation>PM</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>Until</source>
        <translation>Bis</translation>
    </message>
    <message>
        <source>Bin1</source>
        <translation>Nr.1</translation>
    </message>
    <message>
        <source>Try1</source>
        <translation>Versuch1</translation>
    </message>
    <message>
        <source>Bin2</source>
        <translation>Nr.2</translation>
    </message>
    <message>
        <source>Try2</source>
        <translation>Versuch2</translation>
    </message>
    <message>
        <source>Bin3</source>
        <translation>Nr.3</translation>
    </message>
    <message>
        <source>Try3</source>
        <translation>Versuch3</translation>
    </message>
    <message>
        <source>Conversion Table</source>
        <translation>Umsetzungstabelle</translation>
    </message>
    <message>
        <source>Advanced Email Settings</source>
        <translation>E-Mail erweitert</translation>
    </message>
    <message>
        <source>Forward Address 1:</source>
        <translation>Weiterleitungsadresse 1:</translation>
    </message>
    <message>
        <source>Subject 1:</source>
        <translation>Betreff 1:</translation>
    </message>
    <message>
        <source>Attachment 1:</source>
        <translation>Anhang 1:</translation>
    </message>
    <message>
        <source>Send File</source>
        <translation>Datei senden</translation>
    </message>
    <message>
        <source>Text 1:</source>
        <translation>Text 1:</translation>
    </message>
    <message>
        <source>Forward Address 2:</source>
        <translation>Weiterleitungsadresse 2:</translation>
    </message>
    <message>
        <source>Subject 2:</source>
        <translation>Betreff 2:</translation>
    </message>
    <message>
        <source>Attachment 2:</source>
        <translation>Anhang 2:</translation>
    </message>
    <message>
        <source>Text 2:</source>
        <translation>Text 2:</translation>
    </message>
    <message>
        <source>Forward Address 3:</source>
        <translation>Weiterleitungsadresse 3:</translation>
    </message>
    <message>
        <source>Subject 3:</source>
        <translation>Betreff 3:</translation>
    </message>
    <message>
        <source>Attachment 3:</source>
        <translation>Anhang 3:</translation>
    </message>
    <message>
        <source>Text 3:</source>
        <translation>Text 3:</translation>
    </message>
    <message>
        <source>Forward Address 4:</source>
        <translation>Weiterleitungsadresse 4:</translation>
    </message>
    <message>
        <source>Subject 4:</source>
        <translation>Betreff 4:</translation>
    </message>
    <message>
        <source>Attachment 4:</source>
        <translation>Anhang 4:</translation>
    </message>
    <message>
        <source>Text 4:</source>
        <translation>Text 4:</translation>
    </message>
    <message>
        <source>Forward Address 5:</source>
        <translation>Weiterleitungsadresse 5:</translation>
    </message>
    <message>
        <source>Subject 5:</source>
        <translation>Betreff 5:</translation>
    </message>
    <message>
        <source>Attachment 5:</source>
        <translation>Anhang 5:</translation>
    </message>
    <message>
        <source>Text 5:</source>
        <translation>Text 5:</translation>
    </message>
    <message>
        <source>&amp;WeekDay</source>
        <translation>W&amp;erktags</translation>
    </message>
    <message>
        <source>Week&amp;End</source>
        <translation>&amp;Wochenende</translation>
    </message>
    <message>
        <source>&amp;None</source>
        <translation>&amp;Keine</translation>
    </message>
    <message>
        <source>A&amp;lways</source>
        <translation>&amp;Immer</translation>
    </message>
    <message>
        <source>N&amp;ight</source>
        <translation>Na&amp;cht</translation>
    </message>
    <message>
        <source>&amp;Day</source>
        <translation>Ta&amp;g</translation>
    </message>
    <message>
        <source>Ac&amp;tive</source>
        <translation>Ak&amp;tiv</translation>
    </message>
    <message>
        <source>&amp;Screen calls thru the phone</source>
        <translation>Anrufe am Telefon &amp;prüfen</translation>
    </message>
    <message>
        <source>&amp;Visual call screening with name recording</source>
        <translation>Visuelle Anrufprüfung &amp;mit Namensaufnahme</translation>
    </message>
    <message>
        <source>Disa&amp;bled</source>
        <translation>&amp;Deaktiviert</translation>
    </message>
    <message>
        <source>Visual call screening without name &amp;recording</source>
        <translation>Visuelle Anrufprüfung &amp;ohne Namensaufnahme</translation>
    </message>
    <message>
        <source>Des&amp;k</source>
        <translation>Sch&amp;reibtisch</translation>
    </message>
    <message>
        <source>Voice &amp;Mail</source>
        <translation>Sprach&amp;box</translation>
    </message>
    <message>
        <source>Da&amp;y </source>
        <translation>Tag&amp;süber </translation>
    </message>
    <message>
        <source>Ann&amp;ounce</source>
        <translation>A&amp;nkündigen</translation>
    </message>
    <message>
        <source>&amp;Unheard</source>
        <translation>&amp;Ungehört</translation>
    </message>
    <message>
        <source>&amp;Saved</source>
        <translation>&amp;Gespeichert</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;No MWI</source>
        <translation>&amp;Kein MWI</translation>
    </message>
    <message>
        <source>&amp;Add Attachment</source>
        <translation>&amp;Mit Anhang</translation>
    </message>
    <message>
        <source>&amp;Without Attachment</source>
        <translation>&amp;Ohne Anhang</translation>
    </message>
    <message>
        <source>&amp;Department override</source>
        <translation>A&amp;bteilungsvorrang</translation>
    </message>
    <message>
        <source>WeekDay Time</source>
        <translation>Uhrzeit an Werktagen</translation>
    </message>
    <message>
        <source>WeekDay Telephone</source>
        <translation>Telefon an Werktagen</translation>
    </message>
    <message>
        <source>WeekEnd Time</source>
        <translation>Uhrzeit am Wochenende</translation>
    </message>
    <message>
        <source>WeekEnd Telephone</source>
        <translation>Telefon am Wochenende</translation>
    </message>
    <message>
        <source>Bin 1 Type</source>
        <translation>Art der Nummer 1</translation>
    </message>
    <message>
        <source>Bin 2 Type</source>
        <translation>Art der Nummer 2</translation>
    </message>
    <message>
        <source>Bin 3 Type</source>
        <translation>Art der Nummer 3</translation>
    </message>
    <message>
        <source>Bin 4 Type</source>
        <translation>Art der Nummer 4</translation>
    </message>
    <message>
        <source>Bin 5 Type</source>
        <translation>Art der Nummer 5</translation>
    </message>
    <message>
        <source>Bin 6 Type</source>
        <translation>Art der Nummer 6</translation>
    </message>
    <message>
        <source>Bin 7 Type</source>
        <translation>Art der Nummer 7</translation>
    </message>
    <message>
        <source>Schedule 1 Days</source>
        <translation>Zeitplan 1: Tage</translation>
    </message>
    <message>
        <source>Schedule 1 Active</source>
        <translation>Zeitplan 1: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 1 RM</source>
        <translation>Zeitplan 1: RM</translation>
    </message>
    <message>
        <source>Schedule 1 PM</source>
        <translation>Zeitplan 1: PM</translation>
    </message>
    <message>
        <source>Schedule 1 From</source>
        <translation>Zeitplan 1: Von</translation>
    </message>
    <message>
        <source>Schedule 1 Until</source>
        <translation>Zeitplan 1: Bis</translation>
    </message>
    <message>
        <source>Schedule 1 Bin1</source>
        <translation>Zeitplan 1: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 1 Try1</source>
        <translation>Zeitplan 1: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 1 Bin2</source>
        <translation>Zeitplan 1: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 1 Try2</source>
        <translation>Zeitplan 1: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 1 Bin3</source>
        <translation>Zeitplan 1: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 1 Try3</source>
        <translation>Zeitplan 1: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 2 Days</source>
        <translation>Zeitplan 2: Tage</translation>
    </message>
    <message>
        <source>Schedule 2 Active</source>
        <translation>Zeitplan 2: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 2 RM</source>
        <translation>Zeitplan 2: RM</translation>
    </message>
    <message>
        <source>Schedule 2 PM</source>
        <translation>Zeitplan 2: PM</translation>
    </message>
    <message>
        <source>Schedule 2 From</source>
        <translation>Zeitplan 2: Von</translation>
    </message>
    <message>
        <source>Schedule 2 Until</source>
        <translation>Zeitplan 2: Bis</translation>
    </message>
    <message>
        <source>Schedule 2 Bin1</source>
        <translation>Zeitplan 2: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 2 Try1</source>
        <translation>Zeitplan 2: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 2 Bin2</source>
        <translation>Zeitplan 2: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 2 Try2</source>
        <translation>Zeitplan 2: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 2 Bin3</source>
        <translation>Zeitplan 2: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 2 Try3</source>
        <translation>Zeitplan 2: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 3 Days</source>
        <translation>Zeitplan 3: Tage</translation>
    </message>
    <message>
        <source>Schedule 3 Active</source>
        <translation>Zeitplan 3: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 3 RM</source>
        <translation>Zeitplan 3: RM</translation>
    </message>
    <message>
        <source>Schedule 3 PM</source>
        <translation>Zeitplan 3: PM</translation>
    </message>
    <message>
        <source>Schedule 3 From</source>
        <translation>Zeitplan 3: Von</translation>
    </message>
    <message>
        <source>Schedule 3 Until</source>
        <translation>Zeitplan 3: Bis</translation>
    </message>
    <message>
        <source>Schedule 3 Bin1</source>
        <translation>Zeitplan 3: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 3 Try1</source>
        <translation>Zeitplan 3: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 3 Bin2</source>
        <translation>Zeitplan 3: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 3 Try2</source>
        <translation>Zeitplan 3: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 3 Bin3</source>
        <translation>Zeitplan 3: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 3 Try3</source>
        <translation>Zeitplan 3: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 4 Days</source>
        <translation>Zeitplan 4: Tage</translation>
    </message>
    <message>
        <source>Schedule 4 Active</source>
        <translation>Zeitplan 4: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 4 RM</source>
        <translation>Zeitplan 4: RM</translation>
    </message>
    <message>
        <source>Schedule 4 PM</source>
        <translation>Zeitplan 4: PM</translation>
    </message>
    <message>
        <source>Schedule 4 From</source>
        <translation>Zeitplan 4: Von</translation>
    </message>
    <message>
        <source>Schedule 4 Until</source>
        <translation>Zeitplan 4: Bis</translation>
    </message>
    <message>
        <source>Schedule 4 Bin1</source>
        <translation>Zeitplan 4: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 4 Try1</source>
        <translation>Zeitplan 4: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 4 Bin2</source>
        <translation>Zeitplan 4: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 4 Try2</source>
        <translation>Zeitplan 4: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 4 Bin3</source>
        <translation>Zeitplan 4: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 4 Try3</source>
        <translation>Zeitplan 4: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 5 Days</source>
        <translation>Zeitplan 5: Tage</translation>
    </message>
    <message>
        <source>Schedule 5 Active</source>
        <translation>Zeitplan 5: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 5 RM</source>
        <translation>Zeitplan 5: RM</translation>
    </message>
    <message>
        <source>Schedule 5 PM</source>
        <translation>Zeitplan 5: PM</translation>
    </message>
    <message>
        <source>Schedule 5 From</source>
        <translation>Zeitplan 5: Von</translation>
    </message>
    <message>
        <source>Schedule 5 Until</source>
        <translation>Zeitplan 5: Bis</translation>
    </message>
    <message>
        <source>Schedule 5 Bin1</source>
        <translation>Zeitplan 5: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 5 Try1</source>
        <translation>Zeitplan 5: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 5 Bin2</source>
        <translation>Zeitplan 5: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 5 Try2</source>
        <translation>Zeitplan 5: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 5 Bin3</source>
        <translation>Zeitplan 5: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 5 Try3</source>
        <translation>Zeitplan 5: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 6 Days</source>
        <translation>Zeitplan 6: Tage</translation>
    </message>
    <message>
        <source>Schedule 6 Active</source>
        <translation>Zeitplan 6: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 6 RM</source>
        <translation>Zeitplan 6: RM</translation>
    </message>
    <message>
        <source>Schedule 6 PM</source>
        <translation>Zeitplan 6: PM</translation>
    </message>
    <message>
        <source>Schedule 6 From</source>
        <translation>Zeitplan 6: Von</translation>
    </message>
    <message>
        <source>Schedule 6 Until</source>
        <translation>Zeitplan 6: Bis</translation>
    </message>
    <message>
        <source>Schedule 6 Bin1</source>
        <translation>Zeitplan 6: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 6 Try1</source>
        <translation>Zeitplan 6: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 6 Bin2</source>
        <translation>Zeitplan 6: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 6 Try2</source>
        <translation>Zeitplan 6: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 6 Bin3</source>
        <translation>Zeitplan 6: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 6 Try3</source>
        <translation>Zeitplan 6: Versuch3</translation>
    </message>
    <message>
        <source>Schedule 7 Days</source>
        <translation>Zeitplan 7: Tage</translation>
    </message>
    <message>
        <source>Schedule 7 Active</source>
        <translation>Zeitplan 7: Aktiv</translation>
    </message>
    <message>
        <source>Schedule 7 RM</source>
        <translation>Zeitplan 7: RM</translation>
    </message>
    <message>
        <source>Schedule 7 PM</source>
        <translation>Zeitplan 7: PM</translation>
    </message>
    <message>
        <source>Schedule 7 From</source>
        <translation>Zeitplan 7: Von</translation>
    </message>
    <message>
        <source>Schedule 7 Until</source>
        <translation>Zeitplan 7: Bis</translation>
    </message>
    <message>
        <source>Schedule 7 Bin1</source>
        <translation>Zeitplan 7: Nr.1</translation>
    </message>
    <message>
        <source>Schedule 7 Try1</source>
        <translation>Zeitplan 7: Versuch1</translation>
    </message>
    <message>
        <source>Schedule 7 Bin2</source>
        <translation>Zeitplan 7: Nr.2</translation>
    </message>
    <message>
        <source>Schedule 7 Try2</source>
        <translation>Zeitplan 7: Versuch2</translation>
    </message>
    <message>
        <source>Schedule 7 Bin3</source>
        <translation>Zeitplan 7: Nr.3</translation>
    </message>
    <message>
        <source>Schedule 7 Try3</source>
        <translation>Zeitplan 7: Versuch3</translation>
    </message>
    <message>
        <source>Choose Attachment 1</source>
        <translation>Anhang 1 auswählen</translation>
    </message>
    <message>
        <source>Choose Text 1</source>
        <translation>Text 1 auswählen</translation>
    </message>
    <message>
        <source>Choose Attachment 2</source>
        <translation>Anhang 2 auswählen</translation>
    </message>
    <message>
        <source>Choose Text 2</source>
        <translation>Text 2 auswählen</translation>
    </message>
    <message>
        <source>Choose Attachment 3</source>
        <translation>Anhang 3 auswählen</translation>
    </message>
    <message>
        <source>Choose Text 3</source>
        <translation>Text 3 auswählen</translation>
    </message>
    <message>
        <source>Choose Attachment 4</source>
        <translation>Anhang 4 auswählen</translation>
    </message>
    <message>
        <source>Choose Text 4</source>
        <translation>Text 4 auswählen</translation>
    </message>
    <message>
        <source>Choose Attachment 5</source>
        <translation>Anhang 5 auswählen</translation>
    </message>
    <message>
        <source>Choose Text 5</source>
        <translation>Text 5 auswählen</translation>
    </message>
</context>
<context>
    <name>frmPIMSetup</name>
    <message>
        <source>PIM Setup</source>
        <translation>Kontaktverwaltung einrichten</translation>
    </message>
    <message>
        <source>Contacts&apos; telephone number pattern (use # to represent a digit)</source>
        <translation>Muster der Telefonnummern der Kontakte (# steht für eine Ziffer)</translation>
    </message>
    <message>
        <source>Eample: (###) ###-####</source>
        <translation>Beispiel: (###) ###-####</translation>
    </message>
    <message>
        <source>Contacts folder (one vCard file per contact; empty: the program&apos;s own folder)</source>
        <translation>Kontakteordner (eine vCard-Datei pro Kontakt; leer: der eigene Ordner des Programms)</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>A&amp;bbrechen</translation>
    </message>
    <message>
        <source>Region of national numbers (two letters, such as US or DE; empty: from the system&apos;s locale)</source>
        <translation>Region für nationale Rufnummern (zwei Buchstaben, etwa US oder DE; leer: aus dem Gebietsschema des Systems)</translation>
    </message>
</context>
<context>
    <name>frmProperties</name>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>PIM Client</source>
        <translation>Kontaktverwaltung</translation>
    </message>
    <message>
        <source>Pop-Up Sound</source>
        <translation>Signalton beim Öffnen</translation>
    </message>
    <message>
        <source>&amp;Automatic Pop-Up Screen</source>
        <translation>&amp;Kontakt automatisch öffnen</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>q5client: no display: neither DISPLAY nor WAYLAND_DISPLAY is set; start it in a desktop session, or without one under xvfb-run (xvfb-run q5client)
</source>
        <translation>q5client: keine Anzeige: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt; starten Sie es in einer Desktop-Sitzung oder ohne eine solche mit xvfb-run (xvfb-run q5client)
</translation>
    </message>
</context>
<context>
    <name>q5::ServerWaitIndicator</name>
    <message>
        <source>Waiting for the server...</source>
        <translation>Warten auf den Server...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>q5::calls::CallNotifier</name>
    <message>
        <source>Incoming call</source>
        <translation>Eingehender Anruf</translation>
    </message>
    <message>
        <source>Call from %1</source>
        <translation>Anruf von %1</translation>
    </message>
    <message>
        <source>Answer</source>
        <translation>Annehmen</translation>
    </message>
    <message>
        <source>Send to Mailbox</source>
        <translation>An Postfach senden</translation>
    </message>
    <message>
        <source>Hold / Release</source>
        <translation>Halten / Freigeben</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
</context>
<context>
    <name>q5::frmAbout</name>
    <message>
        <source>Version 2.0</source>
        <translation>Version 2.0</translation>
    </message>
</context>
<context>
    <name>q5::frmCallControl</name>
    <message>
        <source>please select a call in progress</source>
        <translation>Bitte wählen Sie einen laufenden Anruf aus</translation>
    </message>
    <message>
        <source>Call events are not available: the event log could not be created</source>
        <translation>Anrufereignisse sind nicht verfügbar: Das Ereignisprotokoll konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source>The connection for call events ended and was restored at %1</source>
        <translation>Die Verbindung für Anrufereignisse wurde unterbrochen und um %1 wiederhergestellt</translation>
    </message>
    <message>
        <source>Receiving calls from Q5Server</source>
        <translation>Empfange Anrufe vom Q5Server</translation>
    </message>
    <message>
        <source>The connection for call events has ended (%1); retrying in %2 s</source>
        <translation>Die Verbindung für Anrufereignisse wurde beendet (%1); neuer Versuch in %2 s</translation>
    </message>
    <message>
        <source>The call events could not be started (%1); retrying in %2 s</source>
        <translation>Die Anrufereignisse konnten nicht gestartet werden (%1); neuer Versuch in %2 s</translation>
    </message>
    <message>
        <source>A1 Error</source>
        <translation>Fehler A1</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>The call log %1 could not be written: %2</source>
        <translation>Das Anrufprotokoll %1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The recorded name cannot be played: </source>
        <translation>Der aufgenommene Name kann nicht wiedergegeben werden: </translation>
    </message>
</context>
<context>
    <name>q5::frmContact</name>
    <message>
        <source>New Contact</source>
        <translation>Neuer Kontakt</translation>
    </message>
    <message>
        <source>Contact</source>
        <translation>Kontakt</translation>
    </message>
    <message>
        <source>%1 - Contact</source>
        <translation>%1 - Kontakt</translation>
    </message>
    <message>
        <source>Not saved: </source>
        <translation>Nicht gespeichert: </translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
</context>
<context>
    <name>q5::frmDesktopSettings</name>
    <message>
        <source>The autostart entry %1 could not be changed: %2</source>
        <translation>Der Autostart-Eintrag %1 konnte nicht geändert werden: %2</translation>
    </message>
</context>
<context>
    <name>q5::frmGreeting</name>
    <message>
        <source>Greeting is not recorded</source>
        <translation>Die Ansage ist nicht aufgenommen</translation>
    </message>
    <message>
        <source>Cannot create %1</source>
        <translation>%1 kann nicht erstellt werden</translation>
    </message>
</context>
<context>
    <name>q5::frmLogin</name>
    <message>
        <source>Your password was not remembered: no password keyring (secret store) is running on this desktop.

Your user name and host were remembered. Type your password when you log in next time.</source>
        <translation>Ihr Passwort wurde nicht gespeichert: Auf diesem Desktop läuft kein Passwort-Schlüsselbund (Secret Store).

Ihr Benutzername und der Server wurden gespeichert. Geben Sie Ihr Passwort bei der nächsten Anmeldung ein.</translation>
    </message>
    <message>
        <source>Incorrect Username or Password</source>
        <translation>Benutzername oder Passwort falsch</translation>
    </message>
    <message>
        <source>Login Failed</source>
        <translation>Anmeldung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Untrusted Server Certificate</source>
        <translation>Nicht vertrauenswürdiges Serverzertifikat</translation>
    </message>
    <message>
        <source>Server Certificate Changed</source>
        <translation>Serverzertifikat geändert</translation>
    </message>
    <message>
        <source>Can not establish connection with Q5Server. Please verify that Q5 is running before re-attempting to log in</source>
        <translation>Es kann keine Verbindung zum Q5Server hergestellt werden. Bitte prüfen Sie, ob Q5 läuft, bevor Sie sich erneut anmelden</translation>
    </message>
    <message>
        <source>No Connection</source>
        <translation>Keine Verbindung</translation>
    </message>
</context>
<context>
    <name>q5::frmMain</name>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Q5Client connected to mailbox</source>
        <translation>Q5Client verbunden mit Postfach</translation>
    </message>
</context>
<context>
    <name>q5::frmMbx</name>
    <message>
        <source>No BOX_EMAIL2 record was found. Please contact your system administrator for more information</source>
        <translation>Es wurde kein BOX_EMAIL2-Datensatz gefunden. Wenden Sie sich für weitere Informationen an Ihren Systemadministrator</translation>
    </message>
    <message>
        <source>Text (*.txt *.html)</source>
        <translation>Text (*.txt *.html)</translation>
    </message>
    <message>
        <source>Attachment...</source>
        <translation>Anhang...</translation>
    </message>
    <message>
        <source>You must select a file before uploading to the server</source>
        <translation>Sie müssen eine Datei auswählen, bevor Sie sie auf den Server hochladen</translation>
    </message>
    <message>
        <source>Target mailbox does not exist</source>
        <translation>Das Zielpostfach existiert nicht</translation>
    </message>
</context>
<context>
    <name>q5::frmPIMSetup</name>
    <message>
        <source>Contacts folder</source>
        <translation>Kontakteordner</translation>
    </message>
</context>
<context>
    <name>q5::media::MultimediaControl</name>
    <message>
        <source>The device is not open</source>
        <translation>Das Gerät ist nicht geöffnet</translation>
    </message>
    <message>
        <source>Unknown command: %1</source>
        <translation>Unbekannter Befehl: %1</translation>
    </message>
    <message>
        <source>The device is recording</source>
        <translation>Das Gerät nimmt gerade auf</translation>
    </message>
    <message>
        <source>There is nothing to play</source>
        <translation>Es gibt nichts wiederzugeben</translation>
    </message>
    <message>
        <source>No file name is set</source>
        <translation>Es ist kein Dateiname gesetzt</translation>
    </message>
    <message>
        <source>Cannot create a file in %1</source>
        <translation>In %1 kann keine Datei erstellt werden</translation>
    </message>
    <message>
        <source>Cannot write the recording to %1</source>
        <translation>Die Aufnahme kann nicht nach %1 geschrieben werden</translation>
    </message>
    <message>
        <source>Cannot replace %1</source>
        <translation>%1 kann nicht ersetzt werden</translation>
    </message>
    <message>
        <source>Cannot write the recording</source>
        <translation>Die Aufnahme kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>q5::shell::Autostart</name>
    <message>
        <source>The folder %1 could not be made.</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden.</translation>
    </message>
</context>
<context>
    <name>q5::shell::TrayIcon</name>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>Call Control</source>
        <translation>Anrufsteuerung</translation>
    </message>
    <message>
        <source>Mailbox Settings</source>
        <translation>Postfacheinstellungen</translation>
    </message>
    <message>
        <source>Greetings</source>
        <translation>Ansagen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Q5Client keeps running</source>
        <translation>Q5Client läuft weiter</translation>
    </message>
    <message>
        <source>Calls still arrive while the window is closed. Open it again from the tray icon; choose Quit there to end the program.</source>
        <translation>Anrufe kommen weiterhin an, während das Fenster geschlossen ist. Öffnen Sie es über das Symbol im Infobereich wieder; wählen Sie dort Beenden, um das Programm zu beenden.</translation>
    </message>
    <message>
        <source>Q5Client: disconnected</source>
        <translation>Q5Client: getrennt</translation>
    </message>
    <message>
        <source>Q5Client: mailbox %1, calls waiting: %2</source>
        <translation>Q5Client: Postfach %1, wartende Anrufe: %2</translation>
    </message>
    <message>
        <source>Q5Client: logged in to mailbox %1</source>
        <translation>Q5Client: angemeldet bei Postfach %1</translation>
    </message>
</context>
</TS>
