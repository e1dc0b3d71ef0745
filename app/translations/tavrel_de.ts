<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>QObject</name>
    <message>
        <source>only in the table</source>
        <translation>nur in der Tabelle</translation>
    </message>
    <message>
        <source>only on the VRG-500</source>
        <translation>nur auf dem VRG-500</translation>
    </message>
    <message>
        <source>Register %1</source>
        <translation>Register %1</translation>
    </message>
    <message>
        <source>%1 and %2 more</source>
        <translation>%1 und %2 weitere</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <source>Replace register %1?</source>
        <translation>Register %1 ersetzen?</translation>
    </message>
    <message>
        <source>Replace register %1</source>
        <translation>Register %1 ersetzen</translation>
    </message>
    <message>
        <source>%1 and add register %2?</source>
        <translation>%1 und Register %2 hinzufügen?</translation>
    </message>
    <message>
        <source>The clipboard holds more text than registers take.</source>
        <translation>Die Zwischenablage enthält mehr Text, als Register aufnehmen können.</translation>
    </message>
    <message>
        <source>The clipboard holds no register lines.</source>
        <translation>Die Zwischenablage enthält keine Registerzeilen.</translation>
    </message>
    <message>
        <source>Line %1 holds &quot;%2&quot;, which does not fit in one byte: &quot;%3&quot;</source>
        <translation>Zeile %1 enthält „%2“, das nicht in ein Byte passt: „%3“</translation>
    </message>
    <message>
        <source>Line %1 is register %2, outside 0 to %3: &quot;%4&quot;</source>
        <translation>Zeile %1 ist Register %2, außerhalb von 0 bis %3: „%4“</translation>
    </message>
    <message>
        <source>Line %1 is not a register: &quot;%2&quot;</source>
        <translation>Zeile %1 ist kein Register: „%2“</translation>
    </message>
    <message>
        <source>%1   %2   registers %3 to %4 (%5)</source>
        <translation>%1   %2   Register %3 bis %4 (%5)</translation>
    </message>
    <message numerus="yes">
        <source>%n field(s) differ</source>
        <translation>
            <numerusform>%n Feld weicht ab</numerusform>
            <numerusform>%n Felder weichen ab</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Registers</source>
        <translation>
            <numerusform>%n Register</numerusform>
            <numerusform>%n Registern</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replace %n registers?</source>
        <translation>
            <numerusform>%n Register ersetzen?</numerusform>
            <numerusform>%n Register ersetzen?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replace %Ln registers</source>
        <translation>
            <numerusform>%Ln Register ersetzen</numerusform>
            <numerusform>%Ln Register ersetzen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and add %Ln?</source>
        <translation>
            <numerusform>%1 und %Ln hinzufügen?</numerusform>
            <numerusform>%1 und %Ln hinzufügen?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n register(s)</source>
        <translation>
            <numerusform>%n Register</numerusform>
            <numerusform>%n Register</numerusform>
        </translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
</context>
<context>
    <name>std</name>
    <message>
        <source>Invalid .vgs file</source>
        <translation>Ungültige .vgs-Datei</translation>
    </message>
    <message>
        <source>The .vgs file had an unrecoverable corruption error.</source>
        <translation>Die .vgs-Datei ist beschädigt und kann nicht wiederhergestellt werden.</translation>
    </message>
    <message>
        <source>Register %1 holds a time that cannot be written</source>
        <translation>Register %1 enthält eine Zeit, die nicht geschrieben werden kann</translation>
    </message>
    <message>
        <source>%1 of %2 registers written; %3 may be partly written</source>
        <translation>%1 von %2 Registern geschrieben; %3 ist möglicherweise nur teilweise geschrieben</translation>
    </message>
    <message>
        <source>%1 of %2 registers written</source>
        <translation>%1 von %2 Registern geschrieben</translation>
    </message>
    <message>
        <source>%1 of %2 registers written: %3; %4 may be partly written</source>
        <translation>%1 von %2 Registern geschrieben: %3; %4 ist möglicherweise nur teilweise geschrieben</translation>
    </message>
    <message>
        <source>%1 of %2 registers written: %3</source>
        <translation>%1 von %2 Registern geschrieben: %3</translation>
    </message>
    <message>
        <source>Time %1 out of range: %2</source>
        <translation>Zeit %1 außerhalb des gültigen Bereichs: %2</translation>
    </message>
    <message>
        <source>Clip Name %1 not 8 bytes in length</source>
        <translation>Clipname %1 ist nicht 8 Bytes lang</translation>
    </message>
    <message>
        <source>Drop frame is used only at 30 frames per second.</source>
        <translation>Drop-Frame wird nur bei 30 fps verwendet.</translation>
    </message>
    <message>
        <source>At %1 frames per second the frames go up to %2.</source>
        <translation>Bei %1 fps reichen die Frames bis %2.</translation>
    </message>
    <message>
        <source>At %1 frames per second a time goes up to 23:59:59.</source>
        <translation>Bei %1 fps reicht eine Zeit bis 23:59:59.</translation>
    </message>
    <message>
        <source>In drop frame, frames 00 and 01 are skipped at the start of each minute except every tenth.</source>
        <translation>Bei Drop-Frame werden die Frames 00 und 01 zu Beginn jeder Minute übersprungen, außer in jeder zehnten.</translation>
    </message>
    <message>
        <source>Line %1 is empty.</source>
        <translation>Zeile %1 ist leer.</translation>
    </message>
    <message>
        <source>Line %1: %2 is not the header %3.</source>
        <translation>Zeile %1: %2 ist nicht die Kopfzeile %3.</translation>
    </message>
    <message>
        <source>Line %1 starts with &quot;#&quot;, but line 1 is not the header %2.</source>
        <translation>Zeile %1 beginnt mit „#“, aber Zeile 1 ist nicht die Kopfzeile %2.</translation>
    </message>
    <message>
        <source>Line %1: %2 is not a detail line.</source>
        <translation>Zeile %1: %2 ist keine Detailzeile.</translation>
    </message>
    <message>
        <source>Line %1 is a second detail line; the register&apos;s line must follow the one on line %2.</source>
        <translation>Zeile %1 ist eine zweite Detailzeile; auf die Detailzeile in Zeile %2 muss die Zeile ihres Registers folgen.</translation>
    </message>
    <message>
        <source>The file ends after the detail line on line %1, without its register&apos;s line.</source>
        <translation>Die Datei endet nach der Detailzeile in Zeile %1, ohne die Zeile ihres Registers.</translation>
    </message>
    <message>
        <source>Line %1 is register %2, but the detail line on line %3 is for register %4.</source>
        <translation>Zeile %1 ist Register %2, aber die Detailzeile in Zeile %3 gehört zu Register %4.</translation>
    </message>
    <message>
        <source>Line %1 does not agree with the detail line on line %2.</source>
        <translation>Zeile %1 stimmt nicht mit der Detailzeile in Zeile %2 überein.</translation>
    </message>
    <message>
        <source>Line %1 has only %2 fields; a register&apos;s line has %3.</source>
        <translation>Zeile %1 hat nur %2 Felder; die Zeile eines Registers hat %3.</translation>
    </message>
    <message>
        <source>Line %1 is longer than %2 bytes.</source>
        <translation>Zeile %1 ist länger als %2 Bytes.</translation>
    </message>
    <message>
        <source>Line %1 would be longer than %2 bytes once saved.</source>
        <translation>Zeile %1 wäre nach dem Speichern länger als %2 Bytes.</translation>
    </message>
    <message>
        <source>Line %1, field %2 (%3) is empty.</source>
        <translation>Zeile %1, Feld %2 (%3) ist leer.</translation>
    </message>
    <message>
        <source>Line %1, field %2 (%3): %4 is not a time (HH:MM:SS:FF or **:**:**:**).</source>
        <translation>Zeile %1, Feld %2 (%3): %4 ist keine Zeit (HH:MM:SS:FF oder **:**:**:**).</translation>
    </message>
    <message>
        <source>Line %1, field %2 (%3): %4 is out of range (-2147483648 to 2147483647).</source>
        <translation>Zeile %1, Feld %2 (%3): %4 liegt außerhalb des Bereichs (-2147483648 bis 2147483647).</translation>
    </message>
    <message>
        <source>Line %1, field %2 (%3): %4 is not a whole number.</source>
        <translation>Zeile %1, Feld %2 (%3): %4 ist keine ganze Zahl.</translation>
    </message>
    <message>
        <source>Your account lacks permission to use the serial port %1. Ask whoever looks after this computer for access to it.</source>
        <translation>Ihrem Konto fehlt die Berechtigung für die serielle Schnittstelle %1. Bitten Sie die für diesen Computer zuständige Person um Zugriff.</translation>
    </message>
    <message>
        <source>Your account lacks permission to use the serial port: %1 belongs to %2, group %3, mode %4. Add your account to the &quot;dialout&quot; group (for example: sudo usermod -aG dialout $USER), then log out and log in again.</source>
        <translation>Ihrem Konto fehlt die Berechtigung für die serielle Schnittstelle: %1 gehört %2, Gruppe %3, Modus %4. Fügen Sie Ihr Konto der Gruppe „dialout“ hinzu (zum Beispiel: sudo usermod -aG dialout $USER), melden Sie sich dann ab und wieder an.</translation>
    </message>
    <message>
        <source>Your account lacks permission to use the serial port: %1 belongs to %2, group %3, mode %4. Ask whoever looks after this computer for access to it, for example through the &quot;%3&quot; group.</source>
        <translation>Ihrem Konto fehlt die Berechtigung für die serielle Schnittstelle: %1 gehört %2, Gruppe %3, Modus %4. Bitten Sie die für diesen Computer zuständige Person um Zugriff, zum Beispiel über die Gruppe „%3“.</translation>
    </message>
    <message>
        <source>Another program is using the serial port %1. Quit that program, or choose another port, and try again.</source>
        <translation>Ein anderes Programm verwendet die serielle Schnittstelle %1. Beenden Sie dieses Programm oder wählen Sie eine andere Schnittstelle, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The serial port %1 is gone: its adapter may have been unplugged. Plug it in again and choose the port.</source>
        <translation>Die serielle Schnittstelle %1 ist nicht mehr vorhanden; ihr Adapter wurde vielleicht abgezogen. Stecken Sie ihn wieder ein und wählen Sie die Schnittstelle.</translation>
    </message>
    <message>
        <source>%1 is not a serial port. Choose another port and try again.</source>
        <translation>%1 ist keine serielle Schnittstelle. Wählen Sie eine andere Schnittstelle und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The serial port %1 could not be opened.</source>
        <translation>Die serielle Schnittstelle %1 konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>The serial port %1 could not be opened: %2.</source>
        <translation>Die serielle Schnittstelle %1 konnte nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>Register %1, machine %2: %3 %4 is not a time at %5. %6</source>
        <translation>Register %1, Maschine %2: %3 %4 ist keine Zeit bei %5. %6</translation>
    </message>
    <message>
        <source>Register %1: a VRG-500 has no register of that number</source>
        <translation>Register %1: Ein VRG-500 hat kein Register dieser Nummer</translation>
    </message>
    <message>
        <source>Line %1: the header must name each of the columns %2 once.</source>
        <translation>Zeile %1: Die Kopfzeile muss jede der Spalten %2 einmal nennen.</translation>
    </message>
    <message>
        <source>Line %1, column %2 (%3) is empty.</source>
        <translation>Zeile %1, Spalte %2 (%3) ist leer.</translation>
    </message>
    <message>
        <source>Line %1, column %2 (%3): %4 is not a time (HH:MM:SS:FF or **:**:**:**).</source>
        <translation>Zeile %1, Spalte %2 (%3): %4 ist keine Zeit (HH:MM:SS:FF oder **:**:**:**).</translation>
    </message>
    <message>
        <source>Line %1, column %2 (%3): %4 is out of range (-2147483648 to 2147483647).</source>
        <translation>Zeile %1, Spalte %2 (%3): %4 liegt außerhalb des Bereichs (-2147483648 bis 2147483647).</translation>
    </message>
    <message>
        <source>Line %1, column %2 (%3): %4 is not a whole number.</source>
        <translation>Zeile %1, Spalte %2 (%3): %4 ist keine ganze Zahl.</translation>
    </message>
    <message>
        <source>Line %1, column %2 (%3): register %4 is also on line %5.</source>
        <translation>Zeile %1, Spalte %2 (%3): Register %4 steht auch in Zeile %5.</translation>
    </message>
