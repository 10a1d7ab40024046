#include "JournalLogSink.h"

#include <sys/uio.h>
#include <systemd/sd-journal.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

QByteArrayList JournalLogSink::fields(Priority priority, const QString& category,
                                      const QString& message) {
    return {"MESSAGE=" + message.toUtf8(),
            "PRIORITY=" + QByteArray::number(static_cast<int>(priority)),
            QByteArrayLiteral("SYSLOG_IDENTIFIER=vantor"),
            QByteArrayLiteral("VANTOR_SUBSYSTEM=com.quorvel.vantor"),
            "VANTOR_CATEGORY=" + category.toUtf8()};
}

void JournalLogSink::write(Priority priority, const QString& category, const QString& message) {
    const QByteArrayList lines = fields(priority, category, message);
    std::vector<iovec> vector;
    vector.reserve(static_cast<std::size_t>(lines.size()));
    for (const QByteArray& field : lines) {
        vector.push_back(
            {const_cast<char*>(field.constData()), static_cast<std::size_t>(field.size())});
    }
    // Fails only without a journal; a log line is never worth an error of its own.
    sd_journal_sendv(vector.data(), static_cast<int>(vector.size()));
    if (isatty(STDERR_FILENO) == 1) {
        std::fprintf(stderr, "vantor[%s]: %s\n", category.toUtf8().constData(),
                     message.toUtf8().constData());
    }
}
