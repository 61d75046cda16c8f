<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>TWFilesTableModel</name>
    <message>
        <source>Trash</source>
        <translation>Papierkorb</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Änderungsdatum</translation>
    </message>
    <message>
        <source>Date Created</source>
        <translation>Erstellungsdatum</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Extension</source>
        <translation>Endung</translation>
    </message>
    <message>
        <source>Creator</source>
        <translation>Ersteller</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
</context>
<context>
    <name>TWFolderPanel</name>
    <message>
        <source>Choose Folders to Search</source>
        <translation>Zu durchsuchende Ordner auswählen</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
</context>
<context>
    <name>TWGroupsTableModel</name>
    <message>
        <source>%1 like &apos;%2&apos; (%3)</source>
        <translation>%1 wie „%2“ (%3)</translation>
    </message>
    <message>
        <source>Duplicate groups</source>
        <translation>Gruppen von Duplikaten</translation>
    </message>
</context>
<context>
    <name>TWMainWindowController</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Toggle advanced/standard mode</source>
        <translation>Zwischen erweiterter und Standardansicht wechseln</translation>
    </message>
</context>
<context>
    <name>TWPathViewModel</name>
    <message>
        <source>Trash</source>
        <translation>Papierkorb</translation>
    </message>
</context>
<context>
    <name>TWResultsWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>Move to &amp;Trash</source>
        <translation>In den &amp;Papierkorb verschieben</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>&amp;Reveal in File Manager</source>
        <translation>Im Dateimanager &amp;zeigen</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>&amp;Invert Selection</source>
        <translation>Auswahl &amp;umkehren</translation>
    </message>
    <message>
        <source>Ctrl+I</source>
        <translation>Ctrl+I</translation>
    </message>
    <message>
        <source>Select &amp;Newest</source>
        <translation>&amp;Neueste auswählen</translation>
    </message>
    <message>
        <source>Select &amp;Oldest</source>
        <translation>&amp;Älteste auswählen</translation>
    </message>
    <message>
        <source>Select &amp;Largest</source>
        <translation>&amp;Größte auswählen</translation>
    </message>
    <message>
        <source>Select &amp;Smallest</source>
        <translation>K&amp;leinste auswählen</translation>
    </message>
    <message>
        <source>Date &amp;Modified</source>
        <translation>&amp;Änderungsdatum</translation>
    </message>
    <message>
        <source>Date &amp;Created</source>
        <translation>&amp;Erstellungsdatum</translation>
    </message>
    <message>
        <source>&amp;Size</source>
        <translation>&amp;Größe</translation>
    </message>
    <message>
        <source>&amp;Kind</source>
        <translation>&amp;Art</translation>
    </message>
    <message>
        <source>&amp;Folder</source>
        <translation>&amp;Ordner</translation>
    </message>
    <message>
        <source>&amp;Extension</source>
        <translation>End&amp;ung</translation>
    </message>
    <message>
        <source>C&amp;reator Code</source>
        <translation>E&amp;rstellercode</translation>
    </message>
    <message>
        <source>&amp;Type Code</source>
        <translation>&amp;Typcode</translation>
    </message>
    <message>
        <source>&amp;Larger Icons</source>
        <translation>G&amp;rößere Symbole</translation>
    </message>
    <message>
        <source>Ctrl++</source>
        <translation>Ctrl++</translation>
    </message>
    <message>
        <source>S&amp;maller Icons</source>
        <translation>K&amp;leinere Symbole</translation>
    </message>
    <message>
        <source>Ctrl+-</source>
        <translation>Ctrl+-</translation>
    </message>
    <message>
        <source>&amp;Close Window</source>
        <translation>Fenster &amp;schließen</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
</context>
<context>
    <name>TWResultsWindowController</name>
    <message>
        <source>Searching %1 places</source>
        <translation>%1 Orte werden durchsucht</translation>
    </message>
    <message>
        <source>Searching %1</source>
        <translation>%1 wird durchsucht</translation>
    </message>
    <message>
        <source>Search Again</source>
        <translation>Erneut suchen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Multiple files selected...</source>
        <translation>Mehrere Dateien ausgewählt …</translation>
    </message>
    <message>
        <source>File was moved...</source>
        <translation>Die Datei wurde verschoben …</translation>
    </message>
    <message>
        <source>The selection holds every copy of %1 groups. Move them all to the Trash?</source>
        <translation>Die Auswahl enthält alle Exemplare von %1 Gruppen. Alle in den Papierkorb verschieben?</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>In den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>The file at %1 has changed since the search and was not moved to the Trash.</source>
        <translation>Die Datei unter %1 hat sich seit der Suche geändert und wurde nicht in den Papierkorb verschoben.</translation>
    </message>
    <message>
        <source>Couldn&apos;t move file at path : %1</source>
        <translation>Die Datei unter %1 konnte nicht verschoben werden.</translation>
    </message>
