<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>TidewrightPresentation</name>
    <message>
        <source>tidewright.ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>tidewright.off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>tidewright.attention</source>
        <translation>Braucht Aufmerksamkeit</translation>
    </message>
    <message>
        <source>tidewright.registering</source>
        <translation>Tastenkürzel werden eingerichtet …</translation>
    </message>
    <message>
        <source>tidewright.leftHalf</source>
        <translation>Linke Hälfte</translation>
    </message>
    <message>
        <source>tidewright.rightHalf</source>
        <translation>Rechte Hälfte</translation>
    </message>
    <message>
        <source>tidewright.maximize</source>
        <translation>Maximieren</translation>
    </message>
    <message>
        <source>tidewright.nearlyMaximize</source>
        <translation>Fast maximieren</translation>
    </message>
    <message>
        <source>tidewright.maximumHeight</source>
        <translation>Volle Höhe</translation>
    </message>
    <message>
        <source>tidewright.center</source>
        <translation>Zentrieren</translation>
    </message>
    <message>
        <source>tidewright.shortcutUnavailable</source>
        <translation>Nicht verfügbar: Ein anderes Programm verwendet dieses Tastenkürzel</translation>
    </message>
    <message>
        <source>tidewright.leftKey</source>
        <translation>Strg, Alt, Pfeil nach links</translation>
    </message>
    <message>
        <source>tidewright.rightKey</source>
        <translation>Strg, Alt, Pfeil nach rechts</translation>
    </message>
    <message>
        <source>tidewright.upKey</source>
        <translation>Strg, Alt, Pfeil nach oben</translation>
    </message>
    <message>
        <source>tidewright.downKey</source>
        <translation>Strg, Alt, Pfeil nach unten</translation>
    </message>
    <message>
        <source>tidewright.dKey</source>
        <translation>Strg, Alt, D</translation>
    </message>
    <message>
        <source>tidewright.cKey</source>
        <translation>Strg, Alt, C</translation>
    </message>
    <message>
        <source>tidewright.preferences</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>tidewright.preferencesTitle</source>
        <translation>Tidewright-Einstellungen</translation>
    </message>
    <message>
        <source>tidewright.privacy</source>
        <translation>Tidewright schaut nie in deine Fenster hinein.</translation>
    </message>
    <message>
        <source>tidewright.openAtLogin</source>
        <translation>Beim Anmelden öffnen</translation>
    </message>
    <message>
        <source>tidewright.openingGroup</source>
        <translation>Regeln beim Öffnen</translation>
    </message>
    <message>
        <source>tidewright.openingNote</source>
        <translation>Öffnet ein Programm aus der Liste sein erstes Fenster, maximiert oder zentriert Tidewright es.</translation>
    </message>
    <message>
        <source>tidewright.noRules</source>
        <translation>Noch keine Regeln</translation>
    </message>
    <message>
        <source>tidewright.noRulesNote</source>
        <translation>Füge ein Programm hinzu, damit sein erstes Fenster automatisch maximiert oder zentriert wird.</translation>
    </message>
    <message>
        <source>tidewright.addOpenApp</source>
        <translation>Laufendes Programm hinzufügen</translation>
    </message>
    <message>
        <source>tidewright.chooseApplications</source>
        <translation>Programme auswählen …</translation>
    </message>
    <message>
        <source>tidewright.noOpenApps</source>
        <translation>Es laufen keine anderen Programme</translation>
    </message>
    <message>
        <source>tidewright.remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>tidewright.removeRule</source>
        <translation>Regel entfernen</translation>
    </message>
    <message>
        <source>tidewright.ruleAction</source>
        <translation>Beim Öffnen</translation>
    </message>
    <message>
        <source>tidewright.permissionsGroup</source>
        <translation>Fenstermanager</translation>
    </message>
    <message>
        <source>tidewright.moveWindows</source>
        <translation>Fenster verschieben</translation>
    </message>
    <message>
        <source>tidewright.permissionGranted</source>
        <translation>Verfügbar</translation>
    </message>
    <message>
        <source>tidewright.permissionMissing</source>
        <translation>Nicht verfügbar</translation>
    </message>
    <message>
        <source>tidewright.permissionChecking</source>
        <translation>Wird geprüft …</translation>
    </message>
    <message>
        <source>tidewright.allow</source>
        <translation>Erneut prüfen</translation>
    </message>
    <message>
        <source>tidewright.systemSettings</source>
        <translation>Desktop-Einstellungen öffnen</translation>
    </message>
    <message>
        <source>tidewright.welcomeTitle</source>
        <translation>Willkommen bei Tidewright</translation>
    </message>
    <message>
        <source>tidewright.welcomeLead</source>
        <translation>Bring das vorderste Fenster mit Strg, Alt und einer Taste an seinen Platz.</translation>
    </message>
    <message>
        <source>tidewright.getStarted</source>
        <translation>Los geht’s</translation>
    </message>
    <message>
        <source>tidewright.skipSetup</source>
        <translation>Einrichtung überspringen</translation>
    </message>
    <message>
        <source>tidewright.moveDescription</source>
        <translation>Tidewright braucht einen Fenstermanager, der das Lesen und Verschieben von Fenstern erlaubt. Die meisten X11-Desktops haben einen; sobald er läuft, merkt Tidewright das von selbst.</translation>
    </message>
    <message>
        <source>tidewright.moveCelebration</source>
        <translation>Fertig: Tidewright kann deine Fenster verschieben.</translation>
    </message>
    <message>
        <source>tidewright.welcomeNote</source>
        <translation>Das kannst du später in den Einstellungen ändern.</translation>
    </message>
    <message>
        <source>tidewright.moveStepTitle</source>
        <translation>Tidewright Fenster verschieben lassen</translation>
    </message>
    <message>
        <source>tidewright.moveRecovery</source>
        <translation>Wenn sich Fenster nicht verschieben lassen, prüfe, ob ein Fenstermanager mit EWMH-Unterstützung läuft, und wähle dann „Erneut prüfen“.</translation>
    </message>
    <message>
        <source>tidewright.generalGroup</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>tidewright.shortcutsGroup</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>tidewright.movePrivacy</source>
        <translation>Tidewright liest nur Position und Größe eines Fensters, und nur, um es zu verschieben.</translation>
    </message>
    <message>
        <source>tidewright.moveRemaining</source>
        <translation>Noch ein Schritt: ein Fenstermanager, der Tidewright Fenster verschieben lässt.</translation>
    </message>
    <message>
        <source>tidewright.tryShortcuts</source>
        <translation>Probier es aus: Drück Strg, Alt und Pfeil nach links.</translation>
    </message>
    <message>
        <source>tidewright.allShortcutsInPanel</source>
        <translation>Alle Tastenkürzel siehst du, wenn du auf das Tidewright-Symbol in der Leiste klickst.</translation>
    </message>
    <message>
        <source>tidewright.permissionsTitle</source>
        <translation>Tidewright kann keine Fenster verschieben</translation>
    </message>
    <message>
        <source>tidewright.permissionsNote</source>
        <translation>Es läuft kein Fenstermanager, der Tidewright Fenster lesen und verschieben lässt.</translation>
    </message>
    <message>
        <source>tidewright.configurePermissions</source>
        <translation>Einrichten …</translation>
    </message>
    <message>
        <source>tidewright.conflictsTitle</source>
        <translation>Einige Tastenkürzel sind belegt</translation>
    </message>
    <message>
        <source>tidewright.conflictsNote</source>
        <translation>Ein anderes Programm verwendet sie bereits, deshalb bewirken sie in Tidewright nichts.</translation>
    </message>
    <message>
        <source>tidewright.checkShortcuts</source>
        <translation>Tastenkürzel anzeigen</translation>
    </message>
    <message>
        <source>tidewright.operationFailed</source>
        <translation>Da ist etwas schiefgegangen</translation>
    </message>
    <message>
        <source>tidewright.operationFailedNote</source>
        <translation>Tidewright konnte den Vorgang nicht abschließen. Wenn das öfter passiert, beende Tidewright und öffne es erneut.</translation>
    </message>
    <message>
        <source>tidewright.syncIssue</source>
        <translation>Einstellungen konnten nicht abgeglichen werden</translation>
    </message>
    <message>
        <source>tidewright.syncIssueNote</source>
        <translation>Deine Änderungen sind auf diesem Computer gespeichert und werden abgeglichen, sobald Tidewright den synchronisierten Ordner wieder erreicht.</translation>
    </message>
    <message>
        <source>tidewright.loginIssue</source>
        <translation>„Beim Anmelden öffnen“ ließ sich nicht ändern</translation>
    </message>
    <message>
        <source>tidewright.loginIssueNote</source>
        <translation>Tidewright konnte seinen Autostart-Eintrag nicht schreiben. Prüf, ob dein Konfigurationsordner beschreibbar ist.</translation>
    </message>
    <message>
        <source>tidewright.preferencesUnavailable</source>
        <translation>Einstellungen nicht verfügbar</translation>
    </message>
    <message>
        <source>tidewright.preferencesUnavailableNote</source>
        <translation>Tidewright kann seine gespeicherten Einstellungen nicht lesen und bleibt deshalb vorerst aus.</translation>
    </message>
    <message>
        <source>tidewright.shortcutSettingsPath</source>
        <translation>In den Einstellungen deines Desktops unter Tastatur › Tastenkürzel</translation>
    </message>
    <message>
        <source>tidewright.voiceOverReservation</source>
        <translation>Solange ein Bildschirmleser läuft, überlässt Tidewright ihm diese Tasten.</translation>
    </message>
    <message>
        <source>tidewright.settingsIssue</source>
        <translation>Die Desktop-Einstellungen ließen sich nicht öffnen</translation>
    </message>
    <message>
        <source>tidewright.settingsIssueNote</source>
        <translation>Öffne die Einstellungen deines Desktops bitte selbst.</translation>
    </message>
