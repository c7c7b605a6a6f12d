<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>SensorWindow</name>
    <message>
        <source>Temperature in °C</source>
        <translation>Temperatur in °C</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>Spannung</translation>
    </message>
    <message>
        <source>File Tool Bar</source>
        <translation>Symbolleiste Datei</translation>
    </message>
    <message>
        <source>Sensor Operations Tool Bar</source>
        <translation>Symbolleiste Sensorfunktionen</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>Symbolleiste</translation>
    </message>
    <message>
        <source>Save Settings</source>
        <translation>Einstellungen speichern</translation>
    </message>
    <message>
        <source>Save sensor settings to file</source>
        <translation>Sensoreinstellungen in einer Datei speichern</translation>
    </message>
    <message>
        <source>Open Settings</source>
        <translation>Einstellungen öffnen</translation>
    </message>
    <message>
        <source>Open a saved sensor from file</source>
        <translation>Gespeicherten Sensor aus einer Datei öffnen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Supported sensors</source>
        <translation>Unterstützte Sensoren</translation>
    </message>
    <message>
        <source>DefaultSettings</source>
        <translation>Werkseinstellungen</translation>
    </message>
    <message>
        <source>Restore sensor&apos;s default settings</source>
        <translation>Werkseinstellungen des Sensors wiederherstellen</translation>
    </message>
    <message>
        <source>Export Chart Data</source>
        <translation>Diagrammdaten exportieren</translation>
    </message>
    <message>
        <source>Export chart data to file</source>
        <translation>Diagrammdaten in eine Datei exportieren</translation>
    </message>
    <message>
        <source>Enable live data</source>
        <translation>Live-Daten aktivieren</translation>
    </message>
    <message>
        <source>Clear History</source>
        <translation>Verlauf löschen</translation>
    </message>
    <message>
        <source>Clear chart history</source>
        <translation>Diagrammverlauf löschen</translation>
    </message>
    <message>
        <source>Print chart view</source>
        <translation>Diagrammansicht drucken</translation>
    </message>
    <message>
        <source>Print current chart view</source>
        <translation>Aktuelle Diagrammansicht drucken</translation>
    </message>
    <message>
        <source>Export chart view</source>
        <translation>Diagrammansicht exportieren</translation>
    </message>
    <message>
        <source>Export current chart view</source>
        <translation>Aktuelle Diagrammansicht exportieren</translation>
    </message>
    <message>
        <source>Output 1</source>
        <translation>Ausgang 1</translation>
    </message>
    <message>
        <source>Output 1 led</source>
        <translation>LED Ausgang 1</translation>
    </message>
    <message>
        <source>Output 2</source>
        <translation>Ausgang 2</translation>
    </message>
    <message>
        <source>Output 2 led</source>
        <translation>LED Ausgang 2</translation>
    </message>
    <message>
        <source>Output 3</source>
        <translation>Ausgang 3</translation>
    </message>
    <message>
        <source>Output 3 led</source>
        <translation>LED Ausgang 3</translation>
    </message>
    <message>
        <source>Switch to FP</source>
        <translation>Auf FP umschalten</translation>
    </message>
    <message>
        <source>Read Thresholds</source>
        <translation>Schwellwerte lesen</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>Property tree</source>
        <translation>Eigenschaftsbaum</translation>
    </message>
    <message>
        <source>Property Tree</source>
        <translation>Eigenschaftsbaum</translation>
    </message>
    <message>
        <source>Temperature in °F</source>
        <translation>Temperatur in °F</translation>
    </message>
    <message>
        <source>Connecting to sensor...</source>
        <translation>Verbindung zum Sensor wird hergestellt...</translation>
    </message>
    <message>
        <source>The connected sensor does not match currently selected sensor, please try again with the proper sensor</source>
        <translation>Der angeschlossene Sensor entspricht nicht dem ausgewählten Sensor. Bitte versuchen Sie es mit dem passenden Sensor erneut.</translation>
    </message>
    <message>
        <source>The sensor did not respond, please make sure it is properly connected to the selected port and try again</source>
        <translation>Der Sensor antwortet nicht. Bitte prüfen Sie, ob er richtig an den ausgewählten Anschluss angeschlossen ist, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Orbexa</source>
        <translation>Orbexa</translation>
    </message>
    <message>
        <source>Sensor settings will be overwritten with the ones from PC</source>
        <translation>Die Einstellungen des Sensors werden durch die des PCs überschrieben</translation>
    </message>
    <message>
        <source>Sensor connections...</source>
        <translation>Sensorverbindung...</translation>
    </message>
    <message>
        <source>Successfuly connected ...</source>
        <translation>Erfolgreich verbunden ...</translation>
    </message>
    <message>
        <source>The new baud rate is activated after the power supply voltage is applied anew and reconnected with Orbexa.</source>
        <translation>Die neue Baudrate wird wirksam, sobald die Versorgungsspannung erneut angelegt und die Verbindung mit Orbexa neu hergestellt wurde.</translation>
    </message>
    <message>
        <source>Restore factory defaults</source>
        <translation>Werkseinstellungen wiederherstellen</translation>
    </message>
    <message>
        <source>All settings will be restored to factory defaults, continue ?</source>
        <translation>Alle Einstellungen werden auf die Werkseinstellungen zurückgesetzt. Fortfahren?</translation>
    </message>
    <message>
        <source>Do you really want to clear chart history ?</source>
        <translation>Möchten Sie den Diagrammverlauf wirklich löschen?</translation>
    </message>
    <message>
        <source>A1: </source>
        <translation>A1: </translation>
    </message>
    <message>
        <source>A2: </source>
        <translation>A2: </translation>
    </message>
    <message>
        <source>0 volt</source>
        <translation>0 Volt</translation>
    </message>
    <message>
        <source>10 volt</source>
        <translation>10 Volt</translation>
    </message>
    <message>
        <source>Voltage (V)</source>
        <translation>Spannung (V)</translation>
    </message>
    <message>
        <source>Current (mA)</source>
        <translation>Strom (mA)</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Sensor Settings (*.ovs)</source>
        <translation>Sensoreinstellungen (*.ovs)</translation>
    </message>
    <message>
        <source>Loaded settings will override the current project !</source>
        <translation>Die geladenen Einstellungen überschreiben das aktuelle Projekt!</translation>
    </message>
    <message>
        <source>Opening settings...</source>
        <translation>Einstellungen öffnen...</translation>
    </message>
    <message>
        <source>The selected settings are corupted</source>
        <translation>Die ausgewählten Einstellungen sind beschädigt</translation>
    </message>
    <message>
        <source>The selected settings are not for the current sensor</source>
        <translation>Die ausgewählten Einstellungen gehören nicht zum aktuellen Sensor</translation>
    </message>
    <message>
        <source>Saving settings...</source>
        <translation>Einstellungen werden gespeichert...</translation>
    </message>
    <message>
        <source>The selected settings hold too many properties (%1, at most %2)</source>
        <translation>Die ausgewählten Einstellungen enthalten zu viele Eigenschaften (%1, höchstens %2)</translation>
    </message>
    <message>
        <source>The settings were not saved to %1: %2. A file of that name is unchanged.</source>
        <translation>Die Einstellungen wurden nicht in %1 gespeichert: %2. Eine Datei dieses Namens bleibt unverändert.</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Signal</source>
        <translation>Signal</translation>
    </message>
    <message>
        <source>The baud rate of a network port is set on its serial device server, not by Orbexa. The sensor&apos;s baud rate was not changed.</source>
        <translation>Die Baudrate eines Netzwerkanschlusses wird an seinem seriellen Geräteserver eingestellt, nicht von Orbexa. Die Baudrate des Sensors wurde nicht geändert.</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
    <message>
        <source>it is a device, pipe or socket, not a file</source>
        <translation>es ist ein Gerät, eine Pipe oder ein Socket, keine Datei</translation>
    </message>
    <message>
        <source>The selected settings file does not exist</source>
        <translation>Die ausgewählte Einstellungsdatei existiert nicht</translation>
    </message>
    <message>
        <source>The selected settings file is a folder, not a file</source>
        <translation>Die ausgewählte Einstellungsdatei ist ein Ordner, keine Datei</translation>
    </message>
    <message>
        <source>The selected settings file is a device, pipe or socket, not a file</source>
        <translation>Die ausgewählte Einstellungsdatei ist ein Gerät, eine Pipe oder ein Socket, keine Datei</translation>
    </message>
    <message>
        <source>The selected settings file cannot be read: %1</source>
        <translation>Die ausgewählte Einstellungsdatei kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The selected settings file is too large for the memory available (%1 MB, at most %2 MB)</source>
        <translation>Die ausgewählte Einstellungsdatei ist zu groß für den verfügbaren Speicher (%1 MB, höchstens %2 MB)</translation>
    </message>
    <message>
        <source>Publish live data</source>
        <translation>Live-Daten veröffentlichen</translation>
    </message>
    <message>
        <source>Publish the live data to the message broker set in the preferences (Ctrl+Shift+P)</source>
        <translation>Die Live-Daten an den in den Einstellungen gewählten Message-Broker senden (Strg+Umschalt+P)</translation>
    </message>
    <message>
        <source>Ctrl+Shift+P</source>
        <translation>Ctrl+Shift+P</translation>
    </message>
    <message>
        <source>no broker is set in the preferences</source>
        <translation>in den Einstellungen ist kein Broker eingetragen</translation>
    </message>
    <message>
        <source>not a broker address (%1): %2</source>
        <translation>keine Broker-Adresse (%1): %2</translation>
    </message>
    <message>
        <source>not a topic to publish to (%1): %2</source>
        <translation>kein Topic, an das veröffentlicht werden kann (%1): %2</translation>
    </message>
    <message>
        <source>the broker login was not read: %1</source>
        <translation>die Anmeldedaten für den Broker wurden nicht gelesen: %1</translation>
    </message>
    <message>
        <source>Not publishing: %1</source>
        <translation>Keine Veröffentlichung: %1</translation>
    </message>
    <message>
        <source>Publishing to %1</source>
        <translation>Veröffentlicht an %1</translation>
    </message>
    <message>
        <source>Connecting to the broker at %1...</source>
        <translation>Verbindung zum Broker %1 wird aufgebaut...</translation>
    </message>
    <message>
        <source>The broker at %1 cannot be reached (%2); samples wait until it is back</source>
        <translation>Der Broker %1 ist nicht erreichbar (%2); die Messwerte warten, bis er wieder da ist</translation>
    </message>
    <message>
        <source>Not publishing: the broker at %1 failed: %2</source>
        <translation>Keine Veröffentlichung: der Broker %1 ist gescheitert: %2</translation>
    </message>
    <message>
        <source>The broker at %1 refused the connection: %2</source>
        <translation>Der Broker %1 hat die Verbindung abgelehnt: %2</translation>
    </message>
</context>
<context>
    <name>connectionSwitchingDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>PC -&gt; Sensor</source>
        <translation>PC -&gt; Sensor</translation>
    </message>
    <message>
        <source>Sensor settings will be overwritten with the ones from PC</source>
        <translation>Die Einstellungen des Sensors werden durch die des PCs überschrieben</translation>
    </message>
    <message>
        <source>Sensor -&gt; PC</source>
        <translation>Sensor -&gt; PC</translation>
    </message>
    <message>
        <source>PC settings will be overwritten with the ones from the Sensor</source>
        <translation>Die Einstellungen des PCs werden durch die des Sensors überschrieben</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
</TS>
