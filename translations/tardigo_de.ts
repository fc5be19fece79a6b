<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AgendaEmptyHint</name>
    <message>
        <source>No item of the category “%1” is shown here.
Choose All Categories to see the items of every category.</source>
        <translation>Kein Eintrag der Kategorie „%1“ wird hier gezeigt.
Wählen Sie „Alle Kategorien“, um die Einträge jeder Kategorie zu sehen.</translation>
    </message>
    <message>
        <source>No outstanding item has a due date.
Check “Show items without a due date” to see the others.</source>
        <translation>Kein offener Eintrag hat ein Fälligkeitsdatum.
Kreuzen Sie „Einträge ohne Fälligkeitsdatum zeigen“ an, um die übrigen zu sehen.</translation>
    </message>
    <message>
        <source>These lists hold no outstanding item.</source>
        <translation>Diese Listen enthalten keinen offenen Eintrag.</translation>
    </message>
    <message>
        <source>No list is open or watched by the minder.
Open a list to see its items here: the minder watches every list you open or save.</source>
        <translation>Keine Liste ist geöffnet oder wird vom Erinnerungsdienst beobachtet.
Öffnen Sie eine Liste, um ihre Einträge hier zu sehen: Der Erinnerungsdienst beobachtet jede Liste, die Sie öffnen oder speichern.</translation>
    </message>
</context>
<context>
    <name>CellEditCommit</name>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>You have set a date due in the past.</source>
        <translation>Sie haben ein Fälligkeitsdatum in der Vergangenheit gesetzt.</translation>
    </message>
    <message>
        <source>set</source>
        <extracomment>Followed by the stored key of the cell edited (&quot;set category&quot;), in the undo name and the history.</extracomment>
        <translation>Ändern von</translation>
    </message>
    <message>
        <source>completed</source>
        <translation>erledigt</translation>
    </message>
    <message>
        <source>An item’s name cannot be empty, so it stays “%1”.</source>
        <translation>Ein Eintrag braucht einen Namen, daher bleibt er „%1“.</translation>
    </message>
    <message>
        <source>notes</source>
        <translation>Notizen</translation>
    </message>
</context>
<context>
    <name>ClearButton</name>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>To-do lists as outlines.</source>
        <translation>To-do-Listen als Gliederungen.</translation>
    </message>
    <message>
        <source>Use the dark palette (also TARDIGO_DARK=1).</source>
        <translation>Die dunkle Farbpalette verwenden (auch TARDIGO_DARK=1).</translation>
    </message>
    <message>
        <source>Add an item named TEXT to the first list.</source>
        <translation>Der ersten Liste einen Eintrag namens TEXT hinzufügen.</translation>
    </message>
    <message>
        <source>Add an item named after the text selected on the desktop (else the clipboard&apos;s) to the first list.</source>
        <translation>Der ersten Liste einen Eintrag hinzufügen, benannt nach dem auf dem Desktop ausgewählten Text (sonst dem der Zwischenablage).</translation>
    </message>
    <message>
        <source>With --print-to-pdf: print check boxes.</source>
        <translation>Mit --print-to-pdf: Ankreuzfelder drucken.</translation>
    </message>
    <message>
        <source>With --print-to-pdf: print icons.</source>
        <translation>Mit --print-to-pdf: Symbole drucken.</translation>
    </message>
    <message>
        <source>With --print-to-pdf: print notes.</source>
        <translation>Mit --print-to-pdf: Notizen drucken.</translation>
    </message>
    <message>
        <source>Printing a list without a window:</source>
        <translation>Eine Liste ohne Fenster drucken:</translation>
    </message>
    <message>
        <source>With --print-to-pdf: replace OUT when it exists.</source>
        <translation>Mit --print-to-pdf: OUT ersetzen, wenn es schon existiert.</translation>
    </message>
    <message>
        <source>The lists to open; with --print-to-pdf, the list to print.</source>
        <translation>Die zu öffnenden Listen; mit --print-to-pdf die zu druckende Liste.</translation>
    </message>
    <message>
        <source>Print the one list named into the PDF file OUT without opening a window; OUT is never a list.</source>
        <translation>Die eine genannte Liste in die PDF-Datei OUT drucken, ohne ein Fenster zu öffnen; OUT ist nie eine Liste.</translation>
    </message>
    <message>
        <source>Show the quick-add window: a line such as &quot;Call Anna tomorrow 10:00 #work&quot; becomes an item of the quickAddList preference&apos;s list (else the first open list).</source>
        <translation>Das Fenster für schnelles Hinzufügen zeigen: eine Zeile wie „Anna anrufen morgen 10:00 #Arbeit“ wird ein Eintrag der Liste aus der Einstellung quickAddList (sonst der ersten geöffneten Liste).</translation>
    </message>
    <message>
        <source>Answer the desktop&apos;s search without opening a window, and quit after a minute without a search (the desktop starts Tardigo so).</source>
        <translation>Die Suche des Desktops beantworten, ohne ein Fenster zu öffnen, und nach einer Minute ohne Suche beenden (so startet der Desktop Tardigo).</translation>
    </message>
</context>
<context>
    <name>DialogService</name>
    <message>
        <source>Tardigo lists (*.todo)</source>
        <translation>Tardigo-Listen (*.todo)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Add Icon</source>
        <translation>Symbol hinzufügen</translation>
    </message>
    <message>
        <source>Images (*.png *.jpg *.jpeg *.tiff *.tif *.pdf *.eps *.gif *.pict *.bmp)</source>
        <translation>Bilder (*.png *.jpg *.jpeg *.tiff *.tif *.pdf *.eps *.gif *.pict *.bmp)</translation>
    </message>
    <message>
        <source>Replace File</source>
        <translation>Datei ersetzen</translation>
    </message>
    <message>
        <source>“%1” already exists. Do you want to replace it?</source>
        <translation>„%1“ existiert bereits. Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>A file with the same name already exists in “%1”. Replacing it overwrites its contents.</source>
        <translation>Im Ordner „%1“ gibt es bereits eine Datei mit diesem Namen. Wenn Sie sie ersetzen, wird ihr Inhalt überschrieben.</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>The server at %1 shows a certificate that this computer does not trust.</source>
        <translation>Der Server unter %1 zeigt ein Zertifikat, dem dieser Computer nicht vertraut.</translation>
    </message>
    <message>
        <source>%1

Subject: %2
Issuer: %3
Valid from %4 to %5
SHA-256 fingerprint: %6

Trust it only when the server&apos;s owner confirms this fingerprint. Nothing is sent to the server before you decide; trusting it holds for this account and this certificate only.</source>
        <translation>%1

Inhaber: %2
Aussteller: %3
Gültig von %4 bis %5
SHA-256-Fingerabdruck: %6

Vertrauen Sie ihm nur, wenn der Betreiber des Servers diesen Fingerabdruck bestätigt. Bevor Sie entscheiden, wird nichts an den Server gesendet; das Vertrauen gilt nur für dieses Konto und dieses Zertifikat.</translation>
    </message>
    <message>
        <source>Certificate Not Trusted</source>
        <translation>Zertifikat nicht vertrauenswürdig</translation>
    </message>
    <message>
        <source>&amp;Trust This Certificate</source>
        <translation>Diesem Zertifikat &amp;vertrauen</translation>
    </message>
</context>
<context>
    <name>DueDateEntry</name>
    <message>
        <source>now</source>
        <translation>jetzt</translation>
    </message>
    <message>
        <source>today</source>
        <translation>heute</translation>
    </message>
    <message>
        <source>tomorrow</source>
        <translation>morgen</translation>
    </message>
    <message>
        <source>yesterday</source>
        <translation>gestern</translation>
    </message>
    <message>
        <source>“%1” is not a date Tardigo can read, so the due date stays as it was. Type a date such as “%2”, a day such as “tomorrow” or “+3d”, or clear the cell to remove the due date.</source>
        <translation>„%1“ ist kein Datum, das Tardigo lesen kann, daher bleibt das Fälligkeitsdatum unverändert. Geben Sie ein Datum wie „%2“ ein, einen Tag wie „morgen“ oder „+3d“, oder leeren Sie die Zelle, um das Fälligkeitsdatum zu entfernen.</translation>
    </message>
    <message>
        <source>at</source>
        <translation>um</translation>
    </message>
</context>
<context>
    <name>EmptyListHint</name>
    <message>
        <source>Every item of this list is completed and hidden.
Press %1 or click Hide Completed to show them again.</source>
        <translation>Alle Einträge dieser Liste sind erledigt und ausgeblendet.
Drücken Sie %1 oder klicken Sie auf „Erledigte ausblenden“, um sie wieder zu zeigen.</translation>
    </message>
    <message>
        <source>This list has no items yet.
Press %1 or click New to add the first one.</source>
        <translation>Diese Liste hat noch keine Einträge.
Drücken Sie %1 oder klicken Sie auf „Neu“, um den ersten anzulegen.</translation>
    </message>
    <message>
        <source>No item matches “%1”.
Press Escape in the search field to clear it.</source>
        <translation>Kein Eintrag passt zu „%1“.
Drücken Sie im Suchfeld Escape, um es zu leeren.</translation>
    </message>
</context>
<context>
    <name>ErrorReporter</name>
    <message>
        <source>Tardigo Minder Error</source>
        <translation>Fehler im Tardigo-Erinnerungsdienst</translation>
    </message>
</context>
<context>
    <name>FileErrorMessages</name>
    <message>
        <source>“%1” could not be found.</source>
        <translation>„%1“ wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>It may have been moved, renamed or deleted.</source>
        <translation>Die Datei wurde vielleicht verschoben, umbenannt oder gelöscht.</translation>
    </message>
    <message>
        <source>“%1” is not a file.</source>
        <translation>„%1“ ist keine Datei.</translation>
    </message>
    <message>
        <source>Choose a Tardigo list, a file ending in .todo.</source>
        <translation>Wählen Sie eine Tardigo-Liste, eine Datei mit der Endung .todo.</translation>
    </message>
    <message>
        <source>You may not read “%1”.</source>
        <translation>Sie dürfen „%1“ nicht lesen.</translation>
    </message>
    <message>
        <source>Ask the owner of the file to let you read it, or open a copy of it.</source>
        <translation>Bitten Sie den Eigentümer der Datei um Leserechte oder öffnen Sie eine Kopie davon.</translation>
    </message>
    <message>
        <source>“%1” could not be converted.</source>
        <translation>„%1“ konnte nicht umgewandelt werden.</translation>
    </message>
    <message>
        <source>It is a list from Tardigo 1.x that this version cannot read: it may be damaged, or it was saved by a newer version.</source>
        <translation>Es ist eine Liste aus Tardigo 1.x, die diese Version nicht lesen kann: Sie ist vielleicht beschädigt oder wurde von einer neueren Version gespeichert.</translation>
    </message>
    <message>
        <source>This file is not a Tardigo list.</source>
        <translation>Diese Datei ist keine Tardigo-Liste.</translation>
    </message>
    <message>
        <source>“%1” could not be opened: it is another kind of file, or a list that was damaged.</source>
        <translation>„%1“ konnte nicht geöffnet werden: Es ist eine andere Art von Datei oder eine beschädigte Liste.</translation>
    </message>
    <message>
        <source>“%1” could not be saved.</source>
        <translation>„%1“ konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Your changes are still here, and the file on disk is as it was. Check that the disk has room and that you may write to its folder, then save again, or choose Save As to save the list somewhere else.</source>
        <translation>Ihre Änderungen sind noch da, und die Datei auf dem Datenträger ist unverändert. Prüfen Sie, ob auf dem Datenträger Platz ist und Sie in den Ordner schreiben dürfen, und speichern Sie dann erneut, oder wählen Sie „Speichern unter“, um die Liste anderswo zu speichern.</translation>
    </message>
    <message>
        <source>“%1” could not be written.</source>
        <translation>„%1“ konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Check that the disk has room and that you may write to its folder, then export again.</source>
        <translation>Prüfen Sie, ob auf dem Datenträger Platz ist und Sie in den Ordner schreiben dürfen, und exportieren Sie dann erneut.</translation>
    </message>
    <message>
        <source>“%1” could not be synced.</source>
        <translation>„%1“ konnte nicht synchronisiert werden.</translation>
    </message>
    <message>
        <source>Nothing was changed in the list or in its folder. Tardigo tries again at the next sync; choose File &gt; Sync Now to try at once, or File &gt; Sync Settings… to choose another folder.</source>
        <translation>Weder die Liste noch ihr Ordner wurden geändert. Tardigo versucht es bei der nächsten Synchronisierung erneut; wählen Sie Datei &gt; Jetzt synchronisieren, um es sofort zu versuchen, oder Datei &gt; Synchronisierungseinstellungen …, um einen anderen Ordner zu wählen.</translation>
    </message>
    <message>
        <source>List: %1
