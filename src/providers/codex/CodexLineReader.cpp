#include "CodexLineReader.h"

#include <utility>

CodexLineReader::CodexLineReader(qsizetype maxLineLength) : maxLineLength_(maxLineLength) {}

QList<QByteArray> CodexLineReader::feed(QByteArrayView chunk) {
    QList<QByteArray> lines;
    qsizetype position = 0;
    while (position < chunk.size()) {
        const qsizetype lineFeed = chunk.indexOf('\n', position);
        const qsizetype end = lineFeed < 0 ? chunk.size() : lineFeed;
        if (!discarding_) {
            const qsizetype room = maxLineLength_ - buffer_.size();
            const qsizetype length = end - position;
            if (length > room) {
                // Too long: forget what we have and skip to the next line feed.
                buffer_ = QByteArray();
                discarding_ = true;
            } else {
                buffer_.append(chunk.sliced(position, length));
            }
        }
        if (lineFeed < 0) {
            break;
        }
        if (discarding_) {
            discarding_ = false;
        } else {
            lines.append(std::exchange(buffer_, QByteArray()));
        }
        position = lineFeed + 1;
    }
    return lines;
}
