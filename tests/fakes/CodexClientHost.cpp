// Stands in for Vantor itself in the tests of what happens to the app-server child when
// Vantor ends without shutting the client down: `CodexClientHost EXECUTABLE MODE` starts a
// client, prints "started" and then either waits to be killed (MODE hold) or quits its event
// loop normally (MODE quit).
#include "CodexAppServerClient.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

QCoro::Task<> run(CodexAppServerClient* client, bool quit) {
    try {
        co_await client->start();
    } catch (const VantorError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        QCoreApplication::exit(1);
        co_return;
    }
    std::printf("started %lld\n", static_cast<long long>(client->processId()));
    std::fflush(stdout);
    if (quit) {
        QCoreApplication::quit();
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        return 2;
    }
    // Deliberately never stopped or deleted: only Vantor's own end may take the child down.
    auto* client = new CodexAppServerClient(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])),
                                            std::chrono::seconds(10));
    QTimer::singleShot(0, [client, quit = qstrcmp(argv[2], "quit") == 0] { run(client, quit); });
    return QCoreApplication::exec();
}
