<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>TWFolderPanel</name>
    <message>
        <source>Choose Folders to Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWMainWindowController</name>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle advanced/standard mode</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWSizeField</name>
    <message>
        <source>Whole numbers only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too large</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>advancedView</name>
    <message>
        <source>&amp;Look in:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Home folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All local volumes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose folders…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Files are duplicates when they have the same</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;identical</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;similar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Si&amp;ze</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;reation date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Modification date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Extension</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Type code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Creat&amp;or code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compare resource for&amp;ks too</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In&amp;visible files and folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The insides of &amp;packages (a package counts as one file)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Symbolic links and &amp;aliases</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Files smaller t&amp;han</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>KiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Files lar&amp;ger than</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Extensions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter by e&amp;xtension</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only these</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All but these</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add an extension</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove the selected extensions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type codes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter by type co&amp;de</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add a type code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove the selected type codes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Creator codes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter b&amp;y creator code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add a creator code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove the selected creator codes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find Duplicates</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>standardView</name>
    <message>
        <source>&amp;Look in:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Home folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All local volumes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose folders…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Files are duplicates when they have the same</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;identical</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;similar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Si&amp;ze</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;reation date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In&amp;visible files and folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The insides of &amp;packages (a package counts as one file)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fil&amp;es</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size bound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>smaller than</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>larger than</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>KiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find Duplicates</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
