<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>QuxCtl</name>
    <message>
        <source>Shows this text.</source>
        <translation>Zeigt diesen Text.</translation>
    </message>
    <message>
        <source>Shows the version.</source>
        <translation>Zeigt die Version.</translation>
    </message>
    <message>
        <source>Serial port.</source>
        <translation>Serieller Anschluss.</translation>
    </message>
    <message>
        <source>port</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>Results as JSON.</source>
        <translation>Ergebnisse als JSON.</translation>
    </message>
    <message>
        <source>Stream duration.</source>
        <translation>Dauer der Aufzeichnung.</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>Sekunden</translation>
    </message>
    <message>
        <source>Stream into a file.</source>
        <translation>Aufzeichnung in eine Datei.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Sensor catalogue.</source>
        <translation>Sensorkatalog.</translation>
    </message>
    <message>
        <source>No command given.</source>
        <translation>Kein Befehl angegeben.</translation>
    </message>
    <message>
        <source>Unknown command: %1</source>
        <translation>Unbekannter Befehl: %1</translation>
    </message>
    <message>
        <source>No port given: use --port PORT.</source>
        <translation>Kein Anschluss angegeben: --port ANSCHLUSS verwenden.</translation>
    </message>
    <message>
        <source>An empty port name was given.</source>
        <translation>Ein leerer Anschlussname wurde angegeben.</translation>
    </message>
    <message>
        <source>--seconds and --csv belong to the stream command.</source>
        <translation>--seconds und --csv gehören zum Befehl stream.</translation>
    </message>
    <message>
        <source>--seconds takes a whole number from 1 to %1.</source>
        <translation>--seconds nimmt eine ganze Zahl von 1 bis %1.</translation>
    </message>
    <message>
        <source>write needs at least one ID=VALUE.</source>
        <translation>write braucht mindestens ein ID=WERT.</translation>
    </message>
    <message>
        <source>Not of the form ID=VALUE: %1</source>
        <translation>Nicht in der Form ID=WERT: %1</translation>
    </message>
    <message>
        <source>%1 needs exactly one settings file.</source>
        <translation>%1 braucht genau eine Einstellungsdatei.</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Unerwartetes Argument: %1</translation>
    </message>
    <message>
        <source>%1: looking for the sensor...</source>
        <translation>%1: Sensor wird gesucht...</translation>
    </message>
    <message>
        <source>%1: %2 found at %3 baud</source>
        <translation>%1: %2 gefunden mit %3 Baud</translation>
    </message>
    <message>
        <source>port:        %1
sensor type: %2
group:       %3
type:        %4
firmware:    %5
baud rate:   %6
</source>
        <translation>Anschluss:   %1
Sensortyp:   %2
Gruppe:      %3
Typ:         %4
Firmware:    %5
Baudrate:    %6
</translation>
    </message>
    <message>
        <source>(not readable)</source>
        <translation>(nicht lesbar)</translation>
    </message>
    <message>
        <source>identified</source>
        <translation>erkannt</translation>
    </message>
    <message>
        <source>%1: reading all parameters...</source>
        <translation>%1: alle Parameter werden gelesen...</translation>
    </message>
    <message>
        <source>read</source>
        <translation>gelesen</translation>
    </message>
    <message>
        <source>%1: %2 limited to %3</source>
        <translation>%1: %2 auf %3 begrenzt</translation>
    </message>
    <message>
        <source>%1: %2 already holds that value</source>
        <translation>%1: %2 hat diesen Wert bereits</translation>
    </message>
    <message>
        <source>%1: writing %2...</source>
        <translation>%1: %2 wird geschrieben...</translation>
    </message>
    <message>
        <source>The sensor stopped answering while %1 was written.</source>
        <translation>Der Sensor antwortete nicht mehr, während %1 geschrieben wurde.</translation>
    </message>
    <message>
        <source>written; the new baud rate applies after the sensor is switched off and on</source>
        <translation>geschrieben; die neue Baudrate gilt, nachdem der Sensor aus- und wieder eingeschaltet wurde</translation>
    </message>
    <message>
        <source>%1: reading back...</source>
        <translation>%1: wird zurückgelesen...</translation>
    </message>
    <message>
        <source>written and read back</source>
        <translation>geschrieben und zurückgelesen</translation>
    </message>
    <message>
        <source>The sensor holds other values for: %1</source>
        <translation>Der Sensor hat andere Werte für: %1</translation>
    </message>
    <message>
        <source>%1: saved to %2
