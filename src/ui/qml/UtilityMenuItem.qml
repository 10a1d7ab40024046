import QtQuick
import Vantor.Ui

// One clickable row of the utility menu: symbol, title, and the shortcut at the right.
Rectangle {
    id: root
    property string title
    property string symbol
    property string shortcut
    property string hint
    signal triggered()
    function activate() { root.triggered() }

    implicitHeight: 24
    radius: 5
    color: area.containsMouse || activeFocus ? Theme.accentHover : "transparent"
    activeFocusOnTab: true
    border.width: activeFocus ? 2 : 0
    border.color: Theme.accent

    Accessible.role: Accessible.MenuItem
    Accessible.name: root.title
    Accessible.description: root.hint
    Accessible.onPressAction: root.triggered()

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.triggered()
    }

    Row {
        anchors.left: parent.left
        anchors.leftMargin: 4
        anchors.verticalCenter: parent.verticalCenter
        spacing: 8
        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: 12
            height: 12
            sourceSize.width: 24
            sourceSize.height: 24
            source: "image://symbol/" + root.symbol + "/" + Theme.symbolTint
        }
        Text {
            textFormat: Text.PlainText
            text: root.title
            color: Theme.text
            font.pixelSize: Theme.largeTextSize
            font.weight: Font.Medium
        }
    }
    Text {
        textFormat: Text.PlainText
        objectName: "shortcut"
        anchors.right: parent.right
        anchors.rightMargin: 4
        anchors.verticalCenter: parent.verticalCenter
        visible: root.shortcut.length > 0
        text: root.shortcut
        color: Theme.tertiaryText
        font.pixelSize: Theme.largeTextSize
        font.weight: Font.Medium
    }
}
