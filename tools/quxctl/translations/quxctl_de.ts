<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>QuxCtl</name>
    <message>
        <source>Usage: quxctl COMMAND --port PORT [--port PORT ...] [options] [arguments]

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
                        the samples as the chart export&apos;s text

Options:
  --port PORT           serial port; repeat it to run the command on several
                        ports in turn (a summary table follows)
  --json                results as JSON
  --catalogue FILE      sensor catalogue (default: QUXfamily.xml next to quxctl)
  -h, --help            this text
  -v, --version         the version

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
With several ports the first port that failed gives the status.
</source>
        <translation>Aufruf: quxctl BEFEHL --port ANSCHLUSS [--port ANSCHLUSS ...] [Optionen] [Argumente]

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
                        als Text des Diagrammexports schreiben

Optionen:
  --port ANSCHLUSS      serieller Anschluss; mehrfach angegeben läuft der Befehl
                        nacheinander auf allen (mit einer Übersicht am Ende)
  --json                Ergebnisse als JSON
  --catalogue DATEI     Sensorkatalog (Vorgabe: QUXfamily.xml neben quxctl)
  -h, --help            dieser Text
  -v, --version         die Version

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
Bei mehreren Anschlüssen bestimmt der erste fehlgeschlagene den Rückgabewert.
</translation>
    </message>
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
