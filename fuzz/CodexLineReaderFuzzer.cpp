#include "CodexLineReader.h"

#include <cstddef>
#include <cstdint>

// The child's output arrives in whatever chunks the pipe gives. However it is cut, the reader
// must give exactly the lines a plain split gives (over-long ones dropped) and never hold more
// than its limit. Byte 0 picks the limit, byte 1 seeds the chunk sizes, the rest is the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const qsizetype limit = data[0] + 1;
    std::uint32_t seed = data[1];
    const QByteArray stream(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    QList<QByteArray> expected;
    const QList<QByteArray> segments = stream.split('\n');
    for (qsizetype i = 0; i + 1 < segments.size(); ++i) {
        if (segments[i].size() <= limit) {
            expected.append(segments[i]);
        }
    }

    CodexLineReader reader(limit);
    QList<QByteArray> lines;
    qsizetype position = 0;
    while (position < stream.size()) {
        seed = seed * 1103515245u + 12345u;
        const qsizetype chunk =
            qMin<qsizetype>((seed >> 16) % (3 * limit + 1), stream.size() - position);
        lines += reader.feed(QByteArrayView(stream).sliced(position, chunk));
        position += chunk;
        if (reader.pendingSize() > limit) {
            __builtin_trap();
        }
    }
    if (lines != expected) {
        __builtin_trap();
    }
    const QByteArray& tail = segments.last();
    const bool tooLong = tail.size() > limit;
    if (reader.isDiscarding() != tooLong || reader.pendingSize() != (tooLong ? 0 : tail.size())) {
        __builtin_trap();
    }
    return 0;
}
