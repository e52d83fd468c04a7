<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CCoreInterfaceLanguage</name>
    <message>
        <source>Afrikaans</source>
        <translation>Afrikaans</translation>
    </message>
    <message>
        <source>Albanian</source>
        <translation>Albanisch</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Arabisch</translation>
    </message>
    <message>
        <source>Belarusian</source>
        <translation>Weißrussisch</translation>
    </message>
    <message>
        <source>Bulgarian</source>
        <translation>Bulgarisch</translation>
    </message>
    <message>
        <source>Catalan</source>
        <translation>Katalanisch</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chinesisch</translation>
    </message>
    <message>
        <source>Chinese (Simplified)</source>
        <translation>Chinesisch (vereinfacht)</translation>
    </message>
    <message>
        <source>Chinese (Traditional)</source>
        <translation>Chinesisch (traditionell)</translation>
    </message>
    <message>
        <source>Croatian</source>
        <translation>Kroatisch</translation>
    </message>
    <message>
        <source>Czech</source>
        <translation>Tschechisch</translation>
    </message>
    <message>
        <source>Danish</source>
        <translation>Dänisch</translation>
    </message>
    <message>
        <source>Dutch</source>
        <translation>Niederländisch</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Englisch</translation>
    </message>
    <message>
        <source>Estonian</source>
        <translation>Estnisch</translation>
    </message>
    <message>
        <source>Finnish</source>
        <translation>Finnisch</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Französisch</translation>
    </message>
    <message>
        <source>Galician</source>
        <translation>Galicisch</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Griechisch</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Hebräisch</translation>
    </message>
    <message>
        <source>Hindi</source>
        <translation>Hindi</translation>
    </message>
    <message>
        <source>Hungarian</source>
        <translation>Ungarisch</translation>
    </message>
    <message>
        <source>Icelandic</source>
        <translation>Isländisch</translation>
    </message>
    <message>
        <source>Indonesian</source>
        <translation>Indonesisch</translation>
    </message>
    <message>
        <source>Irish</source>
        <translation>Irisch</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Italienisch</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japanisch</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Koreanisch</translation>
    </message>
    <message>
        <source>Latvian</source>
        <translation>Lettisch</translation>
    </message>
    <message>
        <source>Lithuanian</source>
        <translation>Litauisch</translation>
    </message>
    <message>
        <source>Macedonian</source>
        <translation>Mazedonisch</translation>
    </message>
    <message>
        <source>Malay</source>
        <translation>Malaiisch</translation>
    </message>
    <message>
        <source>Maltese</source>
        <translation>Maltesisch</translation>
    </message>
    <message>
        <source>Norwegian</source>
        <translation>Norwegisch</translation>
    </message>
    <message>
        <source>Persian</source>
        <translation>Persisch</translation>
    </message>
    <message>
        <source>Polish</source>
        <translation>Polnisch</translation>
    </message>
    <message>
        <source>Portuguese (Portugal)</source>
        <translation>Portugiesisch (Portugal)</translation>
    </message>
    <message>
        <source>Romanian</source>
        <translation>Rumänisch</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russisch</translation>
    </message>
    <message>
        <source>Serbian</source>
        <translation>Serbisch</translation>
    </message>
    <message>
        <source>Slovak</source>
        <translation>Slowakisch</translation>
    </message>
    <message>
        <source>Slovenian</source>
        <translation>Slowenisch</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Spanisch</translation>
    </message>
    <message>
        <source>Swahili</source>
        <translation>Suaheli</translation>
    </message>
    <message>
        <source>Swedish</source>
        <translation>Schwedisch</translation>
    </message>
    <message>
        <source>Filipino</source>
        <translation>Filipino</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>Thailändisch</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Türkisch</translation>
    </message>
    <message>
        <source>Ukrainian</source>
        <translation>Ukrainisch</translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation>Vietnamesisch</translation>
    </message>
    <message>
        <source>Welsh</source>
        <translation>Walisisch</translation>
    </message>
    <message>
        <source>Yiddish</source>
        <translation>Jiddisch</translation>
    </message>
    <message>
        <source>Interface Language</source>
        <translation>Oberflächensprache</translation>
    </message>