</source>
        <translation>%1: gespeichert in %2
</translation>
    </message>
    <message>
        <source>saved to %1</source>
        <translation>gespeichert in %1</translation>
    </message>
    <message>
        <source>%1 holds no parameters.</source>
        <translation>%1 enthält keine Parameter.</translation>
    </message>
    <message>
        <source>%1: writing all parameters...</source>
        <translation>%1: alle Parameter werden geschrieben...</translation>
    </message>
    <message>
        <source>The sensor stopped answering while the file was written.</source>
        <translation>Der Sensor antwortete nicht mehr, während die Datei geschrieben wurde.</translation>
    </message>
    <message>
        <source>%1: the new baud rate applies after the sensor is switched off and on</source>
        <translation>%1: die neue Baudrate gilt, nachdem der Sensor aus- und wieder eingeschaltet wurde</translation>
    </message>
    <message>
        <source>applied and read back</source>
        <translation>übernommen und zurückgelesen</translation>
    </message>
    <message>
        <source>sensor</source>
        <translation>Sensor</translation>
    </message>
    <message>
        <source>the sensor holds the file&apos;s values</source>
        <translation>der Sensor hat die Werte der Datei</translation>
    </message>
    <message numerus="yes">
        <source>%n parameter(s) differ</source>
        <translation>
            <numerusform>%n Parameter weicht ab</numerusform>
            <numerusform>%n Parameter weichen ab</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>%1 lässt sich nicht schreiben: %2</translation>
    </message>
    <message>
        <source>%1: no answer for a while, looking for the sensor...</source>
        <translation>%1: seit einer Weile keine Antwort, Sensor wird gesucht...</translation>
    </message>
    <message>
        <source>%1: streaming for %2 s...</source>
        <translation>%1: Aufzeichnung für %2 s...</translation>
    </message>
    <message>
        <source>The sensor stopped answering after %1 samples.</source>
        <translation>Der Sensor antwortete nach %1 Messwerten nicht mehr.</translation>
    </message>
    <message>
        <source>%1 samples</source>
        <translation>%1 Messwerte</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>Sensor type</source>
        <translation>Sensortyp</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>%1 has no item &quot;%2&quot;; its items are: %3</source>
        <translation>%1 hat keinen Eintrag „%2“; seine Einträge sind: %3</translation>
    </message>
    <message>
        <source>%1 takes a number, not &quot;%2&quot;</source>
        <translation>%1 nimmt eine Zahl, nicht „%2“</translation>
    </message>
    <message>
        <source>%1 takes 0 or 1, not &quot;%2&quot;</source>
        <translation>%1 nimmt 0 oder 1, nicht „%2“</translation>
    </message>
    <message>
        <source>The sensor has no parameter %1</source>
        <translation>Der Sensor hat keinen Parameter %1</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 nimmt keinen Wert</translation>
    </message>
    <message>
        <source>The catalogue %1 lists no sensor type.</source>
        <translation>Der Katalog %1 enthält keinen Sensortyp.</translation>
    </message>
    <message>
        <source>The port %1 could not be opened: %2</source>
        <translation>Der Anschluss %1 ließ sich nicht öffnen: %2</translation>
    </message>
    <message>
        <source>No sensor answered on %1.</source>
        <translation>Auf %1 antwortete kein Sensor.</translation>
    </message>
    <message>
        <source>The sensor on %1 (group %2, type %3) is not in the catalogue.</source>
        <translation>Der Sensor an %1 (Gruppe %2, Typ %3) steht nicht im Katalog.</translation>
    </message>
    <message>
        <source>%1: %2 is not sent while pin 2 is an analog output</source>
        <translation>%1: %2 wird nicht gesendet, solange Pin 2 ein Analogausgang ist</translation>
    </message>
    <message>
        <source>Ports at a time.</source>
        <translation>Anschlüsse gleichzeitig.</translation>
    </message>
    <message>
        <source>count</source>
        <translation>Anzahl</translation>
    </message>
    <message>
        <source>Not a network port: %1 (write %2, PORT from 1 to 65535, an IPv6 address in brackets)</source>
        <translation>Kein Netzwerkanschluss: %1 (Form %2, PORT von 1 bis 65535, eine IPv6-Adresse in eckigen Klammern)</translation>
    </message>
    <message>
        <source>A port was given twice.</source>
        <translation>Ein Anschluss wurde zweimal angegeben.</translation>
    </message>
    <message>
        <source>--jobs takes a whole number from 1 to %1.</source>
        <translation>--jobs nimmt eine ganze Zahl von 1 bis %1.</translation>
    </message>
    <message>
        <source>The baud rate of a network port is set on its serial device server; the sensor&apos;s baud rate was not changed.</source>
        <translation>Die Baudrate eines Netzwerkanschlusses wird an seinem seriellen Geräteserver eingestellt; die Baudrate des Sensors wurde nicht geändert.</translation>
    </message>
    <message>
        <source>%1: %2 found</source>
        <translation>%1: %2 gefunden</translation>
    </message>
    <message>
        <source>The connection to %1 was lost: %2</source>
        <translation>Die Verbindung zu %1 ist abgebrochen: %2</translation>
    </message>
    <message>
        <source>set on the server</source>
        <translation>am Server eingestellt</translation>
    </message>
    <message>
        <source>%1: streaming until stopped...</source>
        <translation>%1: Live-Daten, bis quxctl beendet wird...</translation>
    </message>
    <message>
        <source>--%1 takes a whole number from %2 to %3.</source>
        <translation>--%1 nimmt eine ganze Zahl von %2 bis %3.</translation>
    </message>
    <message>
        <source>--mqtt and its options belong to the stream command.</source>
        <translation>--mqtt und seine Optionen gehören zum Befehl stream.</translation>
    </message>
    <message>
        <source>The --mqtt-... and --topic options need --mqtt URL.</source>
        <translation>Die Optionen --mqtt-... und --topic brauchen --mqtt URL.</translation>
    </message>
    <message>
        <source>Not a broker address (%1): %2</source>
        <translation>Keine Broker-Adresse (%1): %2</translation>
    </message>
    <message>
        <source>Not a topic to publish to (%1): %2</source>
        <translation>Kein Topic zum Senden (%1): %2</translation>
    </message>
    <message>
        <source>With several ports the topic needs {port}, so that each sensor has its own.</source>
        <translation>Bei mehreren Anschlüssen braucht das Topic {port}, damit jeder Sensor sein eigenes hat.</translation>
    </message>
    <message>
        <source>The broker credentials were not read: %1</source>
        <translation>Die Anmeldedaten für den Broker wurden nicht gelesen: %1</translation>
    </message>
    <message>
        <source>The broker at %1 cannot be reached: %2</source>
        <translation>Der Broker unter %1 ist nicht erreichbar: %2</translation>
    </message>
    <message>
        <source>the broker refused the connection (%1)</source>
        <translation>der Broker hat die Verbindung abgelehnt (%1)</translation>
    </message>
    <message>
        <source>no answer within %1 s</source>
        <translation>keine Antwort innerhalb von %1 s</translation>
    </message>
    <message>
        <source>%1: publishing to %2 under %3</source>
        <translation>%1: sende an %2 unter %3</translation>
    </message>
    <message>
        <source>%1: the broker connection is lost for good: %2</source>
        <translation>%1: die Verbindung zum Broker ist endgültig verloren: %2</translation>
    </message>
    <message>
        <source>%1: the broker connection is lost (%2); samples wait until it is back</source>
        <translation>%1: die Verbindung zum Broker ist verloren (%2); Messwerte warten, bis sie wieder besteht</translation>
    </message>
    <message>
        <source>%1: the broker refused the connection (%2)</source>
        <translation>%1: der Broker hat die Verbindung abgelehnt (%2)</translation>
    </message>
    <message>
        <source>%1: connected to the broker again</source>
        <translation>%1: wieder mit dem Broker verbunden</translation>
    </message>
    <message>
        <source>Usage: quxctl COMMAND --port PORT [--port PORT ...] [--jobs N] [options] [arguments]

