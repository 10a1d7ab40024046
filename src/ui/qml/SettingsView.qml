pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Fusion
import QtQuick.Dialogs
import QtQuick.Layouts
import Vantor.Ui

// The settings form: General, Accounts, Reset alert, Providers, About; it scrolls where it does
// not fit the window.
Rectangle {
    id: root
    required property SettingsViewModel model
    required property PopoverViewModel popover
    readonly property var texts: model.texts

    // The labels' column, as wide as the widest label of any section, and the controls' after
    // it: every section's controls start at one edge.
    property real labelColumn: 0
    readonly property real controlWidth: Math.round(230 * Math.max(1, Theme.textScale))
    readonly property int margin: 20
    readonly property int gutter: 12

    // What the form needs (its margins, the scroll bar's gutter, a section's padding of 12 on
    // either side, then the two columns 12 apart); the window takes it where the screen has room,
    // and the form scrolls where not.
    implicitWidth: 2 * margin + gutter + 2 * 12 + labelColumn + 12 + controlWidth
    implicitHeight: form.implicitHeight + 2 * margin
    color: Theme.surface
    // An inactive control, and the label beside it, fade toward their ground. The roles that
    // differ are set per group: one set for all groups would overwrite the disabled one
    // whenever its binding is evaluated again.
    palette.disabled.windowText: Theme.disabledWindowText
    palette.disabled.text: Theme.disabledBaseText
    palette.disabled.button: Theme.disabledButton
    palette.disabled.buttonText: Theme.disabledButtonText
    palette.window: Theme.paletteWindow
    palette.active.windowText: Theme.paletteWindowText
    palette.inactive.windowText: Theme.paletteWindowText
    palette.base: Theme.paletteBase
    palette.alternateBase: Theme.paletteAlternateBase
    palette.active.text: Theme.paletteText
    palette.inactive.text: Theme.paletteText
    palette.active.button: Theme.paletteButton
    palette.inactive.button: Theme.paletteButton
    palette.active.buttonText: Theme.paletteButtonText
    palette.inactive.buttonText: Theme.paletteButtonText
    palette.highlight: Theme.paletteHighlight
    palette.highlightedText: Theme.paletteHighlightedText
    palette.light: Theme.paletteLight
    palette.midlight: Theme.paletteMidlight
    palette.mid: Theme.paletteMid
    palette.dark: Theme.paletteDark
    palette.shadow: Theme.paletteShadow

    // Escape and Ctrl+W close it, as any window of settings. Escape through the keys: an open
    // list takes it first and closes only itself.
    focus: true
    Keys.onEscapePressed: root.Window.window.close()
    Shortcut {
        sequences: ["Ctrl+W", "Ctrl+F4"]
        onActivated: root.Window.window.close()
    }
    Shortcut {
        sequence: "Ctrl+R"
        onActivated: root.popover.refresh()
    }
    Shortcut {
        sequence: "Ctrl+Q"
        onActivated: root.popover.quit()
    }

    // A control reached by the keyboard scrolls into view.
    Window.onActiveFocusItemChanged: {
        const item = root.Window.activeFocusItem
        let inForm = item
        while (inForm !== null && inForm !== form) {
            inForm = inForm.parent
        }
        if (inForm !== null) {
            const top = item.mapToItem(scroll.contentItem, 0, 0).y
            scroll.contentY = Math.max(0, Math.min(scroll.contentY, top - 8,
                                                   scroll.contentHeight - scroll.height),
                                       top + item.height + 8 - scroll.height)
        }
    }

    component SectionBox: Rectangle {
        default property alias rows: column.data
        Layout.fillWidth: true
        implicitHeight: column.implicitHeight + 16
        radius: 8
        color: Theme.quaternaryFill
        ColumnLayout {
            id: column
            x: 12
            y: 8
            width: parent.width - 24
            spacing: 8
        }
    }
    component SectionTitle: Label {
        textFormat: Text.PlainText
        Layout.topMargin: 8
        font.weight: Font.DemiBold
        color: Theme.text
    }
    // Fusion's own switch is a flat box that reads as a slider: this one is a pill with a round
    // knob like the popover's sound switch, in the palette's colours, light or dark. Its focus
    // ring stands apart from it, on the section, so it shows on a checked switch too.
    component PillSwitch: Switch {
        id: pill
        indicator: Rectangle {
            implicitWidth: 32
            implicitHeight: 18
            x: pill.leftPadding + (pill.availableWidth - width) / 2
            y: pill.topPadding + (pill.availableHeight - height) / 2
            radius: height / 2
            color: pill.checked ? Theme.accent : Theme.switchTrack
            opacity: pill.enabled ? 1 : 0.5
            FocusRing {
                shown: pill.visualFocus
                radius: height / 2
            }
            Rectangle {
                width: 14
                height: 14
                radius: 7
                y: 2
                x: pill.checked ? parent.width - width - 2 : 2
                color: Theme.switchKnob
            }
        }
    }
    // The keyboard's focus, just outside the control that has it, at 3:1 on the section:
    // Fusion's own frame is a faint tint of the highlight.
    component FocusRing: Rectangle {
        required property bool shown
        visible: shown
        anchors.fill: parent
        anchors.margins: -3
        radius: 5
        color: "transparent"
        border.width: 2
        border.color: Theme.accent
    }
    // A label in the labels' column, its control at the start of the controls' column. Under a
    // screen too narrow for both the label gives way first.
    component LabelledRow: Item {
        id: labelled
        property string title
        default property alias control: holder.data
        Layout.fillWidth: true
        implicitWidth: root.labelColumn + 12 + holder.implicitWidth
        implicitHeight: Math.max(rowLabel.implicitHeight, holder.implicitHeight)
        Label {
            id: rowLabel
            textFormat: Text.PlainText
            text: labelled.title
            // Dimmed while its control is.
            enabled: holder.children.length === 0 || holder.children[0].enabled
            color: rowLabel.enabled ? Theme.text : Theme.disabledWindowText
            width: Math.max(0, Math.min(root.labelColumn,
                                        labelled.width - 12 - holder.implicitWidth))
            anchors.verticalCenter: parent.verticalCenter
            elide: Text.ElideRight
            onImplicitWidthChanged: root.labelColumn = Math.max(root.labelColumn, implicitWidth)
            Component.onCompleted: root.labelColumn = Math.max(root.labelColumn, implicitWidth)
            // A switch's whole row toggles it, its label too.
            TapHandler {
                onTapped: {
                    const control = holder.children[0]
                    if (holder.children.length === 1 && control.checkable === true
                        && control.enabled) {
                        // As a click on the switch: toggled, then told.
                        control.toggle()
                        control.toggled()
                    }
                }
            }
        }
        Item {
            id: holder
            x: rowLabel.width + 12
            width: labelled.width - x
            anchors.verticalCenter: parent.verticalCenter
            implicitWidth: childrenRect.width
            implicitHeight: childrenRect.height
        }
    }

    Flickable {
        id: scroll
        objectName: "settingsScroll"
        anchors.fill: parent
        contentWidth: width
        contentHeight: form.implicitHeight + 2 * root.margin
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {
            // Always drawn while the form is taller than the window: it tells there is more below.
            policy: scroll.contentHeight > scroll.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
        }

        ColumnLayout {
            id: form
            x: root.margin
            y: root.margin
            width: scroll.width - 2 * root.margin
                   - (scroll.contentHeight > scroll.height ? root.gutter : 0)
            spacing: 6

            SectionTitle { text: root.texts.general }
            SectionBox {
                LabelledRow {
                    title: root.texts.launchAtLogin
                    PillSwitch {
                        objectName: "launchAtLogin"
                        checked: root.model.launchAtLogin
                        Accessible.name: root.texts.launchAtLogin
                        // The model may refuse: show its value, not the click.
                        onToggled: {
                            root.model.launchAtLogin = checked
                            checked = Qt.binding(() => root.model.launchAtLogin)
                        }
                    }
                }
                LabelledRow {
                    title: root.texts.trayIcon
                    ComboBox {
                        id: trayIconBox
                        objectName: "trayIcon"
                        FocusRing { shown: trayIconBox.visualFocus }
                        implicitWidth: root.controlWidth
                        model: root.model.trayIconItems
                        currentIndex: root.model.trayIconIndex
                        Accessible.name: root.texts.trayIcon
                        onActivated: function(index) {
                            root.model.trayIconIndex = index
                            currentIndex = Qt.binding(() => root.model.trayIconIndex)
                        }
                    }
                }
                LabelledRow {
                    title: root.texts.warnAt
                    ComboBox {
                        id: warnAtBox
                        objectName: "warnAt"
                        FocusRing { shown: warnAtBox.visualFocus }
                        implicitWidth: root.controlWidth
                        model: root.model.warningItems
                        currentIndex: root.model.warningIndex
                        Accessible.name: root.texts.warnAt
                        onActivated: function(index) {
                            root.model.warningIndex = index
                            currentIndex = Qt.binding(() => root.model.warningIndex)
                        }
                    }
                }
            }

            SectionTitle { text: root.texts.accounts }
            SectionBox {
                objectName: "accounts"
                Repeater {
                    model: root.model.accounts
                    ColumnLayout {
                        id: account
                        required property string key
                        required property string group
                        required property string name
                        required property string placeholder
                        required property string folder
                        required property bool watched
                        required property bool removable
                        required property string watchText
                        required property string removeText
                        Layout.fillWidth: true
                        spacing: 2

                        Label {
                            textFormat: Text.PlainText
                            visible: account.group.length > 0
                            text: account.group
                            color: Theme.secondaryText
                            font.pixelSize: Theme.smallTextSize
                            font.weight: Font.DemiBold
                        }
                        RowLayout {
                            Layout.fillWidth: true
                            TextField {
                                id: nameField
                                objectName: "accountName"
                                FocusRing { shown: nameField.activeFocus }
                                // Fusion's own edge stands 1.6:1 on the section.
                                Rectangle {
                                    anchors.fill: parent
                                    radius: 2
                                    color: "transparent"
                                    border.width: 1
                                    border.color: Theme.fieldEdge
                                }
                                Layout.fillWidth: true
                                text: account.name
                                maximumLength: root.model.accountNameLimit
                                selectByMouse: true
                                Accessible.name: root.texts.accountName
                                Accessible.description: account.folder
                                // The registry tidies the name: show what it kept.
                                onEditingFinished: {
                                    root.model.rename(account.key, text)
                                    text = Qt.binding(() => account.name)
                                }
                                // The control's own placeholder would read a folder's name as markup.
                                Label {
                                    textFormat: Text.PlainText
                                    x: nameField.leftPadding
                                    width: nameField.width - nameField.leftPadding
                                           - nameField.rightPadding
                                    anchors.verticalCenter: parent.verticalCenter
                                    visible: nameField.length === 0 && nameField.preeditText.length === 0
                                    text: account.placeholder
                                    font: nameField.font
                                    color: Theme.secondaryText
                                    elide: Text.ElideRight
                                }
                            }
                            Button {
                                id: removeAccount
                                objectName: "removeAccount"
                                FocusRing { shown: removeAccount.visualFocus }
                                visible: account.removable
                                text: root.texts.remove
                                Accessible.name: account.removeText
                                onClicked: root.model.remove(account.key)
                            }
                            PillSwitch {
                                objectName: "watchAccount"
                                checked: account.watched
                                Accessible.name: account.watchText
                                onToggled: {
                                    root.model.setWatched(account.key, checked)
                                    checked = Qt.binding(() => account.watched)
                                }
                            }
                        }
                        Label {
                            textFormat: Text.PlainText
                            Layout.fillWidth: true
                            text: account.folder
                            elide: Text.ElideMiddle
                            color: Theme.secondaryText
                            font.pixelSize: Theme.smallTextSize
                        }
                    }
                }
                Button {
                    id: addFolder
                    objectName: "addFolder"
                    FocusRing { shown: addFolder.visualFocus }
                    text: root.texts.addFolder
                    onClicked: folderDialog.open()
                }
                Label {
                    textFormat: Text.PlainText
                    objectName: "addFolderMessage"
                    Layout.fillWidth: true
                    visible: text.length > 0
                    text: root.model.addFolderMessage
                    wrapMode: Text.WordWrap
                    font.pixelSize: Theme.smallTextSize
                    color: Theme.secondaryText
                }
            }

            SectionTitle { text: root.texts.resetAlert }
            SectionBox {
                LabelledRow {
                    objectName: "alertsEnabledRow"
                    title: root.texts.playResetAlert
                    PillSwitch {
                        objectName: "alertsEnabled"
                        checked: root.model.alertsEnabled
                        Accessible.name: root.texts.playResetAlert
                        onToggled: {
                            root.model.alertsEnabled = checked
                            checked = Qt.binding(() => root.model.alertsEnabled)
                        }
                    }
                }
                LabelledRow {
                    title: root.texts.language
                    ComboBox {
                        id: languageBox
                        objectName: "language"
                        FocusRing { shown: languageBox.visualFocus }
                        implicitWidth: root.controlWidth
                        enabled: root.model.alertsEnabled
                        model: root.model.languageItems
                        currentIndex: root.model.languageIndex
                        Accessible.name: root.texts.language
                        onActivated: function(index) {
                            root.model.languageIndex = index
                            currentIndex = Qt.binding(() => root.model.languageIndex)
                        }
                    }
                }
                LabelledRow {
                    title: root.texts.voice
                    ComboBox {
                        id: voiceBox
                        objectName: "voice"
                        FocusRing { shown: voiceBox.visualFocus }
                        implicitWidth: root.controlWidth
                        enabled: root.model.alertsEnabled
                        model: root.model.genderItems
                        currentIndex: root.model.genderIndex
                        Accessible.name: root.texts.voice
                        onActivated: function(index) {
                            root.model.genderIndex = index
                            currentIndex = Qt.binding(() => root.model.genderIndex)
                        }
                    }
                }
                LabelledRow {
                    title: root.texts.sound
                    ComboBox {
                        id: soundBox
                        objectName: "sound"
                        FocusRing { shown: soundBox.visualFocus }
                        implicitWidth: root.controlWidth
                        enabled: root.model.alertsEnabled
                        model: root.model.soundItems
                        currentIndex: root.model.soundIndex
                        Accessible.name: root.texts.sound
                        onActivated: function(index) {
                            root.model.soundIndex = index
                            currentIndex = Qt.binding(() => root.model.soundIndex)
                        }
                    }
                }
                // Side by side while they fit, else one under the other.
                Flow {
                    Layout.fillWidth: true
                    spacing: 8
                    Button {
                        id: playAudioTest
                        objectName: "playAudioTest"
                        FocusRing { shown: playAudioTest.visualFocus }
                        enabled: root.model.alertsEnabled
                        text: root.texts.playAudioTest
                        icon.source: "image://symbol/speaker/" + Theme.symbolTint
                        // Dimmed with the text when the button is.
                        icon.color: playAudioTest.palette.buttonText
                        onClicked: root.model.playAudioTest()
                    }
                    Button {
                        id: sendTestNotification
                        objectName: "sendTestNotification"
                        FocusRing { shown: sendTestNotification.visualFocus }
                        text: root.texts.sendTestNotification
                        icon.source: "image://symbol/bell/" + Theme.symbolTint
                        onClicked: root.model.sendTestNotification()
                    }
                }
                Label {
                    textFormat: Text.PlainText
                    objectName: "testStatus"
                    Layout.fillWidth: true
                    visible: root.model.testNotificationStatus.length > 0
                    text: root.model.testNotificationStatus
                    wrapMode: Text.WordWrap
                    font.pixelSize: Theme.smallTextSize
                    color: Theme.secondaryText
                }
                Button {
                    id: openNotificationSettings
                    objectName: "openNotificationSettings"
                    FocusRing { shown: openNotificationSettings.visualFocus }
                    visible: root.model.testNotificationNeedsSettings
                             && root.model.canOpenNotificationSettings
                    text: root.texts.openNotificationSettings
                    icon.source: "image://symbol/settings/" + Theme.symbolTint
                    onClicked: root.model.openNotificationSettings()
                }
            }

            SectionTitle { text: root.texts.providers }
            SectionBox {
                Repeater {
                    model: root.model.providerRows
                    LabelledRow {
                        id: providerRow
                        required property var modelData
                        title: modelData.title
                        Label {
                            textFormat: Text.PlainText
                            text: providerRow.modelData.value
                            color: Theme.secondaryText
                        }
                    }
                }
            }

            SectionTitle { text: root.texts.about }
            SectionBox {
                Label {
                    textFormat: Text.PlainText
                    text: root.texts.version
                    color: Theme.text
                }
                Label {
                    textFormat: Text.PlainText
                    Layout.fillWidth: true
                    text: root.texts.privacy
                    wrapMode: Text.WordWrap
                    color: Theme.secondaryText
                }
            }
        }
    }

    // The desktop's own chooser where it has one.
    FolderDialog {
        id: folderDialog
        objectName: "folderDialog"
        // Known only once the form is in its window, after the dialog was made.
        parentWindow: root.Window.window
        title: root.texts.chooseFolder
        currentFolder: root.model.homeFolder
        onAccepted: root.model.addFolder(folderDialog.selectedFolder)
    }
}