</context>
<context>
    <name>tavrel::app::AppController</name>
    <message>
        <source>&quot;%1&quot; can no longer be found.</source>
        <translation>„%1“ ist nicht mehr zu finden.</translation>
    </message>
    <message>
        <source>It may have been moved, renamed or deleted. It has been removed from Open Recent.</source>
        <translation>Die Datei wurde vielleicht verschoben, umbenannt oder gelöscht. Sie wurde aus „Zuletzt geöffnet“ entfernt.</translation>
    </message>
</context>
<context>
    <name>tavrel::app::ComparisonDialog</name>
    <message>
        <source>%1 differ</source>
        <translation>%1 abweichend</translation>
    </message>
    <message>
        <source>%1 only in the table</source>
        <translation>%1 nur in der Tabelle</translation>
    </message>
    <message>
        <source>%1 only on the VRG-500</source>
        <translation>%1 nur auf dem VRG-500</translation>
    </message>
    <message>
        <source>%1 the same</source>
        <translation>%1 gleich</translation>
    </message>
    <message>
        <source>Registers %1 to %2: %3.</source>
        <translation>Register %1 bis %2: %3.</translation>
    </message>
    <message>
        <source>Compare with Device</source>
        <translation>Mit Gerät vergleichen</translation>
    </message>
    <message>
        <source>Differences</source>
        <translation>Unterschiede</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Feld</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>Tabelle</translation>
    </message>
    <message>
        <source>VRG-500</source>
        <translation>VRG-500</translation>
    </message>
    <message>
        <source>&amp;Upload Changes</source>
        <translation>Änderungen &amp;hochladen</translation>
    </message>
    <message>
        <source>&amp;Take Device Values</source>
        <translation>&amp;Gerätewerte übernehmen</translation>
    </message>
</context>
<context>
    <name>tavrel::app::DeviceInformationDialog</name>
    <message>
        <source>Device Information</source>
        <translation>Geräteinformationen</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Firmware-Version</translation>
    </message>
    <message>
        <source>Video standard</source>
        <translation>Videonorm</translation>
    </message>
    <message>
        <source>Current register</source>
        <translation>Aktuelles Register</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Firmware-Version:</translation>
    </message>
    <message>
        <source>Video standard:</source>
        <translation>Videonorm:</translation>
    </message>
    <message>
        <source>Current register:</source>
        <translation>Aktuelles Register:</translation>
    </message>
    <message>
        <source>&amp;Set Current Register...</source>
        <translation>Aktuelles Register &amp;festlegen...</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
