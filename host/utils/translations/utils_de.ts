<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ExportDialog</name>
    <message>
        <source>Export chart data</source>
        <translation>Diagrammdaten exportieren</translation>
    </message>
    <message>
        <source>Delimiter</source>
        <translation>Trennzeichen</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tabulator</translation>
    </message>
    <message>
        <source>Comma</source>
        <translation>Komma</translation>
    </message>
    <message>
        <source>Semicolon</source>
        <translation>Semikolon</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Leerzeichen</translation>
    </message>
    <message>
        <source>Other:</source>
        <translation>Andere:</translation>
    </message>
    <message>
        <source>Preview (first 10 samples):</source>
        <translation>Vorschau (erste 10 Messwerte):</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Decimals:</source>
        <translation>Nachkommastellen:</translation>
    </message>
</context>
<context>
    <name>Utils::ConnectionStatus</name>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Getrennt</translation>
    </message>
</context>
<context>
    <name>Utils::ExportDialog</name>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Exporting chart data...</source>
        <translation>Diagrammdaten werden exportiert...</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
    <message>
        <source>it is a device, pipe or socket, not a file</source>
        <translation>es ist ein Gerät, eine Pipe oder ein Socket, keine Datei</translation>
    </message>
</context>
<context>
    <name>Utils::ProgressBarUi</name>
    <message>
        <source>Please wait</source>
        <translation>Bitte warten</translation>
    </message>
    <message>
        <source>Communicating with the sensor...</source>
        <translation>Kommunikation mit dem Sensor...</translation>
    </message>
</context>
<context>
    <name>Utils::SimpleTimeChart</name>
    <message>
        <source>On: %1</source>
        <translation>Ein: %1</translation>
    </message>
    <message>
        <source>Off: %1</source>
        <translation>Aus: %1</translation>
    </message>
    <message>
        <source>Current value: -</source>
        <translation>Aktueller Wert: -</translation>
    </message>
    <message>
        <source>Current value: %1</source>
        <translation>Aktueller Wert: %1</translation>
    </message>
    <message>
        <source>Follow</source>
        <translation>Folgen</translation>
    </message>
    <message>
        <source>Leave zoom and pan and follow the newest samples</source>
        <translation>Zoom und Verschiebung verlassen und den neuesten Messwerten folgen</translation>
    </message>
</context>
</TS>