</context>
<context>
    <name>TWSizeField</name>
    <message>
        <source>Whole numbers only</source>
        <translation>Nur ganze Zahlen</translation>
    </message>
    <message>
        <source>Too large</source>
        <translation>Zu groß</translation>
    </message>
</context>
<context>
    <name>TWStatusText</name>
    <message>
        <source>Searching...</source>
        <translation>Suche läuft …</translation>
    </message>
    <message>
        <source>Cleaning up...</source>
        <translation>Aufräumen …</translation>
    </message>
    <message>
        <source>Found %qu matches in %qu groups...</source>
        <translation>%qu Treffer in %qu Gruppen gefunden …</translation>
    </message>
    <message>
        <source>Found %qu possible matches in %qu groups...</source>
        <translation>%qu mögliche Treffer in %qu Gruppen gefunden …</translation>
    </message>
    <message>
        <source>Finding exact content matches...</source>
        <translation>Exakt gleiche Inhalte werden gesucht …</translation>
    </message>
    <message>
        <source>Finding exact content matches...checking file %ld of %ld</source>
        <translation>Exakt gleiche Inhalte werden gesucht … Datei %ld von %ld wird geprüft</translation>
    </message>
    <message>
        <source>Found %d files in %d matching groups (%@).</source>
        <translation>%d Dateien in %d passenden Gruppen gefunden (%@).</translation>
    </message>
</context>
<context>
    <name>advancedView</name>
    <message>
        <source>&amp;Look in:</source>
        <translation>&amp;Suchen in:</translation>
    </message>
    <message>
        <source>Home folder</source>
        <translation>Persönlicher Ordner</translation>
    </message>
    <message>
        <source>All local volumes</source>
        <translation>Alle lokalen Datenträger</translation>
    </message>
    <message>
        <source>Choose folders…</source>
        <translation>Ordner auswählen …</translation>
    </message>
    <message>
        <source>Files are duplicates when they have the same</source>
        <translation>Dateien sind Duplikate bei Übereinstimmung von</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>&amp;identical</source>
        <translation>&amp;identisch</translation>
    </message>
    <message>
        <source>&amp;similar</source>
        <translation>ä&amp;hnlich</translation>
    </message>
    <message>
        <source>Si&amp;ze</source>
        <translation>&amp;Größe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>Inha&amp;lt</translation>
    </message>
    <message>
        <source>C&amp;reation date</source>
        <translation>&amp;Erstellungsdatum</translation>
    </message>
    <message>
        <source>&amp;Modification date</source>
        <translation>Än&amp;derungsdatum</translation>
    </message>
    <message>
        <source>&amp;Extension</source>
        <translation>End&amp;ung</translation>
    </message>
    <message>
        <source>&amp;Type code</source>
        <translation>&amp;Typcode</translation>
    </message>
    <message>
        <source>Creat&amp;or code</source>
        <translation>Ersteller&amp;code</translation>
    </message>
    <message>
        <source>Compare resource for&amp;ks too</source>
        <translation>Auch Ressourcenzweige &amp;vergleichen</translation>
    </message>
    <message>
        <source>Leave out</source>
        <translation>Auslassen</translation>
    </message>
    <message>
        <source>In&amp;visible files and folders</source>
        <translation>Unsichtbare Dateien und Ordne&amp;r</translation>
    </message>
    <message>
        <source>The insides of &amp;packages (a package counts as one file)</source>
        <translation>Das Innere von &amp;Paketen (ein Paket zählt als eine Datei)</translation>
    </message>
    <message>
        <source>Symbolic links and &amp;aliases</source>
        <translation>Symbolische Links und &amp;Aliasse</translation>
    </message>
    <message>
        <source>Files smaller t&amp;han</source>
        <translation>Dateien &amp;kleiner als</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Size unit</source>
        <translation>Größeneinheit</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>Byte</translation>
    </message>
    <message>
        <source>KiB</source>
        <translation>KiB</translation>
    </message>
    <message>
        <source>MiB</source>
        <translation>MiB</translation>
    </message>
    <message>
        <source>GiB</source>
        <translation>GiB</translation>
    </message>
    <message>
        <source>TiB</source>
        <translation>TiB</translation>
    </message>
    <message>
        <source>Files lar&amp;ger than</source>
        <translation>Dateien gr&amp;ößer als</translation>
    </message>
    <message>
        <source>Extensions</source>
        <translation>Endungen</translation>
    </message>
    <message>
        <source>Filter by e&amp;xtension</source>
        <translation>Nach Endungen aus&amp;wählen</translation>
    </message>
    <message>
        <source>Only these</source>
        <translation>Nur diese</translation>
    </message>
    <message>
        <source>All but these</source>
        <translation>Alle außer diesen</translation>
    </message>
    <message>
        <source>Add an extension</source>
        <translation>Endung hinzufügen</translation>
    </message>
    <message>
        <source>Remove the selected extensions</source>
        <translation>Ausgewählte Endungen entfernen</translation>
    </message>
    <message>
        <source>Type codes</source>
        <translation>Typcodes</translation>
    </message>
    <message>
        <source>Filter by type co&amp;de</source>
        <translation>Nach T&amp;ypcodes auswählen</translation>
    </message>
    <message>
        <source>Add a type code</source>
        <translation>Typcode hinzufügen</translation>
    </message>
    <message>
        <source>Remove the selected type codes</source>
        <translation>Ausgewählte Typcodes entfernen</translation>
    </message>
    <message>
        <source>Creator codes</source>
        <translation>Erstellercodes</translation>
    </message>
    <message>
        <source>Filter b&amp;y creator code</source>
        <translation>Nach Erstellercodes ausw&amp;ählen</translation>
    </message>
    <message>
        <source>Add a creator code</source>
        <translation>Erstellercode hinzufügen</translation>
    </message>
    <message>
        <source>Remove the selected creator codes</source>
        <translation>Ausgewählte Erstellercodes entfernen</translation>
    </message>
    <message>
        <source>&amp;Find Duplicates</source>
        <translation>Duplikate &amp;finden</translation>
    </message>