</context>
<context>
    <name>tavrel::app::DeviceTools</name>
    <message>
        <source>Register %1</source>
        <translation>Register %1</translation>
    </message>
    <message>
        <source>Registers %1-%2</source>
        <translation>Register %1-%2</translation>
    </message>
    <message>
        <source>Set Current Register</source>
        <translation>Aktuelles Register festlegen</translation>
    </message>
    <message>
        <source>Register number:</source>
        <translation>Registernummer:</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Festlegen</translation>
    </message>
    <message>
        <source>Offsetting registers</source>
        <translation>Register werden versetzt</translation>
    </message>
    <message>
        <source>Offsetting register %1</source>
        <translation>Register %1 wird versetzt</translation>
    </message>
    <message>
        <source>Update the table from the device?</source>
        <translation>Tabelle vom Gerät aktualisieren?</translation>
    </message>
    <message>
        <source>Register %1 was offset on the VRG-500; the table still holds its earlier times.</source>
        <translation>Register %1 wurde auf dem VRG-500 versetzt; die Tabelle enthält noch seine früheren Zeiten.</translation>
    </message>
    <message>
        <source>Registers %1-%2 were offset on the VRG-500; the table still holds their earlier times.</source>
        <translation>Die Register %1-%2 wurden auf dem VRG-500 versetzt; die Tabelle enthält noch ihre früheren Zeiten.</translation>
    </message>
    <message>
        <source>Update Table</source>
        <translation>Tabelle aktualisieren</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message>
        <source>Reading registers</source>
        <translation>Register werden gelesen</translation>
    </message>
    <message>
        <source>Reading register %1</source>
        <translation>Register %1 wird gelesen</translation>
    </message>
    <message>
        <source>Update %1</source>
        <translation>Aktualisieren von %1</translation>
    </message>
    <message>
        <source>VRG-500</source>
        <translation>VRG-500</translation>
    </message>
    <message>
        <source>Version: %1</source>
        <translation>Version: %1</translation>
    </message>
</context>
<context>
    <name>tavrel::app::EditCommands</name>
    <message>
        <source>Cut %1</source>
        <translation>Ausschneiden von %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; does not fit in one byte.</source>
        <translation>„%1“ passt nicht in ein Byte.</translation>
    </message>
    <message>
        <source>The clipboard&apos;s text cannot go into %1 of %2</source>
        <translation>Der Text aus der Zwischenablage kann nicht in %1 von Register %2 eingefügt werden</translation>
    </message>
    <message>
        <source>The clipboard&apos;s text cannot be pasted as registers</source>
        <translation>Der Text aus der Zwischenablage kann nicht als Register eingefügt werden</translation>
    </message>
    <message>
        <source>Paste %1</source>
        <translation>Einfügen von %1</translation>
    </message>
    <message>
        <source>The table holds %1 already. Pasting replaces them.</source>
        <translation>Die Tabelle enthält bereits %1. Beim Einfügen werden sie ersetzt.</translation>
    </message>
    <message>
        <source>The table holds %1 already. Pasting replaces them and adds %2.</source>
        <translation>Die Tabelle enthält bereits %1. Beim Einfügen werden sie ersetzt und %2 hinzugefügt.</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Delete %1</source>
        <translation>Löschen von %1</translation>
    </message>
    <message>
        <source>Insert Register</source>
        <translation>Register einfügen</translation>
    </message>
    <message>
        <source>Number of the new register:</source>
        <translation>Nummer des neuen Registers:</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Register %1 already exists</source>
        <translation>Register %1 ist bereits vorhanden</translation>
    </message>
    <message>
        <source>Choose a number that is not in the table.</source>
        <translation>Wählen Sie eine Nummer, die nicht in der Tabelle vorkommt.</translation>
    </message>
    <message>
        <source>Insert Register %1</source>
        <translation>Einfügen von Register %1</translation>
    </message>
    <message>
        <source>Duplicate To</source>
        <translation>Duplizieren nach</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplizieren</translation>
    </message>
    <message>
        <source>The copies would go past register %1</source>
        <translation>Die Kopien würden über Register %1 hinausgehen</translation>
    </message>
    <message>
        <source>Choose a lower first number.</source>
        <translation>Wählen Sie eine niedrigere Anfangsnummer.</translation>
    </message>
    <message>
        <source>Duplicate %1</source>
        <translation>Duplizieren von %1</translation>
    </message>
    <message>
        <source>The table holds %1 already. The copies replace them.</source>
        <translation>Die Tabelle enthält bereits %1. Die Kopien ersetzen sie.</translation>
    </message>
    <message>
        <source>Go to Register</source>
        <translation>Gehe zu Register</translation>
    </message>
    <message>
        <source>Register number:</source>
        <translation>Registernummer:</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>Gehe zu</translation>
    </message>
    <message>
        <source>Register %1 is not in the table</source>
        <translation>Register %1 ist nicht in der Tabelle</translation>
    </message>
    <message>
        <source>Download it or insert it first.</source>
        <translation>Laden Sie es zuerst herunter oder fügen Sie es ein.</translation>
    </message>
    <message>
        <source>Copy register %1 to registers starting at:</source>
        <translation>Register %1 kopieren, beginnend bei Register:</translation>
    </message>
    <message numerus="yes">
        <source>Copy %n registers to registers starting at:</source>
        <translation>
            <numerusform>%n Register kopieren, beginnend bei Register:</numerusform>
            <numerusform>%n Register kopieren, beginnend bei Register:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tavrel::app::FilePanel</name>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>„%1“ ist bereits vorhanden.</translation>
    </message>
    <message>
        <source>Do you want to replace it?</source>
        <translation>Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
</context>
<context>
    <name>tavrel::app::HelpMenu</name>
    <message>
        <source>Tavrel %1</source>
        <translation>Tavrel %1</translation>
    </message>
    <message>
        <source>About Tavrel</source>
        <translation>Über Tavrel</translation>
    </message>
    <message>
        <source>Linux version programmed with Qt 6.</source>
        <translation>Linux-Version, programmiert mit Qt 6.</translation>
    </message>
    <message>
        <source>Tavrel uses Qt (GNU LGPL v3); licence and sources: qt.io</source>
        <translation>Tavrel verwendet Qt (GNU LGPL v3); Lizenz und Quellen: qt.io</translation>
    </message>
</context>
<context>
    <name>tavrel::app::HelpViewer</name>
    <message>
        <source>Tavrel Help</source>
        <translation>Tavrel-Hilfe</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Vor</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Anfang</translation>
    </message>
    <message>
        <source>Find in page</source>
        <translation>Auf der Seite suchen</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation>Weitersuchen</translation>
    </message>
    <message>
        <source>Find Previous</source>
        <translation>Rückwärts suchen</translation>
    </message>
    <message>
        <source>The help file, tavrel-help.html, could not be found. Tavrel looked for it in these places:</source>
        <translation>Die Hilfedatei tavrel-help.html wurde nicht gefunden. Tavrel hat an diesen Orten gesucht:</translation>
    </message>
    <message>
        <source>Installing Tavrel again puts it back. The same manual is in the package&apos;s documentation folder, /usr/share/doc/tavrel/, when that is installed.</source>
        <translation>Eine erneute Installation von Tavrel stellt sie wieder her. Dasselbe Handbuch liegt im Dokumentationsordner des Pakets, /usr/share/doc/tavrel/, sofern dieser installiert ist.</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Nicht gefunden</translation>
    </message>