Sync folder: %2</source>
        <translation>Liste: %1
Synchronisierungsordner: %2</translation>
    </message>
    <message>
        <source>Some items of “%1” were changed both here and elsewhere.</source>
        <translation>Einige Einträge von „%1“ wurden sowohl hier als auch anderswo geändert.</translation>
    </message>
    <message>
        <source>Both versions of each are kept: the one changed last stays in its place, and the other is beside it, named “(conflict copy)”. Keep the one you want and delete the other.</source>
        <translation>Beide Fassungen werden behalten: Die zuletzt geänderte bleibt an ihrem Platz, die andere steht daneben, benannt „(conflict copy)“. Behalten Sie die gewünschte und löschen Sie die andere.</translation>
    </message>
    <message>
        <source>Some items of “%1” repeat in a way Tardigo cannot show.</source>
        <translation>Einige Einträge von „%1“ wiederholen sich auf eine Weise, die Tardigo nicht darstellen kann.</translation>
    </message>
    <message>
        <source>Another program gave them a repeat that no Tardigo period expresses, such as every three days. They are in the list without a repeat, and the other program keeps theirs.</source>
        <translation>Ein anderes Programm hat ihnen eine Wiederholung gegeben, die kein Zeitraum von Tardigo ausdrückt, etwa alle drei Tage. Sie stehen ohne Wiederholung in der Liste, und das andere Programm behält seine.</translation>
    </message>
    <message>
        <source>Some files in the sync folder “%1” were passed over.</source>
        <translation>Einige Dateien im Synchronisierungsordner „%1“ wurden übergangen.</translation>
    </message>
    <message>
        <source>Their to-dos wait for the next sync. Show Details tells what is wrong with each file: mend or remove it there, then sync again.</source>
        <translation>Ihre Aufgaben warten auf die nächste Synchronisierung. „Details anzeigen“ sagt, was an jeder Datei falsch ist: Beheben oder entfernen Sie es dort und synchronisieren Sie dann erneut.</translation>
    </message>
    <message>
        <source>Some files of “%1” could not be written.</source>
        <translation>Einige Dateien von „%1“ konnten nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The sync folder “%1” did not take them: it may be full, or you may not write to it. The list is whole, and their items are written at the next sync. Show Details names each file.</source>
        <translation>Der Synchronisierungsordner „%1“ hat sie nicht angenommen: Er ist vielleicht voll, oder Sie dürfen nicht in ihn schreiben. Die Liste ist vollständig, und ihre Einträge werden bei der nächsten Synchronisierung geschrieben. „Details anzeigen“ nennt jede Datei.</translation>
    </message>
    <message>
        <source>Sync “%1” with the folder it names?</source>
        <translation>„%1“ mit dem Ordner synchronisieren, den die Liste nennt?</translation>
    </message>
    <message>
        <source>The list names the sync folder “%1”, but it was never synced with it on this computer: it may be a copy of another list, or a list from someone else. Syncing changes the files in that folder.</source>
        <translation>Die Liste nennt den Synchronisierungsordner „%1“, wurde auf diesem Computer aber nie mit ihm synchronisiert: Sie ist vielleicht die Kopie einer anderen Liste oder die Liste eines anderen Menschen. Eine Synchronisierung ändert die Dateien in diesem Ordner.</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>Synchronisieren</translation>
    </message>
    <message>
        <source>Don’t Sync</source>
        <translation>Nicht synchronisieren</translation>
    </message>
    <message>
        <source>The sync folder of “%1” holds none of its to-dos.</source>
        <translation>Der Synchronisierungsordner von „%1“ enthält keine seiner Aufgaben mehr.</translation>
    </message>
    <message>
        <source>The sync folder of “%1” has lost %2 of its %3 to-dos.</source>
        <translation>Der Synchronisierungsordner von „%1“ hat %2 seiner %3 Aufgaben verloren.</translation>
    </message>
    <message>
        <source>“%1” may be on a drive that is not mounted, or it was emptied, and nothing was changed. Keep the items and sync when the folder is back, or remove them from the list (%2 in all) if their to-dos were deleted on purpose.</source>
        <translation>„%1“ liegt vielleicht auf einem Laufwerk, das nicht eingehängt ist, oder wurde geleert; nichts wurde geändert. Behalten Sie die Einträge und synchronisieren Sie, wenn der Ordner wieder da ist, oder entfernen Sie sie aus der Liste (insgesamt %2), wenn ihre Aufgaben absichtlich gelöscht wurden.</translation>
    </message>
    <message>
        <source>Remove Items</source>
        <translation>Einträge entfernen</translation>
    </message>
    <message>
        <source>Keep Items</source>
        <translation>Einträge behalten</translation>
    </message>
    <message>
        <source>Nothing was changed in the list or in its calendar; what changed here goes out at the next sync that reaches the server. Choose File &gt; Sync Now to try at once, or File &gt; Sync Settings… to choose another calendar.</source>
        <translation>Weder die Liste noch ihr Kalender wurden geändert; was sich hier geändert hat, geht mit der nächsten Synchronisierung hinaus, die den Server erreicht. Wählen Sie Datei &gt; Jetzt synchronisieren, um es sofort zu versuchen, oder Datei &gt; Synchronisierungseinstellungen …, um einen anderen Kalender zu wählen.</translation>
    </message>
    <message>
        <source>The calendar of “%1” holds none of its to-dos.</source>
        <translation>Der Kalender von „%1“ enthält keine seiner Aufgaben mehr.</translation>
    </message>
    <message>
        <source>The calendar of “%1” has lost %2 of its %3 to-dos.</source>
        <translation>Der Kalender von „%1“ hat %2 seiner %3 Aufgaben verloren.</translation>
    </message>
    <message>
        <source>Another program may have emptied the calendar %1, and nothing was changed. Keep the items, or remove them from the list (%2 in all) if their to-dos were deleted on purpose.</source>
        <translation>Vielleicht hat ein anderes Programm den Kalender %1 geleert; nichts wurde geändert. Behalten Sie die Einträge, oder entfernen Sie sie aus der Liste (insgesamt %2), wenn ihre Aufgaben mit Absicht gelöscht wurden.</translation>
    </message>
    <message>
        <source>“%1” was not synced: the server could not be reached.</source>
        <translation>„%1“ wurde nicht synchronisiert: Der Server war nicht erreichbar.</translation>
    </message>
    <message>
        <source>Nothing was lost: the list keeps every change, and what did not reach the server goes out at the next sync that does. Choose File &gt; Sync Now to try again once the server is back.</source>
        <translation>Nichts ging verloren: Die Liste behält jede Änderung, und was den Server nicht erreicht hat, geht mit der nächsten Synchronisierung hinaus, die ihn erreicht. Wählen Sie Datei &gt; Jetzt synchronisieren, um es erneut zu versuchen, sobald der Server wieder da ist.</translation>
    </message>
    <message>
        <source>The other program saved it as a Tardigo 1.x list, which cannot be merged.</source>
        <translation>Das andere Programm hat sie als Liste von Tardigo 1.x gespeichert, die sich nicht zusammenführen lässt.</translation>
    </message>
    <message>
        <source>Merged, its items would nest deeper than a list can hold.</source>
        <translation>Zusammengeführt wären ihre Einträge tiefer verschachtelt, als eine Liste es erlaubt.</translation>
    </message>
    <message>
        <source>Tardigo could not merge the two versions without losing an item.</source>
        <translation>Tardigo konnte die beiden Versionen nicht zusammenführen, ohne einen Eintrag zu verlieren.</translation>
    </message>
    <message>
        <source>The file on disk could not be read as a Tardigo list.</source>
        <translation>Die Datei auf dem Datenträger ließ sich nicht als Tardigo-Liste lesen.</translation>
    </message>
    <message>
        <source>“%1” could not be merged.</source>
        <translation>„%1“ konnte nicht zusammengeführt werden.</translation>
    </message>
    <message>
        <source>Nothing was changed: your version is still here, and the file is as the other program left it. Save to choose between keeping yours and reloading theirs.</source>
        <translation>Nichts wurde geändert: Ihre Version ist noch hier, und die Datei ist so, wie das andere Programm sie hinterlassen hat. Speichern Sie, um zwischen Ihrer Version und dem Neuladen der anderen zu wählen.</translation>
    </message>
    <message>
        <source>Some items of “%1” were changed both here and on disk.</source>
        <translation>Einige Einträge von „%1“ wurden sowohl hier als auch auf dem Datenträger geändert.</translation>
    </message>
    <message>
        <source>Both versions of each are kept: yours stays in its place, and the one on disk is right after it, named “(conflict copy)”. Keep the one you want and delete the other, then save the list.</source>
        <translation>Beide Versionen bleiben erhalten: Ihre bleibt an ihrem Platz, und die vom Datenträger folgt direkt danach, benannt „(conflict copy)“. Behalten Sie die gewünschte, löschen Sie die andere und speichern Sie dann die Liste.</translation>
    </message>
</context>
<context>
    <name>HelpCommands</name>
    <message>
        <source>Tardigo Help</source>
        <translation>Tardigo-Hilfe</translation>
    </message>
    <message>
        <source>The user guide is not installed.</source>
        <translation>Das Benutzerhandbuch ist nicht installiert.</translation>
    </message>
    <message>
        <source>No web browser opened the user guide.</source>
        <translation>Kein Webbrowser hat das Benutzerhandbuch geöffnet.</translation>
    </message>
    <message>
        <source>Tardigo looked for %1 in the data folders of this system. Installing the tardigo package puts it there.</source>
        <translation>Tardigo hat in den Datenordnern dieses Systems nach %1 gesucht. Das Paket tardigo legt es dort ab, wenn Sie es installieren.</translation>
    </message>
    <message>
        <source>Open %1 in a web browser to read it.</source>
        <translation>Öffnen Sie %1 in einem Webbrowser, um es zu lesen.</translation>
    </message>
    <message>
        <source>About Tardigo</source>
        <translation>Über Tardigo</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Tardigo %1&lt;/h3&gt;&lt;p&gt;To-do lists as outlines.&lt;/p&gt;&lt;p&gt;Copyright © The Tardigo developers&lt;/p&gt;&lt;p&gt;Tardigo is free software under the GNU General Public License, version 3 or any later version (GPL-3.0-or-later). It comes with absolutely no warranty.&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Tardigo %1&lt;/h3&gt;&lt;p&gt;To-do-Listen als Gliederungen.&lt;/p&gt;&lt;p&gt;Copyright © Die Tardigo-Entwickler&lt;/p&gt;&lt;p&gt;Tardigo ist freie Software unter der GNU General Public License, Version 3 oder jeder späteren Version (GPL-3.0-or-later). Es kommt ohne jegliche Gewährleistung.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>IconNames</name>
    <message>
        <source>Sparkles</source>
        <translation>Funkelnde Sterne</translation>
    </message>
    <message>
        <source>Empty box</source>
        <translation>Leeres Kästchen</translation>
    </message>
    <message>
        <source>Gray check mark</source>
        <translation>Grauer Haken</translation>
    </message>
    <message>
        <source>Blue check mark</source>
        <translation>Blauer Haken</translation>
    </message>
    <message>
        <source>Purple check mark</source>
        <translation>Violetter Haken</translation>
    </message>
    <message>
        <source>Orange check mark</source>
        <translation>Oranger Haken</translation>
    </message>
    <message>
        <source>Red check mark</source>
        <translation>Roter Haken</translation>
    </message>
    <message>
        <source>Green check mark</source>
        <translation>Grüner Haken</translation>
    </message>
    <message>
        <source>Check mark</source>
        <translation>Haken</translation>
    </message>
    <message>
        <source>Black bullet</source>
        <translation>Schwarzer Punkt</translation>
    </message>
    <message>
        <source>Green bullet</source>
        <translation>Grüner Punkt</translation>
    </message>
    <message>
        <source>Blue bullet</source>
        <translation>Blauer Punkt</translation>
    </message>
    <message>
        <source>Red bullet</source>
        <translation>Roter Punkt</translation>
    </message>
    <message>
        <source>Yellow star</source>
        <translation>Gelber Stern</translation>
    </message>
    <message>
        <source>White star on yellow</source>
        <translation>Weißer Stern auf Gelb</translation>
    </message>
    <message>
        <source>Red star</source>
        <translation>Roter Stern</translation>
    </message>
    <message>
        <source>White star on red</source>
        <translation>Weißer Stern auf Rot</translation>
    </message>
    <message>
        <source>Mosaic</source>
        <translation>Mosaik</translation>
    </message>
    <message>
        <source>Pointing hand</source>
        <translation>Zeigefinger</translation>
    </message>
    <message>
        <source>Gears</source>
        <translation>Zahnräder</translation>
    </message>
    <message>
        <source>Heart</source>
        <translation>Herz</translation>
    </message>
    <message>
        <source>Pencil</source>
        <translation>Bleistift</translation>
    </message>
    <message>
        <source>Telephone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Ringing phone</source>
        <translation>Klingelndes Telefon</translation>
    </message>
    <message>
        <source>Skull and crossbones</source>
        <translation>Totenkopf</translation>
    </message>
    <message>
        <source>Radioactive</source>
        <translation>Radioaktiv</translation>
    </message>
    <message>
        <source>Speech bubble</source>
        <translation>Sprechblase</translation>
    </message>
    <message>
        <source>Signal bars</source>
        <translation>Empfangsbalken</translation>
    </message>
    <message>
        <source>Smiling face</source>
        <translation>Lächelndes Gesicht</translation>
    </message>
    <message>
        <source>Clock</source>
        <translation>Uhr</translation>
    </message>
    <message>
        <source>Umbrella</source>
        <translation>Regenschirm</translation>
    </message>
