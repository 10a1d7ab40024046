pragma ComponentBehavior: Bound
import QtQuick
import Vantor.Ui

// The panel a click on the tray icon opens: title, one card per provider, utility rows.
Rectangle {
    id: root
    required property PopoverViewModel model

    width: 259
    height: implicitHeight
    implicitHeight: content.implicitHeight + 24
    color: Theme.surface
    palette.window: Theme.paletteWindow
    palette.windowText: Theme.paletteWindowText
    palette.base: Theme.paletteBase
    palette.alternateBase: Theme.paletteAlternateBase
    palette.text: Theme.paletteText
    palette.button: Theme.paletteButton
    palette.buttonText: Theme.paletteButtonText
    palette.highlight: Theme.paletteHighlight
    palette.highlightedText: Theme.paletteHighlightedText
    palette.light: Theme.paletteLight
    palette.midlight: Theme.paletteMidlight
    palette.mid: Theme.paletteMid
    palette.dark: Theme.paletteDark
    palette.shadow: Theme.paletteShadow

    // The keyboard alone works it: Tab or the arrows walk the cards and rows (the arrows wrap),
    // Enter or Space uses the one in focus, Escape closes.
    focus: true
    Keys.onUpPressed: root.moveFocus(false)
    Keys.onDownPressed: root.moveFocus(true)
    Keys.onPressed: function(event) {
        const item = root.Window.activeFocusItem
        if ((event.key === Qt.Key_Return || event.key === Qt.Key_Enter
             || event.key === Qt.Key_Space) && item !== null && item.activate !== undefined) {
            item.activate()
            event.accepted = true
        }
    }
    function moveFocus(forward: bool) {
        const from = root.Window.activeFocusItem
        const next = (from !== null ? from : root).nextItemInFocusChain(forward)
        if (next !== null) {
            next.forceActiveFocus(forward ? Qt.TabFocusReason : Qt.BacktabFocusReason)
        }
    }

    Shortcut {
        sequence: "Ctrl+R"
        onActivated: root.model.refresh()
    }
    Shortcut {
        sequence: "Ctrl+S"
        onActivated: root.model.openSettings()
    }
    Shortcut {
        sequence: "Escape"
        onActivated: root.model.close()
    }

    Column {
        id: content
        x: 12
        y: 12
        width: root.width - 24
        spacing: 0

        Text {
            textFormat: Text.PlainText
            objectName: "title"
            width: parent.width
            leftPadding: 6
            rightPadding: 6
            topPadding: 6
            bottomPadding: 16
            text: root.model.title
            color: Theme.text
            font.pixelSize: 12
            font.weight: Font.DemiBold
        }

        Column {
            width: parent.width
            spacing: 5

            ProviderCard {
                objectName: "codexCard"
                width: parent.width
                card: root.model.codex
                reduceMotion: root.model.reduceMotion
            }
            ProviderCard {
                objectName: "claudeCard"
                width: parent.width
                card: root.model.claude
                reduceMotion: root.model.reduceMotion
            }
        }

        Column {
            width: parent.width
            topPadding: 4
            spacing: 2

            SoundToggle {
                width: parent.width
                text: root.model.playSoundText
                checked: root.model.alertsEnabled
                reduceMotion: root.model.reduceMotion
                onToggled: function(value) { root.model.alertsEnabled = value }
            }
            UtilityMenuItem {
                width: parent.width
                title: root.model.refreshText
                symbol: "refresh"
                shortcut: root.model.refreshShortcut
                hint: root.model.shortcutHint(root.model.refreshShortcut)
                onTriggered: root.model.refresh()
            }
            UtilityMenuItem {
                width: parent.width
                title: root.model.settingsText
                symbol: "settings"
                shortcut: root.model.settingsShortcut
                hint: root.model.shortcutHint(root.model.settingsShortcut)
                onTriggered: root.model.openSettings()
            }
            UtilityMenuItem {
                width: parent.width
                title: root.model.quitText
                symbol: "quit"
                onTriggered: root.model.quit()
            }
        }
    }
}