</context>
<context>
    <name>tavrel::app::MainToolbar</name>
    <message>
        <source>More Toolbar Items</source>
        <translation>Weitere Elemente der Werkzeugleiste</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Open a .vg2 file</source>
        <translation>Eine .vg2-Datei öffnen</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Datei speichern</translation>
    </message>
    <message>
        <source>Save the registers to a .vg2 file</source>
        <translation>Die Register in einer .vg2-Datei speichern</translation>
    </message>
    <message>
        <source>Download Registers</source>
        <translation>Register herunterladen</translation>
    </message>
    <message>
        <source>Download registers from the VRG-500</source>
        <translation>Register vom VRG-500 herunterladen</translation>
    </message>
    <message>
        <source>Upload Registers</source>
        <translation>Register hochladen</translation>
    </message>
    <message>
        <source>Upload registers to the VRG-500</source>
        <translation>Register auf das VRG-500 hochladen</translation>
    </message>
    <message>
        <source>Download Menu</source>
        <translation>Menü herunterladen</translation>
    </message>
    <message>
        <source>Download Menu Settings</source>
        <translation>Menüeinstellungen herunterladen</translation>
    </message>
    <message>
        <source>Download menu settings from the VRG-500</source>
        <translation>Menüeinstellungen vom VRG-500 herunterladen</translation>
    </message>
    <message>
        <source>Upload Menu</source>
        <translation>Menü hochladen</translation>
    </message>
    <message>
        <source>Upload Menu Settings</source>
        <translation>Menüeinstellungen hochladen</translation>
    </message>
    <message>
        <source>Upload menu settings to the VRG-500</source>
        <translation>Menüeinstellungen auf das VRG-500 hochladen</translation>
    </message>
    <message>
        <source>Serial Port</source>
        <translation>Serielle Schnittstelle</translation>
    </message>
    <message>
        <source>The serial port for the VRG-500</source>
        <translation>Die serielle Schnittstelle für das VRG-500</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
</context>
<context>
    <name>tavrel::app::MainWindow</name>
    <message>
        <source>Registers</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Öffnen...</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Speichern...</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copy Field</source>
        <translation>Feld kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Insert Register...</source>
        <translation>Register einfügen...</translation>
    </message>
    <message>
        <source>Duplicate To...</source>
        <translation>Duplizieren nach...</translation>
    </message>
    <message>
        <source>Go to Register...</source>
        <translation>Gehe zu Register...</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Choose Serial Port...</source>
        <translation>Serielle Schnittstelle wählen...</translation>
    </message>
    <message>
        <source>Download Registers...</source>
        <translation>Register herunterladen...</translation>
    </message>
    <message>
        <source>Upload Registers...</source>
        <translation>Register hochladen...</translation>
    </message>
    <message>
        <source>Compare with Device...</source>
        <translation>Mit Gerät vergleichen...</translation>
    </message>
    <message>
        <source>Restore Snapshot...</source>
        <translation>Sicherung wiederherstellen...</translation>
    </message>
    <message>
        <source>Compare Before Upload</source>
        <translation>Vor dem Hochladen vergleichen</translation>
    </message>
    <message>
        <source>Download Menu Settings...</source>
        <translation>Menüeinstellungen herunterladen...</translation>
    </message>
    <message>
        <source>Upload Menu Settings...</source>
        <translation>Menüeinstellungen hochladen...</translation>
    </message>
    <message>
        <source>Show VRG-500 Version</source>
        <translation>VRG-500-Version anzeigen</translation>
    </message>
    <message>
        <source>Device Information...</source>
        <translation>Geräteinformationen...</translation>
    </message>
    <message>
        <source>Offset Registers...</source>
        <translation>Register versetzen...</translation>
    </message>
    <message>
        <source>Tavrel Help</source>
        <translation>Tavrel-Hilfe</translation>
    </message>
    <message>
        <source>About Tavrel</source>
        <translation>Über Tavrel</translation>
    </message>
    <message>
        <source>Compare with Device</source>
        <translation>Mit Gerät vergleichen</translation>
    </message>
    <message>
        <source>%1 fps</source>
        <translation>%1 fps</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Frame Rate</source>
        <translation>Bildrate</translation>
    </message>
    <message>
        <source>&amp;Device</source>
        <translation>&amp;Gerät</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>%1 rückgängig machen</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>%1 wiederholen</translation>
    </message>
    <message>
        <source>%1[*] — Tavrel</source>
        <translation>%1[*] — Tavrel</translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation>Über Qt</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation>Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Edit Decision List...</source>
        <translation>Schnittliste (EDL)...</translation>
    </message>
    <message>
        <source>CSV...</source>
        <translation>CSV...</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
</context>
<context>
    <name>tavrel::app::MenuSettingsTransfers</name>
    <message>
        <source>Save Menu Settings</source>
        <translation>Menüeinstellungen speichern</translation>
    </message>
    <message>
        <source>VRG-500 menu settings</source>
        <translation>VRG-500-Menüeinstellungen</translation>
    </message>
    <message>
        <source>Open Menu Settings</source>
        <translation>Menüeinstellungen öffnen</translation>
    </message>
    <message>
        <source>Download VRG-500 Menu Settings</source>
        <translation>VRG-500-Menüeinstellungen herunterladen</translation>
    </message>
    <message>
        <source>Download complete.</source>
        <translation>Herunterladen abgeschlossen.</translation>
    </message>
    <message>
        <source>Upload VRG-500 Menu Settings</source>
        <translation>VRG-500-Menüeinstellungen hochladen</translation>
    </message>
    <message>
        <source>Upload complete.</source>
        <translation>Hochladen abgeschlossen.</translation>
    </message>
    <message>
        <source>%1 holds a VRG-500&apos;s menu settings. To send them to the device, choose its port, then Upload Menu Settings... in the Device menu.</source>
        <translation>%1 enthält Menüeinstellungen eines VRG-500. Um sie an das Gerät zu senden, wählen Sie seine Schnittstelle und dann „Menüeinstellungen hochladen...“ im Menü „Gerät“.</translation>
    </message>
</context>
<context>
    <name>tavrel::app::OffsetRegistersDialog</name>
    <message>
        <source>Offset Registers</source>
        <translation>Register versetzen</translation>
    </message>
    <message>
        <source>First register</source>
        <translation>Erstes Register</translation>
    </message>
    <message>
        <source>Last register</source>
        <translation>Letztes Register</translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation>b&amp;is</translation>
    </message>
    <message>
        <source>Offset</source>
        <translation>Versetzen</translation>
    </message>
    <message>
        <source>A timecode, HH:MM:SS:FF</source>
        <translation>Ein Timecode, HH:MM:SS:FF</translation>
    </message>
    <message>
        <source>Why the offset is refused</source>
        <translation>Warum der Versatz abgelehnt wird</translation>
    </message>
    <message>
        <source>A&amp;dd</source>
        <translation>A&amp;ddieren</translation>
    </message>
    <message>
        <source>&amp;Subtract</source>
        <translation>&amp;Subtrahieren</translation>
    </message>
    <message>
        <source>&amp;Registers:</source>
        <translation>&amp;Register:</translation>
    </message>
    <message>
        <source>&amp;Machines:</source>
        <translation>&amp;Maschinen:</translation>
    </message>
    <message>
        <source>&amp;Offset:</source>
        <translation>&amp;Versatz:</translation>
    </message>
    <message>
        <source>Offset the times of registers on the VRG-500</source>
        <translation>Zeiten von Registern auf dem VRG-500 versetzen</translation>
    </message>
</context>
<context>
    <name>tavrel::app::OtherPortDialog</name>
    <message>
        <source>A device path starts with &quot;/&quot;, as in /dev/ttyS0.</source>
        <translation>Ein Gerätepfad beginnt mit „/“, wie in /dev/ttyS0.</translation>
    </message>
    <message>
        <source>It is not a terminal device.</source>
        <translation>Es ist kein Terminalgerät.</translation>
    </message>
    <message>
        <source>Other Port</source>
        <translation>Andere Schnittstelle</translation>
    </message>
    <message>
        <source>&amp;Device path of the serial port:</source>
        <translation>&amp;Gerätepfad der seriellen Schnittstelle:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
</context>
<context>
    <name>tavrel::app::PortChooser</name>
    <message>
        <source>No serial ports</source>
        <translation>Keine seriellen Schnittstellen</translation>
    </message>
    <message>
        <source>%1 cannot be used as a serial port</source>
        <translation>%1 kann nicht als serielle Schnittstelle verwendet werden</translation>
    </message>
    <message>
        <source>The serial port for the VRG-500</source>
        <translation>Die serielle Schnittstelle für das VRG-500</translation>
    </message>
    <message>
        <source>Serial Port</source>
        <translation>Serielle Schnittstelle</translation>
    </message>
    <message>
        <source>Other Port…</source>
        <translation>Andere Schnittstelle…</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