</context>
<context>
    <name>InspectorCommands</name>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>set date due</source>
        <translation>Fälligkeitsdatum ändern</translation>
    </message>
    <message>
        <source>You have set a date due in the past.</source>
        <translation>Sie haben ein Fälligkeitsdatum in der Vergangenheit gesetzt.</translation>
    </message>
    <message>
        <source>This item does not yet have a date due.</source>
        <translation>Dieser Eintrag hat noch kein Fälligkeitsdatum.</translation>
    </message>
    <message>
        <source>set date due repeat</source>
        <translation>Wiederholung der Fälligkeit ändern</translation>
    </message>
    <message>
        <source>Set Due Date Repeat</source>
        <translation>Wiederholung der Fälligkeit setzen</translation>
    </message>
    <message>
        <source>set reminder</source>
        <translation>Erinnerung ändern</translation>
    </message>
    <message>
        <source>set reminder interval</source>
        <translation>Erinnerungsabstand ändern</translation>
    </message>
    <message>
        <source>set reminder type</source>
        <translation>Erinnerungsart ändern</translation>
    </message>
    <message>
        <source>set reminder repeat</source>
        <translation>Wiederholung der Erinnerung ändern</translation>
    </message>
    <message>
        <source>set reminder whence</source>
        <translation>Bezugspunkt der Erinnerung ändern</translation>
    </message>
    <message>
        <source>set icon</source>
        <translation>Symbol ändern</translation>
    </message>
    <message>
        <source>icon type</source>
        <translation>Symbolart</translation>
    </message>
    <message>
        <source>set font</source>
        <translation>Schrift ändern</translation>
    </message>
    <message>
        <source>set color</source>
        <translation>Farbe ändern</translation>
    </message>
</context>
<context>
    <name>InspectorTools</name>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Due Date</source>
        <translation>Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>Reminder</source>
        <translation>Erinnerung</translation>
    </message>
    <message>
        <source>Icons</source>
        <translation>Symbole</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Completion and Category</source>
        <translation>Fortschritt und Kategorie</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
</context>
<context>
    <name>ItemCommands</name>
    <message>
        <source>Add Item</source>
        <translation>Eintrag hinzufügen</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>set completion</source>
        <translation>Fortschritt ändern</translation>
    </message>
    <message>
        <source>completed</source>
        <translation>erledigt</translation>
    </message>
    <message>
        <source>set category</source>
        <translation>Kategorie ändern</translation>
    </message>
    <message>
        <source>Please Confirm</source>
        <translation>Bitte bestätigen</translation>
    </message>
    <message>
        <source>Purge all completed items in this list? There is no undo for this action.</source>
        <translation>Alle erledigten Einträge dieser Liste entfernen? Das lässt sich nicht rückgängig machen.</translation>
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
    <name>ItemTransfer</name>
    <message>
        <source>Move</source>
        <translation>Verschieben</translation>
    </message>
    <message>
        <source>Drop</source>
        <translation>Ablegen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
</context>
<context>
    <name>LegacyClasses</name>
    <message>
        <source>This list was saved by a newer version of Tardigo, which this version cannot read. Please install the current version of Tardigo and open it there.</source>
        <translation>Diese Liste wurde von einer neueren Version von Tardigo gespeichert, die diese Version nicht lesen kann. Bitte installieren Sie die aktuelle Version von Tardigo und öffnen Sie die Liste dort.</translation>
    </message>
</context>
<context>
    <name>LegacyImport</name>
    <message>
        <source>imported from 1.x doc</source>
        <translation>aus einem Dokument von Tardigo 1.x importiert</translation>
    </message>
</context>
<context>
    <name>ListLockWait</name>
    <message>
        <source>another program, which does not say which</source>
        <translation>einem anderen Programm, das sich nicht nennt</translation>
    </message>
    <message>
        <source>process %1</source>
        <translation>Prozess %1</translation>
    </message>
    <message>
        <source>process %1 (%2)</source>
        <translation>Prozess %1 (%2)</translation>
    </message>
    <message>
        <source>%1 on the computer “%2”</source>
        <translation>%1 auf dem Rechner „%2“</translation>
    </message>
    <message>
        <source>Tardigo saves it as soon as that program has finished.</source>
        <translation>Tardigo speichert sie, sobald jenes Programm fertig ist.</translation>
    </message>
    <message>
        <source>Tardigo reads it again as soon as that program has finished.</source>
        <translation>Tardigo liest sie neu, sobald jenes Programm fertig ist.</translation>
    </message>
    <message>
        <source>“%1” is being changed by %2.</source>
        <translation>„%1“ wird gerade von %2 geändert.</translation>
    </message>
    <message>
        <source>Waiting for Another Program</source>
        <translation>Warten auf ein anderes Programm</translation>
    </message>
    <message>
        <source>Stop Waiting</source>
        <translation>Nicht mehr warten</translation>
    </message>
</context>
<context>
    <name>MessageBoxHost</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>NewItem</name>
    <message>
        <source>&lt;new todo&gt;</source>
        <translation>&lt;neuer Eintrag&gt;</translation>
    </message>
    <message>
        <source>item created</source>
        <translation>Eintrag angelegt</translation>
    </message>
</context>
<context>
    <name>NoticeDelivery</name>
    <message>
        <source>Tardigo reminder: %1</source>
        <translation>Tardigo-Erinnerung: %1</translation>
    </message>
    <message>
        <source>Tardigo: past due: %1</source>
        <translation>Tardigo: überfällig: %1</translation>
    </message>
    <message>
        <source>Tardigo Minder Notification</source>
        <translation>Mitteilung des Tardigo-Erinnerungsdienstes</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>View Item</source>
        <translation>Eintrag zeigen</translation>
    </message>
    <message>
        <source>%1

Item: %2
Due: %3
Complete: %4
Category: %5

Notes:
%6

-- 
Sent by the Tardigo Minder.
</source>
        <extracomment>A notice&apos;s mail: %1 the notice, then the item&apos;s name, due date, completion, category and notes.</extracomment>
        <translation>%1

Eintrag: %2
Fällig: %3
Erledigt: %4
Kategorie: %5

Notizen:
%6

-- 
Gesendet vom Tardigo-Erinnerungsdienst.
</translation>
    </message>
</context>
<context>
    <name>OutlineAppearance</name>
    <message>
        <source>Status</source>
        <translation>Zustand</translation>
    </message>
</context>
<context>
    <name>OutlineColumns</name>
    <message>
        <source>Item</source>
        <translation>Eintrag</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Due Date</source>
        <translation>Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Completion</source>
        <translation>Fortschritt</translation>
    </message>
</context>
<context>
    <name>OutlineCommands</name>
    <message>
        <source>clear search</source>
        <translation>Suche leeren</translation>
    </message>
</context>
<context>
    <name>OutputConfirmation</name>
    <message>
        <source>It is the list being printed or exported. Choose another file name.</source>
        <translation>Es ist die Liste, die gedruckt oder exportiert wird. Wählen Sie einen anderen Dateinamen.</translation>
    </message>
    <message>
        <source>It is a Tardigo list, which a printout or an export never replaces. Choose another file name.</source>
        <translation>Es ist eine Tardigo-Liste, und ein Ausdruck oder ein Export ersetzt nie eine Liste. Wählen Sie einen anderen Dateinamen.</translation>
    </message>
    <message>
        <source>It is a folder or a device, not a file. Choose a file name.</source>
        <translation>Es ist ein Ordner oder ein Gerät, keine Datei. Wählen Sie einen Dateinamen.</translation>
    </message>
    <message>
        <source>“%1” was not replaced.</source>
        <translation>„%1“ wurde nicht ersetzt.</translation>
    </message>
</context>
<context>
    <name>PrintLayout</name>
    <message>
        <source>%1% complete</source>
        <translation>%1&#xa0;% erledigt</translation>
    </message>
    <message>
        <source>due: %1</source>
        <translation>fällig: %1</translation>
    </message>
</context>
<context>
    <name>PrintPage</name>
    <message>
        <source>page</source>
        <translation>Seite</translation>
    </message>
</context>
<context>
    <name>PrintToPdf</name>
    <message>
        <source>“%1” is a Tardigo 1.x list. Convert it first with “tardigo-cli import”, then print the converted list.</source>
        <translation>„%1“ ist eine Liste aus Tardigo 1.x. Wandeln Sie sie zuerst mit „tardigo-cli import“ um und drucken Sie dann die umgewandelte Liste.</translation>
    </message>
</context>
<context>
    <name>PrintView</name>
    <message>
        <source>“%1” could not be written. Check that its folder exists and that you may write there.</source>
        <translation>„%1“ konnte nicht geschrieben werden. Prüfen Sie, ob der Ordner existiert und Sie dort schreiben dürfen.</translation>
    </message>
    <message>
        <source>The printer “%1” could not be started. Check that it is ready and try again.</source>
        <translation>Der Drucker „%1“ konnte nicht gestartet werden. Prüfen Sie, ob er bereit ist, und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>PropertyListExport</name>
    <message>
        <source>XML property lists (*.plist)</source>
        <translation>XML-Eigenschaftslisten (*.plist)</translation>
    </message>
</context>
<context>
    <name>QtPartNames</name>
    <message>
        <source>Previous month</source>
        <translation>Voriger Monat</translation>
    </message>
    <message>
        <source>Next month</source>
        <translation>Nächster Monat</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Days of the month</source>
        <translation>Tage des Monats</translation>
    </message>
    <message>
        <source>More toolbar buttons</source>
        <translation>Weitere Elemente der Symbolleiste</translation>
    </message>
</context>
<context>
    <name>QuickAddReading</name>
    <message>
        <source>Give the item a name.</source>
        <translation>Geben Sie dem Eintrag einen Namen.</translation>
    </message>
    <message>
        <source>category %1</source>
        <translation>Kategorie %1</translation>
    </message>
    <message>
        <source>due %1</source>
        <translation>fällig %1</translation>
    </message>
    <message>
        <source>no due date</source>
        <translation>ohne Fälligkeit</translation>
    </message>
</context>
<context>
    <name>RecurrenceCalculator</name>
    <message>
        <source>No next due date could be found for the item due %1: the next month has no such weekday at that position. Please choose a new due date.</source>
        <translation>Für den am %1 fälligen Eintrag ließ sich kein nächster Fälligkeitstermin finden: Der nächste Monat hat keinen solchen Wochentag an dieser Stelle. Bitte wählen Sie einen neuen Fälligkeitstermin.</translation>
    </message>
    <message>
        <source>The next month has only %1 days, so the due date on day %2 was moved to the month&apos;s last day.</source>
        <translation>Der nächste Monat hat nur %1 Tage, daher wurde der Fälligkeitstermin vom %2. auf den letzten Tag des Monats verlegt.</translation>
    </message>