</context>
<context>
    <name>Default</name>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Getting Started</source>
        <translation>Erste Schritte</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Turn on</source>
        <translation>Einschalten</translation>
    </message>
    <message>
        <source>Turn off</source>
        <translation>Ausschalten</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Open at Login</source>
        <translation>Beim Anmelden öffnen</translation>
    </message>
    <message>
        <source>Allowed</source>
        <translation>Verfügbar</translation>
    </message>
    <message>
        <source>Not allowed yet</source>
        <translation>Noch nicht verfügbar</translation>
    </message>
    <message>
        <source>Optional</source>
        <translation>Optional</translation>
    </message>
    <message>
        <source>Get Started</source>
        <translation>Los geht’s</translation>
    </message>
    <message>
        <source>Version %1 is here</source>
        <translation>Version %1 ist da</translation>
    </message>
    <message>
        <source>Download the new version and install it. Your settings stay.</source>
        <translation>Lade die neue Version herunter und installiere sie. Deine Einstellungen bleiben erhalten.</translation>
    </message>
    <message>
        <source>No data collected</source>
        <translation>Keine Datenerfassung</translation>
    </message>
    <message>
        <source>No internet, no data collected</source>
        <translation>Kein Internet, keine Datenerfassung</translation>
    </message>
</context>
</TS>