</context>
<context>
    <name>tavrel::app::ProgressSheet</name>
    <message>
        <source>Register Transfer</source>
        <translation>Registerübertragung</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RangeSheet</name>
    <message>
        <source>Register Range</source>
        <translation>Registerbereich</translation>
    </message>
    <message>
        <source>Download selected registers from the VRG-500</source>
        <translation>Ausgewählte Register vom VRG-500 herunterladen</translation>
    </message>
    <message>
        <source>Registers 0 to &amp;299</source>
        <translation>Register 0 bis &amp;299</translation>
    </message>
    <message>
        <source>Registers 0 to &amp;99</source>
        <translation>Register 0 bis &amp;99</translation>
    </message>
    <message>
        <source>&amp;Range:</source>
        <translation>&amp;Bereich:</translation>
    </message>
    <message>
        <source>First register</source>
        <translation>Erstes Register</translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation>b&amp;is</translation>
    </message>
    <message>
        <source>Last register</source>
        <translation>Letztes Register</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RecentFiles</name>
    <message>
        <source>Clear Menu</source>
        <translation>Liste leeren</translation>
    </message>
</context>
<context>
    <name>tavrel::app::Recovery</name>
    <message>
        <source>an untitled table</source>
        <translation>einer unbenannten Tabelle</translation>
    </message>
    <message>
        <source>%1 today</source>
        <translation>heute um %1</translation>
    </message>
    <message>
        <source>%1 yesterday</source>
        <translation>gestern um %1</translation>
    </message>
    <message>
        <source>Unsaved registers from %1, %2</source>
        <translation>Nicht gespeicherte Register aus %1, %2</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RecoveryOffers</name>
    <message>
        <source>Tavrel ended before they were saved. Restore opens them as unsaved changes; Discard deletes them; Later keeps them for the next start.</source>
        <translation>Tavrel wurde beendet, bevor sie gespeichert waren. „Wiederherstellen“ öffnet sie als nicht gespeicherte Änderungen; „Verwerfen“ löscht sie; „Später“ bewahrt sie für den nächsten Start auf.</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
    <message>
        <source>Restore Unsaved Registers</source>
        <translation>Wiederherstellen nicht gespeicherter Register</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RegisterCellDelegate</name>
    <message>
        <source>Register %1</source>
        <translation>Register %1</translation>
    </message>
    <message>
        <source>Why the value was refused</source>
        <translation>Warum der Wert abgelehnt wurde</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RegisterDocument</name>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>Save changes to the registers?</source>
        <translation>Änderungen an den Registern speichern?</translation>
    </message>
    <message>
        <source>Your changes will be lost if you don&apos;t save them.</source>
        <translation>Ihre Änderungen gehen verloren, wenn Sie sie nicht speichern.</translation>
    </message>
    <message>
        <source>Don&apos;t Save</source>
        <translation>Nicht speichern</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RegisterEditor</name>
    <message>
        <source>Edit %1 of %2</source>
        <translation>Bearbeiten von %1 in Register %2</translation>
    </message>
    <message>
        <source>Clear %1 of %2</source>
        <translation>Leeren von %1 in Register %2</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RegisterFiles</name>
    <message>
        <source>Open Register File</source>
        <translation>Registerdatei öffnen</translation>
    </message>
    <message>
        <source>VRG-500 register files</source>
        <translation>VRG-500-Registerdateien</translation>
    </message>
    <message>
        <source>Open %1</source>
        <translation>Öffnen von %1</translation>
    </message>
    <message>
        <source>Save Register File</source>
        <translation>Registerdatei speichern</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Speichern...</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RegisterInterchange</name>
    <message>
        <source>Edit decision lists</source>
        <translation>Schnittlisten (EDL)</translation>
    </message>
    <message>
        <source>Export Edit Decision List</source>
        <translation>Schnittliste exportieren</translation>
    </message>
    <message>
        <source>Import Edit Decision List</source>
        <translation>Schnittliste importieren</translation>
    </message>
    <message>
        <source>CSV files</source>
        <translation>CSV-Dateien</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV exportieren</translation>
    </message>
    <message>
        <source>Import CSV</source>
        <translation>CSV importieren</translation>
    </message>
    <message numerus="yes">
        <source>and %Ln more</source>
        <translation>
            <numerusform>und %Ln weiteres</numerusform>
            <numerusform>und %Ln weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>An edit decision list counts frames at a real frame rate. Export at:</source>
        <translation>Eine Schnittliste zählt Bilder mit einer echten Bildrate. Exportieren mit:</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>The table holds no event to export</source>
        <translation>Die Tabelle enthält kein Ereignis zum Exportieren</translation>
    </message>
    <message>
        <source>An event is a machine whose IN and OUT are both set.</source>
        <translation>Ein Ereignis ist eine Maschine, deren IN und OUT beide gesetzt sind.</translation>
    </message>
    <message>
        <source>No event can be exported at %1</source>
        <translation>Kein Ereignis kann mit %1 exportiert werden</translation>
    </message>
    <message numerus="yes">
        <source>%Ln event(s) cannot be exported at %1</source>
        <translation>
            <numerusform>%Ln Ereignis kann nicht mit %1 exportiert werden</numerusform>
            <numerusform>%Ln Ereignisse können nicht mit %1 exportiert werden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Export the other %Ln event(s)?</source>
        <translation>
            <numerusform>Das übrige Ereignis exportieren?</numerusform>
            <numerusform>Die übrigen %Ln Ereignisse exportieren?</numerusform>
        </translation>
    </message>
    <message>
        <source>Export the Rest</source>
        <translation>Übrige exportieren</translation>
    </message>
    <message>
        <source>The events of a list from an editing system become registers from number:</source>
        <translation>Die Ereignisse einer Liste aus einem Schnittsystem werden zu Registern ab Nummer:</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds no registers</source>
        <translation>„%1“ enthält keine Register</translation>
    </message>
    <message>
        <source>Nothing was imported.</source>
        <translation>Es wurde nichts importiert.</translation>
    </message>
    <message>
        <source>Import %1</source>
        <translation>%1 importieren</translation>
    </message>
    <message>
        <source>The table holds %1 already. Importing replaces them.</source>
        <translation>Die Tabelle enthält %1 bereits. Der Import ersetzt sie.</translation>
    </message>
    <message>
        <source>The table holds %1 already. Importing replaces them and adds %2.</source>
        <translation>Die Tabelle enthält %1 bereits. Der Import ersetzt sie und fügt %2 hinzu.</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RegisterTableModel</name>
    <message>
        <source>Up and Down choose IN, OUT or CLIP; F2 or typing edits it</source>
        <translation>Pfeil hoch und Pfeil runter wählen IN, OUT oder CLIP; F2 oder Eintippen bearbeitet das Feld</translation>
    </message>
    <message>
        <source>Register %1</source>
        <translation>Register %1</translation>
    </message>
    <message>
        <source>%1: IN, OUT, CLIP</source>
        <translation>%1: IN, OUT, CLIP</translation>
    </message>
    <message>
        <source>unset</source>
        <translation>nicht gesetzt</translation>
    </message>
    <message>
        <source>%1, machine %2: IN %3, OUT %4, CLIP %5</source>
        <translation>%1, Maschine %2: IN %3, OUT %4, CLIP %5</translation>
    </message>
    <message>
        <source>no clip</source>
        <translation>kein Clip</translation>
    </message>
    <message>
        <source>** No Clip **</source>
        <translation>** Kein Clip **</translation>
    </message>
    <message>
        <source>OUT is before IN: %1</source>
        <translation>OUT liegt vor IN: %1</translation>
    </message>
    <message>
        <source>Duration %1</source>
        <translation>Dauer %1</translation>
    </message>
    <message>
        <source>No duration: IN or OUT is not a time at %1 frames per second</source>
        <translation>Keine Dauer: IN oder OUT ist bei %1 fps keine gültige Zeit</translation>
    </message>
    <message>
        <source>%1, OUT before IN by %2</source>
        <translation>%1, OUT liegt %2 vor IN</translation>
    </message>
    <message>
        <source>%1, duration %2</source>
        <translation>%1, Dauer %2</translation>
    </message>
    <message>
        <source>%1, no duration at %2 frames per second</source>
        <translation>%1, keine Dauer bei %2 fps</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RegisterTableView</name>
    <message>
        <source>Current field: %1 of register %2</source>
        <translation>Aktuelles Feld: %1 von Register %2</translation>
    </message>
    <message>
        <source>Choose the VRG-500&apos;s port and Download Registers, or open a register file</source>
        <translation>Wählen Sie die Schnittstelle des VRG-500 und laden Sie Register herunter, oder öffnen Sie eine Registerdatei</translation>
    </message>