</context>
<context>
    <name>CErrorMsgHelper</name>
    <message>
        <source>The folder could not be found.</source>
        <translation>Der Ordner wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>A file is in the way of a folder.</source>
        <translation>Eine Datei steht einem Ordner im Weg.</translation>
    </message>
    <message>
        <source>The song has no file on this computer.</source>
        <translation>Zu diesem Titel gibt es keine Datei auf diesem Computer.</translation>
    </message>
    <message>
        <source>The song file is missing.</source>
        <translation>Die Datei des Titels fehlt.</translation>
    </message>
    <message>
        <source>The file on the device has no name.</source>
        <translation>Die Datei auf dem Gerät hat keinen Namen.</translation>
    </message>
    <message>
        <source>The file on the device is missing.</source>
        <translation>Die Datei auf dem Gerät fehlt.</translation>
    </message>
    <message>
        <source>A folder is in the way of a file.</source>
        <translation>Ein Ordner steht einer Datei im Weg.</translation>
    </message>
    <message>
        <source>The playlist file could not be created.</source>
        <translation>Die Wiedergabelistendatei konnte nicht erstellt werden.</translation>
    </message>
    <message>
        <source>No device is connected.</source>
        <translation>Es ist kein Gerät angeschlossen.</translation>
    </message>
    <message>
        <source>The device was disconnected or changed.</source>
        <translation>Das Gerät wurde getrennt oder gewechselt.</translation>
    </message>
    <message>
        <source>Canceled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>The device has no storage.</source>
        <translation>Das Gerät hat keinen Speicher.</translation>
    </message>
    <message>
        <source>There is not enough free space.</source>
        <translation>Es ist nicht genügend freier Speicherplatz vorhanden.</translation>
    </message>
    <message>
        <source>The player is not running.</source>
        <translation>Der Player läuft nicht.</translation>
    </message>
    <message>
        <source>The player is busy. Please try again later.</source>
        <translation>Der Player ist beschäftigt. Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <source>The player has shut down.</source>
        <translation>Der Player wurde beendet.</translation>
    </message>
    <message>
        <source>No player is available.</source>
        <translation>Es ist kein Player verfügbar.</translation>
    </message>
    <message>
        <source>The playlist is empty.</source>
        <translation>Die Wiedergabeliste ist leer.</translation>
    </message>
    <message>
        <source>The playlist changed meanwhile. Please try again.</source>
        <translation>Die Wiedergabeliste hat sich inzwischen geändert. Bitte versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The player's library has shut down.</source>
        <translation>Die Mediathek des Players wurde beendet.</translation>
    </message>
    <message>
        <source>No player is active.</source>
        <translation>Es ist kein Player aktiv.</translation>
    </message>
    <message>
        <source>You have not signed in to this network yet.</source>
        <translation>Sie haben sich bei diesem Netzwerk noch nicht angemeldet.</translation>
    </message>
    <message>
        <source>You are signed out of this network.</source>
        <translation>Sie sind von diesem Netzwerk abgemeldet.</translation>
    </message>
    <message>
        <source>The service did not accept your credentials or data.</source>
        <translation>Der Dienst hat Ihre Anmeldedaten oder Daten nicht akzeptiert.</translation>
    </message>
    <message>
        <source>A network error occurred.</source>
        <translation>Ein Netzwerkfehler ist aufgetreten.</translation>
    </message>
    <message>
        <source>The server answered with an error.</source>
        <translation>Der Server hat mit einem Fehler geantwortet.</translation>
    </message>
    <message>
        <source>The server's answer could not be read.</source>
        <translation>Die Antwort des Servers konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The server did not answer in time.</source>
        <translation>Der Server hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>The service reported an error.</source>
        <translation>Der Dienst hat einen Fehler gemeldet.</translation>
    </message>
    <message>
        <source>There is no internet connection.</source>
        <translation>Es besteht keine Internetverbindung.</translation>
    </message>
    <message>
        <source>The song is empty.</source>
        <translation>Der Titel ist leer.</translation>
    </message>
    <message>
        <source>The song has no title or artist.</source>
        <translation>Dem Titel fehlt der Name oder der Interpret.</translation>
    </message>
    <message>
        <source>The content could not be found.</source>
        <translation>Der Inhalt wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>An internal error occurred! Please contact us.</source>
        <translation>Ein interner Fehler ist aufgetreten! Bitte kontaktieren Sie uns.</translation>
    </message>
    <message>
        <source>An internal error occurred (code %1)! Please contact us.</source>
        <translation>Ein interner Fehler ist aufgetreten (Code %1)! Bitte kontaktieren Sie uns.</translation>
    </message>
</context>
</TS>
