pragma ComponentBehavior: Bound
import QtQuick
import Vantor.Ui

// One provider: logo, name, summary and ring; expanded, its limit rows.
Rectangle {
    id: root
    required property ProviderCardViewModel card
    property bool reduceMotion: false
    readonly property bool expanded: card.isExpanded
    readonly property int springDuration: reduceMotion ? 0 : 360

    implicitHeight: stack.implicitHeight
    height: implicitHeight
    radius: expanded ? 24 : 28
    color: Theme.quaternaryFill
    clip: true
    activeFocusOnTab: true
    border.width: activeFocus ? 2 : 0
    border.color: Theme.accent
    function activate() { root.card.toggle() }

    Behavior on implicitHeight {
        enabled: !root.reduceMotion
        NumberAnimation { duration: 360; easing.type: Easing.OutCubic }
    }

    Accessible.role: Accessible.Button
    Accessible.name: root.card.name + ", " + root.card.summary
    Accessible.description: root.card.accessibilityHint
    Accessible.onPressAction: root.card.toggle()

    MouseArea {
        anchors.fill: parent
        onClicked: root.card.toggle()
    }

    Column {
        id: stack
        width: parent.width
        padding: 12
        spacing: root.expanded ? 10 : 0

        Row {
            id: header
            width: parent.width - 24
            spacing: 8

            Image {
                id: logo
                objectName: "logo"
                anchors.verticalCenter: parent.verticalCenter
                width: root.expanded ? 24 : 32
                height: width
                sourceSize.width: 64
                sourceSize.height: 64
                source: root.card.logo
                smooth: true
                mipmap: true
                Behavior on width {
                    enabled: !root.reduceMotion
                    NumberAnimation { duration: root.springDuration; easing.type: Easing.OutCubic }
                }
            }

            Column {
                anchors.verticalCenter: parent.verticalCenter
                width: header.width - logo.width - 32 - 16
                spacing: 2

                Text {
                    textFormat: Text.PlainText
                    text: root.card.name
                    color: Theme.text
                    font.pixelSize: Theme.textSize
                    font.weight: Font.DemiBold
                }
                Text {
                    textFormat: Text.PlainText
                    objectName: "summary"
                    width: parent.width
                    visible: opacity > 0
                    opacity: root.expanded ? 0 : 1
                    text: root.card.summary
                    color: Theme.secondaryText
                    font.pixelSize: Theme.textSize
                    elide: Text.ElideRight
                    // Values kept through a failed refresh carry their age on a second line; a
                    // block says until when on its own line.
                    wrapMode: Text.WordWrap
                    maximumLineCount: 4
                    Behavior on opacity {
                        enabled: !root.reduceMotion
                        NumberAnimation { duration: 200 }
                    }
                }
            }

            Item {
                anchors.verticalCenter: parent.verticalCenter
                width: 32
                height: 32
                visible: opacity > 0
                opacity: root.expanded ? 0 : 1
                Behavior on opacity {
                    enabled: !root.reduceMotion
                    NumberAnimation { duration: 200 }
                }

                Ring {
                    objectName: "ring"
                    anchors.fill: parent
                    visible: root.card.hasUsage
                    progress: root.card.ringProgress
                    tone: root.card.ringTone
                    // Values not current, or another card open, are drawn lighter.
                    faded: root.card.isStale || !root.card.isIndicatorActive
                    reduceMotion: root.reduceMotion
                    Accessible.role: Accessible.ProgressBar
                    Accessible.name: root.card.ringAccessibilityLabel
                    Accessible.description: root.card.ringAccessibilityValue
                }
                Image {
                    anchors.centerIn: parent
                    visible: !root.card.hasUsage
                    width: 12
                    height: 12
                    sourceSize.width: 24
                    sourceSize.height: 24
                    source: "image://symbol/minus/" + Theme.secondarySymbolTint
                }
            }
        }

        ProviderLimitDetails {
            objectName: "details"
            width: parent.width - 24
            visible: root.expanded
            opacity: root.expanded ? 1 : 0
            card: root.card
            Behavior on opacity {
                enabled: !root.reduceMotion
                NumberAnimation { duration: 200 }
            }
        }
    }
}