</context>
<context>
    <name>tavrel::app::RegisterTransfers</name>
    <message>
        <source>Download selected registers from the VRG-500</source>
        <translation>Ausgewählte Register vom VRG-500 herunterladen</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Upload selected registers to the VRG-500</source>
        <translation>Ausgewählte Register auf das VRG-500 hochladen</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Hochladen</translation>
    </message>
    <message>
        <source>Downloading registers</source>
        <translation>Register werden heruntergeladen</translation>
    </message>
    <message>
        <source>Downloading register %1</source>
        <translation>Register %1 wird heruntergeladen</translation>
    </message>
    <message>
        <source>Uploading registers</source>
        <translation>Register werden hochgeladen</translation>
    </message>
    <message>
        <source>Uploading register %1</source>
        <translation>Register %1 wird hochgeladen</translation>
    </message>
    <message numerus="yes">
        <source>%L1 of %Ln register(s) arrived before the failure; Edit ▸ Undo Download brings back the table as it was.</source>
        <translation>
            <numerusform>Vor dem Fehler empfangen: %L1 von %Ln Register; Bearbeiten ▸ Herunterladen rückgängig machen stellt die Tabelle wieder her, wie sie vorher war.</numerusform>
            <numerusform>Vor dem Fehler empfangen: %L1 von %Ln Registern; Bearbeiten ▸ Herunterladen rückgängig machen stellt die Tabelle wieder her, wie sie vorher war.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tavrel::app::SafeUploads</name>
    <message>
        <source>Uploading registers</source>
        <translation>Register werden hochgeladen</translation>
    </message>
    <message>
        <source>Compare selected registers with the VRG-500</source>
        <translation>Ausgewählte Register mit dem VRG-500 vergleichen</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Vergleichen</translation>
    </message>
    <message>
        <source>Comparing registers</source>
        <translation>Register werden verglichen</translation>
    </message>
    <message>
        <source>Reading register %1</source>
        <translation>Register %1 wird gelesen</translation>
    </message>
    <message>
        <source>Nothing to upload</source>
        <translation>Nichts hochzuladen</translation>
    </message>
    <message>
        <source>The VRG-500 holds registers %1 to %2 as they are already; nothing was sent.</source>
        <translation>Die Register %1 bis %2 auf dem VRG-500 stimmen bereits mit der Tabelle überein; es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>The upload did not start</source>
        <translation>Das Hochladen wurde nicht gestartet</translation>
    </message>
    <message>
        <source>The registers it would overwrite could not be kept as a snapshot, so nothing was sent.

%1</source>
        <translation>Die Register, die dabei überschrieben würden, konnten nicht als Sicherung aufbewahrt werden; daher wurde nichts gesendet.