</context>
<context>
    <name>RemindAgain</name>
    <message>
        <source>Remind Me in 10 Minutes</source>
        <translation>In 10 Minuten erinnern</translation>
    </message>
    <message>
        <source>Remind Me in 1 Hour</source>
        <translation>In 1 Stunde erinnern</translation>
    </message>
    <message>
        <source>Remind Me Tomorrow</source>
        <translation>Morgen erinnern</translation>
    </message>
</context>
<context>
    <name>RowStatus</name>
    <message>
        <source>Done</source>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>Not done</source>
        <translation>Nicht erledigt</translation>
    </message>
    <message>
        <source>%1 % complete</source>
        <translation>zu %1 % erledigt</translation>
    </message>
    <message>
        <source>overdue</source>
        <translation>überfällig</translation>
    </message>
    <message>
        <source>due soon</source>
        <translation>bald fällig</translation>
    </message>
    <message>
        <source>has notes</source>
        <translation>mit Notizen</translation>
    </message>
    <message>
        <source>repeats</source>
        <translation>wiederholt sich</translation>
    </message>
    <message>
        <source>reminder set</source>
        <translation>Erinnerung gesetzt</translation>
    </message>
</context>
<context>
    <name>RtfReader</name>
    <message>
        <source>The text is not RTF: it does not start with {\rtf.</source>
        <translation>Der Text ist kein RTF: Er beginnt nicht mit {\rtf.</translation>
    </message>
    <message>
        <source>The text nests groups deeper than %1 levels at byte %2.</source>
        <translation>Der Text verschachtelt Gruppen bei Byte %2 tiefer als %1 Ebenen.</translation>
    </message>
</context>
<context>
    <name>RtfdContainer</name>
    <message>
        <source>The RTFD data is cut short at byte %1.</source>
        <translation>Die RTFD-Daten brechen bei Byte %1 ab.</translation>
    </message>
    <message>
        <source>The RTFD padding at byte %1 runs past the end of the data.</source>
        <translation>Die RTFD-Auffüllung bei Byte %1 reicht über das Ende der Daten hinaus.</translation>
    </message>
    <message>
        <source>An RTFD entry at byte %1 claims %2 bytes, more than it holds.</source>
        <translation>Ein RTFD-Eintrag bei Byte %1 gibt %2 Bytes an, mehr als er enthält.</translation>
    </message>
    <message>
        <source>The RTFD data holds no TXT.rtf.</source>
        <translation>Die RTFD-Daten enthalten keine TXT.rtf.</translation>
    </message>
    <message>
        <source>The RTFD data has the unknown version %1.</source>
        <translation>Die RTFD-Daten haben die unbekannte Version %1.</translation>
    </message>
    <message>
        <source>The data is not RTFD: byte %1 does not start a directory.</source>
        <translation>Die Daten sind kein RTFD: Bei Byte %1 beginnt kein Verzeichnis.</translation>
    </message>
    <message>
        <source>The RTFD directory at byte %1 claims %2 entries, more than the data can hold.</source>
        <translation>Das RTFD-Verzeichnis bei Byte %1 gibt %2 Einträge an, mehr als die Daten fassen können.</translation>
    </message>
    <message>
        <source>The RTFD entry &quot;%1&quot; at byte %2 claims %3 bytes, past the end of the data.</source>
        <translation>Der RTFD-Eintrag „%1“ bei Byte %2 gibt %3 Bytes an, über das Ende der Daten hinaus.</translation>
    </message>
</context>
<context>
    <name>StatusDisplay</name>
    <message>
        <source>All items are completed.</source>
        <translation>Alle Einträge sind erledigt.</translation>
    </message>
    <message>
        <source>%1/%2 outstanding</source>
        <translation>%1/%2 offen</translation>
    </message>
    <message>
        <source>[no selection]</source>
        <translation>[keine Auswahl]</translation>
    </message>
    <message>
        <source>(multiple selection OK)</source>
        <translation>(Mehrfachauswahl möglich)</translation>
    </message>
    <message>
        <source>(multiple selection)</source>
        <translation>(Mehrfachauswahl)</translation>
    </message>
    <message>
        <source>Attach Inspector</source>
        <translation>Inspektor andocken</translation>
    </message>
    <message>
        <source>Tear Off Inspector</source>
        <translation>Inspektor abtrennen</translation>
    </message>
</context>
<context>
    <name>TardigoMinder</name>
    <message>
        <source>Tardigo Minder Error while scanning a list</source>
        <translation>Fehler im Tardigo-Erinnerungsdienst beim Durchsehen einer Liste</translation>
    </message>
    <message>
        <source>Tardigo Minder Error while checking an item</source>
        <translation>Fehler im Tardigo-Erinnerungsdienst beim Prüfen eines Eintrags</translation>
    </message>
    <message>
        <source>Past date due: %1</source>
        <translation>Fälligkeit überschritten: %1</translation>
    </message>
    <message>
        <source>This repeating item is due again on %1.</source>
        <translation>Dieser wiederkehrende Eintrag ist wieder am %1 fällig.</translation>
    </message>
    <message>
        <source>Reminder!</source>
        <translation>Erinnerung!</translation>
    </message>
</context>
<context>
    <name>TreeShaping</name>
    <message>
        <source>Indent</source>
        <translation>Einrücken</translation>
    </message>
    <message>
        <source>Outdent</source>
        <translation>Ausrücken</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>New Child Item</source>
        <translation>Neuer Untereintrag</translation>
    </message>
</context>
<context>
    <name>tardigo::AccountsPage</name>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>No password in the keyring</source>
        <translation>Kein Passwort im Schlüsselbund</translation>
    </message>
    <message>
        <source>No keyring answers</source>
        <translation>Kein Schlüsselbund antwortet</translation>
    </message>
    <message>
        <source>The keyring refused</source>
        <translation>Der Schlüsselbund verweigert den Zugriff</translation>
    </message>
    <message>
        <source>Accounts</source>
        <translation>Konten</translation>
    </message>
    <message>
        <source>CalDAV accounts</source>
        <translation>CalDAV-Konten</translation>
    </message>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Trusted certificate</source>
        <translation>Vertrautes Zertifikat</translation>
    </message>
    <message>
        <source>What went wrong</source>
        <translation>Was schiefging</translation>
    </message>
    <message>
        <source>Add A&amp;ccount…</source>
        <translation>Konto &amp;hinzufügen…</translation>
    </message>
    <message>
        <source>Re&amp;move Account…</source>
        <translation>Konto ent&amp;fernen…</translation>
    </message>
    <message>
        <source>&amp;Forget Certificate</source>
        <translation>Zertifikat &amp;vergessen</translation>
    </message>
    <message>
        <source>Asking the keyring…</source>
        <translation>Schlüsselbund wird gefragt…</translation>
    </message>
    <message>
        <source>%1; trusts a certificate</source>
        <translation>%1; vertraut einem Zertifikat</translation>
    </message>
    <message>
        <source>“%1” trusts the certificate of its server with the SHA-256 fingerprint %2.</source>
        <translation>„%1“ vertraut dem Zertifikat seines Servers mit dem SHA-256-Fingerabdruck %2.</translation>
    </message>
    <message>
        <source>Password Not Kept</source>
        <translation>Passwort nicht gespeichert</translation>
    </message>
    <message>
        <source>The account “%1” was added, but its password was not kept.</source>
        <translation>Das Konto „%1“ wurde hinzugefügt, sein Passwort aber nicht gespeichert.</translation>
    </message>
    <message>
        <source> Lists that sync with it cannot sync until a keyring answers and the account is added again.</source>
        <translation> Listen, die mit ihm synchronisieren, können erst synchronisieren, wenn ein Schlüsselbund antwortet und das Konto neu hinzugefügt wird.</translation>
    </message>
    <message>
        <source>No list syncs with its calendars on this computer. The calendars stay on the server.</source>
        <translation>Keine Liste synchronisiert auf diesem Computer mit seinen Kalendern. Die Kalender bleiben auf dem Server.</translation>
    </message>
    <message>
        <source>These lists sync with its calendars on this computer and will sync no more:
%1

The lists keep their items, and the calendars stay on the server.</source>
        <translation>Diese Listen synchronisieren auf diesem Computer mit seinen Kalendern und werden nicht mehr synchronisiert:
%1

Die Listen behalten ihre Einträge, und die Kalender bleiben auf dem Server.</translation>
    </message>
    <message>
        <source>Remove Account</source>
        <translation>Konto entfernen</translation>
    </message>
    <message>
        <source>Remove the account “%1”?</source>
        <translation>Das Konto „%1“ entfernen?</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Its password may still be in the keyring: %1</source>
        <translation>Sein Passwort ist vielleicht noch im Schlüsselbund: %1</translation>
    </message>
</context>
<context>
    <name>tardigo::AddAccountDialog</name>
    <message>
        <source>Add Account</source>
        <translation>Konto hinzufügen</translation>
    </message>
    <message>
        <source>Add a CalDAV account</source>
        <translation>Ein CalDAV-Konto hinzufügen</translation>
    </message>
    <message>
        <source>A CalDAV account on a server such as Nextcloud, Radicale or Fastmail. Tardigo asks the server for your calendars; the password is kept in the desktop&apos;s keyring.</source>
        <translation>Ein CalDAV-Konto auf einem Server wie Nextcloud, Radicale oder Fastmail. Tardigo fragt den Server nach Ihren Kalendern; das Passwort wird im Schlüsselbund der Arbeitsumgebung aufbewahrt.</translation>
    </message>
    <message>
        <source>Server address</source>
        <translation>Adresse des Servers</translation>
    </message>
    <message>
        <source>https://example.com/</source>
        <translation>https://example.com/</translation>
    </message>
    <message>
        <source>User name</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Account name</source>
        <translation>Name des Kontos</translation>
    </message>
    <message>
        <source>the server&apos;s name</source>
        <translation>der Name des Servers</translation>
    </message>
    <message>
        <source>Allow plain &amp;http (the password travels unencrypted)</source>
        <translation>Einfaches &amp;http erlauben (das Passwort reist unverschlüsselt)</translation>
    </message>
    <message>
        <source>&amp;Server:</source>
        <translation>&amp;Server:</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>What the server said</source>
        <translation>Was der Server sagte</translation>
    </message>
    <message>
        <source>Asking the server</source>
        <translation>Der Server wird gefragt</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>Cancelled: nothing was stored.</source>
        <translation>Abgebrochen: nichts wurde gespeichert.</translation>
    </message>
    <message>
        <source>Asking %1 for the calendars of %2…</source>
        <translation>%1 wird nach den Kalendern von %2 gefragt…</translation>
    </message>
    <message>
        <source>The server&apos;s certificate is not trusted; nothing was stored.</source>
        <translation>Dem Zertifikat des Servers wird nicht vertraut; nichts wurde gespeichert.</translation>
    </message>
</context>
<context>
    <name>tardigo::AgendaDocuments</name>
    <message>
        <source>The item is no longer where it was in “%1”. Look for it in the list&apos;s window.</source>
        <translation>Der Eintrag steht nicht mehr dort, wo er in „%1“ stand. Suchen Sie ihn im Fenster der Liste.</translation>
    </message>
    <message>
        <source>“%1” could not be read, so the item is unchanged: %2</source>
        <translation>„%1“ konnte nicht gelesen werden, daher bleibt der Eintrag unverändert: %2</translation>
    </message>
    <message>
        <source>“%1” changed on disk while it was being saved, so the item is unchanged. Try again.</source>
        <translation>„%1“ wurde beim Speichern auf dem Datenträger geändert, daher bleibt der Eintrag unverändert. Versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>“%1” could not be saved, so the item is unchanged: %2</source>
        <translation>„%1“ konnte nicht gesichert werden, daher bleibt der Eintrag unverändert: %2</translation>
    </message>
    <message>
        <source>You stopped waiting for “%1”, so the item is unchanged.</source>
        <translation>Sie haben das Warten auf „%1“ beendet, der Eintrag ist unverändert.</translation>
    </message>
    <message>
        <source>“%1” could not be changed, so the item is unchanged: %2</source>
        <translation>„%1“ konnte nicht geändert werden, der Eintrag ist unverändert: %2</translation>
    </message>
    <message>
        <source>“%1” is open in a window now, so the agenda cannot take its change back there. Change the item in the list&apos;s window.</source>
        <translation>„%1“ ist jetzt in einem Fenster geöffnet, daher kann die Agenda ihre Änderung dort nicht zurücknehmen. Ändern Sie den Eintrag im Fenster der Liste.</translation>
    </message>
    <message>
        <source>You stopped waiting for “%1”, so nothing was undone.</source>
        <translation>Sie haben das Warten auf „%1“ beendet, nichts wurde widerrufen.</translation>
    </message>
    <message>
        <source>“%1” could not be changed, so nothing was undone: %2</source>
        <translation>„%1“ konnte nicht geändert werden, nichts wurde widerrufen: %2</translation>
    </message>
    <message>
        <source>“%1” was changed since the agenda saved it, so its change cannot be taken back. Change the item in the list&apos;s window.</source>
        <translation>„%1“ wurde geändert, seit die Agenda die Liste gesichert hat, daher lässt sich ihre Änderung nicht zurücknehmen. Ändern Sie den Eintrag im Fenster der Liste.</translation>
    </message>
    <message>
        <source>“%1” could not be saved, so nothing was undone: %2</source>
        <translation>„%1“ konnte nicht gesichert werden, nichts wurde widerrufen: %2</translation>
    </message>
    <message>
        <source>“%1” was changed in its window since, so the agenda leaves it as it is. Use Edit &gt; Undo in the list&apos;s window.</source>
        <translation>„%1“ wurde seitdem in seinem Fenster geändert, daher lässt die Agenda die Liste, wie sie ist. Verwenden Sie Bearbeiten &gt; Widerrufen im Fenster der Liste.</translation>
    </message>
    <message>
        <source>The window of “%1” was closed since, so the agenda leaves the list as it is. Change the item again to take the change back.</source>
        <translation>Das Fenster von „%1“ wurde seitdem geschlossen, daher lässt die Agenda die Liste, wie sie ist. Ändern Sie den Eintrag erneut, um die Änderung zurückzunehmen.</translation>
    </message>
</context>
<context>
    <name>tardigo::AgendaModel</name>
    <message>
        <source>Overdue</source>
        <translation>Überfällig</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Tomorrow</source>
        <translation>Morgen</translation>
    </message>
    <message>
        <source>This Week</source>
        <translation>Diese Woche</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
    <message>
        <source>No Due Date</source>
        <translation>Ohne Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message numerus="yes">
        <source>%1, %n item(s)</source>
        <translation>
            <numerusform>%1, %n Eintrag</numerusform>
            <numerusform>%1, %n Einträge</numerusform>
        </translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>aus %1</translation>
    </message>
    <message>
        <source>category %1</source>
        <translation>Kategorie %1</translation>
    </message>
    <message>
        <source>no due date</source>
        <translation>kein Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>due %1</source>
        <translation>fällig %1</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Eintrag</translation>
    </message>
    <message>
        <source>List</source>
        <translation>Liste</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Due Date</source>
        <translation>Fälligkeitsdatum</translation>
    </message>
</context>
<context>
    <name>tardigo::AgendaWindow</name>
    <message>
        <source>Show items &amp;without a due date</source>
        <translation>Einträge &amp;ohne Fälligkeitsdatum zeigen</translation>
    </message>
    <message>
        <source>Agenda</source>
        <translation>Terminübersicht</translation>
    </message>
    <message>
        <source>Items by due date</source>
        <translation>Einträge nach Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>Call Anna tomorrow 10:00 #work</source>
        <translation>Lena anrufen morgen 10:00 #arbeit</translation>
    </message>
    <message>
        <source>How the new item is read</source>
        <translation>Wie der neue Eintrag gelesen wird</translation>
    </message>
    <message>
        <source>&amp;New item:</source>
        <translation>&amp;Neuer Eintrag:</translation>
    </message>
    <message>
        <source>&amp;Category:</source>
        <translation>&amp;Kategorie:</translation>
    </message>
    <message>
        <source>Name, category or notes</source>
        <translation>Name, Kategorie oder Notizen</translation>
    </message>
    <message>
        <source>&amp;Search:</source>
        <translation>&amp;Suchen:</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Alles a&amp;uswählen</translation>
    </message>
    <message>
        <source>&amp;Item</source>
        <translation>&amp;Eintrag</translation>
    </message>
    <message>
        <source>D&amp;one</source>
        <translation>&amp;Erledigt</translation>
    </message>
    <message>
        <source>&amp;Show in List</source>
        <translation>In der &amp;Liste zeigen</translation>
    </message>
    <message>
        <source>Change &amp;Due Date</source>
        <translation>&amp;Fälligkeitsdatum ändern</translation>
    </message>
    <message>
        <source>Type an item with a #category and a due date at its end; Return adds it.</source>
        <translation>Geben Sie einen Eintrag mit einer #Kategorie und einem Fälligkeitsdatum am Ende ein; die Eingabetaste fügt ihn hinzu.</translation>
    </message>
    <message>
        <source>All Categories</source>
        <translation>Alle Kategorien</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Widerrufen</translation>
    </message>
</context>
<context>
    <name>tardigo::ApplicationRules</name>
    <message>
        <source>Tardigo Minder scanning...</source>
        <translation>Der Tardigo-Erinnerungsdienst sieht die Listen durch …</translation>
    </message>
    <message>
        <source>“%1” names no item: give it a name besides its #category and due date.</source>
        <translation>„%1“ nennt keinen Eintrag: Geben Sie ihm außer #Kategorie und Fälligkeitsdatum einen Namen.</translation>
    </message>
    <message>
        <source>The quick-add list “%1” did not open. Choose another as the preference quickAddList, or none for the first open list.</source>
        <translation>Die Liste für schnelles Hinzufügen „%1“ ließ sich nicht öffnen. Wählen Sie eine andere als Einstellung quickAddList oder keine für die erste geöffnete Liste.</translation>
    </message>
    <message>
        <source>There is no open list to add the item to. Open a list in Tardigo, then try again.</source>
        <translation>Es ist keine Liste geöffnet, der der Eintrag hinzugefügt werden könnte. Öffnen Sie eine Liste in Tardigo und versuchen Sie es dann erneut.</translation>
    </message>
</context>
<context>
    <name>tardigo::CalendarPicker</name>
    <message>
        <source>Account</source>
        <translation>Konto</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Kalender</translation>
    </message>
    <message>
        <source>Calendars of the account</source>
        <translation>Kalender des Kontos</translation>
    </message>
    <message>
        <source>&amp;Account:</source>
        <translation>&amp;Konto:</translation>
    </message>
    <message>
        <source>Ca&amp;lendar:</source>
        <translation>Ka&amp;lender:</translation>
    </message>
    <message>
        <source>%1 (%2 at %3)</source>
        <translation>%1 (%2 bei %3)</translation>
    </message>
    <message>
        <source>No accounts yet: add one in Preferences, under Accounts.</source>
        <translation>Noch keine Konten: Fügen Sie eines in den Einstellungen unter Konten hinzu.</translation>
    </message>
    <message>
        <source>Asking %1 for the calendars of %2…</source>
        <translation>%1 wird nach den Kalendern von %2 gefragt…</translation>
    </message>
    <message>
        <source>The password of “%1” is not at hand: %2 Remove the account and add it again.</source>
        <translation>Das Passwort von „%1“ ist nicht zur Hand: %2 Entfernen Sie das Konto und fügen Sie es neu hinzu.</translation>
    </message>
    <message>
        <source>New calendar “%1”</source>
        <translation>Neuer Kalender „%1“</translation>
    </message>
    <message>
        <source>The account has no calendar for to-dos, and one named “%1” holds none.</source>
        <translation>Das Konto hat keinen Kalender für Aufgaben, und der Kalender „%1“ enthält keine.</translation>
    </message>
    <message>
        <source>Choose an account and a calendar.</source>
        <translation>Wählen Sie ein Konto und einen Kalender.</translation>
    </message>
    <message>
        <source>Making the calendar “%1”…</source>
        <translation>Der Kalender „%1“ wird angelegt…</translation>
    </message>
</context>
<context>
    <name>tardigo::ColorTool</name>
    <message>
        <source>&amp;Color…</source>
        <translation>&amp;Farbe …</translation>
    </message>
    <message>
        <source>Color of the name</source>
        <translation>Farbe des Namens</translation>
    </message>
    <message>
        <source>&amp;No Color</source>
        <translation>&amp;Keine Farbe</translation>
    </message>
    <message>
        <source>No color</source>
        <translation>Keine Farbe</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Red %1 %, green %2 %, blue %3 %</source>
        <translation>Rot %1 %, Grün %2 %, Blau %3 %</translation>
    </message>
</context>
<context>
    <name>tardigo::CompletionTool</name>
    <message>
        <source>Percent completed</source>
        <translation>Prozent erledigt</translation>
    </message>
    <message>
        <source>Completion</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>&amp;Completed</source>
        <translation>&amp;Erledigt</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Com&amp;pletion:</source>
        <translation>&amp;Fortschritt:</translation>
    </message>
    <message>
        <source>C&amp;ategory:</source>
        <translation>&amp;Kategorie:</translation>
    </message>
</context>
<context>
    <name>tardigo::DesktopSearchService</name>
    <message>
        <source>List not found</source>
        <translation>Liste nicht gefunden</translation>
    </message>
    <message>
        <source>The list “%1” is no longer in %2.</source>
        <translation>Die Liste „%1“ ist nicht mehr in %2.</translation>
    </message>
    <message>
        <source>Item not found</source>
        <translation>Eintrag nicht gefunden</translation>
    </message>
    <message>
        <source>The item found is no longer in the list “%1”: it was removed or moved since the search.</source>
        <translation>Der gefundene Eintrag ist nicht mehr in der Liste „%1“: Er wurde seit der Suche entfernt oder verschoben.</translation>
    </message>
    <message>
        <source>List not opened</source>
        <translation>Liste nicht geöffnet</translation>
    </message>
</context>
<context>
    <name>tardigo::DocumentController</name>
    <message>
        <source>Please Confirm</source>
        <translation>Bitte bestätigen</translation>
    </message>
    <message>
        <source>Opening a Tardigo 1.x document in Tardigo 2. After saving, it will no longer be usable in Tardigo 1.x.</source>
        <translation>Ein Dokument von Tardigo 1.x wird in Tardigo 2 geöffnet. Nach dem Speichern lässt es sich in Tardigo 1.x nicht mehr verwenden.</translation>
    </message>
</context>
<context>
    <name>tardigo::DocumentMainWindow</name>
    <message>
        <source>Clear Menu</source>
        <translation>Menü leeren</translation>
    </message>
    <message>
        <source>Changed on Disk</source>
        <translation>Auf dem Datenträger geändert</translation>
    </message>
    <message>
        <source>“%1” was changed by another program since you opened or saved it here.</source>
        <translation>„%1“ wurde von einem anderen Programm geändert, seit Sie die Liste hier geöffnet oder gespeichert haben.</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Save Anyway</source>
        <translation>Trotzdem speichern</translation>
    </message>
    <message>
        <source>Revert</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Revert to the saved version of “%1”?</source>
        <translation>Zur gespeicherten Version von „%1“ zurückkehren?</translation>
    </message>
    <message>
        <source>Your current changes will be lost.</source>
        <translation>Ihre aktuellen Änderungen gehen verloren.</translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation>Änderungen speichern</translation>
    </message>
    <message>
        <source>Do you want to save the changes you made to “%1”?</source>
        <translation>Möchten Sie die Änderungen an „%1“ speichern?</translation>
    </message>
    <message>
        <source>Your changes will be lost if you don’t save them.</source>
        <translation>Ihre Änderungen gehen verloren, wenn Sie sie nicht speichern.</translation>
    </message>
    <message>
        <source>“%1” was not saved: you stopped waiting for the other program.</source>
        <translation>„%1“ wurde nicht gespeichert: Sie haben das Warten auf das andere Programm beendet.</translation>
    </message>
    <message>
        <source>“%1” was not read again: you stopped waiting for the other program.</source>
        <translation>„%1“ wurde nicht neu gelesen: Sie haben das Warten auf das andere Programm beendet.</translation>
    </message>
    <message>
        <source>Merge its changes with yours, reload it and lose the changes you made here, or save your version over the other one?</source>
        <translation>Die Änderungen der Datei mit Ihren zusammenführen, sie neu laden und die hier gemachten Änderungen verwerfen, oder Ihre Version über die andere speichern?</translation>
    </message>
    <message>
        <source>Merge</source>
        <translation>Zusammenführen</translation>
    </message>
    <message>
        <source>1 item changed here</source>
        <translation>1 Eintrag hier geändert</translation>
    </message>
    <message>
        <source>%1 items changed here</source>
        <translation>%1 Einträge hier geändert</translation>
    </message>
    <message>
        <source>Merged with the file: %1, %2 on disk. Not saved yet.</source>
        <translation>Mit der Datei zusammengeführt: %1, %2 auf dem Datenträger. Noch nicht gespeichert.</translation>
    </message>
</context>
<context>
    <name>tardigo::DocumentMenus</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Open…</source>
        <translation>Ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>Zuletzt &amp;geöffnet</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As…</source>
        <translation>Speichern &amp;unter …</translation>
    </message>
    <message>
        <source>Re&amp;vert to Saved</source>
        <translation>&amp;Zurück zur gespeicherten Version</translation>
    </message>
    <message>
        <source>&amp;Export as XML Property List…</source>
        <translation>Als XML-Eigenschaftsliste &amp;exportieren …</translation>
    </message>
    <message>
        <source>Print Previe&amp;w…</source>
        <translation>Druck&amp;vorschau …</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Drucken …</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Rückgängig: %1</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Wiederholen: %1</translation>
    </message>
    <message>
        <source>Pr&amp;eferences…</source>
        <translation>Ein&amp;stellungen …</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Columns</source>
        <translation>&amp;Spalten</translation>
    </message>
    <message>
        <source>Sort &amp;By</source>
        <translation>So&amp;rtieren nach</translation>
    </message>
    <message>
        <source>Icon</source>
        <translation>Symbol</translation>
    </message>
    <message>
        <source>&amp;Expand All</source>
        <translation>Alle &amp;ausklappen</translation>
    </message>
    <message>
        <source>C&amp;ollapse All</source>
        <translation>Alle &amp;zuklappen</translation>
    </message>
    <message>
        <source>&amp;Hide Completed Items</source>
        <translation>Erledigte Einträge aus&amp;blenden</translation>
    </message>
    <message>
        <source>End Column &amp;Sorting</source>
        <translation>Spaltensortierung auf&amp;heben</translation>
    </message>
    <message>
        <source>Show &amp;Toolbar</source>
        <translation>Symbol&amp;leiste anzeigen</translation>
    </message>
    <message>
        <source>Customi&amp;ze Toolbar…</source>
        <translation>Symbolleiste an&amp;passen …</translation>
    </message>
    <message>
        <source>A&amp;genda</source>
        <translation>&amp;Terminübersicht</translation>
    </message>
    <message>
        <source>&amp;Item</source>
        <translation>&amp;Eintrag</translation>
    </message>
    <message>
        <source>&amp;New Item</source>
        <translation>&amp;Neuer Eintrag</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>Um&amp;benennen</translation>
    </message>
    <message>
        <source>D&amp;one</source>
        <translation>&amp;Erledigt</translation>
    </message>
    <message>
        <source>Make &amp;Sticky</source>
        <translation>&amp;Haftnotiz erstellen</translation>
    </message>
    <message>
        <source>Show Stic&amp;kies</source>
        <translation>Haftnotizen an&amp;zeigen</translation>
    </message>
    <message>
        <source>&amp;Purge Completed Items…</source>
        <translation>Erledigte Einträge ent&amp;fernen …</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Tardigo &amp;Help</source>
        <translation>Tardigo-&amp;Hilfe</translation>
    </message>
    <message>
        <source>Send &amp;Feedback…</source>
        <translation>&amp;Rückmeldung senden …</translation>
    </message>
    <message>
        <source>&amp;About Tardigo</source>
        <translation>Über &amp;Tardigo</translation>
    </message>
    <message>
        <source>S&amp;ync Now</source>
        <translation>Jetzt s&amp;ynchronisieren</translation>
    </message>
    <message>
        <source>Sync Se&amp;ttings…</source>
        <translation>Synchronisierungseins&amp;tellungen …</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Alles a&amp;uswählen</translation>
    </message>
    <message>
        <source>&amp;Inspector</source>
        <translation>&amp;Inspektor</translation>
    </message>
    <message>
        <source>Inspector Too&amp;ls</source>
        <translation>Inspektor-&amp;Werkzeuge</translation>
    </message>
    <message>
        <source>Fit Inspector to Tool</source>
        <translation>Inspektor an das Werkzeug anpassen</translation>
    </message>
    <message>
        <source>New C&amp;hild Item</source>
        <translation>Neuer &amp;Untereintrag</translation>
    </message>
    <message>
        <source>&amp;Indent</source>
        <translation>Ein&amp;rücken</translation>
    </message>
    <message>
        <source>Ou&amp;tdent</source>
        <translation>&amp;Ausrücken</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>Move Do&amp;wn</source>
        <translation>Nach un&amp;ten</translation>
    </message>
    <message>
        <source>&amp;Find…</source>
        <translation>Suc&amp;hen …</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>&amp;Weitersuchen</translation>
    </message>
    <message>
        <source>Find Pre&amp;vious</source>
        <translation>&amp;Rückwärts suchen</translation>
    </message>
    <message>
        <source>Cance&amp;l Sync</source>
        <translation>Synchronisierung &amp;abbrechen</translation>
    </message>
    <message>
        <source>Tear Off Inspector</source>
        <translation>Inspektor abtrennen</translation>
    </message>
    <message>
        <source>Attach Inspector</source>
        <translation>Inspektor andocken</translation>
    </message>
</context>
<context>
    <name>tardigo::DocumentPrinting</name>
    <message>
        <source>Print “%1”</source>
        <translation>„%1“ drucken</translation>
    </message>
    <message>
        <source>Print Preview of “%1”</source>
        <translation>Druckvorschau von „%1“</translation>
    </message>
    <message>
        <source>The list could not be printed.</source>
        <translation>Die Liste konnte nicht gedruckt werden.</translation>
    </message>
</context>
<context>
    <name>tardigo::DocumentToolbar</name>
    <message>
        <source>Toolbar</source>
        <translation>Symbolleiste</translation>
    </message>
    <message>
        <source>Hide completed items</source>
        <translation>Erledigte Einträge ausblenden</translation>
    </message>
    <message>
        <source>Completed items are hidden. Click to show them again.</source>
        <translation>Erledigte Einträge sind ausgeblendet. Klicken Sie, um sie wieder zu zeigen.</translation>
    </message>
    <message>
        <source>Completed items are shown. Click to hide them.</source>
        <translation>Erledigte Einträge werden gezeigt. Klicken Sie, um sie auszublenden.</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Create a new todo item</source>
        <translation>Einen neuen Eintrag anlegen</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>Mark the current item &quot;done&quot;</source>
        <translation>Den aktuellen Eintrag als „erledigt“ markieren</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Show the notes tool.</source>
        <translation>Das Notizwerkzeug zeigen.</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Show the colors tool</source>
        <translation>Das Farbwerkzeug zeigen</translation>
    </message>
    <message>
        <source>Fonts</source>
        <translation>Schriften</translation>
    </message>
    <message>
        <source>Show the fonts tool</source>
        <translation>Das Schriftwerkzeug zeigen</translation>
    </message>
    <message>
        <source>Inspector</source>
        <translation>Inspektor</translation>
    </message>
    <message>
        <source>Show/Hide the inspector</source>
        <translation>Den Inspektor zeigen oder verbergen</translation>
    </message>
    <message>
        <source>Stickies</source>
        <translation>Haftnotizen</translation>
    </message>
    <message>
        <source>Create a sticky note with the contents of selected todo item.</source>
        <translation>Eine Haftnotiz mit dem Inhalt des ausgewählten Eintrags anlegen.</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Print this list</source>
        <translation>Diese Liste drucken</translation>
    </message>
    <message>
        <source>Customize</source>
        <translation>Anpassen</translation>
    </message>
    <message>
        <source>Customize the toolbar</source>
        <translation>Die Symbolleiste anpassen</translation>
    </message>
    <message>
        <source>Hide Completed</source>
        <translation>Erledigte ausblenden</translation>
    </message>
    <message>
        <source>Recent</source>
        <translation>Zuletzt</translation>
    </message>
    <message>
        <source>Switch to another Tardigo todo list.</source>
        <translation>Zu einer anderen Tardigo-Liste wechseln.</translation>
    </message>
    <message>
        <source>Separator</source>
        <translation>Trennlinie</translation>
    </message>
    <message>
        <source>Flexible Space</source>
        <translation>Flexibler Abstand</translation>
    </message>
</context>
<context>
    <name>tardigo::DueDateEditor</name>
    <message>
        <source>Due date</source>
        <translation>Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>No due date</source>
        <translation>Kein Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>Choose a day</source>
        <translation>Einen Tag wählen</translation>
    </message>
</context>
<context>
    <name>tardigo::DueDateTool</name>
    <message>
        <source>Date due</source>
        <translation>Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>Due date</source>
        <translation>Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>Time due</source>
        <translation>Fälligkeitszeit</translation>
    </message>
    <message>
        <source>&amp;Repeat</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Repeat period</source>
        <translation>Wiederholungszeitraum</translation>
    </message>
    <message>
        <source>&amp;Time:</source>
        <translation>&amp;Uhrzeit:</translation>
    </message>
    <message>
        <source>No date due</source>
        <translation>Kein Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>No Period</source>
        <translation>Kein Zeitraum</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Täglich</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Wöchentlich</translation>
    </message>
    <message>
        <source>Monthly (same weekday)</source>
        <translation>Monatlich (gleicher Wochentag)</translation>
    </message>
    <message>
        <source>Monthly (same date)</source>
        <translation>Monatlich (gleiches Datum)</translation>
    </message>
    <message>
        <source>Every 6 Months</source>
        <translation>Alle 6 Monate</translation>
    </message>
    <message>
        <source>Yearly</source>
        <translation>Jährlich</translation>
    </message>
    <message>
        <source>Every 2 Years</source>
        <translation>Alle 2 Jahre</translation>
    </message>
    <message>
        <source>Often</source>
        <translation>Oft</translation>
    </message>
    <message>
        <source>Infrequently</source>
        <translation>Selten</translation>
    </message>
    <message>
        <source>Every 2 Weeks</source>
        <translation>Alle 2 Wochen</translation>
    </message>
    <message>
        <source>Every 3 Months</source>
        <translation>Alle 3 Monate</translation>
    </message>
</context>
<context>
    <name>tardigo::FontTool</name>
    <message>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <source>&amp;Select Font…</source>
        <translation>Schrift &amp;wählen …</translation>
    </message>
    <message>
        <source>Select font</source>
        <translation>Schrift wählen</translation>
    </message>
    <message>
        <source>Use as the &amp;default font</source>
        <translation>Als &amp;Standardschrift verwenden</translation>
    </message>
    <message>
        <source>Use as the default font</source>
        <translation>Als Standardschrift verwenden</translation>
    </message>
    <message>
        <source>Use Default &amp;Font</source>
        <translation>Standard&amp;schrift verwenden</translation>
    </message>
    <message>
        <source>Use the default font</source>
        <translation>Die Standardschrift verwenden</translation>
    </message>
    <message>
        <source>Fonts</source>
        <translation>Schriften</translation>
    </message>
</context>
<context>
    <name>tardigo::HistoryTool</name>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
</context>
<context>
    <name>tardigo::IconPreferencesTable</name>
    <message>
        <source>Icons and the items that show them</source>
        <translation>Symbole und die Einträge, die sie zeigen</translation>
    </message>
    <message>
        <source>Icon</source>
        <translation>Symbol</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Condition</source>
        <translation>Bedingung</translation>
    </message>
    <message>
        <source>Category that shows %1</source>
        <translation>Kategorie, die %1 zeigt</translation>
    </message>
    <message>
        <source>Condition that shows %1</source>
        <translation>Bedingung, die %1 zeigt</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Old</source>
        <translation>Alt</translation>
    </message>
    <message>
        <source>Past due date</source>
        <translation>Überfällig</translation>
    </message>
    <message>
        <source>Reminder in progress</source>
        <translation>Erinnerung läuft</translation>
    </message>
    <message>
        <source>Has a due date</source>
        <translation>Hat ein Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>Has a reminder</source>
        <translation>Hat eine Erinnerung</translation>
    </message>
    <message>
        <source>Has notes</source>
        <translation>Hat Notizen</translation>
    </message>
    <message>
        <source>Partially Completed</source>
        <translation>Teilweise erledigt</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>Default Icon</source>
        <translation>Standardsymbol</translation>
    </message>
    <message>
        <source>(Do not use)</source>
        <translation>(Nicht verwenden)</translation>
    </message>
</context>
<context>
    <name>tardigo::IconsTool</name>
    <message>
        <source>Icons</source>
        <translation>Symbole</translation>
    </message>
    <message>
        <source>Use &amp;this icon only</source>
        <translation>Nur &amp;dieses Symbol verwenden</translation>
    </message>
    <message>
        <source>Use this icon only</source>
        <translation>Nur dieses Symbol verwenden</translation>
    </message>
    <message>
        <source>&amp;Let the icon rules choose</source>
        <translation>Die Symbol&amp;regeln wählen lassen</translation>
    </message>
    <message>
        <source>Let the icon rules choose</source>
        <translation>Die Symbolregeln wählen lassen</translation>
    </message>
    <message>
        <source>&amp;No Icon</source>
        <translation>&amp;Kein Symbol</translation>
    </message>
    <message>
        <source>No icon</source>
        <translation>Kein Symbol</translation>
    </message>
    <message>
        <source>&amp;Image File…</source>
        <translation>&amp;Bilddatei …</translation>
    </message>
    <message>
        <source>Use an image file as the icon</source>
        <translation>Eine Bilddatei als Symbol verwenden</translation>
    </message>
    <message>
        <source>&amp;Manage Icons…</source>
        <translation>Symbole &amp;verwalten …</translation>
    </message>
    <message>
        <source>Manage icons</source>
        <translation>Symbole verwalten</translation>
    </message>
</context>
<context>
    <name>tardigo::InspectorDock</name>
    <message>
        <source>Inspector</source>
        <translation>Inspektor</translation>
    </message>
    <message>
        <source>Inspector tool</source>
        <translation>Werkzeug des Inspektors</translation>
    </message>
    <message>
        <source>Selected item</source>
        <translation>Ausgewählter Eintrag</translation>
    </message>
    <message>
        <source>Inspector tools</source>
        <translation>Werkzeuge des Inspektors</translation>
    </message>
</context>
<context>
    <name>tardigo::NotesFormatBar</name>
    <message>
        <source>B</source>
        <translation>F</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Fett</translation>
    </message>
    <message>
        <source>I</source>
        <translation>K</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Kursiv</translation>
    </message>
    <message>
        <source>U</source>
        <translation>U</translation>
    </message>
    <message>
        <source>Underline</source>
        <translation>Unterstrichen</translation>
    </message>
    <message>
        <source>S</source>
        <translation>S</translation>
    </message>
    <message>
        <source>Strikethrough</source>
        <translation>Durchgestrichen</translation>
    </message>
    <message>
        <source>Bulleted List</source>
        <translation>Aufzählung</translation>
    </message>
    <message>
        <source>Numbered List</source>
        <translation>Nummerierte Liste</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Verweis</translation>
    </message>
    <message>
        <source>Link…</source>
        <translation>Verweis…</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>Text Colour…</source>
        <translation>Textfarbe…</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Clear Formatting</source>
        <translation>Formatierung entfernen</translation>
    </message>
    <message>
        <source>Formatting of the notes</source>
        <translation>Formatierung der Notizen</translation>
    </message>
    <message>
        <source>The address the text leads to (leave it empty to remove the link):</source>
        <translation>Die Adresse, auf die der Text verweist (leer lassen, um den Verweis zu entfernen):</translation>
    </message>
    <message>
        <source>Text Colour</source>
        <translation>Textfarbe</translation>
    </message>
</context>
<context>
    <name>tardigo::NotesTool</name>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Reading the notes</source>
        <translation>Die Notizen werden gelesen</translation>
    </message>
    <message>
        <source>No notes</source>
        <translation>Keine Notizen</translation>
    </message>
    <message>
        <source>Reading the notes (%1)…</source>
        <translation>Die Notizen werden gelesen (%1) …</translation>
    </message>
</context>
<context>
    <name>tardigo::OutlineDelegate</name>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
</context>
<context>
    <name>tardigo::OutlineTreeView</name>
    <message>
        <source>Items of the list</source>
        <translation>Einträge der Liste</translation>
    </message>
</context>
<context>
    <name>tardigo::PasswordQuestion</name>
    <message>
        <source>Password Refused</source>
        <translation>Passwort abgelehnt</translation>
    </message>
    <message>
        <source>The server refused the password</source>
        <translation>Der Server hat das Passwort abgelehnt</translation>
    </message>
    <message>
        <source>The server refused the password of the account “%1”.</source>
        <translation>Der Server hat das Passwort des Kontos „%1“ abgelehnt.</translation>
    </message>
    <message>
        <source>The server at %1 did not accept the user name “%2” with the password kept for this account, so nothing was synced and the list is as it was. Enter the password again to sync, or stop syncing this list for now; its changes wait for the next sync.</source>
        <translation>Der Server unter %1 hat den Benutzernamen „%2“ mit dem für dieses Konto gespeicherten Passwort nicht angenommen. Es wurde nichts synchronisiert, und die Liste ist unverändert. Geben Sie das Passwort erneut ein, um zu synchronisieren, oder halten Sie die Synchronisierung dieser Liste vorerst an; ihre Änderungen warten auf die nächste Synchronisierung.</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>&amp;Sync Again</source>
        <translation>Erneut &amp;synchronisieren</translation>
    </message>
    <message>
        <source>S&amp;top Syncing for Now</source>
        <translation>Vorerst an&amp;halten</translation>
    </message>
    <message>
        <source>Password Needed</source>
        <translation>Passwort benötigt</translation>
    </message>
    <message>
        <source>The keyring holds no password</source>
        <translation>Der Schlüsselbund enthält kein Passwort</translation>
    </message>
    <message>
        <source>The keyring holds no password for the account “%1”.</source>
        <translation>Der Schlüsselbund enthält kein Passwort für das Konto „%1“.</translation>
    </message>
    <message>
        <source>The desktop&apos;s keyring holds no password for the user name “%2” at %1, so nothing was synced and the list is as it was. Enter the password to sync, or stop syncing this list for now; its changes wait for the next sync.</source>
        <translation>Der Schlüsselbund des Desktops enthält kein Passwort für den Benutzernamen „%2“ unter %1. Es wurde nichts synchronisiert, und die Liste ist unverändert. Geben Sie das Passwort ein, um zu synchronisieren, oder halten Sie die Synchronisierung dieser Liste vorerst an; ihre Änderungen warten auf die nächste Synchronisierung.</translation>
    </message>
    <message>
        <source>&amp;Sync</source>
        <translation>&amp;Synchronisieren</translation>
    </message>
    <message>
        <source>The server at %1 did not accept the user name “%2” with the password you typed, so nothing was synced and the list is as it was. Check the password and enter it again, or stop syncing this list for now; its changes wait for the next sync.</source>
        <translation>Der Server unter %1 hat den Benutzernamen „%2“ mit dem Passwort, das Sie eingegeben haben, nicht angenommen. Es wurde nichts synchronisiert, und die Liste ist unverändert. Prüfen Sie das Passwort und geben Sie es erneut ein, oder halten Sie die Synchronisierung dieser Liste vorerst an; ihre Änderungen warten auf die nächste Synchronisierung.</translation>
    </message>
</context>
<context>
    <name>tardigo::PreferencesWindow</name>
    <message>
        <source>Tardigo Preferences</source>
        <translation>Tardigo-Einstellungen</translation>
    </message>
    <message>
        <source>Minder</source>
        <translation>Erinnerungsdienst</translation>
    </message>
    <message>
        <source>&amp;Remind me of due items and reminders</source>
        <translation>An fällige Einträge und Erinnerungen e&amp;rinnern</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>Look e&amp;very:</source>
        <translation>Nachsehen &amp;alle:</translation>
    </message>
    <message>
        <source>Minutes between the minder&apos;s looks</source>
        <translation>Minuten zwischen den Durchgängen des Erinnerungsdienstes</translation>
    </message>
    <message>
        <source>An &amp;alert on the list</source>
        <translation>Eine &amp;Meldung an der Liste</translation>
    </message>
    <message>
        <source>A des&amp;ktop notification</source>
        <translation>Eine &amp;Desktop-Benachrichtigung</translation>
    </message>
    <message>
        <source>A &amp;sound</source>
        <translation>Einen &amp;Ton</translation>
    </message>
    <message>
        <source>S&amp;peaking the item&apos;s name</source>
        <translation>Den Namen des Eintrags &amp;vorlesen</translation>
    </message>
    <message>
        <source>An &amp;e-mail</source>
        <translation>Eine &amp;E-Mail</translation>
    </message>
    <message>
        <source>Announce with:</source>
        <translation>Ankündigen durch:</translation>
    </message>
    <message>
        <source>the address in $EMAIL</source>
        <translation>die Adresse in $EMAIL</translation>
    </message>
    <message>
        <source>E-mail &amp;to:</source>
        <translation>E-Mail a&amp;n:</translation>
    </message>
    <message>
        <source>Send mai&amp;l with:</source>
        <translation>E-Mai&amp;l senden mit:</translation>
    </message>
    <message>
        <source>Start-up and saving</source>
        <translation>Start und Speichern</translation>
    </message>
    <message>
        <source>Reopen the lists that were open when Tardigo &amp;quit</source>
        <translation>Die beim &amp;Beenden von Tardigo geöffneten Listen wieder öffnen</translation>
    </message>
    <message>
        <source>Save lists a&amp;utomatically</source>
        <translation>Listen a&amp;utomatisch speichern</translation>
    </message>
    <message>
        <source>Quit when the last list &amp;window closes</source>
        <translation>Beenden, wenn das letzte Listenfenster schl&amp;ießt</translation>
    </message>
    <message>
        <source>Category lists offer</source>
        <translation>Kategorielisten bieten</translation>
    </message>
    <message>
        <source>The categories of the list &amp;itself</source>
        <translation>die Kategorien der Liste &amp;selbst</translation>
    </message>
    <message>
        <source>The categories of all &amp;open lists</source>
        <translation>die Kategorien aller &amp;geöffneten Listen</translation>
    </message>
    <message>
        <source>The inspector opens on the</source>
        <translation>Der Inspektor öffnet sich</translation>
    </message>
    <message>
        <source>Le&amp;ft</source>
        <translation>lin&amp;ks</translation>
    </message>
    <message>
        <source>Ri&amp;ght</source>
        <translation>re&amp;chts</translation>
    </message>
    <message>
        <source>I&amp;cons</source>
        <translation>S&amp;ymbole</translation>
    </message>
    <message>
        <source>Show the icons</source>
        <translation>Die Symbole zeigen</translation>
    </message>
    <message>
        <source>A&amp;dd Icon…</source>
        <translation>Symbol hin&amp;zufügen …</translation>
    </message>
    <message>
        <source>Re&amp;move Icon</source>
        <translation>Symbol ent&amp;fernen</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Standardwerte wiederherstellen</translation>
    </message>
    <message>
        <source>Restore the preferences of this window to Tardigo&apos;s own?</source>
        <translation>Die Einstellungen dieses Fensters auf die Vorgaben von Tardigo zurücksetzen?</translation>
    </message>
    <message>
        <source>Your own icons and the rules you gave the icons are removed too.</source>
        <translation>Ihre eigenen Symbole und die Regeln, die Sie den Symbolen gegeben haben, werden ebenfalls entfernt.</translation>
    </message>
</context>
<context>
    <name>tardigo::PrintController</name>
    <message>
        <source>List</source>
        <translation>Liste</translation>
    </message>
    <message>
        <source>Print &amp;check boxes</source>
        <translation>&amp;Ankreuzfelder drucken</translation>
    </message>
    <message>
        <source>Print &amp;icons</source>
        <translation>&amp;Symbole drucken</translation>
    </message>
    <message>
        <source>Print &amp;notes</source>
        <translation>&amp;Notizen drucken</translation>
    </message>
</context>
<context>
    <name>tardigo::QuickAddWindow</name>
    <message>
        <source>Quick Add</source>
        <translation>Schnell hinzufügen</translation>
    </message>
    <message>
        <source>&amp;New item, with a #category and a due date at its end:</source>
        <translation>&amp;Neuer Eintrag, mit #Kategorie und Fälligkeit am Ende:</translation>
    </message>
    <message>
        <source>Call Anna tomorrow 10:00 #work</source>
        <translation>Anna anrufen morgen 10:00 #Arbeit</translation>
    </message>
    <message>
        <source>How the line is read</source>
        <translation>Wie die Zeile gelesen wird</translation>
    </message>
    <message>
        <source>Type the item; Return adds it, Escape closes.</source>
        <translation>Eintrag eingeben; die Eingabetaste fügt ihn hinzu, Escape schließt.</translation>
    </message>
</context>
<context>
    <name>tardigo::ReminderTool</name>
    <message>
        <source>Re&amp;mind me</source>
        <translation>&amp;Erinnern</translation>
    </message>
    <message>
        <source>Remind me</source>
        <translation>Erinnern</translation>
    </message>
    <message>
        <source>Length of time</source>
        <translation>Zeitdauer</translation>
    </message>
    <message>
        <source>Unit of time</source>
        <translation>Zeiteinheit</translation>
    </message>
    <message>
        <source>&amp;before the date due</source>
        <translation>&amp;vor dem Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>Before the date due</source>
        <translation>Vor dem Fälligkeitsdatum</translation>
    </message>
    <message>
        <source>&amp;from now</source>
        <translation>&amp;ab jetzt</translation>
    </message>
    <message>
        <source>From now</source>
        <translation>Ab jetzt</translation>
    </message>
    <message>
        <source>Re&amp;peat the reminder</source>
        <translation>Erinnerung &amp;wiederholen</translation>
    </message>
    <message>
        <source>Repeat the reminder</source>
        <translation>Erinnerung wiederholen</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>Stunden</translation>
    </message>
    <message>
        <source>days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>weeks</source>
        <translation>Wochen</translation>
    </message>
    <message>
        <source>months</source>
        <translation>Monate</translation>
    </message>
    <message>
        <source>periods of 120 days</source>
        <translation>Zeiträume von 120 Tagen</translation>
    </message>
    <message>
        <source>years</source>
        <translation>Jahre</translation>
    </message>
</context>
<context>
    <name>tardigo::SearchField</name>
    <message>
        <source>Search the list</source>
        <translation>Die Liste durchsuchen</translation>
    </message>
    <message>
        <source>Search names, categories and notes</source>
        <translation>Namen, Kategorien und Notizen durchsuchen</translation>
    </message>
</context>
<context>
    <name>tardigo::StickyBoard</name>
    <message>
        <source>Delete Sticky Note</source>
        <translation>Haftnotiz löschen</translation>
    </message>
    <message>
        <source>Delete the sticky note “%1”?</source>
        <translation>Die Haftnotiz „%1“ löschen?</translation>
    </message>
    <message>
        <source>The note goes for good; the item stays in its list. To keep the note for later, hide it instead.</source>
        <translation>Die Notiz ist dann endgültig fort; der Eintrag bleibt in seiner Liste. Um die Notiz für später zu behalten, blenden Sie sie stattdessen aus.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>tardigo::StickyWindow</name>
    <message>
        <source>Sticky note %1</source>
        <translation>Haftnotiz %1</translation>
    </message>
    <message>
        <source>Delete the note</source>
        <translation>Die Notiz löschen</translation>
    </message>
    <message>
        <source>Text of the note</source>
        <translation>Text der Notiz</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete the note…</source>
        <translation>Die Notiz löschen…</translation>
    </message>
    <message>
        <source>Hide the note (%1); Item &gt; Show Stickies brings it back</source>
        <translation>Die Notiz ausblenden (%1); Eintrag &gt; Haftnotizen anzeigen holt sie zurück</translation>
    </message>
    <message>
        <source>Hide the note</source>
        <translation>Die Notiz ausblenden</translation>
    </message>
</context>
<context>
    <name>tardigo::SyncSettingsDialog</name>
    <message>
        <source>Sync Settings</source>
        <translation>Synchronisierungseinstellungen</translation>
    </message>
    <message>
        <source>Sync settings of %1</source>
        <translation>Synchronisierungseinstellungen von %1</translation>
    </message>
    <message>
        <source>Sync folder</source>
        <translation>Synchronisierungsordner</translation>
    </message>
    <message>
        <source>No folder: the list does not sync</source>
        <translation>Kein Ordner: Die Liste wird nicht synchronisiert</translation>
    </message>
    <message>
        <source>&amp;Choose…</source>
        <translation>&amp;Wählen …</translation>
    </message>
    <message>
        <source>Choose the sync folder</source>
        <translation>Den Synchronisierungsordner wählen</translation>
    </message>
    <message>
        <source>Sync &amp;folder:</source>
        <translation>Synchronisierungs&amp;ordner:</translation>
    </message>
    <message>
        <source>Sync folder problem</source>
        <translation>Problem mit dem Synchronisierungsordner</translation>
    </message>
    <message>
        <source>“%1” is not a whole path. Give the folder from the top, starting with / or ~/, or choose it.</source>
        <translation>„%1“ ist kein vollständiger Pfad. Geben Sie den Ordner von oben an, beginnend mit / oder ~/, oder wählen Sie ihn.</translation>
    </message>
    <message>
        <source>The folder “%1” does not exist. Create it, or let vdirsyncer create it with “vdirsyncer discover”, then choose it here.</source>
        <translation>Der Ordner „%1“ existiert nicht. Legen Sie ihn an oder lassen Sie ihn von vdirsyncer mit „vdirsyncer discover“ anlegen, und wählen Sie ihn dann hier.</translation>
    </message>
    <message>
        <source>“%1” is a file, not a folder. Choose the folder that holds the .ics files.</source>
        <translation>„%1“ ist eine Datei, kein Ordner. Wählen Sie den Ordner, der die .ics-Dateien enthält.</translation>
    </message>
    <message>
        <source>You may not read and write the folder “%1”. Choose a folder of your own, or ask its owner to let you write to it.</source>
        <translation>Sie dürfen den Ordner „%1“ nicht lesen und beschreiben. Wählen Sie einen eigenen Ordner oder bitten Sie den Eigentümer um Schreibrechte.</translation>
    </message>
    <message>
        <source>Choose Sync Folder</source>
        <translation>Synchronisierungsordner wählen</translation>
    </message>
    <message>
        <source>“%1” is kept in step with a folder of .ics files, one for each to-do, or with a calendar of one of your accounts: after each reminder check and each save that changed it, at most once a minute. Leave the folder empty to stop syncing.</source>
        <translation>„%1“ wird mit einem Ordner von .ics-Dateien, einer je Aufgabe, oder mit einem Kalender eines Ihrer Konten abgeglichen: nach jeder Prüfung der Erinnerungen und jedem Speichern, das die Liste geändert hat, höchstens einmal in der Minute. Lassen Sie den Ordner leer, um nicht mehr zu synchronisieren.</translation>
    </message>
    <message>
        <source>Sync with a f&amp;older</source>
        <translation>Mit einem &amp;Ordner synchronisieren</translation>
    </message>
    <message>
        <source>Sync with a calendar of an acco&amp;unt</source>
        <translation>Mit einem Kalender eines &amp;Kontos synchronisieren</translation>
    </message>
    <message>
        <source>Sync Elsewhere</source>
        <translation>Anderswo synchronisieren</translation>
    </message>
    <message>
        <source>“%1” syncs with %2 on this computer.</source>
        <translation>„%1“ synchronisiert auf diesem Computer mit %2.</translation>
    </message>
    <message>
        <source>Sync it with the calendar “%1” of “%2” instead? What is there now stays where it is; the list and the calendar are merged.</source>
        <translation>Stattdessen mit dem Kalender „%1“ von „%2“ synchronisieren? Was jetzt dort ist, bleibt, wo es ist; die Liste und der Kalender werden zusammengeführt.</translation>
    </message>
    <message>
        <source>Sync &amp;Elsewhere</source>
        <translation>&amp;Anderswo synchronisieren</translation>
    </message>
</context>
<context>
    <name>tardigo::SyncStatus</name>
    <message>
        <source>Last sync</source>
        <translation>Letzte Synchronisierung</translation>
    </message>
    <message>
        <source>Syncing</source>
        <translation>Synchronisierung läuft</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancel Sync</source>
        <translation>Synchronisierung abbrechen</translation>
    </message>
    <message>
        <source>Stop this sync; the next one does the rest</source>
        <translation>Diese Synchronisierung anhalten; die nächste erledigt den Rest</translation>
    </message>
</context>
<context>
    <name>tardigo::TardigoApplication</name>
    <message>
        <source>The item is no longer where the agenda saw it.</source>
        <translation>Der Eintrag steht nicht mehr dort, wo die Terminübersicht ihn sah.</translation>
    </message>
    <message>
        <source>No new item</source>
        <translation>Kein neuer Eintrag</translation>
    </message>
    <message>
        <source>This desktop session does not let Tardigo read the selected text or the clipboard while another window is in front. Add the item in Tardigo&apos;s window, or paste it there.</source>
        <translation>Diese Desktop-Sitzung lässt Tardigo den ausgewählten Text und die Zwischenablage nicht lesen, während ein anderes Fenster vorne ist. Legen Sie den Eintrag im Fenster von Tardigo an oder fügen Sie ihn dort ein.</translation>
    </message>
    <message>
        <source>There is no text selected, and none on the clipboard, to make an item of.</source>
        <translation>Es ist kein Text ausgewählt und keiner in der Zwischenablage, aus dem ein Eintrag werden könnte.</translation>
    </message>
</context>
<context>
    <name>tardigo::TardigoDocument</name>
    <message>
        <source>merge changes on disk</source>
        <translation>Änderungen auf dem Datenträger zusammenführen</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
</context>
<context>
    <name>tardigo::ToolbarCustomizeDialog</name>
    <message>
        <source>Customize Toolbar</source>
        <translation>Symbolleiste anpassen</translation>
    </message>
    <message>
        <source>Add →</source>
        <translation>Hinzufügen →</translation>
    </message>
    <message>
        <source>← Remove</source>
        <translation>← Entfernen</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Available items:</source>
        <translation>Verfügbare Elemente:</translation>
    </message>
    <message>
        <source>Toolbar items:</source>
        <translation>Elemente der Symbolleiste:</translation>
    </message>
    <message>
        <source>Available items</source>
        <translation>Verfügbare Elemente</translation>
    </message>
    <message>
        <source>Toolbar items</source>
        <translation>Elemente der Symbolleiste</translation>
    </message>
</context>
<context>
    <name>tardigo::WindowSync</name>
    <message>
        <source>Syncing…</source>
        <translation>Wird synchronisiert …</translation>
    </message>
    <message>
        <source>Sync failed</source>
        <translation>Synchronisierung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Synced %1</source>
        <translation>Synchronisiert: %1</translation>
    </message>
    <message>
        <source>Last synced with %1 at %2</source>
        <translation>Zuletzt synchronisiert mit %1 am %2</translation>
    </message>
    <message>
        <source>Removal by Sync</source>
        <translation>Entfernen durch Synchronisierung</translation>
    </message>
    <message>
        <source>Syncing with the server…</source>
        <translation>Synchronisierung mit dem Server …</translation>
    </message>
    <message>
        <source>Not synced: changes wait for the server</source>
        <translation>Nicht synchronisiert: Änderungen warten auf den Server</translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation>Wird abgebrochen …</translation>
    </message>
    <message>
        <source>The keyring did not keep the password of “%1”.</source>
        <translation>Der Schlüsselbund hat das Passwort von „%1“ nicht gespeichert.</translation>
    </message>
    <message>
        <source>Sync cancelled</source>
        <translation>Synchronisierung abgebrochen</translation>
    </message>
    <message>
        <source>Nothing is lost: the next sync does the rest.</source>
        <translation>Nichts geht verloren: Die nächste Synchronisierung erledigt den Rest.</translation>
    </message>
    <message>
        <source>Not syncing: the server refused the password</source>
        <translation>Keine Synchronisierung: Der Server hat das Passwort abgelehnt</translation>
    </message>
    <message>
        <source>Changes wait until you choose File &gt; Sync Now.</source>
        <translation>Änderungen warten, bis Sie Datei &gt; Jetzt synchronisieren wählen.</translation>
    </message>
    <message>
        <source>The list synced with it, and this window keeps using it until it closes; after that Tardigo asks for it again.</source>
        <translation>Die Liste wurde damit synchronisiert, und dieses Fenster verwendet es weiter, bis es geschlossen wird; danach fragt Tardigo erneut danach.</translation>
    </message>
    <message>
        <source>Not syncing: the keyring holds no password</source>
        <translation>Keine Synchronisierung: Der Schlüsselbund enthält kein Passwort</translation>
    </message>
    <message>
        <source>Not synced: the server cannot be reached</source>
        <translation>Nicht synchronisiert: Der Server ist nicht erreichbar</translation>
    </message>
</context>
</TS>