Configures QUX family sensors from the command line, with the catalogue, the
commands, the encodings, the limits and the retry rules of the plug-in.

Commands:
  identify              find the sensor and print group, type, firmware and its
                        sensor type
  read [--json]         read all parameters: id, caption, value (display unit)
                        and, for choices, the item text
  write ID=VALUE ...    write the rows as an edit in the window would, then read
                        them back; a choice takes an item index or an item text,
                        a temperature is in the sensor&apos;s display unit
  save FILE.ovs         read all and save a settings file the window loads
  apply FILE.ovs        write a settings file&apos;s parameters to the sensor
  diff FILE.ovs         compare the sensor with a settings file
  stream [--seconds N] [--csv FILE]
                        poll the live temperature as the window does and write
                        the samples as the chart export&apos;s text; with several
                        ports one CSV with the port&apos;s name as first column
  stream --mqtt URL [--topic BASE] [--csv FILE]
                        publish the live data to a broker until stopped
                        (SIGINT, SIGTERM) or for --seconds N; CSV text only
                        with --csv

Options:
  --port PORT           serial port, or tcp://HOST:PORT for a sensor behind a
                        serial device server (raw TCP; its baud rate is set on
                        the server); repeat it to run the command on several
                        ports at once, results in the order given, a summary
                        table follows
  --jobs N              at most N ports at a time (default: all)
  --json                results as JSON
  --catalogue FILE      sensor catalogue (default: QUXfamily.xml next to quxctl)
  -h, --help            this text
  -v, --version         the version

