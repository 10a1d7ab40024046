import QtQuick
import Vantor.Ui

// One usage window: its title, the share left or, when exhausted, its reset time, and a ring.
Item {
    id: root
    property var row: ({})

    implicitHeight: Math.max(texts.implicitHeight, 32)
    Accessible.role: Accessible.StaticText
    Accessible.name: root.row.accessibilityLabel

    Column {
        id: texts
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.right: ring.left
        anchors.rightMargin: 8
        spacing: 0

        Text {
            text: root.row.title
            color: Theme.text
            font.pixelSize: 13
            font.weight: Font.DemiBold
        }
        Text {
            visible: !root.row.exhausted
            text: root.row.remainingText
            color: Theme.secondaryText
            font.pixelSize: 12
        }
        Row {
            visible: root.row.exhausted
            spacing: 4
            Image {
                anchors.verticalCenter: parent.verticalCenter
                width: 12
                height: 12
                sourceSize.width: 24
                sourceSize.height: 24
                source: "image://symbol/refresh/" + Theme.symbolTint
                opacity: 0.6
            }
            Text {
                text: root.row.resetText
                color: Theme.secondaryText
                font.pixelSize: 12
            }
        }
    }

    Ring {
        id: ring
        anchors.right: parent.right
        anchors.top: parent.top
        width: 32
        height: 32
        progress: root.row.ringProgress
        color: root.row.ringColor
        active: true
    }
}