%1</translation>
    </message>
    <message>
        <source>Writing register %1</source>
        <translation>Register %1 wird geschrieben</translation>
    </message>
    <message>
        <source>What they held before is kept in the snapshot of %1; Restore Snapshot… puts it back.</source>
        <translation>Ihr vorheriger Inhalt ist in der Sicherung vom %1 aufbewahrt; „Sicherung wiederherstellen…“ stellt ihn wieder her.</translation>
    </message>
    <message>
        <source>The upload was stopped</source>
        <translation>Das Hochladen wurde abgebrochen</translation>
    </message>
    <message>
        <source>Restore Snapshot…</source>
        <translation>Sicherung wiederherstellen…</translation>
    </message>
    <message>
        <source>Take Device Values</source>
        <translation>Übernahme der Gerätewerte</translation>
    </message>
    <message>
        <source>Restore a snapshot of another port?</source>
        <translation>Sicherung einer anderen Schnittstelle wiederherstellen?</translation>
    </message>
    <message>
        <source>The snapshot was taken from %1, and the selected port is %2. Restoring it writes registers %3 to %4 of the VRG-500 on %2.</source>
        <translation>Die Sicherung stammt von %1, die ausgewählte Schnittstelle ist jedoch %2. Beim Wiederherstellen werden die Register %3 bis %4 des VRG-500 an %2 geschrieben.</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>tavrel::app::SnapshotDialog</name>
    <message>
        <source>Restore Snapshot</source>
        <translation>Sicherung wiederherstellen</translation>
    </message>
    <message>
        <source>No upload has kept a snapshot yet.</source>
        <translation>Bisher wurde bei keinem Hochladen eine Sicherung angelegt.</translation>
    </message>
    <message>
        <source>Before each upload, the registers it overwrote were kept. Restoring a snapshot uploads them again, compared with the VRG-500 first.</source>
        <translation>Vor jedem Hochladen wurden die überschriebenen Register aufbewahrt. Beim Wiederherstellen einer Sicherung werden sie erneut hochgeladen, zuvor aber mit dem VRG-500 verglichen.</translation>
    </message>
    <message>
        <source>Snapshots</source>
        <translation>Sicherungen</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>tavrel::app::WindowStatusBar</name>
    <message>
        <source>No serial port</source>
        <translation>Keine serielle Schnittstelle</translation>
    </message>
    <message numerus="yes">
        <source>%n register(s)</source>
        <translation>
            <numerusform>%n Register</numerusform>
            <numerusform>%n Register</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n selected</source>
        <translation>
            <numerusform>%n ausgewählt</numerusform>
            <numerusform>%n ausgewählt</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tavrel::files</name>
    <message>
        <source>The VRG-500 version string is not 4 chars long</source>
        <translation>Die Versionskennung des VRG-500 ist nicht 4 Zeichen lang</translation>
    </message>
    <message>
        <source>Version Mismatch</source>
        <translation>Versionskonflikt</translation>
    </message>
    <message>
        <source>.vgs file version &quot;%1&quot; does not match device version &quot;%2&quot;</source>
        <translation>Die Version „%1“ der .vgs-Datei stimmt nicht mit der Geräteversion „%2“ überein</translation>
    </message>
    <message>
        <source>Invalid .vgs file</source>
        <translation>Ungültige .vgs-Datei</translation>
    </message>
    <message>
        <source>The file %1 is too large to be a menu settings file.</source>
        <translation>Die Datei %1 ist zu groß für eine Menüeinstellungsdatei.</translation>
    </message>
    <message>
        <source>Clip name %1 is empty.</source>
        <translation>Clipname %1 ist leer.</translation>
    </message>
    <message>
        <source>Clip name %1 contains a comma.</source>
        <translation>Clipname %1 enthält ein Komma.</translation>
    </message>
    <message>
        <source>Clip name %1 contains a line break.</source>
        <translation>Clipname %1 enthält einen Zeilenumbruch.</translation>
    </message>
    <message>
        <source>Register %1 holds a clip name that cannot be written</source>
        <translation>Register %1 enthält einen Clipnamen, der nicht geschrieben werden kann</translation>
    </message>
    <message>
        <source>Its %1 time has a number above 99, which a register file cannot hold.</source>
        <translation>Die Zeit %1 enthält eine Zahl über 99, die eine Registerdatei nicht aufnehmen kann.</translation>
    </message>
    <message>
        <source>Clip name %1 is too long.</source>
        <translation>Clipname %1 ist zu lang.</translation>
    </message>
    <message>
        <source>Its %1 time has a number that no VRG-500 time holds.</source>
        <translation>Die Zeit %1 enthält eine Zahl, die keine Zeit des VRG-500 annehmen kann.</translation>
    </message>
    <message>
        <source>Register %1 cannot be uploaded</source>
        <translation>Register %1 kann nicht hochgeladen werden</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; couldn&apos;t be opened.</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; couldn&apos;t be saved.</source>
        <translation>Die Datei „%1“ konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Error processing .vg2 file</source>
        <translation>Fehler beim Verarbeiten der .vg2-Datei</translation>
    </message>
    <message>
        <source>The file %1 is malformed and could not be processed.</source>
        <translation>Die Datei %1 ist fehlerhaft und konnte nicht verarbeitet werden.</translation>
    </message>
    <message>
        <source>register number</source>
        <translation>Registernummer</translation>
    </message>
    <message>
        <source>Line %1: %2 is not an event: an event line holds an event number, a reel, the channels, a transition and four times.</source>
        <translation>Zeile %1: %2 ist kein Ereignis: Eine Ereigniszeile enthält eine Ereignisnummer, ein Band, die Kanäle, einen Übergang und vier Zeiten.</translation>
    </message>
    <message>
        <source>Line %1: the reel %2 is longer than eight characters.</source>
        <translation>Zeile %1: Das Band %2 ist länger als acht Zeichen.</translation>
    </message>
    <message>
        <source>Line %1: the reel %2 holds a comma or a control character, which no clip name can hold.</source>
        <translation>Zeile %1: Das Band %2 enthält ein Komma oder ein Steuerzeichen, das kein Clipname enthalten kann.</translation>
    </message>
    <message>
        <source>Line %1: the source time %2 cannot be held by a register: %3.</source>
        <translation>Zeile %1: Die Quellzeit %2 passt in kein Register: %3.</translation>
    </message>
    <message>
        <source>24 frames per second</source>
        <translation>24 Bildern pro Sekunde</translation>
    </message>
    <message>
        <source>25 frames per second</source>
        <translation>25 Bildern pro Sekunde</translation>
    </message>
    <message>
        <source>30 frames per second</source>
        <translation>30 Bildern pro Sekunde</translation>
    </message>
    <message>
        <source>30 frames per second, drop frame</source>
        <translation>30 Bildern pro Sekunde, Drop-Frame</translation>
    </message>
    <message>
        <source>Register %1, machine %2: OUT is not after IN</source>
        <translation>Register %1, Maschine %2: OUT liegt nicht nach IN</translation>
    </message>
    <message>
        <source>The edit decision list cannot be exported</source>
        <translation>Die Schnittliste kann nicht exportiert werden</translation>
    </message>
    <message>
        <source>The record start %1 is not a time at %2.</source>
        <translation>Der Aufnahmebeginn %1 ist keine Zeit bei %2.</translation>
    </message>
    <message>
        <source>Error processing .edl file</source>
        <translation>Fehler beim Verarbeiten der .edl-Datei</translation>
    </message>
    <message>
        <source>Line %1 has %2 columns; a register&apos;s row has %3.</source>
        <translation>Zeile %1 hat %2 Spalten; die Zeile eines Registers hat %3.</translation>
    </message>
    <message>
        <source>Error processing .csv file</source>
        <translation>Fehler beim Verarbeiten der .csv-Datei</translation>
    </message>
    <message>
        <source>Line %1, column %2: &quot;wire&quot; or &quot;noClipNames&quot; does not agree with the times and clip names.</source>
        <translation>Zeile %1, Spalte %2: „wire“ oder „noClipNames“ stimmt nicht mit den Zeiten und Clipnamen überein.</translation>
    </message>
    <message>
        <source>Error processing .json file</source>
        <translation>Fehler beim Verarbeiten der .json-Datei</translation>
    </message>
</context>
<context>
    <name>tavrel::files::AtomicFileWriter</name>
    <message>
        <source>The folder %1 is not writable.</source>
        <translation>In den Ordner %1 kann nicht geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>tavrel::files::CsvReader</name>
    <message>
        <source>Line %1, column %2: a quoted cell must end with a double quote before a comma or a line end.</source>
        <translation>Zeile %1, Spalte %2: Eine Zelle in Anführungszeichen muss vor einem Komma oder Zeilenende mit einem doppelten Anführungszeichen enden.</translation>
    </message>
</context>
<context>
    <name>tavrel::files::EdlReader</name>
    <message>
        <source>Line %1 is longer than %2 bytes.</source>
        <translation>Zeile %1 ist länger als %2 Bytes.</translation>
    </message>
    <message>
        <source>Line %1: %2 is not a line of an edit decision list.</source>
        <translation>Zeile %1: %2 ist keine Zeile einer Schnittliste.</translation>
    </message>
    <message>
        <source>Line %1: FCM is %2, neither DROP FRAME nor NON-DROP FRAME.</source>
        <translation>Zeile %1: FCM ist %2, weder DROP FRAME noch NON-DROP FRAME.</translation>
    </message>
    <message>
        <source>Line %1: event %2 has a third source; a register takes two, as machines A and B.</source>
        <translation>Zeile %1: Ereignis %2 hat eine dritte Quelle; ein Register nimmt zwei auf, als Maschinen A und B.</translation>
    </message>
    <message>
        <source>Line %1: %2 is not one of Tavrel&apos;s comments.</source>
        <translation>Zeile %1: %2 ist keiner der Kommentare von Tavrel.</translation>
    </message>
    <message>
        <source>Line %1: a Tavrel comment, though the events before it have none.</source>
        <translation>Zeile %1: ein Tavrel-Kommentar, obwohl die Ereignisse davor keinen haben.</translation>
    </message>
    <message>
        <source>Line %1: the Tavrel comment follows no event.</source>
        <translation>Zeile %1: Der Tavrel-Kommentar folgt keinem Ereignis.</translation>
    </message>
    <message>
        <source>Line %1: event %2 has no Tavrel comment after it, as every other event of this list has.</source>
        <translation>Zeile %1: Auf Ereignis %2 folgt kein Tavrel-Kommentar, wie auf jedes andere Ereignis dieser Liste.</translation>
    </message>
    <message>
        <source>Line %1: event %2 has a second source, which Tavrel does not write.</source>
        <translation>Zeile %1: Ereignis %2 hat eine zweite Quelle, die Tavrel nicht schreibt.</translation>
    </message>
    <message>
        <source>Line %1: register %2, machine %3 comes a second time.</source>
        <translation>Zeile %1: Register %2, Maschine %3 kommt ein zweites Mal vor.</translation>
    </message>
    <message>
        <source>Line %1: event %2 would be register %3; registers go from 0 to %4.</source>
        <translation>Zeile %1: Ereignis %2 wäre Register %3; Register gehen von 0 bis %4.</translation>
    </message>
    <message>
        <source>Line %1: register %2 is beyond the highest register, %3.</source>
        <translation>Zeile %1: Register %2 liegt über dem höchsten Register, %3.</translation>
    </message>
    <message>
        <source>Line %1: register %2 comes after register %3; Tavrel writes registers in ascending order.</source>
        <translation>Zeile %1: Register %2 kommt nach Register %3; Tavrel schreibt Register in aufsteigender Reihenfolge.</translation>
    </message>