Broker options (stream --mqtt):
  --mqtt URL            mqtt://HOST[:PORT] (1883) or mqtts://HOST[:PORT] (TLS,
                        8883)
  --topic BASE          base topic per sensor, {type} and {port} replaced
                        (default: qux/{type}/{port})
  --mqtt-credentials FILE  user name on the first line, password on the second
                        (default: QUX_MQTT_USERNAME, QUX_MQTT_PASSWORD)
  --mqtt-ca FILE        certificate authority for mqtts:// (default: the
                        system&apos;s)
  --mqtt-client-id ID   client id (default: made up by the client library)
  --mqtt-keepalive S    keep-alive in seconds (default 30)
  --mqtt-queue N        samples kept while the broker is away (default 10000)
  --mqtt-wait S         how long the first connection may take (default 10)

Results go to standard output, progress and messages to standard error.
Messages are in German when the environment&apos;s language is German.

Exit status:
  0  success
  1  diff: the sensor differs from the file
  2  bad arguments (unknown id, unknown item, a value that is not a number)
  3  no answer: the port could not be opened or no sensor answered
  4  wrong sensor: not of the family, or not the file&apos;s sensor type
  5  the settings file was refused (unreadable, not a settings file) or could
     not be written
  6  the sensor did not take a value
  7  stream --mqtt: the broker could not be reached at the start (address,
     login or certificate refused, or no answer)
With several ports the first port that failed (in the order given) gives the
status.
</source>
        <translation>Aufruf: quxctl BEFEHL --port ANSCHLUSS [--port ANSCHLUSS ...] [--jobs N] [Optionen] [Argumente]

Konfiguriert Sensoren der QUX-Familie von der Kommandozeile, mit dem Katalog, den
Befehlen, den Kodierungen, den Grenzen und den Wiederholungsregeln des Plug-ins.

Befehle:
  identify              den Sensor suchen und Gruppe, Typ, Firmware und Sensortyp
                        ausgeben
  read [--json]         alle Parameter lesen: Kennung, Bezeichnung, Wert (Anzeigeeinheit)
                        und bei Auswahlen der Eintrag
  write ID=WERT ...     die Zeilen schreiben wie eine Änderung im Fenster, dann
                        zurücklesen; eine Auswahl nimmt einen Index oder einen Eintrag,
                        eine Temperatur gilt in der Anzeigeeinheit des Sensors
  save DATEI.ovs        alle Parameter lesen und als Einstellungsdatei speichern, die das
                        Fenster lädt
  apply DATEI.ovs       die Parameter einer Einstellungsdatei in den Sensor schreiben
  diff DATEI.ovs        den Sensor mit einer Einstellungsdatei vergleichen
  stream [--seconds N] [--csv DATEI]
                        die Live-Temperatur wie das Fenster abfragen und die Messwerte
                        als Text des Diagrammexports schreiben; bei mehreren
                        Anschlüssen eine CSV mit dem Anschluss als erster Spalte
  stream --mqtt URL [--topic BASIS] [--csv DATEI]
                        die Live-Daten an einen Broker senden, bis quxctl beendet
                        wird (SIGINT, SIGTERM) oder für --seconds N; CSV-Text nur
                        mit --csv

