#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Splits the child's standard output into lines at each line feed. A line longer than
// maxLineLength is dropped whole: its bytes are discarded up to the next line feed, so a
// runaway child cannot grow our memory without bound.
class CodexLineReader {
public:
    static constexpr qsizetype defaultMaxLineLength = 8 * 1024 * 1024;

    explicit CodexLineReader(qsizetype maxLineLength = defaultMaxLineLength);

    // The complete lines this chunk finishes, without their line feeds, in order. Bytes after
    // the last line feed wait for the next chunk.
    QList<QByteArray> feed(QByteArrayView chunk);

    // Bytes held for an unfinished line; never more than maxLineLength.
    qsizetype pendingSize() const { return buffer_.size(); }
    // Whether the reader is skipping the rest of an over-long line.
    bool isDiscarding() const { return discarding_; }

private:
    qsizetype maxLineLength_;
    QByteArray buffer_;
    bool discarding_ = false;
};