</context>
<context>
    <name>tavrel::files::JsonReader</name>
    <message>
        <source>Line %1, column %2: %3 expected.</source>
        <translation>Zeile %1, Spalte %2: %3 erwartet.</translation>
    </message>
    <message>
        <source>Line %1, column %2: %3 is not a key here; the keys are %4.</source>
        <translation>Zeile %1, Spalte %2: %3 ist hier kein Schlüssel; die Schlüssel sind %4.</translation>
    </message>
</context>
<context>
    <name>tavrel::files::KeysSeen</name>
    <message>
        <source>Line %1, column %2: the key %3 appears twice.</source>
        <translation>Zeile %1, Spalte %2: Der Schlüssel %3 kommt zweimal vor.</translation>
    </message>
    <message>
        <source>Line %1, column %2: the key %3 is missing.</source>
        <translation>Zeile %1, Spalte %2: Der Schlüssel %3 fehlt.</translation>
    </message>
</context>
<context>
    <name>tavrel::link</name>
    <message>
        <source>Error writing data to serial device</source>
        <translation>Fehler beim Schreiben von Daten auf das serielle Gerät</translation>
    </message>
    <message>
        <source>Error reading data from serial device</source>
        <translation>Fehler beim Lesen von Daten vom seriellen Gerät</translation>
    </message>
    <message>
        <source>Error communicating with VRG-500</source>
        <translation>Fehler bei der Kommunikation mit dem VRG-500</translation>
    </message>
    <message>
        <source>Perhaps the device is off or the wrong port is selected.</source>
        <translation>Vielleicht ist das Gerät ausgeschaltet oder die falsche Schnittstelle ausgewählt.</translation>
    </message>
</context>
<context>
    <name>tavrel::link::TavrelSocket</name>
    <message>
        <source>Unexpected response to Set Current Register Number request</source>
        <translation>Unerwartete Antwort auf die Anfrage zum Setzen der aktuellen Registernummer</translation>
    </message>
    <message>
        <source>Unexpected response from Menu Data Load</source>
        <translation>Unerwartete Antwort beim Laden der Menüdaten</translation>
    </message>
    <message>
        <source>Invalid register time for Register Time Load</source>
        <translation>Ungültige Registerzeit für das Laden der Registerzeit</translation>
    </message>
    <message>
        <source>Unexpected response to Register Time Load</source>
        <translation>Unerwartete Antwort auf das Laden der Registerzeit</translation>
    </message>
    <message>
        <source>Invalid offset for Register Time Offset request</source>
        <translation>Ungültiger Versatz für die Anfrage zum Versetzen der Registerzeit</translation>
    </message>
    <message>
        <source>Unexpected response to Register Time Offset request</source>
        <translation>Unerwartete Antwort auf die Anfrage zum Versetzen der Registerzeit</translation>
    </message>
    <message>
        <source>Each clip name must be exactly 8 characters long.</source>
        <translation>Jeder Clipname muss genau 8 Zeichen lang sein.</translation>
    </message>
    <message>
        <source>Unexpected response to Register Clip Name Load</source>
        <translation>Unerwartete Antwort auf das Laden des Register-Clipnamens</translation>
    </message>
    <message>
        <source> Error reading data from serial device</source>
        <translation> Fehler beim Lesen von Daten vom seriellen Gerät</translation>
    </message>
</context>
<context>
    <name>tavrel::link::vrg500reply</name>
    <message>
        <source>Unexpected response to Version request</source>
        <translation>Unerwartete Antwort auf die Versionsanfrage</translation>
    </message>
    <message>
        <source>Unexpected response to Video Standard request</source>
        <translation>Unerwartete Antwort auf die Anfrage der Videonorm</translation>
    </message>
    <message>
        <source>Unexpected response to Current Register Number request</source>
        <translation>Unerwartete Antwort auf die Anfrage der aktuellen Registernummer</translation>
    </message>
    <message>
        <source>Unexpected response from Menu Data Request</source>
        <translation>Unerwartete Antwort auf die Menüdatenanfrage</translation>
    </message>
    <message>
        <source>Unexpected response to Register Time request</source>
        <translation>Unerwartete Antwort auf die Registerzeitanfrage</translation>
    </message>
    <message>
        <source>Unexpected register number response to Register Time request</source>
        <translation>Unerwartete Registernummer in der Antwort auf die Registerzeitanfrage</translation>
    </message>
    <message>
        <source>Unexpected response to Register Clip Name request</source>
        <translation>Unerwartete Antwort auf die Anfrage des Register-Clipnamens</translation>
    </message>
</context>
<context>
    <name>tavrel::records</name>
    <message>
        <source>Wire limits only</source>
        <translation>Nur Grenzen der Übertragung</translation>
    </message>
    <message>
        <source>Type a time as HH:MM:SS:FF, with &quot;;&quot; before the frames for drop frame.</source>
        <translation>Geben Sie eine Zeit als HH:MM:SS:FF ein, bei Drop-Frame mit „;“ vor den Frames.</translation>
    </message>
    <message>
        <source>Type an offset as HH:MM:SS:FF, two digits each.</source>
        <translation>Geben Sie einen Versatz als HH:MM:SS:FF ein, mit je zwei Ziffern.</translation>
    </message>
    <message>
        <source>A clip name cannot hold tabs, line breaks or other control characters.</source>
        <translation>Ein Clipname darf keine Tabulatoren, Zeilenumbrüche oder anderen Steuerzeichen enthalten.</translation>
    </message>
    <message>
        <source>A clip name holds printable ASCII characters only.</source>
        <translation>Ein Clipname darf nur druckbare ASCII-Zeichen enthalten.</translation>
    </message>
    <message>
        <source>A clip name cannot hold a comma.</source>
        <translation>Ein Clipname darf kein Komma enthalten.</translation>
    </message>
    <message>
        <source>A clip name has at most 8 characters.</source>
        <translation>Ein Clipname hat höchstens 8 Zeichen.</translation>
    </message>
    <message>
        <source>Invalid timecode representation</source>
        <translation>Ungültige Timecode-Darstellung</translation>
    </message>
    <message>
        <source>The .vg2 file is probably corrupt.</source>
        <translation>Die .vg2-Datei ist wahrscheinlich beschädigt.</translation>
    </message>
    <message>
        <source>Hours, minutes and seconds must be 0 to 99 and frames 0 to 39.</source>
        <translation>Stunden, Minuten und Sekunden müssen zwischen 0 und 99 liegen, Frames zwischen 0 und 39.</translation>
    </message>
    <message>
        <source>hours, minutes and seconds must be 0 to 99 and frames 0 to 39</source>
        <translation>Stunden, Minuten und Sekunden müssen zwischen 0 und 99 liegen, Frames zwischen 0 und 39</translation>
    </message>
    <message>
        <source>The VRG-500 takes hours, minutes and seconds up to 99 and frames up to 39.</source>
        <translation>Das VRG-500 akzeptiert Stunden, Minuten und Sekunden bis 99 und Frames bis 39.</translation>
    </message>
    <message>
        <source>hours, minutes and seconds 00 to 99, frames 00 to 39</source>
        <translation>Stunden, Minuten und Sekunden 00 bis 99, Frames 00 bis 39</translation>
    </message>
    <message>
        <source>frames 00 to 39</source>
        <translation>Frames 00 bis 39</translation>
    </message>
    <message>
        <source>Unknown response type for boolean response</source>
        <translation>Unbekannter Antworttyp für eine boolesche Antwort</translation>
    </message>
    <message>
        <source>Check to make sure that the VRG-500 is on and the right serial port is selected.</source>
        <translation>Prüfen Sie, ob das VRG-500 eingeschaltet und die richtige serielle Schnittstelle ausgewählt ist.</translation>
    </message>
</context>
</TS>