Optionen:
  --port ANSCHLUSS      serieller Anschluss oder tcp://HOST:PORT für einen Sensor
                        hinter einem seriellen Geräteserver (reines TCP; seine
                        Baudrate wird am Server eingestellt); mehrfach angegeben
                        läuft der Befehl auf allen gleichzeitig, Ergebnisse in der
                        angegebenen Reihenfolge, mit einer Übersicht am Ende
  --jobs N              höchstens N Anschlüsse gleichzeitig (Vorgabe: alle)
  --json                Ergebnisse als JSON
  --catalogue DATEI     Sensorkatalog (Vorgabe: QUXfamily.xml neben quxctl)
  -h, --help            dieser Text
  -v, --version         die Version

Broker-Optionen (stream --mqtt):
  --mqtt URL            mqtt://HOST[:PORT] (1883) oder mqtts://HOST[:PORT] (TLS,
                        8883)
  --topic BASIS         Basis-Topic je Sensor, {type} und {port} werden ersetzt
                        (Vorgabe: qux/{type}/{port})
  --mqtt-credentials DATEI  Benutzername in der ersten Zeile, Passwort in der zweiten
                        (Vorgabe: QUX_MQTT_USERNAME, QUX_MQTT_PASSWORD)
  --mqtt-ca DATEI       Zertifizierungsstelle für mqtts:// (Vorgabe: die des
                        Systems)
  --mqtt-client-id ID   Client-Kennung (Vorgabe: von der Client-Bibliothek gewählt)
  --mqtt-keepalive S    Keep-alive in Sekunden (Vorgabe 30)
  --mqtt-queue N        Messwerte, die behalten werden, solange der Broker fehlt
                        (Vorgabe 10000)
  --mqtt-wait S         wie lange die erste Verbindung dauern darf (Vorgabe 10)

Ergebnisse gehen auf die Standardausgabe, Fortschritt und Meldungen auf die
Standardfehlerausgabe. Meldungen sind deutsch, wenn die Sprache der Umgebung Deutsch ist.

Rückgabewert:
  0  Erfolg
  1  diff: der Sensor weicht von der Datei ab
  2  falsche Argumente (unbekannte Kennung, unbekannter Eintrag, keine Zahl)
  3  keine Antwort: der Anschluss ließ sich nicht öffnen oder kein Sensor antwortete
  4  falscher Sensor: nicht aus der Familie oder nicht der Sensortyp der Datei
  5  die Einstellungsdatei wurde abgelehnt (unlesbar, keine Einstellungsdatei) oder
     ließ sich nicht schreiben
  6  der Sensor hat einen Wert nicht übernommen
  7  stream --mqtt: der Broker war beim Start nicht erreichbar (Adresse, Anmeldung
     oder Zertifikat abgelehnt, oder keine Antwort)
Bei mehreren Anschlüssen bestimmt der erste fehlgeschlagene (in der angegebenen
Reihenfolge) den Rückgabewert.
</translation>
    </message>
    <message>
        <source>An empty file name was given.</source>
        <translation>Ein leerer Dateiname wurde angegeben.</translation>
    </message>
    <message>
        <source>Writing %1 failed after %2 samples: %3</source>
        <translation>Das Schreiben von %1 ist nach %2 Messwerten fehlgeschlagen: %3</translation>
    </message>
    <message>
        <source>the output</source>
        <translation>die Ausgabe</translation>
    </message>
    <message>
        <source>write error</source>
        <translation>Schreibfehler</translation>
    </message>
</context>
</TS>
