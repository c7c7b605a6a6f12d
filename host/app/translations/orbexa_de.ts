<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BrokerSettings</name>
    <message>
        <source>Not a broker address: %1
Write mqtt://HOST[:PORT] or mqtts://HOST[:PORT].</source>
        <translation>Keine Broker-Adresse: %1
Schreiben Sie mqtt://HOST[:PORT] oder mqtts://HOST[:PORT].</translation>
    </message>
    <message>
        <source>A broker address holds no user name or password; give a credentials file instead.</source>
        <translation>Eine Broker-Adresse enthält keinen Benutzernamen und kein Passwort; geben Sie stattdessen eine Datei mit den Anmeldedaten an.</translation>
    </message>
    <message>
        <source>A topic to publish to holds no wildcards (+ or #): %1</source>
        <translation>Ein Topic zum Veröffentlichen enthält keine Platzhalter (+ oder #): %1</translation>
    </message>
    <message>
        <source>Not a topic to publish to: %1</source>
        <translation>Kein Topic, an das veröffentlicht werden kann: %1</translation>
    </message>
    <message>
        <source>The credentials file %1 cannot be read.</source>
        <translation>Die Datei mit den Anmeldedaten %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The certificate authority file %1 cannot be read.</source>
        <translation>Die Datei der Zertifizierungsstelle %1 kann nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>Orbexa::Internal::CommandLine</name>
    <message>
        <source>Orbexa sensor configuration host: loads sensor plug-ins and opens their sensor windows.</source>
        <translation>Orbexa-Sensorkonfiguration: lädt Sensor-Plug-ins und öffnet deren Sensorfenster.</translation>
    </message>
    <message>
        <source>path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>User interface language: en or de.</source>
        <translation>Sprache der Oberfläche: en oder de.</translation>
    </message>
    <message>
        <source>code</source>
        <translation>Kürzel</translation>
    </message>
    <message>
        <source>Starts in presentation mode.</source>
        <translation>Startet im Präsentationsmodus.</translation>
    </message>
    <message>
        <source>Saves an image of the main window to &lt;file&gt; (with --quit-after: at that time).</source>
        <translation>Speichert ein Bild des Hauptfensters in &lt;Datei&gt; (mit --quit-after: zu diesem Zeitpunkt).</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Quits after &lt;seconds&gt;.</source>
        <translation>Beendet das Programm nach &lt;Sekunden&gt;.</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>Sekunden</translation>
    </message>
    <message>
        <source>Loads the plug-ins from &lt;dir&gt; instead of the plug-in folder next to the program.</source>
        <translation>Lädt die Plug-ins aus &lt;Ordner&gt; statt aus dem Plug-in-Ordner neben dem Programm.</translation>
    </message>
    <message>
        <source>dir</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Unexpected argument: %1</source>
        <translation>Unerwartetes Argument: %1</translation>
    </message>
    <message>
        <source>--port needs a port name.</source>
        <translation>--port braucht den Namen einer Schnittstelle.</translation>
    </message>
    <message>
        <source>--sensor needs a sensor name.</source>
        <translation>--sensor braucht einen Sensornamen.</translation>
    </message>
    <message>
        <source>Unknown language &quot;%1&quot;; use en or de.</source>
        <translation>Unbekannte Sprache „%1“; erlaubt sind en und de.</translation>
    </message>
    <message>
        <source>--quit-after needs a number of seconds, not &quot;%1&quot;.</source>
        <translation>--quit-after braucht eine Anzahl Sekunden, nicht „%1“.</translation>
    </message>
    <message>
        <source>A sensor settings file (.ovs) to open in a window for its sensor type.</source>
        <translation>Eine Sensoreinstellungsdatei (.ovs), die in einem Fenster ihres Sensortyps geöffnet wird.</translation>
    </message>
    <message>
        <source>Adds a serial port (for example a pseudo-terminal) or a network port tcp://HOST:PORT (a serial device server) to the port list. May be given more than once.</source>
        <translation>Nimmt eine serielle Schnittstelle (zum Beispiel ein Pseudo-Terminal) oder eine Netzwerkschnittstelle tcp://HOST:PORT (einen seriellen Geräteserver) in die Schnittstellenliste auf. Kann mehrfach angegeben werden.</translation>
    </message>
    <message>
        <source>Not a network port: %1 (write %2, PORT from 1 to 65535, an IPv6 address in brackets)</source>
        <translation>Keine Netzwerkschnittstelle: %1 (Form %2, PORT von 1 bis 65535, eine IPv6-Adresse in eckigen Klammern)</translation>
    </message>
    <message>
        <source>Opens a window for the sensor type &lt;name&gt; at start. May be given more than once: the n-th window connects to the n-th port given with --port, if any.</source>
        <translation>Öffnet beim Start ein Fenster für den Sensortyp &lt;Name&gt;. Kann mehrfach angegeben werden: das n-te Fenster verbindet sich mit der n-ten mit --port angegebenen Schnittstelle, sofern vorhanden.</translation>
    </message>
</context>
<context>
    <name>Orbexa::Internal::LogDock</name>
    <message>
        <source>Log</source>
        <translation>Protokoll</translation>
    </message>
</context>
<context>
    <name>Orbexa::Internal::MainWindow</name>
    <message>
        <source>Orbexa Sensor Configuration</source>
        <translation>Orbexa Sensorkonfiguration</translation>
    </message>
    <message>
        <source>&amp;Open Sensor</source>
        <translation>Sensor ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Opens the sensor selected in the sensor list</source>
        <translation>Öffnet den in der Sensorliste ausgewählten Sensor</translation>
    </message>
    <message>
        <source>Open &amp;Settings...</source>
        <translation>&amp;Einstellungen laden...</translation>
    </message>
    <message>
        <source>Loads a sensor settings file (*.ovs) into the active sensor window</source>
        <translation>Lädt eine Sensor-Einstellungsdatei (*.ovs) in das aktive Sensorfenster</translation>
    </message>
    <message>
        <source>&amp;Close Window</source>
        <translation>Fenster &amp;schließen</translation>
    </message>
    <message>
        <source>Close &amp;All Windows</source>
        <translation>&amp;Alle Fenster schließen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Hide Property Tree</source>
        <translation>&amp;Parameterbaum ausblenden</translation>
    </message>
    <message>
        <source>&amp;Presentation Mode</source>
        <translation>P&amp;räsentationsmodus</translation>
    </message>
    <message>
        <source>&amp;Scan for Sensors...</source>
        <translation>Nach Sensoren &amp;suchen...</translation>
    </message>
    <message>
        <source>Probes serial ports for connected sensors</source>
        <translation>Sucht an den seriellen Schnittstellen nach angeschlossenen Sensoren</translation>
    </message>
    <message>
        <source>&amp;Preferences...</source>
        <translation>Ein&amp;stellungen...</translation>
    </message>
    <message>
        <source>&amp;Tile</source>
        <translation>&amp;Nebeneinander</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>&amp;Überlappend</translation>
    </message>
    <message>
        <source>Ne&amp;xt Window</source>
        <translation>&amp;Nächstes Fenster</translation>
    </message>
    <message>
        <source>Pre&amp;vious Window</source>
        <translation>&amp;Vorheriges Fenster</translation>
    </message>
    <message>
        <source>&amp;Plug-ins...</source>
        <translation>&amp;Plug-ins...</translation>
    </message>
    <message>
        <source>&amp;About Orbexa</source>
        <translation>&amp;Über Orbexa</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Extras</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Sprache</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Main Toolbar</source>
        <translation>Hauptwerkzeugleiste</translation>
    </message>
    <message>
        <source>Sensors</source>
        <translation>Sensoren</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Scan...</source>
        <translation>Suchen...</translation>
    </message>
    <message>
        <source>No serial port</source>
        <translation>Keine serielle Schnittstelle</translation>
    </message>
    <message numerus="yes">
        <source>%n serial port(s)</source>
        <translation>
            <numerusform>%n serielle Schnittstelle</numerusform>
            <numerusform>%n serielle Schnittstellen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 lists %n sensor type(s).</source>
        <translation>
            <numerusform>%1 bietet %n Sensortyp an.</numerusform>
            <numerusform>%1 bietet %n Sensortypen an.</numerusform>
        </translation>
    </message>
    <message>
        <source>No plug-in was loaded from %1.</source>
        <translation>Aus %1 wurde kein Plug-in geladen.</translation>
    </message>
    <message>
        <source>No plug-in offers a sensor named &quot;%1&quot;.</source>
        <translation>Kein Plug-in bietet einen Sensor namens „%1“ an.</translation>
    </message>
    <message>
        <source>Connecting %1 to %2.</source>
        <translation>Verbinde %1 mit %2.</translation>
    </message>
    <message>
        <source>No sensor type of the catalogue has group %1 and type %2, so the sensor found on %3 cannot be opened.</source>
        <translation>Kein Sensortyp des Katalogs hat Gruppe %1 und Typ %2; der an %3 gefundene Sensor kann daher nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Open Sensor</source>
        <translation>Sensor öffnen</translation>
    </message>
    <message>
        <source>Opened %1.</source>
        <translation>%1 geöffnet.</translation>
    </message>
    <message>
        <source>Presentation mode on.</source>
        <translation>Präsentationsmodus ein.</translation>
    </message>
    <message>
        <source>Presentation mode off.</source>
        <translation>Präsentationsmodus aus.</translation>
    </message>
    <message>
        <source>No translation for &quot;%1&quot; was found in %2.</source>
        <translation>Für „%1“ wurde in %2 keine Übersetzung gefunden.</translation>
    </message>
    <message>
        <source>Open Sensor Settings</source>
        <translation>Sensoreinstellungen laden</translation>
    </message>
    <message>
        <source>Sensor settings (*.ovs);;All files (*)</source>
        <translation>Sensoreinstellungen (*.ovs);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Loading %1 into %2.</source>
        <translation>Lade %1 in %2.</translation>
    </message>
    <message>
        <source>Scan for Sensors</source>
        <translation>Nach Sensoren suchen</translation>
    </message>
    <message>
        <source>There is no free serial port to scan. Ports of simulated sensors can be added under Tools &gt; Preferences.</source>
        <translation>Es gibt keine freie serielle Schnittstelle zum Durchsuchen. Schnittstellen simulierter Sensoren lassen sich unter Extras &gt; Einstellungen hinzufügen.</translation>
    </message>
    <message>
        <source>Found %1 on %2.</source>
        <translation>%1 an %2 gefunden.</translation>
    </message>
    <message>
        <source>About Orbexa</source>
        <translation>Über Orbexa</translation>
    </message>
    <message numerus="yes">
        <source>&lt;h3&gt;Orbexa %1&lt;/h3&gt;&lt;p&gt;Sensor configuration host. It loads sensor plug-ins, lists their sensor types, scans serial ports for sensors and opens a window per sensor.&lt;/p&gt;&lt;p&gt;%n plug-in(s) loaded.&lt;/p&gt;</source>
        <translation>
            <numerusform>&lt;h3&gt;Orbexa %1&lt;/h3&gt;&lt;p&gt;Programm zur Sensorkonfiguration. Es lädt Sensor-Plug-ins, listet deren Sensortypen auf, sucht an seriellen Schnittstellen nach Sensoren und öffnet für jeden Sensor ein Fenster.&lt;/p&gt;&lt;p&gt;%n Plug-in geladen.&lt;/p&gt;</numerusform>
            <numerusform>&lt;h3&gt;Orbexa %1&lt;/h3&gt;&lt;p&gt;Programm zur Sensorkonfiguration. Es lädt Sensor-Plug-ins, listet deren Sensortypen auf, sucht an seriellen Schnittstellen nach Sensoren und öffnet für jeden Sensor ein Fenster.&lt;/p&gt;&lt;p&gt;%n Plug-ins geladen.&lt;/p&gt;</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 is not opened: %2</source>
        <translation>%1 wird nicht geöffnet: %2</translation>
    </message>
    <message>
        <source>%1 is not opened: it belongs to the plug-in %2, which is not loaded.</source>
        <translation>%1 wird nicht geöffnet: Die Datei gehört zum Plug-in %2, das nicht geladen ist.</translation>
    </message>
    <message>
        <source>%1 is back: reconnecting %2.</source>
        <translation>%1 ist wieder da: %2 wird neu verbunden.</translation>
    </message>
</context>
<context>
    <name>Orbexa::Internal::PluginLoader</name>
    <message>
        <source>%1 is not a shared library; skipped.</source>
        <translation>%1 ist keine dynamische Bibliothek und wird übersprungen.</translation>
    </message>
    <message>
        <source>%1 could not be loaded: %2</source>
        <translation>%1 konnte nicht geladen werden: %2</translation>
    </message>
    <message>
        <source>%1 is not an Orbexa plug-in, it lacks %2; skipped.</source>
        <translation>%1 ist kein Orbexa-Plug-in, es fehlt %2; übersprungen.</translation>
    </message>
    <message>
        <source>%1 gives no plug-in name; skipped.</source>
        <translation>%1 nennt keinen Plug-in-Namen und wird übersprungen.</translation>
    </message>
    <message>
        <source>The plug-in folder %1 does not exist.</source>
        <translation>Der Plug-in-Ordner %1 existiert nicht.</translation>
    </message>
    <message>
        <source>%1: a plug-in named %2 is already loaded from %3; skipped.</source>
        <translation>%1: Ein Plug-in namens %2 ist bereits aus %3 geladen; übersprungen.</translation>
    </message>
    <message>
        <source>Loaded plug-in %1 %2 (%3) from %4.</source>
        <translation>Plug-in %1 %2 (%3) aus %4 geladen.</translation>
    </message>
</context>
<context>
    <name>Orbexa::Internal::PluginsDialog</name>
    <message>
        <source>Installed Plug-ins</source>
        <translation>Installierte Plug-ins</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Communication</source>
        <translation>Kommunikation</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>No plug-in is loaded. See the log for the reasons.</source>
        <translation>Es ist kein Plug-in geladen. Die Gründe stehen im Protokoll.</translation>
    </message>
    <message numerus="yes">
        <source>%n plug-in(s) loaded.</source>
        <translation>
            <numerusform>%n Plug-in geladen.</numerusform>
            <numerusform>%n Plug-ins geladen.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Orbexa::Internal::PreferencesDialog</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Serial ports to offer in addition to those the system lists, one per line (for example the pseudo-terminal of a simulated sensor). A path is offered only while it exists.</source>
        <translation>Serielle Schnittstellen, die zusätzlich zu den vom System gemeldeten angeboten werden, eine pro Zeile (zum Beispiel das Pseudo-Terminal eines simulierten Sensors). Ein Pfad wird nur angeboten, solange er existiert.</translation>
    </message>
    <message>
        <source>Extra ports:</source>
        <translation>Weitere Schnittstellen:</translation>
    </message>
    <message>
        <source>Reconnect when the port comes back</source>
        <translation>Neu verbinden, wenn die Schnittstelle wieder da ist</translation>
    </message>
    <message>
        <source>A sensor window that went offline because its port was lost (an adapter unplugged) reads the sensor again, without asking, once the port is back.</source>
        <translation>Ein Sensorfenster, das offline gegangen ist, weil seine Schnittstelle verloren ging (ein Adapter wurde abgezogen), liest den Sensor ohne Rückfrage erneut ein, sobald die Schnittstelle wieder da ist.</translation>
    </message>
    <message>
        <source>Serial device servers to offer next to the serial ports, one per line as tcp://HOST:PORT. The server sets the baud rate.</source>
        <translation>Serielle Geräteserver, die neben den seriellen Schnittstellen angeboten werden, einer pro Zeile als tcp://HOST:PORT. Die Baudrate stellt der Server ein.</translation>
    </message>
    <message>
        <source>Network ports:</source>
        <translation>Netzwerkschnittstellen:</translation>
    </message>
    <message>
        <source>Not a network port: %1
Write %2, PORT from 1 to 65535, an IPv6 address in brackets.</source>
        <translation>Keine Netzwerkschnittstelle: %1
Schreiben Sie %2, PORT von 1 bis 65535, eine IPv6-Adresse in eckigen Klammern.</translation>
    </message>
    <message>
        <source>Message broker for &quot;Publish live data&quot;</source>
        <translation>Message-Broker für &quot;Live-Daten veröffentlichen&quot;</translation>
    </message>
    <message>
        <source>{type} and {port} are replaced by the sensor type and port; empty: qux/{type}/{port}.</source>
        <translation>{type} und {port} werden durch Sensortyp und Port ersetzt; leer: qux/{type}/{port}.</translation>
    </message>
    <message>
        <source>A file with the user name on the first line and the password on the second; empty: QUX_MQTT_USERNAME and QUX_MQTT_PASSWORD, or no login.</source>
        <translation>Eine Datei mit dem Benutzernamen in der ersten und dem Passwort in der zweiten Zeile; leer: QUX_MQTT_USERNAME und QUX_MQTT_PASSWORD oder keine Anmeldung.</translation>
    </message>
    <message>
        <source>The certificate authority that signed the broker&apos;s certificate (mqtts://); empty: the system&apos;s.</source>
        <translation>Die Zertifizierungsstelle, die das Zertifikat des Brokers signiert hat (mqtts://); leer: die des Systems.</translation>
    </message>
    <message>
        <source>Each window appends its port; empty: made up.</source>
        <translation>Jedes Fenster hängt seinen Port an; leer: wird erzeugt.</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Samples kept while the broker is away, the oldest dropped first.</source>
        <translation>Messwerte, die aufbewahrt werden, solange der Broker fehlt; die ältesten werden zuerst verworfen.</translation>
    </message>
    <message>
        <source>Broker:</source>
        <translation>Broker:</translation>
    </message>
    <message>
        <source>Base topic:</source>
        <translation>Basis-Topic:</translation>
    </message>
    <message>
        <source>Credentials file:</source>
        <translation>Anmeldedaten-Datei:</translation>
    </message>
    <message>
        <source>Certificate authority:</source>
        <translation>Zertifizierungsstelle:</translation>
    </message>
    <message>
        <source>Client id:</source>
        <translation>Client-ID:</translation>
    </message>
    <message>
        <source>Keep-alive:</source>
        <translation>Keep-alive:</translation>
    </message>
    <message>
        <source>Queue size:</source>
        <translation>Größe der Warteschlange:</translation>
    </message>
</context>
<context>
    <name>Orbexa::Internal::ScanDialog</name>
    <message>
        <source>Scan for Sensors</source>
        <translation>Nach Sensoren suchen</translation>
    </message>
    <message>
        <source>Ports to scan (a port without a sensor takes about 4 seconds):</source>
        <translation>Zu durchsuchende Schnittstellen (eine Schnittstelle ohne Sensor dauert etwa 4 Sekunden):</translation>
    </message>
    <message>
        <source>Found sensors:</source>
        <translation>Gefundene Sensoren:</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Schnittstelle</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>Sensor</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>&amp;Start Scan</source>
        <translation>Suche &amp;starten</translation>
    </message>
    <message>
        <source>&amp;Cancel Scan</source>
        <translation>Suche &amp;abbrechen</translation>
    </message>
    <message>
        <source>No serial plug-in is loaded.</source>
        <translation>Es ist kein Plug-in für serielle Sensoren geladen.</translation>
    </message>
    <message>
        <source>Choose the ports and start the scan.</source>
        <translation>Schnittstellen wählen und die Suche starten.</translation>
    </message>
    <message>
        <source>Cancelling: waiting for the port being probed to give up...</source>
        <translation>Abbruch: warte, bis die gerade geprüfte Schnittstelle aufgibt...</translation>
    </message>
    <message>
        <source>Probing %1 (%2 of %3)...</source>
        <translation>Prüfe %1 (%2 von %3)...</translation>
    </message>
    <message numerus="yes">
        <source>Scan cancelled; %n sensor(s) found.</source>
        <translation>
            <numerusform>Suche abgebrochen; %n Sensor gefunden.</numerusform>
            <numerusform>Suche abgebrochen; %n Sensoren gefunden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Scan finished; %n sensor(s) found.</source>
        <translation>
            <numerusform>Suche beendet; %n Sensor gefunden.</numerusform>
            <numerusform>Suche beendet; %n Sensoren gefunden.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Orbexa::Internal::SensorListModel</name>
    <message>
        <source>Unknown sensor (group %1, type %2)</source>
        <translation>Unbekannter Sensor (Gruppe %1, Typ %2)</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>Sensor</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Schnittstelle</translation>
    </message>
    <message>
        <source>Found on %1: group %2, type %3, firmware %4.</source>
        <translation>Gefunden an %1: Gruppe %2, Typ %3, Firmware %4.</translation>
    </message>
    <message>
        <source>No sensor type of the catalogue has this group and type.</source>
        <translation>Kein Sensortyp des Katalogs hat diese Gruppe und diesen Typ.</translation>
    </message>
</context>
<context>
    <name>Orbexa::Internal::SensorSubWindow</name>
    <message>
        <source>The plug-in %1 returned no interface for the sensor %2.</source>
        <translation>Das Plug-in %1 hat für den Sensor %2 keine Schnittstelle geliefert.</translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <translation>%1 an %2</translation>
    </message>
</context>
<context>
    <name>Orbexa::Internal::SettingsFileSensor</name>
    <message>
        <source>The file names no plug-in or no sensor type.</source>
        <translation>Die Datei nennt kein Plug-in oder keinen Sensortyp.</translation>
    </message>
    <message>
        <source>The file is not a sensor settings file.</source>
        <translation>Die Datei ist keine Sensoreinstellungsdatei.</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
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
</TS>
