<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>TidewrightPresentation</name>
    <message>
        <source>tidewright.ready</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>tidewright.off</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>tidewright.attention</source>
        <translation>Needs attention</translation>
    </message>
    <message>
        <source>tidewright.registering</source>
        <translation>Setting up shortcuts…</translation>
    </message>
    <message>
        <source>tidewright.leftHalf</source>
        <translation>Left half</translation>
    </message>
    <message>
        <source>tidewright.rightHalf</source>
        <translation>Right half</translation>
    </message>
    <message>
        <source>tidewright.maximize</source>
        <translation>Maximize</translation>
    </message>
    <message>
        <source>tidewright.nearlyMaximize</source>
        <translation>Almost maximize</translation>
    </message>
    <message>
        <source>tidewright.maximumHeight</source>
        <translation>Full height</translation>
    </message>
    <message>
        <source>tidewright.center</source>
        <translation>Center</translation>
    </message>
    <message>
        <source>tidewright.shortcutUnavailable</source>
        <translation>Unavailable: another program uses this shortcut</translation>
    </message>
    <message>
        <source>tidewright.leftKey</source>
        <translation>Control, Alt, Left Arrow</translation>
    </message>
    <message>
        <source>tidewright.rightKey</source>
        <translation>Control, Alt, Right Arrow</translation>
    </message>
    <message>
        <source>tidewright.upKey</source>
        <translation>Control, Alt, Up Arrow</translation>
    </message>
    <message>
        <source>tidewright.downKey</source>
        <translation>Control, Alt, Down Arrow</translation>
    </message>
    <message>
        <source>tidewright.dKey</source>
        <translation>Control, Alt, D</translation>
    </message>
    <message>
        <source>tidewright.cKey</source>
        <translation>Control, Alt, C</translation>
    </message>
    <message>
        <source>tidewright.preferences</source>
        <translation>Preferences…</translation>
    </message>
    <message>
        <source>tidewright.preferencesTitle</source>
        <translation>Tidewright Preferences</translation>
    </message>
    <message>
        <source>tidewright.privacy</source>
        <translation>Tidewright never looks at what is inside your windows.</translation>
    </message>
    <message>
        <source>tidewright.openAtLogin</source>
        <translation>Open at login</translation>
    </message>
    <message>
        <source>tidewright.openingGroup</source>
        <translation>Opening rules</translation>
    </message>
    <message>
        <source>tidewright.openingNote</source>
        <translation>When a listed application opens its first window, Tidewright maximizes or centers it.</translation>
    </message>
    <message>
        <source>tidewright.noRules</source>
        <translation>No rules yet</translation>
    </message>
    <message>
        <source>tidewright.noRulesNote</source>
        <translation>Add an application to maximize or center its first window automatically.</translation>
    </message>
    <message>
        <source>tidewright.addOpenApp</source>
        <translation>Add a running application</translation>
    </message>
    <message>
        <source>tidewright.chooseApplications</source>
        <translation>Choose applications…</translation>
    </message>
    <message>
        <source>tidewright.noOpenApps</source>
        <translation>No other applications are running</translation>
    </message>
    <message>
        <source>tidewright.remove</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>tidewright.removeRule</source>
        <translation>Remove rule</translation>
    </message>
    <message>
        <source>tidewright.ruleAction</source>
        <translation>When it opens</translation>
    </message>
    <message>
        <source>tidewright.permissionsGroup</source>
        <translation>Window manager</translation>
    </message>
    <message>
        <source>tidewright.moveWindows</source>
        <translation>Move windows</translation>
    </message>
    <message>
        <source>tidewright.permissionGranted</source>
        <translation>Available</translation>
    </message>
    <message>
        <source>tidewright.permissionMissing</source>
        <translation>Not available</translation>
    </message>
    <message>
        <source>tidewright.permissionChecking</source>
        <translation>Checking…</translation>
    </message>
    <message>
        <source>tidewright.allow</source>
        <translation>Check again</translation>
    </message>
    <message>
        <source>tidewright.systemSettings</source>
        <translation>Open desktop settings</translation>
    </message>
    <message>
        <source>tidewright.welcomeTitle</source>
        <translation>Welcome to Tidewright</translation>
    </message>
    <message>
        <source>tidewright.welcomeLead</source>
        <translation>Put the frontmost window in place with Control, Alt and one key.</translation>
    </message>
    <message>
        <source>tidewright.getStarted</source>
        <translation>Get started</translation>
    </message>
    <message>
        <source>tidewright.skipSetup</source>
        <translation>Skip setup</translation>
    </message>
    <message>
        <source>tidewright.moveDescription</source>
        <translation>Tidewright needs a window manager that lets it read and move windows. Most X11 desktops run one; once it runs, Tidewright notices by itself.</translation>
    </message>
    <message>
        <source>tidewright.moveCelebration</source>
        <translation>Done: Tidewright can move your windows.</translation>
    </message>
    <message>
        <source>tidewright.welcomeNote</source>
        <translation>You can change this later in Preferences.</translation>
    </message>
    <message>
        <source>tidewright.moveStepTitle</source>
        <translation>Let Tidewright move windows</translation>
    </message>
    <message>
        <source>tidewright.moveRecovery</source>
        <translation>If windows don’t move, make sure a window manager that supports EWMH is running, then choose Check again.</translation>
    </message>
    <message>
        <source>tidewright.generalGroup</source>
        <translation>General</translation>
    </message>
    <message>
        <source>tidewright.shortcutsGroup</source>
        <translation>Shortcuts</translation>
    </message>
    <message>
        <source>tidewright.movePrivacy</source>
        <translation>Tidewright reads only a window’s position and size, and only to move it.</translation>
    </message>
    <message>
        <source>tidewright.moveRemaining</source>
        <translation>One step left: a window manager that lets Tidewright move windows.</translation>
    </message>
    <message>
        <source>tidewright.tryShortcuts</source>
        <translation>Try it: press Control, Alt and the Left Arrow.</translation>
    </message>
    <message>
        <source>tidewright.allShortcutsInPanel</source>
        <translation>Click the Tidewright icon in the tray to see every shortcut.</translation>
    </message>
    <message>
        <source>tidewright.permissionsTitle</source>
        <translation>Tidewright can’t move windows</translation>
    </message>
    <message>
        <source>tidewright.permissionsNote</source>
        <translation>No window manager that lets Tidewright read and move windows is running.</translation>
    </message>
    <message>
        <source>tidewright.configurePermissions</source>
        <translation>Set up…</translation>
    </message>
    <message>
        <source>tidewright.conflictsTitle</source>
        <translation>Some shortcuts are taken</translation>
    </message>
    <message>
        <source>tidewright.conflictsNote</source>
        <translation>Another program already uses them, so they do nothing in Tidewright.</translation>
    </message>
    <message>
        <source>tidewright.checkShortcuts</source>
        <translation>Show shortcuts</translation>
    </message>
    <message>
        <source>tidewright.operationFailed</source>
        <translation>Something went wrong</translation>
    </message>
    <message>
        <source>tidewright.operationFailedNote</source>
        <translation>Tidewright couldn’t finish. If this keeps happening, quit Tidewright and open it again.</translation>
    </message>
    <message>
        <source>tidewright.syncIssue</source>
        <translation>Preferences couldn’t sync</translation>
    </message>
    <message>
        <source>tidewright.syncIssueNote</source>
        <translation>Your changes are saved on this computer and sync once Tidewright can reach the synced folder again.</translation>
    </message>
    <message>
        <source>tidewright.loginIssue</source>
        <translation>Couldn’t change Open at login</translation>
    </message>
    <message>
        <source>tidewright.loginIssueNote</source>
        <translation>Tidewright couldn’t write its autostart entry. Check that your configuration folder is writable.</translation>
    </message>
    <message>
        <source>tidewright.preferencesUnavailable</source>
        <translation>Preferences unavailable</translation>
    </message>
    <message>
        <source>tidewright.preferencesUnavailableNote</source>
        <translation>Tidewright can’t read its saved preferences, so it stays off for now.</translation>
    </message>
    <message>
        <source>tidewright.shortcutSettingsPath</source>
        <translation>Your desktop’s settings, under Keyboard › Shortcuts</translation>
    </message>
    <message>
        <source>tidewright.voiceOverReservation</source>
        <translation>While a screen reader runs, Tidewright leaves these keys to it.</translation>
    </message>
    <message>
        <source>tidewright.settingsIssue</source>
        <translation>Couldn’t open the desktop settings</translation>
    </message>
    <message>
        <source>tidewright.settingsIssueNote</source>
        <translation>Open your desktop’s settings application yourself.</translation>
    </message>
</context>
<context>
    <name>Default</name>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Getting Started</source>
        <translation>Getting Started</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>Turn on</source>
        <translation>Turn on</translation>
    </message>
    <message>
        <source>Turn off</source>
        <translation>Turn off</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Not now</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Open at Login</source>
        <translation>Open at login</translation>
    </message>
    <message>
        <source>Allowed</source>
        <translation>Available</translation>
    </message>
    <message>
        <source>Not allowed yet</source>
        <translation>Not available yet</translation>
    </message>
    <message>
        <source>Optional</source>
        <translation>Optional</translation>
    </message>
    <message>
        <source>Get Started</source>
        <translation>Get started</translation>
    </message>
    <message>
        <source>Version %1 is here</source>
        <translation>Version %1 is here</translation>
    </message>
    <message>
        <source>Download the new version and install it. Your settings stay.</source>
        <translation>Download the new version and install it. Your settings stay.</translation>
    </message>
    <message>
        <source>No data collected</source>
        <translation>No data collected</translation>
    </message>
    <message>
        <source>No internet, no data collected</source>
        <translation>No internet, no data collected</translation>
    </message>
</context>
</TS>
