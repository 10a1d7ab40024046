// A stand-in for `codex app-server`, scripted per test. It reads newline-delimited JSON on
// standard input and follows the script named by FAKE_CODEX_SCRIPT, one command a line:
//
//   read METHOD     read messages until one with this method arrives; its id becomes $id
//                   (the one before becomes $previd); end of input exits
//   send TEXT       write TEXT and a line feed in one write
//   raw TEXT        write TEXT as is, after turning \n and \r into line feed and carriage
//                   return and a doubled
//                   backslash into one
//   sleep MS        sleep
//   stderr BYTES    write that many bytes to standard error
//   huge BYTES      write one line of that many bytes
//   ignore-term     ignore SIGTERM from here on
//   spawn-child     start a grandchild that sleeps until killed (its pid goes to the pid file)
//   hang            wait until killed, reading and dropping any input
//   exit CODE       exit
//
// Without a script it answers the handshake and one rate-limit read like a signed-in peer.
// Every line read is appended to FAKE_CODEX_LOG, and the pid to FAKE_CODEX_PIDFILE.
#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/types.h>
#include <unistd.h>

namespace {

const char* const defaultScript = R"(read initialize
send {"id":$id,"result":{"userAgent":"fake/1.0","codexHome":"/tmp/.codex","platformFamily":"unix","platformOs":"linux"}}
send {"method":"configWarning","params":{"summary":"fake","details":null},"emittedAtMs":1}
read account/rateLimits/read
send {"id":$id,"result":{"ordinaryUsageAllowed":null,"rateLimits":{"limitId":"codex","primary":{"usedPercent":42,"windowDurationMins":300,"resetsAt":1796552632},"secondary":{"usedPercent":7,"windowDurationMins":10080,"resetsAt":1796635432},"planType":"pro","rateLimitReachedType":null},"rateLimitsByLimitId":{"codex":{"limitId":"codex","primary":{"usedPercent":42,"windowDurationMins":300,"resetsAt":1796552632},"secondary":{"usedPercent":7,"windowDurationMins":10080,"resetsAt":1796635432},"rateLimitReachedType":null},"codex_other":{"limitId":"codex_other","primary":{"usedPercent":3,"windowDurationMins":300,"resetsAt":1796549132},"secondary":null}}}}
hang
)";

std::string currentID = "null";
std::string previousID = "null";

void appendToFile(const char* variable, const std::string& text) {
    if (const char* path = std::getenv(variable)) {
        std::ofstream(path, std::ios::app) << text << '\n';
    }
}

void writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            std::_Exit(3);
        }
        done += static_cast<std::size_t>(written);
    }
}

std::string substitute(std::string text) {
    for (const auto& [name, value] :
         {std::pair<std::string, std::string>{"$previd", previousID}, {"$id", currentID}}) {
        for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
            text.replace(at, name.size(), value);
            at += value.size();
        }
    }
    return text;
}

std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
            out += text[i] == 'n' ? '\n' : text[i] == 'r' ? '\r' : text[i];
        } else {
            out += text[i];
        }
    }
    return out;
}

// The value of a string member in a compact JSON line, or empty.
std::string member(const std::string& line, const std::string& name) {
    const std::string key = "\"" + name + "\":";
    const std::size_t at = line.find(key);
    if (at == std::string::npos) {
        return {};
    }
    std::size_t start = at + key.size();
    if (start < line.size() && line[start] == '"') {
        const std::size_t end = line.find('"', start + 1);
        return end == std::string::npos ? std::string() : line.substr(start + 1, end - start - 1);
    }
    std::size_t end = start;
    while (end < line.size() &&
           (std::isdigit(static_cast<unsigned char>(line[end])) != 0 || line[end] == '-')) {
        ++end;
    }
    return line.substr(start, end - start);
}

bool readLine(std::string& line) {
    if (!std::getline(std::cin, line)) {
        return false;
    }
    appendToFile("FAKE_CODEX_LOG", line);
    return true;
}

[[noreturn]] void hang() {
    std::string line;
    while (readLine(line)) {
    }
    for (;;) {
        ::pause();
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        arguments += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    appendToFile("FAKE_CODEX_PIDFILE", std::to_string(::getpid()));
    const char* path = std::getenv("PATH");
    appendToFile("FAKE_CODEX_LOG", "#args " + arguments);
    appendToFile("FAKE_CODEX_LOG", std::string("#path ") + (path != nullptr ? path : ""));

    std::string script = defaultScript;
    if (const char* file = std::getenv("FAKE_CODEX_SCRIPT")) {
        std::ifstream in(file);
        std::stringstream content;
        content << in.rdbuf();
        script = content.str();
    }

    std::istringstream commands(script);
    std::string command;
    while (std::getline(commands, command)) {
        if (command.empty() || command[0] == '#') {
            continue;
        }
        const std::size_t space = command.find(' ');
        const std::string verb = command.substr(0, space);
        const std::string argument = space == std::string::npos ? "" : command.substr(space + 1);
        if (verb == "read") {
            std::string line;
            for (;;) {
                if (!readLine(line)) {
                    return 0;
                }
                if (member(line, "method") == argument) {
                    previousID = currentID;
                    currentID = member(line, "id");
                    break;
                }
            }
        } else if (verb == "send") {
            writeAll(1, substitute(argument) + "\n");
        } else if (verb == "raw") {
            writeAll(1, substitute(unescape(argument)));
        } else if (verb == "sleep") {
            ::usleep(static_cast<useconds_t>(std::stoul(argument) * 1000));
        } else if (verb == "stderr") {
            const std::string block(64 * 1024, 'e');
            for (std::size_t left = std::stoul(argument); left > 0;) {
                const std::size_t now = std::min(left, block.size());
                writeAll(2, block.substr(0, now));
                left -= now;
            }
        } else if (verb == "huge") {
            writeAll(1, std::string(std::stoul(argument), 'x') + "\n");
        } else if (verb == "ignore-term") {
            std::signal(SIGTERM, SIG_IGN);
        } else if (verb == "spawn-child") {
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(0);
                ::close(1);
                ::close(2);
                for (;;) {
                    ::pause();
                }
            }
            appendToFile("FAKE_CODEX_PIDFILE", std::to_string(child));
        } else if (verb == "hang") {
            hang();
        } else if (verb == "exit") {
            return std::stoi(argument);
        } else {
            std::cerr << "unknown command: " << command << '\n';
            return 2;
        }
    }
    return 0;
}
