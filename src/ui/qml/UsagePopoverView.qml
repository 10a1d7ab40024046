pragma ComponentBehavior: Bound
import QtQuick
import Vantor.Ui

// The panel a click on the tray icon opens: title, one card per watched account, utility rows.
Rectangle {
    id: root
    required property PopoverViewModel model
    // The tallest the panel may grow (the screen's); beyond it the cards scroll.
    property int maximumHeight: 1000000

    // 259 at the usual font; wider with a larger one, so that its texts are not cut.
    implicitWidth: Math.round(259 * Math.max(1, Theme.textScale))
    width: implicitWidth
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
    // Enter or Space uses the one in focus, Escape closes, Ctrl+Q quits.
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
    // As it opens, the first card takes the focus, so the keys start there.
    function focusFirstCard() {
        const first = cards.count > 0 ? cards.itemAt(0) : null
        if (first !== null) {
            first.forceActiveFocus(Qt.OtherFocusReason)
        } else {
            root.forceActiveFocus(Qt.OtherFocusReason)
        }
    }
    // A card reached by the keyboard scrolls into view.
    function reveal(item: Item) {
        const top = item.mapToItem(cardColumn, 0, 0).y
        cardScroll.contentY = Math.max(Math.min(cardScroll.contentY, top),
                                       top + item.height - cardScroll.height)
    }

    Shortcut {
        sequence: "Ctrl+R"
        onActivated: root.model.refresh()
    }
    // Ctrl+, as GNOME's guidelines give: Ctrl+S means Save everywhere else.
    Shortcut {
        sequence: "Ctrl+,"
        onActivated: root.model.openSettings()
    }
    Shortcut {
        sequence: "Ctrl+Q"
        onActivated: root.model.quit()
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
            id: title
            textFormat: Text.PlainText
            objectName: "title"
            width: parent.width
            leftPadding: 6
            rightPadding: 6
            topPadding: 6
            bottomPadding: 16
            text: root.model.title
            color: Theme.text
            font.pixelSize: Theme.textSize
            font.weight: Font.DemiBold
        }

        Flickable {
            id: cardScroll
            objectName: "cards"
            width: parent.width
            // As tall as the cards while they fit; the title and the rows below always show.
            height: Math.min(cardColumn.implicitHeight,
                             Math.max(0, root.maximumHeight - 24 - title.height - utilities.height))
            contentWidth: width
            contentHeight: cardColumn.implicitHeight
            interactive: contentHeight > height
            clip: interactive
            boundsBehavior: Flickable.StopAtBounds

            Column {
                id: cardColumn
                width: parent.width
                spacing: 5

                Repeater {
                    id: cards
                    model: root.model.cards
                    // The model's "card" role fills the card's own required property.
                    ProviderCard {
                        id: cardView
                        objectName: cardView.card.providerKey + "Card"
                        width: cardColumn.width
                        reduceMotion: root.model.reduceMotion
                        onActiveFocusChanged: {
                            if (cardView.activeFocus) {
                                root.reveal(cardView)
                            }
                        }
                    }
                }
            }

            // Where the view stands among the cards, shown only while they scroll.
            Rectangle {
                visible: cardScroll.interactive
                x: cardScroll.width - width
                y: cardScroll.contentY + cardScroll.visibleArea.yPosition * cardScroll.height
                width: 3
                height: cardScroll.visibleArea.heightRatio * cardScroll.height
                radius: 1.5
                color: Theme.secondaryText
            }
        }

        Column {
            id: utilities
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
                shortcut: root.model.quitShortcut
                hint: root.model.shortcutHint(root.model.quitShortcut)
                onTriggered: root.model.quit()
            }
        }
    }
}
