pragma ComponentBehavior: Bound
import QtQuick
import Vantor.Ui

// The limit rows of an expanded card, or why there are none.
Column {
    id: root
    required property ProviderCardViewModel card
    spacing: 12

    Text {
        textFormat: Text.PlainText
        visible: root.card.details.length === 0
        text: root.card.detailsEmptyText
        color: Theme.secondaryText
        font.pixelSize: Theme.textSize
        width: root.width
        wrapMode: Text.Wrap
    }

    Text {
        textFormat: Text.PlainText
        objectName: "blockNotice"
        width: root.width
        visible: text.length > 0
        text: root.card.blockNotice
        color: Theme.text
        font.pixelSize: Theme.textSize
        font.weight: Font.DemiBold
        wrapMode: Text.Wrap
    }

    Text {
        textFormat: Text.PlainText
        objectName: "notice"
        width: root.width
        visible: text.length > 0
        text: root.card.notice
        color: Theme.secondaryText
        font.pixelSize: Theme.textSize
        wrapMode: Text.Wrap
    }

    Repeater {
        model: root.card.details
        LimitDetail {
            required property var modelData
            width: root.width
            row: modelData
            stale: root.card.isStale
        }
    }

    Text {
        textFormat: Text.PlainText
        objectName: "money"
        width: root.width
        visible: text.length > 0
        text: root.card.money
        color: Theme.secondaryText
        font.pixelSize: Theme.textSize
        wrapMode: Text.Wrap
    }

    Text {
        textFormat: Text.PlainText
        objectName: "account"
        width: root.width
        visible: root.card.accountText.length > 0
        text: root.card.accountText
        color: Theme.secondaryText
        font.pixelSize: Theme.textSize
        wrapMode: Text.Wrap
    }
}