</context>
<context>
    <name>standardView</name>
    <message>
        <source>&amp;Look in:</source>
        <translation>&amp;Suchen in:</translation>
    </message>
    <message>
        <source>Home folder</source>
        <translation>Persönlicher Ordner</translation>
    </message>
    <message>
        <source>All local volumes</source>
        <translation>Alle lokalen Datenträger</translation>
    </message>
    <message>
        <source>Choose folders…</source>
        <translation>Ordner auswählen …</translation>
    </message>
    <message>
        <source>Files are duplicates when they have the same</source>
        <translation>Dateien sind Duplikate bei Übereinstimmung von</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>&amp;identical</source>
        <translation>&amp;identisch</translation>
    </message>
    <message>
        <source>&amp;similar</source>
        <translation>ä&amp;hnlich</translation>
    </message>
    <message>
        <source>Si&amp;ze</source>
        <translation>&amp;Größe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>Inha&amp;lt</translation>
    </message>
    <message>
        <source>C&amp;reation date</source>
        <translation>&amp;Erstellungsdatum</translation>
    </message>
    <message>
        <source>Leave out</source>
        <translation>Auslassen</translation>
    </message>
    <message>
        <source>In&amp;visible files and folders</source>
        <translation>Unsichtbare Dateien und Ordne&amp;r</translation>
    </message>
    <message>
        <source>The insides of &amp;packages (a package counts as one file)</source>
        <translation>Das Innere von &amp;Paketen (ein Paket zählt als eine Datei)</translation>
    </message>
    <message>
        <source>Fil&amp;es</source>
        <translation>&amp;Dateien</translation>
    </message>
    <message>
        <source>Size bound</source>
        <translation>Größengrenze</translation>
    </message>
    <message>
        <source>smaller than</source>
        <translation>kleiner als</translation>
    </message>
    <message>
        <source>larger than</source>
        <translation>größer als</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Size unit</source>
        <translation>Größeneinheit</translation>
    </message>
    <message>
        <source>KiB</source>
        <translation>KiB</translation>
    </message>
    <message>
        <source>MiB</source>
        <translation>MiB</translation>
    </message>
    <message>
        <source>GiB</source>
        <translation>GiB</translation>
    </message>
    <message>
        <source>TiB</source>
        <translation>TiB</translation>
    </message>
    <message>
        <source>&amp;Find Duplicates</source>
        <translation>Duplikate &amp;finden</translation>
    </message>
</context>
</TS>
