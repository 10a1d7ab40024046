import QtQuick
import Vantor.Ui

// One usage window: its title, the share left and its reset, or when a spent one comes back,
// and a ring.
Item {
    id: root
    property var row: ({})
    // Values not current: the ring and the line are drawn lighter.
    property bool stale: false

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
            // A bucket's name makes a long title: it wraps rather than running under the ring.
            // The name comes from the provider: never read as markup, here or in any Text.
            textFormat: Text.PlainText
            width: parent.width
            wrapMode: Text.Wrap
            maximumLineCount: 2
            text: root.row.title
            color: Theme.text
            font.pixelSize: Theme.largeTextSize
            font.weight: Font.DemiBold
            elide: Text.ElideRight
        }
        // The limit that binds now.
        Text {
            textFormat: Text.PlainText
            visible: text.length > 0
            text: root.row.mark
            color: Theme.secondaryText
            font.pixelSize: Theme.smallTextSize
            font.italic: true
        }
        // The share left and when it resets; a spent limit says when it comes back, a blocked
        // one until when.
        Text {
            textFormat: Text.PlainText
            objectName: "remaining"
            width: parent.width
            wrapMode: Text.WordWrap
            text: root.row.remainingText
            color: Theme.secondaryText
            font.pixelSize: Theme.textSize
        }
        Text {
            textFormat: Text.PlainText
            objectName: "pace"
            visible: text.length > 0
            width: parent.width
            text: root.row.paceText ?? ""
            color: Theme.tertiaryText
            font.pixelSize: Theme.smallTextSize
            wrapMode: Text.WordWrap
        }
        // The period's readings, oldest at the left, 100 % at the top.
        Canvas {
            objectName: "trend"
            readonly property var points: root.row.trend ?? []
            visible: points.length > 1
            width: parent.width
            height: visible ? 16 : 0
            readonly property color lineColor: ring.color
            onPointsChanged: requestPaint()
            onLineColorChanged: requestPaint()
            onPaint: {
                const context = getContext("2d")
                context.reset()
                context.strokeStyle = lineColor
                context.lineWidth = 1.5
                context.beginPath()
                for (let i = 0; i < points.length; ++i) {
                    const x = i * (width - 2) / (points.length - 1) + 1
                    const y = 1 + (1 - points[i]) * (height - 2)
                    if (i === 0)
                        context.moveTo(x, y)
                    else
                        context.lineTo(x, y)
                }
                context.stroke()
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
        tone: root.row.ringTone
        faded: root.stale
    }
}
